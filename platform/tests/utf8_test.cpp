#include "platform/utf8.h"

#include <gtest/gtest.h>

#include <string>

namespace {

struct Utf8Case
{
    const char* name;
    std::string bytes;
    bool valid;
    std::string shown; // ValidUtf8
};

class Utf8Test : public ::testing::TestWithParam<Utf8Case>
{
};

TEST_P(Utf8Test, ValidatesAndReplacesEachBadByte)
{
    const Utf8Case& c = GetParam();
    EXPECT_EQ(platform::IsUtf8(c.bytes), c.valid);
    EXPECT_EQ(platform::ValidUtf8(c.bytes), c.shown);
    EXPECT_TRUE(platform::IsUtf8(platform::ValidUtf8(c.bytes)));
}

INSTANTIATE_TEST_SUITE_P(
    Texts, Utf8Test,
    ::testing::Values(
        Utf8Case{"Empty", "", true, ""}, Utf8Case{"Ascii", "abc", true, "abc"},
        Utf8Case{"Nul", std::string("a\0b", 3), true, std::string("a\0b", 3)},
        Utf8Case{"Japanese", "花火ｱ", true, "花火ｱ"},
        Utf8Case{"FourBytes", "😀\U0010FFFF", true, "😀\U0010FFFF"},
        Utf8Case{"LoneContinuation", "a\x80z", false, "a\uFFFDz"},
        Utf8Case{"Overlong", "\xC0\xAF", false, "\uFFFD\uFFFD"},
        Utf8Case{"OverlongThree", "\xE0\x80\xAF", false, "\uFFFD\uFFFD\uFFFD"},
        Utf8Case{"Surrogate", "\xED\xA0\x80", false, "\uFFFD\uFFFD\uFFFD"},
        Utf8Case{"PastTheLast", "\xF4\x90\x80\x80", false, "\uFFFD\uFFFD\uFFFD\uFFFD"},
        Utf8Case{"CutShort", "\xE8\x8A", false, "\uFFFD\uFFFD"},
        Utf8Case{"CodePage932", "\x89\xD4\x89\xCE", false, "\uFFFD\u0509\uFFFD"},
        Utf8Case{"NeverUsed", "\xFF\xFE", false, "\uFFFD\uFFFD"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(Utf8, CodePointNames)
{
    EXPECT_EQ(platform::CodePointName("A"), "U+0041");
    EXPECT_EQ(platform::CodePointName("花"), "U+82B1");
    EXPECT_EQ(platform::CodePointName("\U000E0041"), "U+E0041");
    EXPECT_EQ(platform::CodePointName("\U0010FFFF"), "U+10FFFF");
    EXPECT_EQ(platform::CodePointName("\x80"), "");
}

} // namespace
