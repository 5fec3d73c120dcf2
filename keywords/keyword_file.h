#pragma once

#include "keywords/keyword_encoding.h"

#include <string>
#include <string_view>
#include <vector>

// The keyword file: one keyword per line, in code page 932 or UTF-8, the bytes of each line
// passed through unchanged.
namespace keywords {

// Splits the file's bytes into keywords. A line ends at LF, at CR LF or at a lone CR; the
// line end is not part of the keyword. Empty lines are kept, nothing is trimmed, and a line
// end right before the end of the data adds no empty keyword. Any bytes are accepted.
std::vector<std::string> ParseKeywordFile(std::string_view bytes);

// Each keyword followed by CR LF, nothing else; no keywords give no bytes. A keyword holding
// a CR or LF of its own is written as it is and so reads back as several keywords.
std::string FormatKeywordFile(const std::vector<std::string>& keywords);

struct KeywordFile
{
    std::vector<std::string> keywords; // in the bytes of the encoding
    FileEncoding encoding;
};

// A whole file: its encoding, and its keywords without the byte order mark.
KeywordFile ReadKeywordFile(std::string_view bytes);

// The file of keywords in the encoding they were read in, beginning with the byte order mark
// when the file had one (also when there are no keywords, so the file stays UTF-8).
std::string WriteKeywordFile(const std::vector<std::string>& keywords, FileEncoding encoding);

} // namespace keywords
