#pragma once

#include <string>
#include <string_view>

namespace platform {

// An INI-style profile file with the semantics of the Windows profile API: every read goes to
// the file, every write replaces it at once, section and key names ignore ASCII case, and a
// missing file, section or key gives the caller's default. Values are bytes (code page 932 or
// UTF-8 alike) and are never converted.
//
// A write changes only the line of its key, which then reads "key=value" (or adds that line to
// its section, or the section at the end); comments, blank lines, line ends and every other
// byte the user put in the file stay as they were. The way lines are read is in
// platform/profile_text.h.
//
// Writes replace the file whole (platform/atomic_file.h), so readers in any thread or process
// see the old file or the new one, never a half-written one, and need no lock. A symbolic link
// at the path is followed and its target replaced; a replaced file keeps its permissions and a
// new one is the user's alone (0600). Writers in different processes take turns through the
// lock file beside the file (platform/write_lock.h), so no write undoes another's.
class Profile
{
public:
    // Longest value a string read returns, in bytes; longer values are cut.
    static constexpr std::size_t kMaxValueBytes = 4095;

    explicit Profile(std::string path);

    const std::string& GetPath() const { return m_path; }

    // A leading signed decimal number: "-1" reads -1, "12abc" reads 12, "abc" reads 0.
    // A missing or empty value gives the default.
    int ReadInt(std::string_view section, std::string_view key, int defaultValue) const;
    std::string ReadString(std::string_view section, std::string_view key,
                           std::string_view defaultValue) const;

    // Creates the file, section and key as needed. Returns false for a name or value the file
    // cannot hold (see ProfileText::CanStore) and when the file could not be replaced
    // (read-only folder, disk full, unreadable file, no lock file); the old file is then left
    // as it was. A write that changes nothing succeeds without touching the file.
    bool WriteInt(std::string_view section, std::string_view key, int value) const;
    bool WriteString(std::string_view section, std::string_view key, std::string_view value) const;

private:
    std::string m_path;
};

} // namespace platform
