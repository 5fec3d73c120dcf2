#include "tools/listing_site/site_options.h"

#include <gtest/gtest.h>

namespace listing_site {
namespace {

TEST(SiteOptions, ReadsEveryOption)
{
    std::string error;
    const auto options = ParseSiteOptions(
        {"--port", "8123", "--seed", "42", "--latency-ms", "250", "--status", "ドラマ=404",
         "--status", "a=b=503", "--reset-after", "100", "--stall", "--crlf", "--log", "/tmp/x.log"},
        error);
    ASSERT_TRUE(options) << error;
    EXPECT_EQ(options->port, 8123);
    EXPECT_EQ(options->seed, 42u);
    EXPECT_EQ(options->latencyMs, 250);
    EXPECT_EQ(options->statusByKey.at("\x83\x68\x83\x89\x83\x7D"), 404);
    EXPECT_EQ(options->statusByKey.at("a=b"), 503);
    EXPECT_EQ(options->resetAfter, std::optional<std::size_t>(100));
    EXPECT_TRUE(options->stall);
    EXPECT_TRUE(options->crlf);
    EXPECT_EQ(options->logPath, "/tmp/x.log");

    const auto defaults = ParseSiteOptions({}, error);
    ASSERT_TRUE(defaults);
    EXPECT_EQ(defaults->port, 0);
    EXPECT_FALSE(defaults->resetAfter || defaults->stall || defaults->crlf);
}

class BadSiteOptionsTest : public ::testing::TestWithParam<std::vector<std::string>>
{
};

TEST_P(BadSiteOptionsTest, AreRefusedWithAReason)
{
    std::string error;
    EXPECT_FALSE(ParseSiteOptions(GetParam(), error));
    EXPECT_FALSE(error.empty());
}

INSTANTIATE_TEST_SUITE_P(Options, BadSiteOptionsTest,
                         ::testing::Values(std::vector<std::string>{"--port"},
                                           std::vector<std::string>{"--port", "65536"},
                                           std::vector<std::string>{"--port", "80x"},
                                           std::vector<std::string>{"--latency-ms", "-1"},
                                           std::vector<std::string>{"--status", "key"},
                                           std::vector<std::string>{"--status", "key=99"},
                                           std::vector<std::string>{"--status", "\xFF=404"},
                                           std::vector<std::string>{"--reset-after", "many"},
                                           std::vector<std::string>{"--bind", "0.0.0.0"}));

TEST(SiteOptions, HelpIsNoError)
{
    std::string error = "stale";
    EXPECT_FALSE(ParseSiteOptions({"--port", "1", "--help"}, error));
    EXPECT_EQ(error, "");
}

} // namespace
} // namespace listing_site
