// Completion handling with fake workers: who gets which job, which row is marked, and what
// the merge is given.
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
    m_run->OnDownloadDone({999, search::Outcome::Done, ""}); // from no worker of the run: ignored
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

} // namespace
} // namespace search_test
