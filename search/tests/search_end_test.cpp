// The end of a run: stop and teardown, merge failures, the completion question and the
// browser, and the enabling rules around them.
#include "run_fixture.h"

#include <gmock/gmock.h>

#include <filesystem>

namespace search_test {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

class Stop : public CRunTest, public ::testing::WithParamInterface<bool>
{
};

TEST_P(Stop, AbortsEveryWorkerWaitsAndDeletesEveryFile)
{
    SetRows({"a", "b", "c", "d"});
    ASSERT_TRUE(m_config.WriteInt(config::Key::ConnectNum, 3));
    Start();
    Report(101);
    Report(102);
    Report(101);
    ASSERT_EQ(TvFiles(m_tmp.Path()).size(), 3u);
    m_log.clear();

    if (GetParam())
        m_run->OnSearchStop();
    else
        m_run.reset(); // as the window's destruction does

    // Each is aborted just before it is told to quit; all are told before any is waited for.
    EXPECT_THAT(m_log, ElementsAre("abort 101", "quit 101", "abort 102", "quit 102", "abort 103",
                                   "quit 103", "wait 101", "wait 102", "wait 103", "destroy 101",
                                   "destroy 102", "destroy 103", "ready"));
    EXPECT_THAT(TvFiles(m_tmp.Path()), IsEmpty());
    EXPECT_THAT(m_rows.Marks(), ElementsAre("OK", "", "", ""));
    EXPECT_FALSE(std::filesystem::exists(m_doc.GetResultPath())) << "no merge";
    if (m_run) {
        EXPECT_TRUE(m_run->OnUpdateSearchStart());
        EXPECT_TRUE(m_run->OnUpdateBrowse(&m_doc)) << "the path formed at the start stays";
        m_run->OnDownloadDone(
            {102, search::Outcome::Retired, "中止"}); // an aborted job's report comes in late
        m_run->OnDownloadDone(
            {999, search::Outcome::Done, ""}); // and one from no worker of the run
        m_run->OnSearchStop();
        EXPECT_EQ(m_log.back(), "ready");
        EXPECT_EQ(m_log.size(), 13u);
    }
}

INSTANTIATE_TEST_SUITE_P(Ways, Stop, ::testing::Bool(),
                         [](const auto& info) { return info.param ? "Stop" : "WindowClose"; });

struct CMergeFailureCase
{
    const char* name;
    const char* plugin;
    bool renewDocument; // New during the run clears the result path
    std::string failed; // the event of the message
};

class MergeFailure : public CRunTest, public ::testing::WithParamInterface<CMergeFailureCase>
{
};

TEST_P(MergeFailure, ReportsFailureAndStillDeletesThePages)
{
    CPluginModule plugin;
    ASSERT_TRUE(plugin.Load(TestPluginPath(GetParam().plugin)));
    SetRows({"a"});
    m_run->OnSearchStart(&m_doc, m_rows, 8, "東京", &plugin);
    Report(101);
    if (GetParam().renewDocument) {
        m_doc.OnNewDocument();
    }
    Report(101);
    EXPECT_THAT(Events(m_log, "failed"), ElementsAre(GetParam().failed));
    EXPECT_THAT(Events(m_log, "ask-show"), IsEmpty());
    EXPECT_THAT(TvFiles(m_tmp.Path()), IsEmpty());
    EXPECT_THAT(m_rows.Marks(), ElementsAre("OK"));
}

INSTANTIATE_TEST_SUITE_P(Table, MergeFailure,
                         ::testing::Values(
                             CMergeFailureCase{
                                 "NoMergeExport", "nameonly", false,
                                 "failed プラグイン「nameonly」が結果ページを作れませんでした"},
                             CMergeFailureCase{"NoResultPath", "good", true, "failed"}),
                         [](const auto& info) { return std::string(info.param.name); });

// The completion question comes once the run is over; Yes opens the page, and so does Browse.
struct CAnswerCase
{
    const char* name;
    bool yes;
    std::optional<std::string> browser;
};

class Completion : public CRunTest, public ::testing::WithParamInterface<CAnswerCase>
{
};

TEST_P(Completion, OpensTheResultOnYesAndOnBrowse)
{
    if (GetParam().browser) {
        ASSERT_TRUE(m_config.WriteString(config::Key::Browser, *GetParam().browser));
    }
    m_ui.m_bAnswerYes = GetParam().yes;
    bool overWhenAsked = false;
    m_ui.m_onAsk = [&] {
        overWhenAsked = m_run->OnUpdateSearchStart() && TvFiles(m_tmp.Path()).empty();
    };
    SetRows({"a"});
    Start();
    Report(101);
    Report(101);
    EXPECT_TRUE(overWhenAsked);
    const std::string open =
        "open " + GetParam().browser.value_or("") + "|" + m_doc.GetResultPath();
    EXPECT_EQ(Events(m_log, "open"), std::vector<std::string>(GetParam().yes ? 1 : 0, open));
    ASSERT_TRUE(m_run->OnUpdateBrowse(&m_doc));
    m_run->OnBrowse(&m_doc);
    EXPECT_EQ(m_log.back(), open);
}

INSTANTIATE_TEST_SUITE_P(Table, Completion,
                         ::testing::Values(CAnswerCase{"No", false, std::nullopt},
                                           CAnswerCase{"YesDesktop", true, std::nullopt},
                                           CAnswerCase{"YesBrowser", true, "/opt/my browser/go"}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(CRunTest, EnablingRulesFollowTheRun)
{
    auto rules = [this] {
        return std::string(m_run->OnUpdateSearchStart() ? "start " : "") +
               (m_run->OnUpdateSearchStop() ? "stop " : "") +
               (m_run->OnUpdateBrowse(&m_doc) ? "browse" : "");
    };
    EXPECT_EQ(rules(), "start ");
    m_run->OnBrowse(&m_doc); // no result path yet: nothing opens
    m_run->OnBrowse(nullptr);
    EXPECT_THAT(Events(m_log, "open"), IsEmpty());
    SetRows({"a", "b"});
    Start();
    EXPECT_EQ(rules(), "stop ");
    Report(101);
    Report(102);
    Report(101);
    EXPECT_EQ(rules(), "stop ") << "one download left";
    Report(102);
    EXPECT_EQ(rules(), "start browse");
    m_doc.OnNewDocument();
    EXPECT_EQ(rules(), "start ");
}

} // namespace
} // namespace search_test
