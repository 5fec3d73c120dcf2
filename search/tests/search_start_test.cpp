// Starting a run: which jobs it makes, how many workers, in which order, and when it refuses.
#include "run_fixture.h"

#include "download/download_messages.h"

#include <gmock/gmock.h>

#include <ctime>

namespace search_test {
namespace {

using ::testing::ElementsAre;
using ::testing::ElementsAreArray;
using ::testing::IsEmpty;

std::string Today()
{
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    char text[16];
    std::strftime(text, sizeof text, "%Y%m%d", &local);
    return text;
}

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

TEST_P(WorkerCount, IsConnectNumBoundedByJobsAndSaneLimits)
{
    const CWorkerCountCase& c = GetParam();
    if (c.connectNum) {
        ASSERT_TRUE(m_config.WriteInt(config::Key::ConnectNum, *c.connectNum));
    }
    std::vector<std::string> rows;
    for (int i = 0; i < c.keywords; ++i)
        rows.push_back("k" + std::to_string(i));
    SetRows(rows);
    // Every worker is resumed only once the run is recorded.
    int resumedEarly = 0;
    m_pool.m_onResume = [this, &resumedEarly] {
        if (!m_run->GetThreadList() || !m_run->GetJobArray() || !m_run->OnUpdateSearchStop())
            ++resumedEarly;
    };
    Start();

    std::vector<std::string> expected;
    for (int i = 0; i < c.workers; ++i)
        expected.push_back("create " + std::to_string(101 + i));
    for (int i = 0; i < c.workers; ++i)
        expected.push_back("resume " + std::to_string(101 + i));
    EXPECT_THAT(m_log, ElementsAreArray(expected));
    EXPECT_EQ(resumedEarly, 0);
    ASSERT_NE(m_run->GetThreadList(), nullptr);
    EXPECT_EQ(m_run->GetThreadList()->size(), static_cast<std::size_t>(c.workers));
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
    // Rows as a previous run left them, the middle one empty, the same keyword twice.
    SetRows({"drama", "", "news", "drama"});
    m_rows.m_rows[0].mark = "OK";
    m_rows.m_rows[1].mark = "NG";
    m_rows.m_rows[2].mark = "NG";
    m_rows.m_rows[2].reason = "HTTP 404";
    Start(13, "東京");

    ASSERT_NE(m_run->GetJobArray(), nullptr);
    std::vector<std::string> keywords, urls;
    for (const auto& job : *m_run->GetJobArray()) {
        keywords.push_back(job->m_strKeyword);
        urls.push_back(job->m_strSearchUrl);
        EXPECT_TRUE(job->m_strTempFile.empty());
        EXPECT_EQ(job->m_nThreadID, 0u);
    }
    EXPECT_THAT(keywords, ElementsAre("drama", "news", "drama"));
    EXPECT_THAT(urls,
                ElementsAre("/s?size=511&region=13&key=drama", "/s?size=511&region=13&key=news",
                            "/s?size=511&region=13&key=drama"));
    EXPECT_THAT(m_rows.Marks(), ElementsAre("", "", "", ""));
    EXPECT_EQ(m_rows.m_rows[2].reason, "");
    EXPECT_EQ(m_pool.m_strServer, "127.0.0.1:8080");
    EXPECT_EQ(m_pool.m_strReferer, "http://127.0.0.1/");
    EXPECT_EQ(m_doc.GetResultPath(), m_program.Path() + "/Cache/_東京_" + Today() + "_good.html");
    EXPECT_THAT(m_progress.m_updates, ElementsAre("0/0/3"));
}

TEST_F(CRunTest, CountsRowsAgainAfterEveryRow)
{
    SetRows({"a", "b"});
    // The list grows while it is walked: the new row is part of the run.
    m_rows.m_onRead = [this](std::ptrdiff_t row) {
        if (row == 1 && m_rows.m_rows.size() == 2)
            m_rows.m_rows.push_back({"c", "OK", ""});
    };
    Start();
    ASSERT_NE(m_run->GetJobArray(), nullptr);
    EXPECT_EQ(m_run->GetJobArray()->size(), 3u);
    EXPECT_THAT(m_rows.Marks(), ElementsAre("", "", ""));
}

struct CCacheCase
{
    const char* name;
    const char* directory; // nullptr: the program folder's Cache
    const char* folder;    // expected; "@" stands for the program folder
};

class CacheFolder : public CRunTest, public ::testing::WithParamInterface<CCacheCase>
{
};

TEST_P(CacheFolder, EndsInOneSlash)
{
    if (GetParam().directory) {
        ASSERT_TRUE(m_config.WriteString(config::Key::CacheDirectory, GetParam().directory));
    }
    SetRows({"a"});
    Start(1, "北海道");
    std::string folder = GetParam().folder;
    if (folder.starts_with("@"))
        folder = m_program.Path() + "/" + folder.substr(1);
    EXPECT_EQ(m_doc.GetResultPath(), folder + "_北海道_" + Today() + "_good.html");
}

INSTANTIATE_TEST_SUITE_P(Table, CacheFolder,
                         ::testing::Values(CCacheCase{"Empty", "", "@Cache/"},
                                           CCacheCase{"Missing", nullptr, "@Cache/"},
                                           CCacheCase{"NoSlash", "/srv/cache", "/srv/cache/"},
                                           CCacheCase{"Slash", "/srv/cache/", "/srv/cache/"}),
                         [](const auto& info) { return std::string(info.param.name); });

// Starts that do nothing at all, or only what the table says.
struct CRefusedCase
{
    const char* name;
    std::vector<std::string> rows;
    int area;
    bool withDocument;
    bool withPlugin;
    bool marksCleared;
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

