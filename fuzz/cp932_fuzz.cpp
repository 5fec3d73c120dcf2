// Code page 932 conversions and bounded copies. The input is taken both as code page 932 and
// as UTF-8; its first byte also gives the limit of a bounded copy of the text.
#include "fuzz/fuzz_support.h"
#include "platform/cp932.h"

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>

namespace {

constexpr std::string_view kReplacement = "\xEF\xBF\xBD"; // U+FFFD

bool IsValidUtf8(std::string_view text)
{
    std::size_t i = 0;
    while (i < text.size()) {
        const auto lead = static_cast<unsigned char>(text[i]);
        std::size_t length = 1;
        char32_t code = lead;
        if (lead >= 0xF0 && lead <= 0xF4)
            length = 4, code = lead & 0x07;
        else if (lead >= 0xE0 && lead <= 0xEF)
            length = 3, code = lead & 0x0F;
        else if (lead >= 0xC2 && lead <= 0xDF)
            length = 2, code = lead & 0x1F;
        else if (lead >= 0x80)
            return false;
        if (i + length > text.size())
            return false;
        for (std::size_t k = 1; k < length; ++k) {
            const auto next = static_cast<unsigned char>(text[i + k]);
            if ((next & 0xC0) != 0x80)
                return false;
            code = (code << 6) | (next & 0x3F);
        }
        const char32_t least[] = {0, 0, 0x80, 0x800, 0x10000};
        if (code < least[length] || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF))
            return false;
        i += length;
    }
    return true;
}

// Where each character of a code page 932 text begins: a lead byte and its trail are one.
bool EndsOnCharacterBoundary(std::string_view text)
{
    std::size_t i = 0;
    while (i < text.size())
        i += platform::IsLeadByte(static_cast<unsigned char>(text[i])) ? 2 : 1;
    return i == text.size();
}

void CheckBoundedCopy(std::string_view input)
{
    const std::size_t limit = input.empty() ? 0 : static_cast<unsigned char>(input[0]) % 40;
    const std::string source(input.substr(input.empty() ? 0 : 1)); // a NUL ends it early
    const std::string_view text(source.c_str());
    // Exactly limit bytes, so that AddressSanitizer sees any write past them.
    const auto buffer = std::make_unique<char[]>(limit);
    std::memset(buffer.get(), 0x7F, limit);
    platform::BoundedCopy(buffer.get(), source.c_str(), limit);

    const std::size_t kept = platform::BoundedLength(text, limit);
    FUZZ_CHECK(kept <= limit && kept <= text.size());
    FUZZ_CHECK(EndsOnCharacterBoundary(text.substr(0, kept)));
    FUZZ_CHECK(std::string_view(buffer.get(), kept) == text.substr(0, kept));
    for (std::size_t i = kept; i < limit; ++i)
        FUZZ_CHECK(buffer[i] == '\0');
    // Only a character that does not fit, or a lead byte with nothing after it, stops early.
    if (kept < limit && kept < text.size()) {
        FUZZ_CHECK(platform::IsLeadByte(static_cast<unsigned char>(text[kept])));
        FUZZ_CHECK(kept + 1 == limit || kept + 1 == text.size());
    }
}

// Characters of valid UTF-8: every byte but the continuation bytes begins one.
std::size_t CharacterCount(std::string_view utf8)
{
    std::size_t count = 0;
    for (const char byte : utf8)
        count += (static_cast<unsigned char>(byte) & 0xC0) != 0x80 ? 1 : 0;
    return count;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view input(reinterpret_cast<const char*>(data), size);

    // As code page 932: always valid UTF-8; text that decoded cleanly converts back to text
    // that decodes the same (code page 932 has a few characters twice, so not byte for byte).
    const std::string utf8 = platform::Cp932ToUtf8(input);
    FUZZ_CHECK(IsValidUtf8(utf8));
    FUZZ_CHECK(utf8.size() >= input.size()); // no byte is lost, a NUL included
    const platform::Result<std::string> back = platform::Utf8ToCp932(utf8);
    if (utf8.find(kReplacement) == std::string::npos) {
        FUZZ_CHECK(back);
        FUZZ_CHECK(platform::Cp932ToUtf8(back.value) == utf8);
    }

    // As UTF-8: refused with a message that can be shown, or converted to text that stays the
    // same through a further round trip and has lost no character on the way.
    const platform::Result<std::string> converted = platform::Utf8ToCp932(input);
    if (converted) {
        FUZZ_CHECK(converted.error.empty());
        FUZZ_CHECK(IsValidUtf8(input));
        const std::string again = platform::Cp932ToUtf8(converted.value);
        FUZZ_CHECK(CharacterCount(again) == CharacterCount(input));
        const platform::Result<std::string> twice = platform::Utf8ToCp932(again);
        FUZZ_CHECK(twice && twice.value == converted.value);
    } else {
        FUZZ_CHECK(!converted.error.empty());
        FUZZ_CHECK(IsValidUtf8(converted.error));
    }

    CheckBoundedCopy(input);
    return 0;
}
