#pragma once

#include "platform/result.h"

#include <optional>
#include <string>
#include <string_view>

// Files replaced whole: the new content goes into a temporary file beside the old one, which
// is then renamed over it. Whoever opens the path sees the old file or the whole new one,
// never a mix of two writers or a half-written file, and a failure leaves the old file as it
// was with no temporary file behind.
namespace platform {

// How a replacement treats what stands at the path now.
struct ReplaceRules
{
    enum class Link {
        // A symbolic link at the path is itself replaced by the new file; whatever it points
        // to, present or not, is never written. Right for files made in a shared folder, such
        // as result pages, where a planted link must not redirect the write.
        Replace,
        // The file the link leads to is replaced (made when the link dangles) and the link
        // stays, as the user set it up. Right for settings the user links elsewhere.
        Follow,
    };
    enum class NewFile {
        Shared,  // 0666 less the umask, as any newly made file
        Private, // 0600: only the user reads it
    };

    Link link = Link::Replace;
    // Permissions where the path held no file (or a link that is replaced). A replaced file
    // keeps its own permissions.
    NewFile newFile = NewFile::Shared;
    // Forces the data to the disk before the rename, so that a power cut leaves the old file
    // or the new one. Worth its cost only for small files that cannot be made again.
    bool sync = false;
};

// One replacement, written piece by piece so that large files stream through. A failure
// carries the errno of the call that failed: EISDIR for a folder at the path, ELOOP for a
// loop of links, none for another kind of file.
class AtomicFile
{
public:
    explicit AtomicFile(ReplaceRules rules = {});
    // An uncommitted replacement is discarded.
    ~AtomicFile();
    AtomicFile(const AtomicFile&) = delete;
    AtomicFile& operator=(const AtomicFile&) = delete;

    // Makes the temporary file "." + name + ".XXXXXX" in the folder of the file to replace;
    // its name never ends like the file's own, so nothing that lists the folder mistakes it
    // for one. Fails when that folder is missing or not writable and when the path names a
    // folder, a device, a pipe or a socket, none of which is ever replaced.
    Result<> Begin(const std::string& path);
    bool IsOpen() const { return m_fd >= 0; }

    // Appends bytes. A failure is remembered: Commit then discards instead.
    bool Write(std::string_view bytes);

    // Closes the temporary file and renames it over the path. On any failure, including an
    // earlier one of Write, the temporary file is removed and the path keeps what it had.
    Result<> Commit();
    // Removes the temporary file; the path keeps what it had.
    void Discard();

private:
    ReplaceRules m_rules;
    std::string m_target; // the path that is replaced (a link's target with Link::Follow)
    std::string m_temp;
    int m_fd = -1;
    int m_writeError = 0;
};

// Replaces path with bytes in one go.
Result<> ReplaceFile(const std::string& path, std::string_view bytes, ReplaceRules rules = {});

// The path of a hidden file beside path's file: its folder, ".", its name and suffix. A name
// too long for that is cut first, never inside a UTF-8 character.
std::string HiddenSibling(const std::string& path, std::string_view suffix);

// The file a path leads to through symbolic links at its last component, followed as far as
// they go (a dangling link gives the missing file it names); the path itself when it is no
// link. Nothing for a loop of links.
std::optional<std::string> FollowLinks(const std::string& path);

} // namespace platform
