// Batch mode with a plug-in that counts listings: the counts as further fields of the "OK"
// lines once the page is written, --new-only, the news handed to the caller, and the exit
// statuses as without counts.
#include "batch_fixture.h"

#include "app/batch/batch_run.h"
#include "app/batch/terminal_ui.h"

#include <gmock/gmock.h>

#include <filesystem>
#include <sstream>

namespace batch_test {
namespace {

using ::testing::ElementsAreArray;
using ::testing::HasSubstr;
using News = std::vector<std::pair<std::string, int>>;

struct CCountsCase
{
    const char* name;
    const char* plugin;
    std::vector<std::string> keywords; // "欠番" is answered with 404
    const char* counts;                // what the plug-in tells, pair by pair
    bool mergeFails;
    bool newOnly;
    int exitCode;
    std::vector<std::string> lines; // of standard output; "PAGE" is the result page's path
    std::string errText;            // on standard error
    News news;
};

void PrintTo(const CCountsCase& c, std::ostream* os)
{
    *os << c.name;
}

class BatchCounts : public CBatchTest, public ::testing::WithParamInterface<CCountsCase>
{
};

TEST_P(BatchCounts, PrintsTheCountsOnceThePageIsWritten)
{
    const CCountsCase& c = GetParam();
    listing_site::CSiteOptions options;
    options.statusByKey[Cp932("欠番")] = 404;
    StartSite(options);
    const std::string server = AddTestPlugins();
    testing_support::CScopedEnv env{{"VISTREL_TEST_SERVER", server.c_str()},
                                    {"VISTREL_TEST_COUNTS", c.counts},
                                    {"VISTREL_TEST_MERGE_FAILS", c.mergeFails ? "1" : nullptr}};
    ASSERT_TRUE(m_config.WriteInt(config::Key::ConnectNum, 1)); // jobs end in row order
    std::vector<std::string> args = {
        "--search", WriteKeywords(c.keywords), "--area", "東京", "--plugin", c.plugin};
    if (c.newOnly)
        args.emplace_back("--new-only");
    const platform::Result<batch::BatchArgs> parsed = batch::ParseBatchArgs(args);
    ASSERT_TRUE(parsed) << parsed.error;
    std::ostringstream out, err;
    batch::BatchNews news;
    const int code = batch::RunBatchSearch(parsed.value, ProgramFolder(), out, err, &news);

    EXPECT_EQ(code, c.exitCode) << err.str();
    std::vector<std::string> lines;
    std::istringstream text(out.str());
    for (std::string line; std::getline(text, line);)
        lines.push_back(line);
    const std::string page = std::filesystem::exists(news.pagePath) ? news.pagePath : "(none)";
    std::vector<std::string> expected = c.lines;
    std::ranges::replace(expected, std::string("PAGE"), page);
    EXPECT_THAT(lines, ElementsAreArray(expected)) << out.str();
    EXPECT_THAT(err.str(), HasSubstr(c.errText));
    EXPECT_EQ(news.keywords, c.news);
    EXPECT_TRUE(TvFiles().empty());
}

INSTANTIATE_TEST_SUITE_P(
    Table, BatchCounts,
    ::testing::Values(
        CCountsCase{"CountsFollowTheirKeywords",
                    "counting",
                    {"ドラマ", "欠番", "ニュース", "映画"},
                    "42,3,7,-1,0,0",
                    false,
                    false,
                    batch::kExitPartial,
                    {"NG\t欠番\tHTTP 404", "OK\tドラマ\t42\t3", "OK\tニュース\t7\t-",
                     "OK\t映画\t0\t0", "PAGE"},
                    "4/4 件終了（失敗 1 件）",
                    {{"ドラマ", 3}}},
        CCountsCase{"NewOnly",
                    "counting",
                    {"ドラマ", "欠番", "ニュース", "映画"},
                    "42,3,7,-1,5,2",
                    false,
                    true,
                    batch::kExitPartial,
                    {"OK\tドラマ\t42\t3", "OK\t映画\t5\t2", "PAGE"},
                    "NG\t欠番\tHTTP 404\n",
                    {{"ドラマ", 3}, {"映画", 2}}},
        CCountsCase{"NewOnlyWithNothingNewPrintsNothing",
                    "counting",
                    {"ドラマ", "ニュース"},
                    "42,0,7,-1",
                    false,
                    true,
                    batch::kExitMerged,
                    {},
                    "2/2 件終了",
                    {}},
        CCountsCase{"CountsNotToBeTrusted",
                    "counting",
                    {"ドラマ", "ニュース"},
                    "42,3",
                    false,
                    false,
                    batch::kExitMerged,
                    {"OK\tドラマ", "OK\tニュース", "PAGE"},
                    "",
                    {}},
        CCountsCase{"MergeFails",
                    "counting",
                    {"ドラマ", "欠番", "ニュース"},
                    "42,3,7,1",
                    true,
                    false,
                    batch::kExitFailed,
                    {"NG\t欠番\tHTTP 404", "OK\tドラマ", "OK\tニュース"},
                    "検索に失敗しました。\nプラグイン「counting」が結果ページを作れませんでした",
                    {}},
        CCountsCase{"MergeFailsNewOnly",
                    "counting",
                    {"ドラマ"},
                    "42,3",
                    true,
                    true,
                    batch::kExitFailed,
                    {},
                    "検索に失敗しました。",
                    {}},
        CCountsCase{"PluginWithoutCounts",
                    "plain",
                    {"ドラマ", "ニュース"},
                    "42,3,7,1",
                    false,
                    false,
                    batch::kExitMerged,
                    {"OK\tドラマ", "OK\tニュース", "PAGE"},
                    "",
                    {}},
        CCountsCase{"PluginWithoutCountsNewOnly",
                    "plain",
                    {"ドラマ", "欠番"},
                    "42,3",
                    false,
                    true,
                    batch::kExitPartial,
                    {},
                    "Vistrel: the plug-in \"plain\" does not count new listings; --new-only "
                    "prints none\n",
                    {}}),
    [](const auto& info) { return std::string(info.param.name); });

// The lines as the run's events come, whatever ends the run: "OK" lines without counts wait
// for them, and come without when the run ends before they do (a failed merge, a signal).
struct CLinesCase
{
    const char* name;
    bool holdOk, newOnly;
    bool counted; // the plug-in told the counts after the two jobs
    std::string out, err;
};

class TerminalLines : public ::testing::TestWithParam<CLinesCase>
{
};

TEST_P(TerminalLines, FollowTheRun)
{
    const CLinesCase& c = GetParam();
    std::ostringstream out, err;
    batch::CTerminalProgress progress(out, err, c.holdOk, c.newOnly);
    progress.JobEnded("a", true, "");
    progress.JobEnded("b\tc", false, "HTTP 503");
    progress.JobEnded("d", true, "");
    if (c.counted)
        progress.ListingsCounted({{"a", {4, 1}}, {"d", {2, std::nullopt}}});
    progress.RunEnded();
    EXPECT_EQ(out.str(), c.out);
    EXPECT_EQ(err.str(), c.err);
    EXPECT_TRUE(progress.AnyFailed());
    const News news = c.counted ? News{{"a", 1}} : News{};
    EXPECT_EQ(progress.News(), news);
}

INSTANTIATE_TEST_SUITE_P(
    Table, TerminalLines,
    ::testing::Values(
        CLinesCase{"AsEachJobEnds", false, false, false, "OK\ta\nNG\tb c\tHTTP 503\nOK\td\n", ""},
        CLinesCase{"Counted", true, false, true, "NG\tb c\tHTTP 503\nOK\ta\t4\t1\nOK\td\t2\t-\n",
                   ""},
        CLinesCase{"EndedBeforeTheCounts", true, false, false, "NG\tb c\tHTTP 503\nOK\ta\nOK\td\n",
                   ""},
        CLinesCase{"NewOnlyCounted", true, true, true, "OK\ta\t4\t1\n", "NG\tb c\tHTTP 503\n"},
        CLinesCase{"NewOnlyEndedBeforeTheCounts", true, true, false, "", "NG\tb c\tHTTP 503\n"},
        CLinesCase{"NewOnlyWithoutCounts", false, true, false, "", "NG\tb c\tHTTP 503\n"}),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace
} // namespace batch_test
