#include "tools/listing_site/search_query.h"

#include <gtest/gtest.h>

namespace listing_site {
namespace {

using std::chrono::sys_days;
using namespace std::chrono;

struct CDecodeCase
{
    const char* raw;
    std::string decoded;
};

// Names the case in test output.
void PrintTo(const CDecodeCase& c, std::ostream* os)
{
    *os << c.raw;
}

class DecodeQueryValueTest : public ::testing::TestWithParam<CDecodeCase>
{
};

TEST_P(DecodeQueryValueTest, TurnsEscapesAndPlusIntoBytes)
{
    EXPECT_EQ(DecodeQueryValue(GetParam().raw), GetParam().decoded);
}

INSTANTIATE_TEST_SUITE_P(
    Values, DecodeQueryValueTest,
    ::testing::Values(CDecodeCase{"A%26%42", "A&B"}, CDecodeCase{"AB+C", "AB C"},
                      CDecodeCase{"%83%65", "\x83\x65"}, CDecodeCase{"%2b%2B", "++"},
                      CDecodeCase{"\xB1\xC6", "\xB1\xC6"}, CDecodeCase{"%zz%4", "%zz%4"},
                      CDecodeCase{"100%", "100%"}, CDecodeCase{"", ""}));

TEST(ParseQueryString, KeepsTheFirstValueOfANameAndEmptyValues)
{
    const auto params = ParseQueryString("a=1&&b=&a=2&c&d%3D=x+y");
    EXPECT_EQ(params, (std::map<std::string, std::string>{
                          {"a", "1"}, {"b", ""}, {"c", ""}, {"d=", "x y"}}));
}

const sys_days kToday = sys_days(2026y / December / 8);

struct CQueryCase
{
    const char* query;
    bool valid;
    int area = 0;
    sys_days firstDay = kToday;
    int days = 28;
    int startHour = 5;
    int endHour = 29;
};

// Names the case in test output.
void PrintTo(const CQueryCase& c, std::ostream* os)
{
    *os << c.query;
}

class SearchQueryTest : public ::testing::TestWithParam<CQueryCase>
{
};

TEST_P(SearchQueryTest, ReadsOrRefusesTheParameters)
{
    const CQueryCase& c = GetParam();
    const CQueryResult result = ParseSearchQuery(c.query, kToday);
    ASSERT_EQ(result.query.has_value(), c.valid) << result.error;
    if (!c.valid) {
        EXPECT_FALSE(result.error.empty());
        return;
    }
    EXPECT_EQ(result.query->area, c.area);
    EXPECT_EQ(result.query->firstDay, c.firstDay);
    EXPECT_EQ(result.query->days, c.days);
    EXPECT_EQ(result.query->startHour, c.startHour);
    EXPECT_EQ(result.query->endHour, c.endHour);
}

INSTANTIATE_TEST_SUITE_P(
    Queries, SearchQueryTest,
    ::testing::Values(
        CQueryCase{"mode=10&sdate=&ldate=28&shour=05&lhour=24&area=008&key=A", true, 8, kToday, 28,
                   5, 24},
        CQueryCase{"area=001&sdate=20270101&ldate=7", true, 1, sys_days(2027y / January / 1), 7},
        CQueryCase{"area=047&ldate=999&shour=30&lhour=x", true, 47, kToday, 62, 5, 29},
        CQueryCase{"area=010&ldate=0&shour=0&lhour=29", true, 10, kToday, 28, 0, 29},
        CQueryCase{"area=010&ldate=-3", true, 10}, CQueryCase{"area=000", false},
        CQueryCase{"area=048", false}, CQueryCase{"area=8", false}, CQueryCase{"area=0080", false},
        CQueryCase{"key=A", false}, CQueryCase{"area=008&sdate=20260231", false},
        CQueryCase{"area=008&sdate=2026128", false}));

TEST(SearchQuery, KeepsTheKeywordBytes)
{
    const auto query = ParseSearchQuery("area=008&key=%83e%83%8C%83r+%B1%26", kToday).query;
    ASSERT_TRUE(query);
    EXPECT_EQ(query->key, "\x83"
                          "e\x83\x8C\x83r \xB1&");
}

} // namespace
} // namespace listing_site
