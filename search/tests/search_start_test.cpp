// Starting a run: its jobs, its workers and when it refuses.
#include "run_fixture.h"

#include <gmock/gmock.h>

#include <filesystem>

namespace search_test {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

struct CWorkerCountCase
{
    const char* name;
    int keywords;
    std::optional<int> connectNum; // none: the key is missing
    int workers;
};

class WorkerCount : public CRunTest, public ::testing::WithParamInterface<CWorkerCountCase>
{
};

TEST_P(WorkerCount, IsConnectNumWithinOneToSixtyFourAndNoMoreThanJobs)
{
    const CWorkerCountCase& c = GetParam();
    if (c.connectNum) {
        ASSERT_TRUE(m_config.WriteInt(config::Key::ConnectNum, *c.connectNum));
    }
    std::vector<std::string> rows;
    rows.reserve(c.keywords);
    for (int i = 0; i < c.keywords; ++i)
        rows.push_back("k" + std::to_string(i));
    SetRows(rows);
    int resumedEarly = 0; // before the run was recorded
    m_pool.m_onResume = [this, &resumedEarly] { resumedEarly += !m_run->OnUpdateSearchStop(); };
    Start();

    // All are created, then all resumed, in order.
    std::vector<std::string> expected(c.workers, "create 127.0.0.1:8080 http://127.0.0.1/");
    expected.push_back("progress 0/0/" + std::to_string(c.keywords));
    for (int i = 0; i < c.workers; ++i)
        expected.push_back("resume " + std::to_string(101 + i));
    EXPECT_EQ(m_log, expected);
    EXPECT_EQ(resumedEarly, 0);
    EXPECT_EQ(JobStates(), std::vector<int>(c.keywords, JOB_WAITING));
}

INSTANTIATE_TEST_SUITE_P(Table, WorkerCount,
                         ::testing::Values(CWorkerCountCase{"ThreeJobsFive", 3, 5, 3},
                                           CWorkerCountCase{"TenJobsFive", 10, 5, 5},
                                           CWorkerCountCase{"DefaultIsFive", 7, std::nullopt, 5},
                                           CWorkerCountCase{"ZeroIsOne", 3, 0, 1},
                                           CWorkerCountCase{"NegativeIsOne", 3, -4, 1},
                                           CWorkerCountCase{"HundredIsSixtyFour", 70, 100, 64}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(CRunTest, MakesOneJobPerNonEmptyRowAndClearsEveryMark)
{
    SetRows({"drama", "", "news", "drama"}); // as an earlier run left them
    for (CRow& row : m_rows.m_rows)
        row = {row.text, "NG", "HTTP 404"};
    // The list grows while it is walked: the count is read again after every row.
    m_rows.m_onRead = [this](std::ptrdiff_t row) {
        if (row == 3 && m_rows.m_rows.size() == 4)
            m_rows.m_rows.push_back({"late", "OK", ""});
    };
    m_run->OnSearchStart(&m_doc, m_rows, 13, "長野", &m_plugin);

    std::vector<std::string> urls;
    for (const auto& job : *m_run->GetJobArray())
        urls.push_back(job->m_strKeyword + " " + job->m_strSearchUrl);
    EXPECT_THAT(urls, ElementsAre("drama /s?size=511&region=13&key=drama",
                                  "news /s?size=511&region=13&key=news",
                                  "drama /s?size=511&region=13&key=drama",
                                  "late /s?size=511&region=13&key=late"));
    for (const CRow& row : m_rows.m_rows)
        EXPECT_EQ(row.mark + row.reason, "");
    EXPECT_TRUE(m_doc.GetResultPath().starts_with(m_program.Path() + "/Cache/_長野_"));
    EXPECT_TRUE(m_doc.GetResultPath().ends_with("_good.html"));
}

// Starts that make no run; the table says what else happens.
struct CRefusedCase
{
    const char* name;
    std::vector<std::string> rows;
    int area;
    bool withDocument, withPlugin, marksCleared;
    std::vector<std::string> events;
};

class RefusedStart : public CRunTest, public ::testing::WithParamInterface<CRefusedCase>
{
};

TEST_P(RefusedStart, LeavesNoRunAndTheResultPathAsItWas)
{
    const CRefusedCase& c = GetParam();
    SetRows(c.rows);
    for (CRow& row : m_rows.m_rows)
        row.mark = "OK";
    m_doc.MakeResultPath("/old/", "good", "東京");
    const std::string oldPath = m_doc.GetResultPath();

    m_run->OnSearchStart(c.withDocument ? &m_doc : nullptr, m_rows, c.area, "東京",
                         c.withPlugin ? &m_plugin : nullptr);

    EXPECT_EQ(m_log, c.events);
    EXPECT_EQ(m_run->GetJobArray(), nullptr);
    EXPECT_TRUE(m_run->OnUpdateSearchStart());
    EXPECT_EQ(m_doc.GetResultPath(), oldPath);
    EXPECT_THAT(m_rows.Marks(), ::testing::Each(c.marksCleared ? "" : "OK"));
}

const std::vector<std::string> kTwoRows = {"a", "b"};
const std::vector<std::string> kNoStart; // nothing shown, nothing started

INSTANTIATE_TEST_SUITE_P(
    Table, RefusedStart,
    ::testing::Values(
        CRefusedCase{"RegionZero", kTwoRows, 0, true, true, false, {"region-missing"}},
        CRefusedCase{"NoRegion", kTwoRows, -1, true, true, false, {"region-missing"}},
        CRefusedCase{"NoPlugin", kTwoRows, 8, true, false, false, kNoStart},
        CRefusedCase{"NoDocument", kTwoRows, 8, false, true, false, kNoStart},
        CRefusedCase{"AllRowsEmpty", {"", "", ""}, 8, true, true, true, kNoStart}),
    [](const auto& info) { return std::string(info.param.name); });

// Starts that find the run cannot succeed: every keyword ends "NG" at once with why, no worker
// runs, and the failure says why.
enum class StartFault { ResultUnwritable, NoWorker, NothingSearchable };

struct CStartFailureCase
{
    const char* name;
    StartFault fault;
    std::vector<std::string> marks; // "%s" stands for the result page's path
    std::string failed;             // the message's reason, likewise
    std::vector<std::string> errorLog;
};

void PrintTo(const CStartFailureCase& c, std::ostream* os)
{
    *os << c.name;
}

class StartFailure : public CRunTest, public ::testing::WithParamInterface<CStartFailureCase>
{
};

TEST_P(StartFailure, MarksEveryKeywordRunsNoWorkerAndSaysWhy)
{
    SetRows({"a", "", "b"});
    switch (GetParam().fault) {
    case StartFault::ResultUnwritable:
        testing_support::WriteFileBytes(m_program.File("file"), "");
        ASSERT_TRUE(m_config.WriteString(config::Key::CacheDirectory, m_program.File("file")));
        break;
    case StartFault::NoWorker:
        m_pool.m_nCreatable = 0;
        break;
    case StartFault::NothingSearchable:
        m_rows.m_unsearchable = {{"a", "no a"}, {"b", "no b"}};
        break;
    }
    Start();
    auto withPath = [this](std::string text) {
        if (const std::size_t at = text.find("%s"); at != std::string::npos)
            text.replace(at, 2, m_doc.GetResultPath());
        return text;
    };

    std::vector<std::string> marks;
    for (const std::string& mark : GetParam().marks)
        marks.push_back(withPath(mark));
    EXPECT_EQ(m_rows.MarksWithReasons(), marks);
    EXPECT_THAT(Events(m_log, "resume"), IsEmpty());
    EXPECT_EQ(Events(m_log, "job NG").size(), 2u) << "a line for every keyword";
    EXPECT_EQ(Events(m_log, "progress").back(), "progress 2/2/2");
    ASSERT_GE(m_log.size(), 2u);
    EXPECT_EQ(m_log.back(), "failed " + withPath(GetParam().failed));
    EXPECT_EQ(m_log.end()[-2], "ready");
    EXPECT_EQ(m_pool.m_errorLog, GetParam().errorLog);
    EXPECT_TRUE(m_run->OnUpdateSearchStart());
    EXPECT_FALSE(std::filesystem::exists(m_doc.GetResultPath()));
}

INSTANTIATE_TEST_SUITE_P(
    Table, StartFailure,
    ::testing::Values(CStartFailureCase{"ResultUnwritable",
                                        StartFault::ResultUnwritable,
                                        {"NG 未実行 (%s contains an invalid path.)", "",
                                         "NG 未実行 (%s contains an invalid path.)"},
                                        "%s contains an invalid path.",
                                        {}},
                      CStartFailureCase{"NoWorker",
                                        StartFault::NoWorker,
                                        {"NG 未実行 (ダウンロードスレッドを開始できません)", "",
                                         "NG 未実行 (ダウンロードスレッドを開始できません)"},
                                        "ダウンロードスレッドを開始できません",
                                        {"cannot start a download thread\r\n"}},
                      CStartFailureCase{"NothingSearchable",
                                        StartFault::NothingSearchable,
                                        {"NG no a", "", "NG no b"},
                                        "ダウンロードできたページがありません (no b)",
                                        {}}),
    [](const auto& info) { return std::string(info.param.name); });

// A keyword the plug-in cannot be given fails at once and is never handed out; the others run.
// Keywords reach the progress as the rows turn them into UTF-8.
TEST_F(CRunTest, UnsearchableKeywordFailsAtOnceAndTheOthersRun)
{
    SetRows({"a", "x", "b"});
    m_rows.m_unsearchable = {{"x", "「x」は使えません"}};
    m_rows.m_toUtf8 = [](std::string_view text) { return "<" + std::string(text) + ">"; };
    ASSERT_TRUE(m_config.WriteInt(config::Key::ConnectNum, 5));
    Start();
    EXPECT_THAT(Events(m_log, "create"), ::testing::SizeIs(2)) << "one per job to download";
    EXPECT_THAT(Events(m_log, "job"), ElementsAre("job NG <x> 「x」は使えません"));
    EXPECT_EQ(m_log.back(), "resume 102") << "failed before any worker runs";
    Report(101);
    Report(102);
    EXPECT_EQ(JobOf(101) + JobOf(102), "ab");
    Report(101);
    Report(102);
    EXPECT_THAT(Events(m_log, "job"),
                ElementsAre("job NG <x> 「x」は使えません", "job OK <a>", "job OK <b>"));
    EXPECT_THAT(m_rows.MarksWithReasons(), ElementsAre("OK", "NG 「x」は使えません", "OK"));
    EXPECT_EQ(MergedFiles().size(), 2u);
    EXPECT_EQ(m_log.back(), "ask-show");
}

TEST_F(CRunTest, StartDuringARunChangesNothing)
{
    SetRows({"a", "b", "c"});
    Start();
    Report(101);
    m_rows.m_rows[0].mark = "OK";
    const CEventLog before = m_log;
    const CSearchRun::CJobArray* jobs = m_run->GetJobArray();

    Start();

    EXPECT_EQ(m_log, before);
    EXPECT_EQ(m_run->GetJobArray(), jobs);
    EXPECT_EQ(JobStates(), (std::vector<int>{JOB_RUNNING, JOB_WAITING, JOB_WAITING}));
    EXPECT_EQ(m_rows.m_rows[0].mark, "OK");
}

} // namespace
} // namespace search_test
