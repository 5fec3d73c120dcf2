// How a run ends with fake workers: the mark and reason of every keyword, tried or not, the
// pages that are merged, and the one question or message at the end.
#include "run_fixture.h"

#include "download/download_messages.h"

#include <gmock/gmock.h>

#include <filesystem>
#include <map>

namespace search_test {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

struct CReport
{
    CReport(std::uint32_t w, std::int32_t s = DLERR_NONE, std::string r = {})
        : worker(w)
        , status(s)
        , reason(std::move(r))
    {}

    std::uint32_t worker;
    std::int32_t status;
    std::string reason;
};

// Five keywords, "a" to "e".
struct COutcomeCase
{
    const char* name;
    int workers;
    std::vector<CReport> reports;    // in the order they arrive
    std::vector<std::string> marks;  // mark and reason per row
    std::vector<std::string> merged; // the keywords whose pages are merged, in order
    std::string end;                 // the last prompt: "ask-show" or "failed why"
};

void PrintTo(const COutcomeCase& c, std::ostream* os)
{
    *os << c.name;
}

class Outcome : public CRunTest, public ::testing::WithParamInterface<COutcomeCase>
{
};

TEST_P(Outcome, MarksEveryKeywordAndMergesOnlyWhatCameIn)
{
    const COutcomeCase& c = GetParam();
    SetRows({"a", "b", "c", "d", "e"});
    ASSERT_TRUE(m_config.WriteInt(config::Key::ConnectNum, c.workers));
    Start();
    std::map<std::string, std::string> pages; // keyword -> its page file
    for (const CReport& report : c.reports) {
        ASSERT_TRUE(m_run->GetJobArray()) << "the run ended early";
        if (const std::string keyword = JobOf(report.worker); !keyword.empty())
            pages[keyword] = m_pool.Worker(report.worker)->m_strSaveFile;
        Report(report.worker, report.status, report.reason);
    }

    EXPECT_EQ(m_run->GetJobArray(), nullptr) << "the run is over";
    EXPECT_EQ(m_rows.MarksWithReasons(), c.marks);
    std::vector<std::string> merged;
    for (const std::string& keyword : c.merged)
        merged.push_back(pages[keyword]);
    if (merged.empty())
        EXPECT_FALSE(std::filesystem::exists(m_doc.GetResultPath())) << "a page of no page";
    else
        EXPECT_EQ(MergedFiles(), merged);
    // A line for every keyword, the counts with them, and one prompt at the very end.
    EXPECT_EQ(Events(m_log, "job ").size(), 5u);
    EXPECT_EQ(Events(m_log, "progress").back(),
              "progress 5/" + std::to_string(5 - c.merged.size()) + "/5");
    EXPECT_EQ(m_log.back(), c.end);
    EXPECT_EQ(Events(m_log, "ask-show").size() + Events(m_log, "failed").size(), 1u);
    EXPECT_THAT(TvFiles(m_tmp.Path()), IsEmpty());
}

const std::string kNotTried = "NG 未実行 (接続できるダウンロードスレッドがありません)";
const std::string kNoPage = "failed ダウンロードできたページがありません";

INSTANTIATE_TEST_SUITE_P(
    Table, Outcome,
    ::testing::Values(
        COutcomeCase{"AllDone",
                     1,
                     {{101}, {101}, {101}, {101}, {101}, {101}},
                     {"OK", "OK", "OK", "OK", "OK"},
                     {"a", "b", "c", "d", "e"},
                     "ask-show"},
        COutcomeCase{
            "OtherFailuresCarryOn",
            1,
            {{101}, {101, DLERR_STATUS, "HTTP 404"}, {101}, {101, DLERR_FILE}, {101}, {101, 7}},
            {"NG HTTP 404", "OK", "NG ファイルに書けません", "OK",
             "NG ダウンロード失敗 (コード 7)"},
            {"b", "d"},
            "ask-show"},
        // Status 1 ends the only worker: the keywords still waiting are never tried, and say so.
        COutcomeCase{"InternetFailureOfTheOnlyWorker",
                     1,
                     {{101}, {101}, {101, DLERR_INTERNET, "Connection refused"}},
                     {"OK", "NG Connection refused", kNotTried, kNotTried, kNotTried},
                     {"a"},
                     "ask-show"},
        COutcomeCase{"EveryDownloadFailed",
                     1,
                     {{101},
                      {101, DLERR_STATUS, "HTTP 500"},
                      {101, DLERR_STATUS, "HTTP 500"},
                      {101, DLERR_STATUS, "HTTP 500"},
                      {101, DLERR_STATUS, "HTTP 500"},
                      {101, DLERR_INTERNET}},
                     {"NG HTTP 500", "NG HTTP 500", "NG HTTP 500", "NG HTTP 500", "NG 通信エラー"},
                     {},
                     kNoPage + " (通信エラー)"},
        COutcomeCase{"EveryWorkerRetiredWithJobsWaiting",
                     2,
                     {{101}, {102}, {102, DLERR_INTERNET, "reset"}, {101, DLERR_INTERNET, "reset"}},
                     {"NG reset", "NG reset", kNotTried, kNotTried, kNotTried},
                     {},
                     kNoPage + " (reset)"},
        // A worker that cannot start reports once, with why; no job is given to it.
        COutcomeCase{"NoWorkerCouldStart",
                     2,
                     {{102, DLERR_INTERNET, "bad host"}, {101, DLERR_INTERNET, "bad host"}},
                     {"NG 未実行 (bad host)", "NG 未実行 (bad host)", "NG 未実行 (bad host)",
                      "NG 未実行 (bad host)", "NG 未実行 (bad host)"},
                     {},
                     kNoPage + " (bad host)"},
        COutcomeCase{"OneWorkerCouldNotStartTheOtherDidEverything",
                     2,
                     {{101, DLERR_INTERNET, "bad host"}, {102}, {102}, {102}, {102}, {102}, {102}},
                     {"OK", "OK", "OK", "OK", "OK"},
                     {"a", "b", "c", "d", "e"},
                     "ask-show"}),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace
} // namespace search_test
