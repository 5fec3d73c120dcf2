#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

// The request target of the listing site's keyword search.
namespace medora {

// Longest encoded keyword, in bytes.
inline constexpr std::size_t kMaxEncodedKeywordBytes = 255;

// "001".."047" for the prefectures 1..47 of the query bar's list; "008" (Tokyo) otherwise.
std::string RegionCode(std::int32_t region);

// The keyword as the site's "key" value. Digits, ASCII letters and half-width katakana pass
// as they are, a space becomes "+", every other byte becomes "%XX" and makes the next byte an
// escape too, so both bytes of a double-byte character are escaped. The result is cut before
// the first unit that would pass 255 bytes; a null keyword gives "".
std::string EncodeKeyword(const char* keyword);

// "/tv.php" with the eleven query parameters, at most size bytes long: each parameter is
// appended as far as it fits without splitting a double-byte character.
std::string BuildSearchUrl(const char* keyword, std::int32_t region, std::string_view startDate,
                           std::string_view period, std::size_t size);

} // namespace medora
