// medora's keyword encoding and search address, through the exported PIN_GetSearchUrl with a
// buffer of exactly the size it is given. Input layout (FuzzedDataProvider): the start date
// and the period as backslash-ended texts at the front, the keyword after them, and from the
// back a region (4 bytes) and a buffer size (2 bytes).
#include "fuzz/fuzz_support.h"
#include "search_url.h"
#include "settings.h"
#include "vistrel_plugin.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>

namespace {

constexpr std::string_view kPath = "/tv.php";

bool IsSafe(unsigned char byte)
{
    return (byte >= '0' && byte <= '9') || (byte >= 'A' && byte <= 'Z') ||
           (byte >= 'a' && byte <= 'z') || (byte >= 0xA6 && byte <= 0xDF);
}

int HexDigit(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1; // lower case is not what the site is sent
}

// Checks the rules of the "key" value and returns the bytes it stands for: safe bytes as they
// are, "+" for a space, "%XX" for the rest, and an escaped unsafe byte escapes the next one.
std::string DecodeKey(std::string_view key)
{
    std::string bytes;
    bool pairOpen = false;
    std::size_t i = 0;
    while (i < key.size()) {
        if (key[i] == '%') {
            FUZZ_CHECK(i + 2 < key.size());
            const int high = HexDigit(key[i + 1]);
            const int low = HexDigit(key[i + 2]);
            FUZZ_CHECK(high >= 0 && low >= 0);
            const auto byte = static_cast<unsigned char>(high * 16 + low);
            // An escape that opens a pair is for a byte that could not go as it is.
            FUZZ_CHECK(pairOpen || (!IsSafe(byte) && byte != ' '));
            pairOpen = !pairOpen;
            bytes += static_cast<char>(byte);
            i += 3;
            continue;
        }
        FUZZ_CHECK(!pairOpen);
        const auto byte = static_cast<unsigned char>(key[i]);
        FUZZ_CHECK(byte == '+' || IsSafe(byte));
        bytes += byte == '+' ? ' ' : key[i];
        ++i;
    }
    return bytes;
}

void CheckEncoding(const std::string& keyword)
{
    const std::string key = medora::EncodeKeyword(keyword.c_str());
    FUZZ_CHECK(key.size() <= medora::kMaxEncodedKeywordBytes);
    const std::string decoded = DecodeKey(key);
    const std::string_view text(keyword.c_str()); // the keyword ends at its first NUL
    FUZZ_CHECK(text.starts_with(decoded));
    // Cut short only where the next unit (at most 3 bytes) would not have fitted.
    if (decoded.size() < text.size())
        FUZZ_CHECK(key.size() + 3 > medora::kMaxEncodedKeywordBytes);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    FuzzedDataProvider input(data, size);
    const auto region = input.ConsumeIntegral<std::int32_t>();
    const auto limit = input.ConsumeIntegralInRange<std::size_t>(0, 400);
    // Settings never hold a NUL: the profile gives C strings, the dialog typed text.
    medora::SetStartDate(input.ConsumeRandomLengthString(16).c_str());
    medora::SetPeriod(input.ConsumeRandomLengthString(4).c_str());
    const std::string keyword = input.ConsumeRemainingBytesAsString();
    CheckEncoding(keyword);

    // The contract's buffer: limit bytes and one more for the terminator, nothing beyond.
    const auto buffer = std::make_unique<char[]>(limit + 1);
    std::memset(buffer.get(), 0x7F, limit);
    buffer[limit] = '\0';
    PIN_GetSearchUrl(buffer.get(), static_cast<std::int32_t>(limit), keyword.c_str(), region);
    const std::string_view url(buffer.get());
    FUZZ_CHECK(url.size() <= limit);
    for (std::size_t i = url.size(); i <= limit; ++i)
        FUZZ_CHECK(buffer[i] == '\0');
    FUZZ_CHECK(url == kPath.substr(0, limit) || url.starts_with(kPath));

    // With room for all of it, the address ends in the area and the whole encoded keyword.
    const std::string whole =
        medora::BuildSearchUrl(keyword.c_str(), region, medora::StartDate(), medora::Period(),
                               static_cast<std::size_t>(-1));
    const std::string tail =
        "&area=" + medora::RegionCode(region) + "&key=" + medora::EncodeKeyword(keyword.c_str());
    FUZZ_CHECK(whole.starts_with(std::string(kPath) + "?mode=10&site=007&sort=d&sdate="));
    FUZZ_CHECK(whole.ends_with(tail));
    if (whole.size() <= limit)
        FUZZ_CHECK(url == whole);
    return 0;
}
