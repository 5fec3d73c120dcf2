#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// Well-formed UTF-8 (no overlong forms, surrogates or code points past U+10FFFF): the text of
// the screen, the terminal and keyword files written by today's editors.
namespace platform {

inline constexpr std::string_view kNotUtf8Text = "UTF-8 として正しくない文字が含まれています。";

// Length of the well-formed UTF-8 character at the start of text; 0 when there is none (a
// byte that begins no character, an overlong form, a surrogate, a code point beyond U+10FFFF
// or a character cut short).
std::size_t Utf8CharacterLength(std::string_view text);

bool IsUtf8(std::string_view text);

// The text with every byte that belongs to no well-formed character replaced by U+FFFD, fit
// for a screen or a terminal.
std::string ValidUtf8(std::string_view text);

// The code point of a well-formed character as people write it: "U+E0041".
std::string CodePointName(std::string_view character);

} // namespace platform
