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

} // namespace
