#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

// The bytes of a profile file, read the way the Windows profile functions read them and
// edited one line at a time, so a write keeps every byte it does not have to change.
//
// A line ends at LF, CR LF or a lone CR. Blanks (space, tab, VT, FF) around names and values
// do not count. A line whose first non-blank byte is ';' is a comment. "[name]" opens a
// section; text after the first "]" is ignored. A "[" line without "]" opens nothing and
// holds no key: it is a line of its own. Any other line with "=" holds a key (the text before
// the first "=") and its value; a line without "=" holds nothing. Keys before the first
// section belong to no section. Names compare ASCII-case-insensitively. Where a key comes more
// than once in a section, or in repeated sections of one name, the first in the file is the
// one read and written. A UTF-8 byte-order mark at the start is skipped and kept.
//
// The object looks at the caller's text and must not outlive it.
class ProfileText
{
public:
    explicit ProfileText(std::string_view text);

    // True when WithValue can store the value so that it reads back: names must not be blank
    // and, like the value, hold no CR, LF or NUL; a section name holds no "]"; a key holds no
    // "=" and does not begin with ";" or "[" (it would read as a comment or a section).
    static bool CanStore(std::string_view section, std::string_view key, std::string_view value);

    // The value of key in section, without its surrounding blanks and cut at a NUL byte (the
    // Windows functions hand values out as C strings); nothing when there is no such key.
    std::optional<std::string_view> Find(std::string_view section, std::string_view key) const;

    // The whole text with key set, for CanStore arguments. The key's line becomes
    // "key=value" with its own line end, in the key's spelling from the file; a new key goes
    // after the last key of the section's first occurrence (after its "[" line when it has
    // none); a new section goes at the end. New lines take the file's first line end (LF in
    // a file that has none). Every other byte stays as it was.
    std::string WithValue(std::string_view section, std::string_view key,
                          std::string_view value) const;

private:
    enum class Kind { Other, Section, Key };

    struct Line
    {
        std::size_t begin = 0; // first byte (after a byte-order mark)
        std::size_t end = 0;   // first byte of the line end
        std::size_t next = 0;  // first byte of the next line
        Kind kind = Kind::Other;
        std::string_view name;  // section or key name, without blanks
        std::string_view value; // a key's value, as Find gives it
    };

    static Line Classify(std::string_view text, std::size_t begin, std::size_t end);
    std::optional<std::size_t> FindKeyLine(std::string_view section, std::string_view key) const;
    std::optional<std::size_t> FindSectionLine(std::string_view section) const;
    std::string_view LineEnd() const;

    std::string_view m_text;
    std::vector<Line> m_lines;
};

} // namespace platform
