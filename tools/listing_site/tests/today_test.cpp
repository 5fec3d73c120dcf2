// --today: the day a search with an empty sdate starts on, whatever the clock says.
#include "tools/listing_site/listing_server.h"
#include "tools/listing_site/result_page.h"

#include "platform/cp932.h"

#include <httplib.h>

#include <gtest/gtest.h>

namespace {

using namespace std::chrono;

struct TodayCase
{
    const char* name;
    const char* today;
    sys_days day;
};

void PrintTo(const TodayCase& c, std::ostream* os)
{
    *os << c.name;
}

class SiteToday : public ::testing::TestWithParam<TodayCase>
{
};

// Listings are one line each and begin with their day: the page of a one-day search lists
// that day only.
TEST_P(SiteToday, IsTheFirstDayOfASearchWithoutSdate)
{
    std::string error;
    const auto options = listing_site::ParseSiteOptions({"--today", GetParam().today}, error);
    ASSERT_TRUE(options) << error;
    listing_site::CListingServer site(*options);
    const int port = site.Start();
    ASSERT_GT(port, 0);
    httplib::Client client("127.0.0.1", port);
    const auto answer =
        client.Get("/tv.php?sdate=&ldate=1&area=008&key=%83%6A%83%85%81%5B%83%58"); // ニュース
    ASSERT_TRUE(answer);
    ASSERT_EQ(answer->status, 200);
    const std::string page = platform::Cp932ToUtf8(answer->body);
    const std::string dayCell = "<td class=\"date\">" + listing_site::FormatDay(GetParam().day);
    std::size_t rows = 0;
    for (std::size_t at = page.find("<tr><td"); at != std::string::npos;
         at = page.find("<tr><td", at + 1), ++rows)
        ASSERT_EQ(page.compare(at + 4, dayCell.size(), dayCell), 0) << page.substr(at, 80);
    EXPECT_GT(rows, 0u);
}

INSTANTIATE_TEST_SUITE_P(
    Days, SiteToday,
    ::testing::Values(TodayCase{"Demo", "2026-12-08", 2026y / December / 8},
                      TodayCase{"DayAfter", "2026-12-09", 2026y / December / 9},
                      TodayCase{"LeapDay", "2028-02-29", 2028y / February / 29}),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace
