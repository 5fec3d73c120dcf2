// The site's command line: every option reaches its setting, and a bad one is refused with
// the reason.
#include "tools/listing_site/site_options.h"

#include <gtest/gtest.h>

#include <functional>
#include <map>

namespace {

using listing_site::CSiteOptions;

struct Accepted
{
    const char* name;
    std::vector<std::string> args;
    std::function<bool(const CSiteOptions&)> holds;
};

class SiteOptionsAccepted : public ::testing::TestWithParam<Accepted>
{
};

TEST_P(SiteOptionsAccepted, SetTheirOwnSettingAlone)
{
    std::string error = "stale";
    const auto parsed = listing_site::ParseSiteOptions(GetParam().args, error);
    ASSERT_TRUE(parsed) << error;
    EXPECT_TRUE(error.empty());
    EXPECT_TRUE(GetParam().holds(*parsed));
    // Nothing else moved: the same check on the defaults fails.
    EXPECT_FALSE(GetParam().holds(*listing_site::ParseSiteOptions({}, error)));
}

INSTANTIATE_TEST_SUITE_P(
    Table, SiteOptionsAccepted,
    ::testing::Values(
        Accepted{"Crlf", {"--crlf"}, [](const CSiteOptions& o) { return o.crlf && !o.stall; }},
        Accepted{"Stall", {"--stall"}, [](const CSiteOptions& o) { return o.stall && !o.crlf; }},
        Accepted{"RedirectLoop",
                 {"--redirect-loop"},
                 [](const CSiteOptions& o) { return o.redirectLoop && !o.endless; }},
        Accepted{"Endless",
                 {"--endless"},
                 [](const CSiteOptions& o) { return o.endless && !o.redirectLoop; }},
        Accepted{
            "Port", {"--port", "65535"}, [](const CSiteOptions& o) { return o.port == 65535; }},
        Accepted{"Seed", {"--seed", "7"}, [](const CSiteOptions& o) { return o.seed == 7; }},
        Accepted{"Latency",
                 {"--latency-ms", "250"},
                 [](const CSiteOptions& o) { return o.latencyMs == 250; }},
        Accepted{"ResetAfter",
                 {"--reset-after", "0"},
                 [](const CSiteOptions& o) { return o.resetAfter == std::size_t{0}; }},
        Accepted{"PageBytes",
                 {"--page-bytes", "67108864"},
                 [](const CSiteOptions& o) { return o.pageBytes == std::size_t{64} << 20; }},
        Accepted{"ContentEncoding",
                 {"--content-encoding", "gzip"},
                 [](const CSiteOptions& o) { return o.contentEncoding == "gzip"; }},
        Accepted{"Status",
                 {"--status", "AB=503"},
                 [](const CSiteOptions& o) {
                     return o.statusByKey == std::map<std::string, int>{{"AB", 503}};
                 }},
        Accepted{
            "Log", {"--log", "/x/y"}, [](const CSiteOptions& o) { return o.logPath == "/x/y"; }},
        Accepted{"Today",
                 {"--today", "2028-02-29"},
                 [](const CSiteOptions& o) {
                     using namespace std::chrono;
                     return o.today == sys_days(2028y / February / 29);
                 }},
        Accepted{"FlagsAndValuesTogether",
                 {"--crlf", "--port", "8080", "--endless"},
                 [](const CSiteOptions& o) { return o.crlf && o.endless && o.port == 8080; }}),
    [](const ::testing::TestParamInfo<Accepted>& info) { return info.param.name; });

struct Refused
{
    const char* name;
    std::vector<std::string> args;
    const char* error;
};

class SiteOptionsRefused : public ::testing::TestWithParam<Refused>
{
};

TEST_P(SiteOptionsRefused, WithTheReason)
{
    std::string error;
    EXPECT_FALSE(listing_site::ParseSiteOptions(GetParam().args, error));
    EXPECT_EQ(error, GetParam().error);
}

INSTANTIATE_TEST_SUITE_P(
    Table, SiteOptionsRefused,
    ::testing::Values(
        Refused{"Help", {"--crlf", "--help"}, ""},
        Refused{"Unknown", {"--fast"}, "unknown option: --fast"},
        Refused{"FlagWithValueNotTaken", {"--crlf=1"}, "unknown option: --crlf=1"},
        Refused{"MissingValue", {"--crlf", "--port"}, "missing value for --port"},
        Refused{"PortTooLarge", {"--port", "65536"}, "bad value for --port: 65536"},
        Refused{"NotANumber", {"--seed", "7x"}, "bad value for --seed: 7x"},
        Refused{
            "PageTooLarge", {"--page-bytes", "67108865"}, "bad value for --page-bytes: 67108865"},
        Refused{"ControlByteInLabel",
                {"--content-encoding", "gzip\r\nX: y"},
                "bad value for --content-encoding: gzip\r\nX: y"},
        Refused{"EmptyLabel", {"--content-encoding", ""}, "bad value for --content-encoding: "},
        Refused{"NotALeapDay", {"--today", "2026-02-29"}, "bad value for --today: 2026-02-29"},
        Refused{"MonthThirteen", {"--today", "2026-13-01"}, "bad value for --today: 2026-13-01"},
        Refused{"DayZero", {"--today", "2026-12-00"}, "bad value for --today: 2026-12-00"},
        Refused{"CompactDate", {"--today", "20261208"}, "bad value for --today: 20261208"},
        Refused{"SignedYear", {"--today", "+026-12-08"}, "bad value for --today: +026-12-08"},
        Refused{"OneDigitMonth", {"--today", "2026-1-208"}, "bad value for --today: 2026-1-208"},
        Refused{"TrailingText", {"--today", "2026-12-08x"}, "bad value for --today: 2026-12-08x"},
        Refused{"InformationalStatus",
                {"--status", "AB=100"},
                "--status wants KEYWORD=CODE with a code from 200 to 599"}),
    [](const ::testing::TestParamInfo<Refused>& info) { return info.param.name; });

} // namespace
