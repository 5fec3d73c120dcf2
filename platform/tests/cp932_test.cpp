#include "platform/cp932.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using platform::BoundedCopy;

// Copies text with limit n into a buffer of n + 1 zero bytes followed by guard bytes, the way
// the plug-in contract's callers prepare theirs.
std::string CopyWithGuard(const char* text, std::size_t n, std::string* guard = nullptr)
{
    std::vector<char> buffer(n + 1 + 4, 'G');
    std::fill(buffer.begin(), buffer.begin() + static_cast<long>(n) + 1, '\0');
    BoundedCopy(buffer.data(), text, n);
    if (guard)
        *guard = std::string(buffer.end() - 4, buffer.end());
    return std::string(buffer.data(), n + 1);
}

TEST(Cp932, LeadBytesAreTheTwoDoubleByteRanges)
{
    for (int b = 0; b < 256; ++b) {
        bool expected = (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC);
        EXPECT_EQ(platform::IsLeadByte(static_cast<unsigned char>(b)), expected) << b;
    }
}

struct BoundedCase
{
    const char* text;
    std::size_t limit;
    std::string expected; // all limit + 1 bytes of the buffer
};

class BoundedCopyTest : public ::testing::TestWithParam<BoundedCase>
{
};

TEST_P(BoundedCopyTest, WritesExactlyTheLimitAndNeverSplitsACharacter)
{
    const BoundedCase& c = GetParam();
    std::string guard;
    EXPECT_EQ(CopyWithGuard(c.text, c.limit, &guard), c.expected);
    EXPECT_EQ(guard, "GGGG") << "wrote past the buffer";
}

// "テ" is 83 65, "ｱ" is B1 (single byte), "A" is 41.
INSTANTIATE_TEST_SUITE_P(
    Boundaries, BoundedCopyTest,
    ::testing::Values(
        BoundedCase{"AB", 5, std::string("AB\0\0\0\0", 6)},         // zero fill below the limit
        BoundedCase{"ABCDE", 5, std::string("ABCDE\0", 6)},         // exactly the limit
        BoundedCase{"ABCDEF", 5, std::string("ABCDE\0", 6)},        // longer: cut, no terminator
        BoundedCase{"A\x83\x65", 3, std::string("A\x83\x65\0", 4)}, // character ends at limit
        BoundedCase{"AB\x83\x65", 3, std::string("AB\0\0", 4)},     // straddles: one zero byte
        BoundedCase{"\x83\x65\x83\x65", 3, std::string("\x83\x65\0\0", 4)},
        BoundedCase{"\x83\x65", 1, std::string("\0\0", 2)},
        BoundedCase{"\xB1\xB2\xB3", 2, std::string("\xB1\xB2\0", 3)}, // half-width kana: 1 byte
        BoundedCase{"A\x83", 5, std::string("A\0\0\0\0\0", 6)},       // lead byte without trail
        BoundedCase{"", 3, std::string("\0\0\0\0", 4)},
        BoundedCase{"ABC", 0, std::string("\0", 1)}));

TEST(Cp932, BoundedCopyHandlesNullArguments)
{
    EXPECT_EQ(CopyWithGuard(nullptr, 3), std::string("\0\0\0\0", 4));
    BoundedCopy(nullptr, "text", 4); // must not crash
    EXPECT_EQ(platform::BoundedLength("AB\x83\x65", 3), 2u);
}

TEST(Cp932, ConvertsBothWaysIncludingVendorExtensions)
{
    // "東京テレビ①" with the NEC circled digit 87 40 and half-width "ｱ".
    const std::string cp932 = "\x93\x8C\x8B\x9E\x83\x65\x83\x8C\x83\x72\x87\x40\xB1";
    const std::string utf8 = "東京テレビ①ｱ";
    EXPECT_EQ(platform::Cp932ToUtf8(cp932), utf8);
    auto back = platform::Utf8ToCp932(utf8);
    ASSERT_TRUE(back) << back.error;
    EXPECT_EQ(back.value, cp932);
    // The full-width tilde of Windows text maps to 81 60.
    EXPECT_EQ(platform::Utf8ToCp932("～").value, "\x81\x60");
}

TEST(Cp932, UndecodableBytesShowAsReplacementCharacters)
{
    // A lone trail byte, an unassigned double-byte code and a truncated lead byte.
    EXPECT_EQ(platform::Cp932ToUtf8(std::string("a\x80z")), "a\xEF\xBF\xBDz");
    EXPECT_EQ(platform::Cp932ToUtf8(std::string("a\x85\x40z")), "a\xEF\xBF\xBDz");
    EXPECT_EQ(platform::Cp932ToUtf8(std::string("a\x83")), "a\xEF\xBF\xBD");
}