    EXPECT_THAT(m_log, ElementsAreArray(c.events));
    EXPECT_EQ(m_run->GetJobArray(), nullptr);
    EXPECT_EQ(m_run->GetThreadList(), nullptr);
    EXPECT_TRUE(m_run->OnUpdateSearchStart());
    EXPECT_FALSE(m_run->OnUpdateSearchStop());
    EXPECT_EQ(m_doc.GetResultPath(), oldPath);
    EXPECT_THAT(m_rows.Marks(),
                ::testing::Each(::testing::Eq(c.marksCleared ? std::string() : "OK")));
    EXPECT_THAT(m_progress.m_updates, IsEmpty());
}

const std::vector<std::string> kTwoRows = {"a", "b"};

INSTANTIATE_TEST_SUITE_P(
    Table, RefusedStart,
    ::testing::Values(
        CRefusedCase{"RegionZero", kTwoRows, 0, true, true, false, {"prompt region-missing"}},
        CRefusedCase{"NoRegion", kTwoRows, -1, true, true, false, {"prompt region-missing"}},
        CRefusedCase{"NoPlugin", kTwoRows, 8, true, false, false, {}},
        CRefusedCase{"NoDocument", kTwoRows, 8, false, true, false, {}},
        CRefusedCase{"AllRowsEmpty", {"", "", ""}, 8, true, true, true, {}},
        CRefusedCase{"NoRows", {}, 8, true, true, true, {}}),
    [](const auto& info) { return std::string(info.param.name); });

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

TEST_F(CRunTest, NoWorkerAtAllFailsAtOnce)
{
    SetRows({"a", "b"});
    m_pool.m_nCreatable = 0;
    Start();
    EXPECT_THAT(m_log, ElementsAre("create failed", "create failed", "prompt failed"));
    EXPECT_EQ(m_pool.m_errorLog, std::vector<std::string>{"cannot start a download thread\r\n"});
    EXPECT_TRUE(m_run->OnUpdateSearchStart());
}

TEST_F(CRunTest, RunsWithTheWorkersThatCouldBeMade)
{
    SetRows({"a", "b", "c"});
    m_pool.m_nCreatable = 1;
    Start();
    EXPECT_THAT(m_log, ElementsAre("create 101", "create failed", "create failed", "resume 101"));
    Report(101);
    Report(101);
    Report(101);
    Report(101);
    EXPECT_EQ(m_log.back(), "prompt ask-show");
    EXPECT_EQ(MergedFiles().size(), 3u);
}

} // namespace
} // namespace search_test
