// Completion handling with fake workers: who gets which job, which row is marked, when and how
// the run ends, and the enabling rules around it.
#include "run_fixture.h"

#include "download/download_messages.h"

#include <gmock/gmock.h>

#include <filesystem>

namespace search_test {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

TEST_F(CRunTest, TwoWorkersThreeJobs)
{
    SetRows({"a", "b", "c"});
    ASSERT_TRUE(m_config.WriteInt(config::Key::ConnectNum, 2));
    Start();
    Report(102); // whichever announcement comes first takes the first job
    Report(101);
    EXPECT_EQ(JobOf(102) + JobOf(101), "ab");
    EXPECT_EQ(m_pool.Worker(102)->m_strSaveFile, (*m_run->GetJobArray())[0]->m_strTempFile);
    EXPECT_EQ(TvFiles(m_tmp.Path()).size(), 2u);
    Report(101); // the first to finish takes the last job
    EXPECT_EQ(JobOf(101), "c");
    Report(102); // the other is told to quit as soon as it finishes
    EXPECT_THAT(Events(m_log, "quit"), ElementsAre("quit 102"));
    EXPECT_TRUE(m_run->OnUpdateSearchStop()) << "one download is still running";
    const std::string lastPage = m_pool.Worker(101)->m_strSaveFile;
    Report(101);

    EXPECT_THAT(m_rows.Marks(), ElementsAre("OK", "OK", "OK"));
    EXPECT_EQ(MergedFiles().size(), 3u);
    EXPECT_EQ(MergedFiles()[2], lastPage) << "pages are merged in keyword order";
    EXPECT_THAT(TvFiles(m_tmp.Path()), IsEmpty());
    EXPECT_THAT(Events(m_log, "progress"), ElementsAre("progress 0/0/3", "progress 1/0/3",
                                                       "progress 2/0/3", "progress 3/0/3"));
    EXPECT_THAT(Events(m_log, "abort"), IsEmpty());
    EXPECT_EQ(m_log.back(), "ask-show");
    EXPECT_EQ(m_log.end()[-2], "ready");
}

// One worker through five jobs whose outcomes differ.
struct COutcomeCase
{
    const char* name;
    std::vector<std::pair<std::int32_t, std::string>> outcomes; // status, worker's reason
    std::vector<std::string> marks;                             // mark and reason per row
    std::vector<int> merged;                                    // the jobs whose pages are merged
};

class OneWorker : public CRunTest, public ::testing::WithParamInterface<COutcomeCase>
{
};

TEST_P(OneWorker, MarksEachJobAndMergesTheSuccesses)
{
    SetRows({"a", "b", "c", "d", "e"});
    ASSERT_TRUE(m_config.WriteInt(config::Key::ConnectNum, 1));
    Start();
    Report(101);
    std::vector<std::string> pages;
    for (const auto& [status, reason] : GetParam().outcomes) {
        pages.push_back(m_pool.Worker(101)->m_strSaveFile);
        Report(101, status, reason);
    }
    EXPECT_EQ(m_pool.Worker(101), nullptr);
    std::vector<std::string> marks;
    for (const CRow& row : m_rows.m_rows)
        marks.push_back(row.reason.empty() ? row.mark : row.mark + " " + row.reason);
    EXPECT_EQ(marks, GetParam().marks);
    std::vector<std::string> merged;
    for (int i : GetParam().merged)
        merged.push_back(pages[i]);
    EXPECT_EQ(MergedFiles(), merged);
    EXPECT_THAT(Events(m_log, "ask-show"), ElementsAre("ask-show"));
    EXPECT_THAT(TvFiles(m_tmp.Path()), IsEmpty());
}

INSTANTIATE_TEST_SUITE_P(
    Table, OneWorker,
    ::testing::Values(
        COutcomeCase{"AllDone",
                     {{0, ""}, {0, ""}, {0, ""}, {0, ""}, {0, ""}},
                     {"OK", "OK", "OK", "OK", "OK"},
                     {0, 1, 2, 3, 4}},
        // Status 1 ends the only worker: the run ends at once with what it has.
        COutcomeCase{"InternetFailureOfTheOnlyWorker",
                     {{0, ""}, {1, "Connection refused"}},
                     {"OK", "NG Connection refused", "", "", ""},
                     {0}},
        COutcomeCase{"OtherFailuresCarryOn",
                     {{2, "HTTP 404"}, {0, ""}, {3, ""}, {0, ""}, {7, ""}},
                     {"NG HTTP 404", "OK", "NG ファイルに書けません", "OK",
                      "NG ダウンロード失敗 (コード 7)"},
                     {1, 3}},
        // The merge still runs, with an empty list.
        COutcomeCase{"EveryDownloadFailed",
                     {{2, "HTTP 500"}, {2, "HTTP 500"}, {2, "HTTP 500"}, {2, "HTTP 500"}, {1, ""}},
                     {"NG HTTP 500", "NG HTTP 500", "NG HTTP 500", "NG HTTP 500", "NG 通信エラー"},
                     {}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(CRunTest, WorkerThatFailsToStartLeavesTheJobsToOthers)
{
    SetRows({"a", "b"});
    Start();
    Report(101, DLERR_INTERNET, "bad server"); // its only report: no job ended, none taken
    Report(102);
    Report(102);
    Report(102);
    EXPECT_THAT(m_rows.Marks(), ElementsAre("OK", "OK"));
    EXPECT_THAT(Events(m_log, "job"), ElementsAre("job OK a", "job OK b"));
}

TEST_F(CRunTest, DuplicateKeywordsMarkOnlyTheUpperRow)
{
    SetRows({"x", "dup", "dup"});
    ASSERT_TRUE(m_config.WriteInt(config::Key::ConnectNum, 1));
    Start();
    Report(101);
    Report(101);
    Report(101, DLERR_FILE, "disk full");
    Report(101);
    EXPECT_THAT(m_rows.Marks(), ElementsAre("OK", "OK", ""));
    EXPECT_THAT(Events(m_log, "job"),
                ElementsAre("job OK x", "job NG dup disk full", "job OK dup"));
}

struct CEditCase
{
    const char* name;
    std::function<void(std::vector<CRow>&)> edit; // while job "b" runs
    std::vector<std::string> marks;
};

class EditDuringRun : public CRunTest, public ::testing::WithParamInterface<CEditCase>
{
};

TEST_P(EditDuringRun, MarksNoOtherRowInItsPlace)
{
    SetRows({"a", "b", "c"});
    ASSERT_TRUE(m_config.WriteInt(config::Key::ConnectNum, 1));
    Start();
    Report(101);
    Report(101);
    GetParam().edit(m_rows.m_rows);
    Report(101);
    Report(101);
    EXPECT_EQ(m_rows.Marks(), GetParam().marks);
    EXPECT_EQ(MergedFiles().size(), 3u) << "the job keeps its own copy of the keyword";
}

INSTANTIATE_TEST_SUITE_P(
    Table, EditDuringRun,
    ::testing::Values(
        CEditCase{"Edited", [](auto& rows) { rows[1].text = "b2"; }, {"OK", "", "OK"}},
        CEditCase{"Deleted", [](auto& rows) { rows.erase(rows.begin() + 1); }, {"OK", "OK"}},
        CEditCase{"SameTextAbove",
                  [](auto& rows) {
                      rows.insert(rows.begin(), {"b", "", ""});
                  },
                  {"OK", "OK", "", "OK"}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(CRunTest, StrangersAndLateReportsAreIgnored)
{
    SetRows({"a"});
    Start();
    m_run->OnDownloadDone(999);
    EXPECT_THAT(Events(m_log, "start"), IsEmpty());
    Report(101);
    Report(101);
    const CEventLog before = m_log;
    m_run->OnDownloadDone(101);
    EXPECT_EQ(m_log, before);
}

TEST_F(CRunTest, PageFileFailureFailsTheJobAndTheWorkerTakesTheNext)
{
    SetRows({"a", "b", "c"});
    ASSERT_TRUE(m_config.WriteInt(config::Key::ConnectNum, 1));
    Start();
    m_pool.m_pageFileFails = {true, false, true};
    Report(101);
    EXPECT_EQ(JobOf(101), "b");
    EXPECT_EQ(JobStates(), (std::vector<int>{JOB_FAILED, JOB_RUNNING, JOB_WAITING}));
    Report(101); // b done; c gets no file either, so nothing is left
    EXPECT_THAT(Events(m_log, "job"),
                ElementsAre("job NG a 一時ファイルを作れません (disk full)", "job OK b",
                            "job NG c 一時ファイルを作れません (disk full)"));
    EXPECT_EQ(m_pool.m_errorLog, (std::vector<std::string>(2, "disk full\r\n")));
    EXPECT_EQ(MergedFiles().size(), 1u);
}

// The run keeps its counts beside the job array: after every report they must be what the job
// states say, through page-file failures, failed downloads and a worker told to quit.
TEST_F(CRunTest, ProgressAlwaysMatchesTheJobStates)
{
    SetRows({"a", "b", "c", "d", "e", "f", "g", "h"});
    ASSERT_TRUE(m_config.WriteInt(config::Key::ConnectNum, 3));
    Start();
    m_pool.m_pageFileFails = {false, true, false, false, false, true};
    // 102 fails with b's page file and quits after c; 103 fails with f's page file.
    const std::vector<std::pair<std::uint32_t, std::int32_t>> reports = {
        {101, 0}, {102, 0},          {103, 0}, {101, DLERR_STATUS}, {102, DLERR_INTERNET}, {103, 0},
        {101, 0}, {103, DLERR_FILE}, {101, 0}};
    for (const auto& [id, error] : reports) {
        ASSERT_NE(m_run->GetJobArray(), nullptr) << "the run ended early";
        Report(id, error);
        const std::vector<std::string> progress = Events(m_log, "progress");
        ASSERT_FALSE(progress.empty());
        if (!m_run->GetJobArray())
            break; // the last report ended the run
        int ended = 0;
        int failed = 0;
        for (const int state : JobStates()) {
            ended += state == JOB_DONE || state == JOB_FAILED;
            failed += state == JOB_FAILED;
        }
        EXPECT_EQ(progress.back(),
                  "progress " + std::to_string(ended) + "/" + std::to_string(failed) + "/8")
            << "after the report of " << id;
    }
    EXPECT_EQ(m_run->GetJobArray(), nullptr) << "every job ended";
    EXPECT_THAT(m_rows.Marks(), ElementsAre("NG", "NG", "NG", "OK", "OK", "NG", "NG", "OK"));
    EXPECT_EQ(Events(m_log, "progress").back(), "progress 8/5/8");
}

TEST_F(CRunTest, MissingTemporaryFolderFailsEveryJob)
{
    SetRows({"a", "b"});
    Start();
    {
        CTmpDirVariable missing(m_tmp.File("gone"));
        Report(101); // neither job gets a file: the run ends without waiting for 102
    }
    EXPECT_THAT(Events(m_log, "quit"), ElementsAre("quit 101", "quit 102"));
    EXPECT_THAT(m_rows.m_rows[1].reason, ::testing::HasSubstr(m_tmp.File("gone")));
    EXPECT_THAT(MergedFiles(), IsEmpty());
}

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
        m_run->OnDownloadDone(102); // an aborted job's report comes in late
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
    bool cacheMissing;
};

class MergeFailure : public CRunTest, public ::testing::WithParamInterface<CMergeFailureCase>
{
};

TEST_P(MergeFailure, ReportsFailureAndStillDeletesThePages)
{
    CPluginModule plugin;
    ASSERT_TRUE(plugin.Load(TestPluginPath(GetParam().plugin)));
    if (GetParam().cacheMissing) {
        ASSERT_TRUE(m_config.WriteString(config::Key::CacheDirectory, m_program.File("gone")));
    }
    SetRows({"a"});
    m_run->OnSearchStart(&m_doc, m_rows, 8, "東京", &plugin);
    Report(101);
    if (GetParam().renewDocument) {
        m_doc.OnNewDocument();
    }
    Report(101);
    EXPECT_THAT(Events(m_log, "failed"), ElementsAre("failed"));
    EXPECT_THAT(Events(m_log, "ask-show"), IsEmpty());
    EXPECT_THAT(TvFiles(m_tmp.Path()), IsEmpty());
    EXPECT_THAT(m_rows.Marks(), ElementsAre("OK"));
}

INSTANTIATE_TEST_SUITE_P(Table, MergeFailure,
                         ::testing::Values(CMergeFailureCase{"NoMergeExport", "nameonly", false,
                                                             false},
                                           CMergeFailureCase{"NoResultPath", "good", true, false},
                                           CMergeFailureCase{"CannotWrite", "good", false, true}),
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