TEST(Cp932, TextOutsideTheCodePageIsRefusedWithAMessage)
{
    auto emoji = platform::Utf8ToCp932("番組😀");
    EXPECT_FALSE(emoji);
    EXPECT_NE(emoji.error.find("😀"), std::string::npos) << emoji.error;

    auto hangul = platform::Utf8ToCp932("한");
    EXPECT_FALSE(hangul);

    auto broken = platform::Utf8ToCp932(std::string("a\xC3"));
    EXPECT_FALSE(broken);
    EXPECT_FALSE(broken.error.empty());
}

struct EncodeCase
{
    const char* name;
    std::string utf8;
    const char* cp932; // nullptr: refused
    const char* named; // refused: the message names the character by its code point
};

class Utf8ToCp932Test : public ::testing::TestWithParam<EncodeCase>
{
};

// A character is converted to its own bytes or the text is refused: iconv must never leave
// one out without a word.
TEST_P(Utf8ToCp932Test, ConvertsOrRefusesNeverDrops)
{
    const EncodeCase& c = GetParam();
    const platform::Result<std::string> result = platform::Utf8ToCp932(c.utf8);
    if (c.cp932) {
        ASSERT_TRUE(result) << result.error;
        EXPECT_EQ(result.value, c.cp932);
        EXPECT_EQ(result.error, "");
        return;
    }
    EXPECT_FALSE(result) << result.value;
    EXPECT_NE(result.error.find(c.named), std::string::npos) << result.error;
}

INSTANTIATE_TEST_SUITE_P(
    Characters, Utf8ToCp932Test,
    ::testing::Values(
        // Tag characters (U+E0000-E007F) were dropped by iconv without an error.
        EncodeCase{"TagLetter", "A\U000E0041B", nullptr, "U+E0041"},
        EncodeCase{"LanguageTag", "\U000E0001ja", nullptr, "U+E0001"},
        EncodeCase{"CancelTagLast", "番組\U000E007F", nullptr, "U+E007F"},
        EncodeCase{"TagAfterNul", std::string("\0\U000E0020", 5), nullptr, "U+E0020"},
        // Invisible characters iconv refuses on its own stay refused.
        EncodeCase{"VariationSelector16", "☆\uFE0F", nullptr, "U+FE0F"},
        EncodeCase{"VariationSelector1", "葛\uFE00", nullptr, "U+FE00"},
        EncodeCase{"IdeographicVariation", "葛\U000E0100", nullptr, "U+E0100"},
        EncodeCase{"LastIdeographicVariation", "葛\U000E01EF", nullptr, "U+E01EF"},
        EncodeCase{"ByteOrderMark", "\uFEFFa", nullptr, "U+FEFF"},
        EncodeCase{"ZeroWidthJoiner", "a\u200Db", nullptr, "U+200D"},
        EncodeCase{"ZeroWidthSpace", "a\u200Bb", nullptr, "U+200B"},
        EncodeCase{"Emoji", "番組😀", nullptr, "U+1F600"},
        // Characters that code page 932 writes with the bytes of a look-alike are kept: they
        // are how other systems spell the code page's own wave dash and minus sign.
        EncodeCase{"WaveDash", "\u301C", "\x81\x60", nullptr},
        EncodeCase{"MinusSign", "\u2212", "\x81\x7C", nullptr},
        EncodeCase{"PlainText", "東京ｱ①", "\x93\x8C\x8B\x9E\xB1\x87\x40", nullptr},
        EncodeCase{"Empty", "", "", nullptr}),
    [](const auto& info) { return std::string(info.param.name); });

// Bytes that are not UTF-8 are reported as such: quoting them as a character that code page
// 932 lacks would be wrong, and would put bytes that cannot be shown into the message.
TEST(Cp932, BytesThatAreNotUtf8AreNeverQuotedAsACharacter)
{
    const std::string notUtf8 = "UTF-8 として正しくない文字が含まれています。";
    const std::vector<std::string> inputs = {
        "a\xF8\xBD\xA6",     // F8 begins no sequence
        "a\xFF\xB1\xB2",     // nor does FF
        "a\xED\xA0\x80",     // a surrogate
        "a\xE0\x80\xAF",     // an overlong "/"
        "a\xF4\x90\x80\x80", // beyond U+10FFFF
        // Found by fuzzing.
        std::string("\x20\x00\xFF\xB1\xB2\xB3\x20\x83\x5C\x3D\x87\x98\x98\x98\x98\x98"
                    "\x98\x98\x8A\xFE\x40\xED\x40\x20\x81\x5C\x5C\x0D\x0A\x00\xBD\x20",
                    32),
    };
    for (const std::string& input : inputs) {
        const platform::Result<std::string> result = platform::Utf8ToCp932(input);
        EXPECT_FALSE(result);
        EXPECT_EQ(result.error, notUtf8) << input.size();
    }
    // A real character that code page 932 lacks is still named, also after a NUL byte.
    EXPECT_NE(platform::Utf8ToCp932(std::string("\0\xF0\x9F\x98\x80", 5)).error.find("😀"),
              std::string::npos);
}

} // namespace
