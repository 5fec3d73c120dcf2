#include "keywords/keyword_encoding.h"

#include "case_name.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using keywords::FileEncoding;
using keywords::TextEncoding;

constexpr FileEncoding kCp932{};
constexpr FileEncoding kUtf8{TextEncoding::Utf8, false};
constexpr FileEncoding kUtf8Bom{TextEncoding::Utf8, true};

struct DetectCase
{
    const char* name;
    std::string bytes;
    FileEncoding encoding;
};

class DetectEncodingTest : public testing::TestWithParam<DetectCase>
{
};

TEST_P(DetectEncodingTest, ReadsUtf8OnlyWhenItCannotBeCodePage932)
{
    EXPECT_EQ(keywords::DetectEncoding(GetParam().bytes), GetParam().encoding);
}

INSTANTIATE_TEST_SUITE_P(
    Files, DetectEncodingTest,
    testing::Values(
        DetectCase{"Empty", "", kCp932}, DetectCase{"Ascii", "drama\r\nnews\n", kCp932},
        DetectCase{"AsciiControls", std::string("a\0\x7F\t\n", 5), kCp932},
        DetectCase{"Cp932", "\x83\x68\x83\x89\x83\x7D\r\n", kCp932},
        DetectCase{"Cp932HalfWidthKana", "\xB1\xB2\xB3\n", kCp932},
        // 温 ends in 89, a lead byte of code page 932 that a line end cannot follow.
        DetectCase{"Utf8", "花火\n温泉\n", kUtf8}, DetectCase{"Utf8OneLine", "温泉", kUtf8},
        DetectCase{"Utf8Katakana", "ドラマ", kUtf8}, DetectCase{"Utf8Emoji", "番組😀", kUtf8},
        DetectCase{"Utf8HalfWidthKana", "ｱｲｳ", kUtf8},
        // Both readings are possible: the file stays code page 932.
        DetectCase{"BothKanji", "花火\n", kCp932}, DetectCase{"BothKatakana", "ニュース", kCp932},
        DetectCase{"Utf8ThenBadByte", "温泉\xFF", kCp932},
        DetectCase{"Utf8Overlong", "温泉\xC0\xAF", kCp932},
        DetectCase{"Bom", "\xEF\xBB\xBF花火\n", kUtf8Bom},
        DetectCase{"BomAscii",
                   "\xEF\xBB\xBF"
                   "a",
                   kUtf8Bom},
        DetectCase{"BomOnly", "\xEF\xBB\xBF", kUtf8Bom},
        DetectCase{"BomThenCp932", "\xEF\xBB\xBF\x83\x68", kUtf8Bom},
        DetectCase{"BomCutShort", "\xEF\xBB", kCp932},
        DetectCase{"BomNotAtStart", "a\xEF\xBB\xBF", kUtf8}),
    testing_support::CaseName());

struct ConvertCase
{
    const char* name;
    std::string keyword;
    TextEncoding encoding;
    std::string shown;    // KeywordToUtf8
    const char* searched; // KeywordSearchText; nullptr: no search text
    const char* why;      // part of the reason when there is none
};

class KeywordConvertTest : public testing::TestWithParam<ConvertCase>
{
};

TEST_P(KeywordConvertTest, ForPeopleAndForThePlugin)
{
    const ConvertCase& c = GetParam();
    EXPECT_EQ(keywords::KeywordToUtf8(c.keyword, c.encoding), c.shown);
    const platform::Cp932Result search = keywords::KeywordSearchText(c.keyword, c.encoding);
    if (c.searched) {
        EXPECT_EQ(search.text, std::optional<std::string>(c.searched)) << search.error;
        EXPECT_EQ(search.error, "");
    } else {
        EXPECT_FALSE(search.text.has_value());
        EXPECT_NE(search.error.find(c.why), std::string::npos) << search.error;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Keywords, KeywordConvertTest,
    testing::Values(
        ConvertCase{"Cp932", "\x89\xD4\x89\xCE", TextEncoding::Cp932, "花火", "\x89\xD4\x89\xCE",
                    nullptr},
        // Code page 932 bytes reach the plug-in as they are, also when they are no text.
        ConvertCase{"Cp932BadBytes", "a\x81", TextEncoding::Cp932, "a\uFFFD", "a\x81", nullptr},
        ConvertCase{"Utf8", "花火", TextEncoding::Utf8, "花火", "\x89\xD4\x89\xCE", nullptr},
        ConvertCase{"Utf8Ascii", "news", TextEncoding::Utf8, "news", "news", nullptr},
        ConvertCase{"Utf8WaveDash", "\u301C", TextEncoding::Utf8, "\u301C", "\x81\x60", nullptr},
        ConvertCase{"Utf8Emoji", "番組😀", TextEncoding::Utf8, "番組😀", nullptr, "U+1F600"},
        ConvertCase{"Utf8Hangul", "한", TextEncoding::Utf8, "한", nullptr, "한"},
        ConvertCase{"Utf8Tag", "A\U000E0041", TextEncoding::Utf8, "A\U000E0041", nullptr,
                    "U+E0041"},
        ConvertCase{"Utf8BadBytes", "a\x81", TextEncoding::Utf8, "a\uFFFD", nullptr, "UTF-8"}),
    testing_support::CaseName());

struct TypedCase
{
    const char* name;
    std::string typed;
    TextEncoding encoding;
    const char* stored; // nullptr: refused
};

class KeywordFromUtf8Test : public testing::TestWithParam<TypedCase>
{
};

// A code page 932 document takes only what the code page holds; a UTF-8 document any text.
TEST_P(KeywordFromUtf8Test, StoresTheDocumentsBytes)
{
    const TypedCase& c = GetParam();
    const platform::Cp932Result stored = keywords::KeywordFromUtf8(c.typed, c.encoding);
    if (c.stored) {
        EXPECT_EQ(stored.text, std::optional<std::string>(c.stored)) << stored.error;
    } else {
        EXPECT_FALSE(stored.text.has_value());
        EXPECT_FALSE(stored.error.empty());
    }
}

INSTANTIATE_TEST_SUITE_P(
    Typed, KeywordFromUtf8Test,
    testing::Values(TypedCase{"Cp932", "花火", TextEncoding::Cp932, "\x89\xD4\x89\xCE"},
                    TypedCase{"Cp932Emoji", "😀", TextEncoding::Cp932, nullptr},
                    TypedCase{"Utf8", "花火", TextEncoding::Utf8, "花火"},
                    TypedCase{"Utf8Emoji", "😀", TextEncoding::Utf8, "😀"},
                    TypedCase{"Utf8Tag", "A\U000E0041", TextEncoding::Utf8, "A\U000E0041"},
                    TypedCase{"Utf8NotUtf8", "a\xFF", TextEncoding::Utf8, nullptr}),
    testing_support::CaseName());

} // namespace
