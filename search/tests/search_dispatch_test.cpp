// Completion handling with fake workers: who gets which job, which row is marked, when the run
// ends and what the merge is given.
#include "run_fixture.h"

#include "download/download_messages.h"

#include <gmock/gmock.h>

namespace search_test {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

TEST_F(CRunTest, TwoWorkersThreeJobs)
{
    SetRows({"a", "b", "c"});
    ASSERT_TRUE(m_config.WriteInt(config::Key::ConnectNum, 2));
    Start();
    // Whichever announcement comes first takes the first job.
    Report(102);
    Report(101);
    EXPECT_EQ(JobOf(102), "a");
    EXPECT_EQ(JobOf(101), "b");
    // The first to finish takes the last job; the other is told to quit when it finishes.
    Report(101);
    EXPECT_EQ(JobOf(101), "c");
    EXPECT_THAT(m_rows.Marks(), ElementsAre("", "OK", ""));
    Report(102);
    EXPECT_THAT(EventsStartingWith(m_log, "quit"), ElementsAre("quit 102"));
    EXPECT_NE(m_pool.Worker(101), nullptr);
    EXPECT_EQ(m_pool.Worker(102), nullptr);
    EXPECT_TRUE(m_run->OnUpdateSearchStop()) << "one download is still running";

    const std::vector<std::string> pages = {m_pool.Worker(101)->m_strSaveFile};
    Report(101);
    EXPECT_THAT(m_rows.Marks(), ElementsAre("OK", "OK", "OK"));
    EXPECT_THAT(EventsStartingWith(m_log, "prompt"), ElementsAre("prompt ask-show"));
    EXPECT_EQ(MergedFiles().size(), 3u);
    EXPECT_EQ(MergedFiles()[2], pages[0]) << "the merge lists the pages in keyword order";
    EXPECT_THAT(TvFiles(), IsEmpty());
    EXPECT_TRUE(m_run->OnUpdateSearchStart());
    EXPECT_TRUE(m_run->OnUpdateBrowse(&m_doc));
    EXPECT_THAT(m_progress.m_updates, ElementsAre("0/0/3", "1/0/3", "2/0/3", "3/0/3", "ready"));
}

TEST_F(CRunTest, HandsOutFilesAndTargetsInKeywordOrder)
{
    SetRows({"x", "y"});
    ASSERT_TRUE(m_config.WriteInt(config::Key::ConnectNum, 1));
    Start(21, "岐阜");
    Report(101);
    CFakeWorker* worker = m_pool.Worker(101);
    EXPECT_EQ(worker->m_strObject, "/s?size=511&region=21&key=x");
    const std::vector<std::string> files = TvFiles();
    ASSERT_EQ(files.size(), 1u);
    EXPECT_EQ(worker->m_strSaveFile, files[0]);
    EXPECT_EQ((*m_run->GetJobArray())[0]->m_strTempFile, files[0]);
    EXPECT_EQ((*m_run->GetJobArray())[0]->m_nThreadID, 101u);
    Report(101);
    EXPECT_EQ(worker->m_strObject, "/s?size=511&region=21&key=y");
    EXPECT_EQ(TvFiles().size(), 2u);
    EXPECT_NE(worker->m_strSaveFile, files[0]);
}

// One worker runs through a list whose outcomes differ; the table gives each job's status
// and what follows from it.
struct COutcomeCase
{
    const char* name;
    std::vector<std::int32_t> statuses; // one per report after the first, in job order
    std::vector<std::string> marks;
    std::vector<std::string> reasons;
    std::vector<int> merged; // indexes of the jobs whose pages are merged
};

class OneWorker : public CRunTest, public ::testing::WithParamInterface<COutcomeCase>
{
};

TEST_P(OneWorker, MarksEachJobAndMergesTheSuccesses)
{
    const COutcomeCase& c = GetParam();
    SetRows({"a", "b", "c", "d", "e"});
    ASSERT_TRUE(m_config.WriteInt(config::Key::ConnectNum, 1));
    Start();
    Report(101);
    std::vector<std::string> pages;
    for (std::int32_t status : c.statuses) {
        pages.push_back(m_pool.Worker(101)->m_strSaveFile);
        Report(101, status, status == DLERR_STATUS ? "HTTP 404" : "");
    }
    EXPECT_EQ(m_pool.Worker(101), nullptr);
    EXPECT_THAT(m_rows.Marks(), ::testing::ElementsAreArray(c.marks));
    std::vector<std::string> reasons;
    for (const CRow& row : m_rows.m_rows)
        reasons.push_back(row.reason);
    EXPECT_THAT(reasons, ::testing::ElementsAreArray(c.reasons));
    std::vector<std::string> merged;
    for (int i : c.merged)
        merged.push_back(pages[i]);
    EXPECT_EQ(MergedFiles(), merged);
    EXPECT_THAT(EventsStartingWith(m_log, "prompt"), ElementsAre("prompt ask-show"));
    EXPECT_THAT(TvFiles(), IsEmpty());
    EXPECT_TRUE(m_run->OnUpdateSearchStart());
}

INSTANTIATE_TEST_SUITE_P(
    Table, OneWorker,
    ::testing::Values(
        COutcomeCase{"AllDone",
                     {0, 0, 0, 0, 0},
                     {"OK", "OK", "OK", "OK", "OK"},
                     {"", "", "", "", ""},
                     {0, 1, 2, 3, 4}},
        // Status 1 ends the worker; as it was the only one, the run ends with what it has.
        COutcomeCase{"InternetFailureOfTheOnlyWorker",
                     {0, 1},
                     {"OK", "NG", "", "", ""},
                     {"", "connection failure", "", "", ""},
                     {0}},
        COutcomeCase{"StatusAndFileFailuresCarryOn",
                     {2, 0, 3, 0, 7},
                     {"NG", "OK", "NG", "OK", "NG"},
                     {"HTTP 404", "", "file write failure", "", "download failure (code 7)"},
                     {1, 3}},
        // Every download failed: the merge still runs, with an empty list.
        COutcomeCase{"EveryDownloadFailed",
                     {3, 3, 3, 3, 3},
                     {"NG", "NG", "NG", "NG", "NG"},
                     {"file write failure", "file write failure", "file write failure",
                      "file write failure", "file write failure"},
                     {}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(CRunTest, WorkersOwnReasonGoesToTheRowAndTheProgress)
{
    SetRows({"a"});
    Start();
    Report(101);
    Report(101, DLERR_INTERNET, "Connection refused");
    EXPECT_EQ(m_rows.m_rows[0].reason, "Connection refused");
    EXPECT_THAT(m_progress.m_jobs, ElementsAre("NG a Connection refused"));
    EXPECT_THAT(m_progress.m_updates, ElementsAre("0/0/1", "1/1/1", "ready"));
}

TEST_F(CRunTest, WorkerThatFailsToStartLeavesTheJobsToOthers)
{
    SetRows({"a", "b", "c"});
    ASSERT_TRUE(m_config.WriteInt(config::Key::ConnectNum, 2));
    Start();
    Report(101, DLERR_INTERNET, "bad server"); // its only report: no job, no mark
    EXPECT_EQ(m_pool.Worker(101), nullptr);
    EXPECT_THAT(m_rows.Marks(), ElementsAre("", "", ""));
    Report(102);
    Report(102);
    Report(102);
    Report(102);
    EXPECT_THAT(m_rows.Marks(), ElementsAre("OK", "OK", "OK"));
    EXPECT_EQ(MergedFiles().size(), 3u);
}

TEST_F(CRunTest, DuplicateKeywordsMarkOnlyTheUpperRow)
{
    SetRows({"x", "dup", "y", "dup"});
    ASSERT_TRUE(m_config.WriteInt(config::Key::ConnectNum, 1));
    Start();
    Report(101);
    Report(101);
    Report(101, DLERR_FILE);
    Report(101);
    Report(101);
    EXPECT_THAT(m_rows.Marks(), ElementsAre("OK", "OK", "OK", ""));
    EXPECT_EQ(MergedFiles().size(), 3u);
    EXPECT_THAT(m_progress.m_jobs,
                ElementsAre("OK x", "NG dup file write failure", "OK y", "OK dup"));
}

struct CEditCase
{
    const char* name;
    std::function<void(CFakeRows&)> edit; // applied while job "b" runs
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
    Report(101); // a done, b handed out
    GetParam().edit(m_rows);
    Report(101); // b done
    Report(101); // c done
    EXPECT_THAT(m_rows.Marks(), ::testing::ElementsAreArray(GetParam().marks));
    EXPECT_EQ(MergedFiles().size(), 3u) << "the job keeps its own copy of the keyword";
}

INSTANTIATE_TEST_SUITE_P(
    Table, EditDuringRun,
    ::testing::Values(
        CEditCase{"Edited", [](CFakeRows& rows) { rows.m_rows[1].text = "b2"; }, {"OK", "", "OK"}},
        CEditCase{"Deleted",
                  [](CFakeRows& rows) { rows.m_rows.erase(rows.m_rows.begin() + 1); },
                  {"OK", "OK"}},
        CEditCase{"InsertedAbove",
                  [](CFakeRows& rows) {
                      rows.m_rows.insert(rows.m_rows.begin(), {"b", "", ""});
                  },
                  {"OK", "OK", "", "OK"}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(CRunTest, ReportsFromStrangersAndLateReportsAreIgnored)
{
    SetRows({"a"});
    Start();
    m_run->OnDownloadDone(999);
    EXPECT_THAT(EventsStartingWith(m_log, "start"), IsEmpty());
    Report(101);
    Report(101);
    const CEventLog before = m_log;
    m_run->OnDownloadDone(101); // the ended worker's report arrives after the run
    m_run->OnDownloadDone(0);
    EXPECT_EQ(m_log, before);
}

TEST_F(CRunTest, PageFileFailureFailsTheJobAndTheWorkerTakesTheNext)
{
    SetRows({"a", "b", "c"});
    ASSERT_TRUE(m_config.WriteInt(config::Key::ConnectNum, 1));
    Start();
    m_pool.m_pageFileFails = {true, false};
    Report(101);
    EXPECT_EQ(JobOf(101), "b");
    EXPECT_THAT(m_rows.Marks(), ElementsAre("NG", "", ""));
    EXPECT_EQ(m_rows.m_rows[0].reason, "temporary file: disk full");
    EXPECT_EQ(m_pool.m_errorLog, std::vector<std::string>{"disk full\r\n"});
    EXPECT_EQ(JobStates(), (std::vector<int>{JOB_FAILED, JOB_RUNNING, JOB_WAITING}));
    m_pool.m_pageFileFails = {true};
    Report(101); // b done; c cannot get a file: nothing is left, so the run ends
    EXPECT_THAT(m_rows.Marks(), ElementsAre("NG", "OK", "NG"));
    EXPECT_EQ(MergedFiles().size(), 1u);
    EXPECT_THAT(EventsStartingWith(m_log, "prompt"), ElementsAre("prompt ask-show"));
}

// With a TMPDIR that does not exist no job gets a file: the first announcement fails them
// all, and the run ends without waiting for the other worker.
TEST_F(CRunTest, NoTemporaryFolderFailsEveryJob)
{
    SetRows({"a", "b"});
    Start();
    {
        CTmpDirVariable missing(m_tmp.File("missing"));
        Report(101);
    }
    EXPECT_THAT(EventsStartingWith(m_log, "quit"), ElementsAre("quit 101", "quit 102"));
    EXPECT_THAT(m_rows.Marks(), ElementsAre("NG", "NG"));
    EXPECT_THAT(m_rows.m_rows[0].reason, ::testing::HasSubstr(m_tmp.File("missing")));
    EXPECT_EQ(m_pool.m_errorLog.size(), 2u);
    EXPECT_THAT(MergedFiles(), IsEmpty());
    EXPECT_TRUE(m_run->OnUpdateSearchStart());
}

} // namespace
} // namespace search_test
