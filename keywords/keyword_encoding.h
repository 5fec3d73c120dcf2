#pragma once

#include "platform/cp932.h"

#include <string>
#include <string_view>

// The text encodings of keyword files. The document keeps each keyword in the bytes of its
// file's encoding; these convert them for people, for the plug-in and from what is typed.
namespace keywords {

enum class TextEncoding {
    Cp932, // the program's own code page: new documents and every file that could be it
    Utf8,  // what today's editors write
};

struct FileEncoding
{
    TextEncoding text = TextEncoding::Cp932;
    bool bom = false; // the file began with a UTF-8 byte order mark, and a save writes it again

    bool operator==(const FileEncoding&) const = default;
};

inline constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";

// The encoding of a keyword file's bytes: UTF-8 when they begin with a byte order mark, or
// when they are UTF-8 and not also code page 932 (a file that is both, such as one of only
// ASCII, stays code page 932 as the program has always read it); else code page 932.
FileEncoding DetectEncoding(std::string_view fileBytes);

// A keyword as UTF-8 for the screen and the terminal; bytes not valid in the encoding show
// as U+FFFD.
std::string KeywordToUtf8(std::string_view keyword, TextEncoding encoding);

// A keyword as the plug-in takes it: code page 932 bytes (a code page 932 keyword as it is,
// whatever its bytes), or why a UTF-8 keyword has none.
platform::Result<std::string> KeywordSearchText(std::string_view keyword, TextEncoding encoding);

// Text the user typed (UTF-8) as a keyword of the encoding, or why it cannot be one.
platform::Result<std::string> KeywordFromUtf8(std::string_view utf8, TextEncoding encoding);

} // namespace keywords
