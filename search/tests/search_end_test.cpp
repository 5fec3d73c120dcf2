// How a run ends: merge failures, the completion question and the browser, stop and teardown,
// and the three enabling rules around them.
#include "run_fixture.h"

#include "download/download_messages.h"

#include <gmock/gmock.h>

#include <filesystem>

namespace search_test {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

TEST_F(CRunTest, StopAbortsEveryWorkerThenWaitsAndDeletesEveryFile)
{
    SetRows({"a", "b", "c", "d"});
    ASSERT_TRUE(m_config.WriteInt(config::Key::ConnectNum, 3));
    Start();
    Report(101);
    Report(102);
    Report(101); // a done, c handed out
    ASSERT_EQ(TvFiles().size(), 3u);
    m_log.clear();

    m_run->OnSearchStop();

    // Each worker is aborted just before it is told to quit; all are told before any wait.
    EXPECT_THAT(m_log, ElementsAre("abort 101", "quit 101", "abort 102", "quit 102", "abort 103",
                                   "quit 103", "wait 101", "wait 102", "wait 103", "destroy 101",
                                   "destroy 102", "destroy 103"));
    EXPECT_THAT(TvFiles(), IsEmpty());
    EXPECT_THAT(m_rows.Marks(), ElementsAre("OK", "", "", ""));
    EXPECT_FALSE(std::filesystem::exists(m_doc.GetResultPath())) << "no merge";
    EXPECT_TRUE(m_run->OnUpdateSearchStart());
    EXPECT_FALSE(m_run->OnUpdateSearchStop());
    EXPECT_TRUE(m_run->OnUpdateBrowse(&m_doc)) << "the path formed at the start stays";
    EXPECT_EQ(m_progress.m_updates.back(), "ready");
    m_run->OnDownloadDone(102); // the aborted job's report comes in late
    EXPECT_THAT(EventsStartingWith(m_log, "prompt"), IsEmpty());
}

TEST_F(CRunTest, DestroyingTheRunStopsItSilently)
{
    SetRows({"a", "b"});
    Start();
    Report(101);
    Report(102);
    ASSERT_EQ(TvFiles().size(), 2u);
    m_run.reset();
    EXPECT_THAT(EventsStartingWith(m_log, "abort"), ElementsAre("abort 101", "abort 102"));
    EXPECT_THAT(EventsStartingWith(m_log, "destroy"), ElementsAre("destroy 101", "destroy 102"));
    EXPECT_THAT(EventsStartingWith(m_log, "prompt"), IsEmpty());
    EXPECT_THAT(TvFiles(), IsEmpty());
}

TEST_F(CRunTest, StopWithoutARunDoesNothing)
{
    m_run->OnSearchStop();
    EXPECT_THAT(m_log, IsEmpty());
    EXPECT_THAT(m_progress.m_updates, IsEmpty());
}

TEST_F(CRunTest, NormalEndLetsWorkersQuitWithoutAbort)
{
    SetRows({"a"});
    Start();
    Report(101);
    Report(101);
    EXPECT_THAT(EventsStartingWith(m_log, "abort"), IsEmpty());
    EXPECT_THAT(m_log,
                ElementsAre("create 101", "resume 101", "start 101 /s?size=511&region=8&key=a",
                            "quit 101", "wait 101", "destroy 101", "prompt ask-show"));
}

// Runs that end without a merge show the failure, and still delete every page file.
struct CMergeFailureCase
{
    const char* name;
    const char* plugin;
    bool clearResultPath; // the document was renewed during the run
};

class MergeFailure : public CRunTest, public ::testing::WithParamInterface<CMergeFailureCase>
{
};

TEST_P(MergeFailure, ReportsFailureAndDeletesThePages)
{
    CPluginModule plugin;
    ASSERT_TRUE(plugin.Load(TestPluginPath(GetParam().plugin)));
    SetRows({"a", "b"});
    ASSERT_TRUE(m_config.WriteInt(config::Key::ConnectNum, 1));
    m_run->OnSearchStart(&m_doc, m_rows, 8, "東京", &plugin);
    Report(101);
    Report(101);
    if (GetParam().clearResultPath) {
        m_doc.OnNewDocument();
    }
    Report(101);
    EXPECT_THAT(EventsStartingWith(m_log, "prompt"), ElementsAre("prompt failed"));
    EXPECT_THAT(TvFiles(), IsEmpty());
    EXPECT_THAT(m_rows.Marks(), ElementsAre("OK", "OK"));
    EXPECT_TRUE(m_prompts.m_opened.empty());
}

INSTANTIATE_TEST_SUITE_P(Table, MergeFailure,
                         ::testing::Values(CMergeFailureCase{"NoMergeExport", "nameonly", false},
                                           CMergeFailureCase{"EmptyResultPath", "good", true}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(CRunTest, MergeThatFailsToWriteReportsFailure)
{
    ASSERT_TRUE(m_config.WriteString(config::Key::CacheDirectory, m_program.File("absent")));
    SetRows({"a"});
    Start();
    Report(101);
    Report(101);
    EXPECT_THAT(EventsStartingWith(m_log, "prompt"), ElementsAre("prompt failed"));
}

// The completion question, and the browser the answer leads to.
struct CAnswerCase
{
    const char* name;
    bool yes;
    const char* browser; // nullptr: the key is missing
};

class Completion : public CRunTest, public ::testing::WithParamInterface<CAnswerCase>
{
};

TEST_P(Completion, OpensTheResultOnlyOnYes)
{
    const CAnswerCase& c = GetParam();
    if (c.browser) {
        ASSERT_TRUE(m_config.WriteString(config::Key::Browser, c.browser));
    }
    m_prompts.m_bAnswerYes = c.yes;
    // The question comes once the run is over, with the status bar back to ready.
    bool runOverWhenAsked = false;
    m_prompts.m_onAsk = [this, &runOverWhenAsked] {
        runOverWhenAsked = m_run->OnUpdateSearchStart() && m_progress.m_updates.back() == "ready" &&
                           TvFiles().empty();
    };
    SetRows({"a"});
    Start();
    Report(101);
    Report(101);
    EXPECT_TRUE(runOverWhenAsked);
    EXPECT_TRUE(std::filesystem::exists(m_doc.GetResultPath()));
    if (c.yes) {
        EXPECT_THAT(m_prompts.m_opened, ElementsAre(std::pair<std::string, std::string>(
                                            c.browser ? c.browser : "", m_doc.GetResultPath())));
    } else {
        EXPECT_THAT(m_prompts.m_opened, IsEmpty());
    }
    // Browse later opens the same page the same way.
    m_prompts.m_opened.clear();
    ASSERT_TRUE(m_run->OnUpdateBrowse(&m_doc));
    m_run->OnBrowse(&m_doc);
    EXPECT_THAT(m_prompts.m_opened, ElementsAre(std::pair<std::string, std::string>(
                                        c.browser ? c.browser : "", m_doc.GetResultPath())));
}

INSTANTIATE_TEST_SUITE_P(Table, Completion,
                         ::testing::Values(CAnswerCase{"NoKeepsTheFile", false, nullptr},
                                           CAnswerCase{"YesDesktopHandler", true, nullptr},
                                           CAnswerCase{"YesEmptyBrowser", true, ""},
                                           CAnswerCase{"YesBrowserWithSpaces", true,
                                                       "/opt/my browser/run it"}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(CRunTest, BrowseNeedsADocumentWithAResultPath)
{
    m_run->OnBrowse(nullptr);
    m_run->OnBrowse(&m_doc);
    EXPECT_THAT(m_prompts.m_opened, IsEmpty());
    EXPECT_FALSE(m_run->OnUpdateBrowse(nullptr));
    EXPECT_FALSE(m_run->OnUpdateBrowse(&m_doc));
}

TEST_F(CRunTest, EnablingRulesFollowTheRun)
{
    struct CState
    {
        bool start, stop, browse;
        bool operator==(const CState&) const = default;
    };
    auto state = [this] {
        return CState{m_run->OnUpdateSearchStart(), m_run->OnUpdateSearchStop(),
                      m_run->OnUpdateBrowse(&m_doc)};
    };
    EXPECT_EQ(state(), (CState{true, false, false})) << "idle, no result yet";
    SetRows({"a", "b"});
    Start();
    EXPECT_EQ(state(), (CState{false, true, false})) << "running";
    Report(101);
    Report(102);
    Report(101);
    EXPECT_EQ(state(), (CState{false, true, false})) << "one download left";
    Report(102);
    EXPECT_EQ(state(), (CState{true, false, true})) << "ended";
    m_doc.OnNewDocument();
    EXPECT_EQ(state(), (CState{true, false, false})) << "a new document has no result";
}

} // namespace
} // namespace search_test
