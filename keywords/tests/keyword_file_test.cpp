#include "keywords/keyword_file.h"

#include "case_name.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using Keywords = std::vector<std::string>;

struct ParseCase
{
    const char* name;
    std::string bytes;
    Keywords keywords;
};

class ParseKeywordFileTest : public testing::TestWithParam<ParseCase>
{
};

TEST_P(ParseKeywordFileTest, SplitsLinesAsTheyEnd)
{
    EXPECT_EQ(keywords::ParseKeywordFile(GetParam().bytes), GetParam().keywords);
}

// Line-end handling beyond the cases the document tests open from real files.
INSTANTIATE_TEST_SUITE_P(
    LineEnds, ParseKeywordFileTest,
    testing::Values(
        ParseCase{"LoneCrEndsLine", "a\rb", {"a", "b"}}, ParseCase{"LoneCrAtEnd", "a\r", {"a"}},
        ParseCase{"CrBeforeCrLf", "a\r\r\nb", {"a", "", "b"}},
        ParseCase{"LfThenLoneCr", "\n\rx", {"", "", "x"}},
        ParseCase{"LfCrIsTwoLineEnds", "a\n\rb", {"a", "", "b"}},
        ParseCase{"OnlyLineEnd", "\r\n", {""}}, ParseCase{"TwoEmptyLines", "\r\n\r\n", {"", ""}},
        ParseCase{"NoLineEndAtAll", "word", {"word"}},
        ParseCase{"ZeroByteKept", std::string("a\0b\n", 4), {std::string("a\0b", 3)}},
        // 0x5C and 0x7C trail bytes of double-byte characters stay as they are.
        ParseCase{
            "Cp932TrailBytes", "\x83\x5C\x95\x7C\r\n\x93\x8C", {"\x83\x5C\x95\x7C", "\x93\x8C"}}),
    testing_support::CaseName());

TEST(KeywordFileTest, LongLinesAndManyLinesAreKeptWhole)
{
    const std::string longLine(100000, 'k');
    std::string bytes = longLine + "\r\n";
    Keywords expected{longLine};
    for (int i = 0; i < 20000; ++i) {
        expected.push_back(std::to_string(i));
        bytes += std::to_string(i) + (i % 2 ? "\n" : "\r\n");
    }
    EXPECT_EQ(keywords::ParseKeywordFile(bytes), expected);
}

} // namespace
