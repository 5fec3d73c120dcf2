#pragma once

#include <string>
#include <string_view>
#include <vector>

// The keyword file: one keyword per line, code page 932 bytes passed through unchanged.
namespace keywords {

// Splits the file's bytes into keywords. A line ends at LF, at CR LF or at a lone CR; the
// line end is not part of the keyword. Empty lines are kept, nothing is trimmed, and a line
// end right before the end of the data adds no empty keyword. Any bytes are accepted.
std::vector<std::string> ParseKeywordFile(std::string_view bytes);

// Each keyword followed by CR LF, nothing else; no keywords give no bytes. A keyword holding
// a CR or LF of its own is written as it is and so reads back as several keywords.
std::string FormatKeywordFile(const std::vector<std::string>& keywords);

} // namespace keywords
