#pragma once

#include "platform/result.h"

#include <cstddef>
#include <string>
#include <string_view>

// Code page 932 (Shift_JIS with the NEC and IBM extensions): the byte encoding of every text
// that the program and its plug-ins exchange.
namespace platform {

// True for the first byte of a double-byte character (0x81-0x9F, 0xE0-0xFC).
bool IsLeadByte(unsigned char byte);

// Copies the zero-terminated text src into dst with a limit of n bytes without splitting a
// double-byte character. Shorter text is followed by zeros up to n bytes; longer text fills
// exactly n bytes and gets no terminator (the caller's buffer has one more zero byte). A
// double-byte character that would straddle the limit, or a lead byte with no trail byte, is
// replaced by one zero byte. A null src copies the empty text; a null dst writes nothing.
void BoundedCopy(char* dst, const char* src, std::size_t n);

// The number of bytes of text that a bounded copy with limit n keeps.
std::size_t BoundedLength(std::string_view text, std::size_t n);

// True when every byte of text belongs to a character of code page 932 (ASCII included).
bool IsCp932(std::string_view text);

// Code page 932 to UTF-8. Bytes that are not valid code page 932 become U+FFFD, so the result
// is always valid UTF-8 and fit for display; such text is never to be written back.
std::string Cp932ToUtf8(std::string_view cp932);

// UTF-8 to code page 932. Fails, with a message (UTF-8) naming the character and its code point,
// for text that has a character code page 932 cannot hold, also one that iconv would leave out
// without a word (the tag characters U+E0000-E007F), or that is not valid UTF-8. Characters
// are never silently dropped.
Result<std::string> Utf8ToCp932(std::string_view utf8);

} // namespace platform
