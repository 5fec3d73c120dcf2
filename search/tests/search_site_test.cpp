// Whole runs with the real workers and the real medora against the sample listing site.
#include "fake_ports.h"
#include "run_fixture.h"
#include "site_support.h"

#include "download/curl_global.h"
#include "platform/cp932.h"
#include "search/http_worker_pool.h"
#include "tools/listing_site/listing_server.h"

#include <gmock/gmock.h>

#include <filesystem>

namespace search_test {
namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::IsEmpty;
using namespace std::chrono_literals;

class SearchWithSite : public ::testing::Test
{
protected:
    SearchWithSite() { ClearProxyEnvironment(); }

    // Starts the site, points medora at it and loads medora.
    void StartSite(listing_site::CSiteOptions options)
    {
        m_site = std::make_unique<listing_site::CListingServer>(std::move(options));
        const int port = m_site->Start();
        ASSERT_GT(port, 0);
        m_medoraFolder = std::make_unique<CMedoraFolder>("127.0.0.1:" + std::to_string(port));
        ASSERT_TRUE(m_medora.Load(MEDORA_MODULE_PATH));
        std::filesystem::create_directory(m_program.File("Cache"));
    }

    void Start(std::vector<std::string> utf8Rows, int connectNum)
    {
        std::vector<std::string> rows;
        for (const std::string& row : utf8Rows)
            rows.push_back(Cp932(row));
        m_rows = CFakeRows(rows);
        ASSERT_TRUE(m_config.WriteInt(config::Key::ConnectNum, connectNum));
        m_run->OnSearchStart(&m_doc, m_rows, 8, "東京", &m_medora);
        ASSERT_FALSE(m_run->OnUpdateSearchStart());
    }

    // Delivers reports until the run is over, or until until() holds.
    void Pump(const std::function<bool()>& until = {})
    {
        const auto deadline = std::chrono::steady_clock::now() + 30s;
        while (!m_run->OnUpdateSearchStart() && !(until && until())) {
            ASSERT_LT(std::chrono::steady_clock::now(), deadline) << "the run hangs";
            if (const auto id = m_reports.Take(100ms))
                m_run->OnDownloadDone(*id);
        }
    }

    std::vector<std::string> TvFiles() const
    {
        std::vector<std::string> files;
        for (const auto& entry : std::filesystem::directory_iterator(m_tmp.Path()))
            files.push_back(entry.path().filename().string());
        return files;
    }

    testing_support::CTempDir m_program;
    testing_support::CTempDir m_tmp;
    testing_support::CTempDir m_work;
    CTmpDirVariable m_tmpdir{m_tmp.Path()};
    CWorkingFolder m_workingFolder{m_work.Path()};
    CCurlGlobal m_curl;
    config::CConfig m_config{config::VistrelIniPath(m_program.Path() + "/")};
    std::unique_ptr<listing_site::CListingServer> m_site;
    std::unique_ptr<CMedoraFolder> m_medoraFolder;
    CPluginModule m_medora;
    CTestReportQueue m_reports;
    search::CHttpWorkerPool m_pool{m_reports, m_config.GetPath()};
    CEventLog m_log;
    CFakePrompts m_prompts{m_log};
    CFakeProgress m_progress;
    CFakeRows m_rows{{}};
    CVistrelDoc m_doc;
    std::unique_ptr<CSearchRun> m_run = std::make_unique<CSearchRun>(
        m_config, m_program.Path() + "/", m_pool, m_prompts, &m_progress);
};

TEST_F(SearchWithSite, MarksRowsAndMergesTheListingsInKeywordOrder)
{
    listing_site::CSiteOptions options;
    options.statusByKey[Cp932("欠番")] = 404;
    StartSite(options);
    Start({"ドラマ", "", "ニュース", "欠番", "月面基地", "ドラマ"}, 2);
    Pump();

    EXPECT_THAT(m_rows.Marks(), ElementsAre("OK", "", "OK", "NG", "OK", ""));
    EXPECT_EQ(m_rows.m_rows[3].reason, "HTTP 404");
    EXPECT_THAT(m_log, ::testing::Contains("prompt ask-show"));
    EXPECT_THAT(TvFiles(), IsEmpty());
    EXPECT_THAT(testing_support::ReadFileBytes(m_work.File("error.log")), HasSubstr(" 404 "));

    // The template with the listings poured in, in keyword order, the failed one left out.
    const std::string page = ReadWithoutCr(m_doc.GetResultPath());
    const auto [before, after] = TemplateAroundInsertion();
    EXPECT_TRUE(page.starts_with(before));
    EXPECT_TRUE(page.ends_with(after));
    const std::string listings = platform::Cp932ToUtf8(
        page.substr(before.size(), page.size() - before.size() - after.size()));
    std::vector<std::size_t> at;
    for (const char* heading : {"「ドラマ」の検索結果", "「ニュース」の検索結果",
                                "「月面基地」の検索結果 0件", "「ドラマ」の検索結果"})
        at.push_back(listings.find(heading, at.empty() ? 0 : at.back() + 1));
    EXPECT_THAT(at, ::testing::Each(::testing::Ne(std::string::npos))) << listings;
    EXPECT_TRUE(std::is_sorted(at.begin(), at.end())) << listings;
    EXPECT_THAT(listings, Not(HasSubstr("欠番")));
}

// A stop, or the window closing, with every transfer hanging: it ends at once all the same.
class StopWithSite : public SearchWithSite, public ::testing::WithParamInterface<bool>
{
};

TEST_P(StopWithSite, AbortsTheTransfersAndLeavesNoFile)
{
    listing_site::CSiteOptions options;
    options.stall = true;
    StartSite(options);
    Start({"ドラマ", "ニュース", "映画"}, 2);
    Pump([this] { return m_site->GetRequests().size() >= 2; });
    ASSERT_EQ(TvFiles().size(), 2u);

    const auto started = std::chrono::steady_clock::now();
    if (GetParam())
        m_run->OnSearchStop();
    else
        m_run.reset();
    EXPECT_LT(std::chrono::steady_clock::now() - started, 3s);

    EXPECT_THAT(TvFiles(), IsEmpty());
    EXPECT_THAT(m_rows.Marks(), ElementsAre("", "", ""));
    EXPECT_THAT(EventsStartingWith(m_log, "prompt"), IsEmpty());
    if (m_run) {
        EXPECT_TRUE(m_run->OnUpdateSearchStart());
        while (const auto id = m_reports.Take(0ms))
            m_run->OnDownloadDone(*id); // the aborted jobs' reports are ignored
        EXPECT_THAT(EventsStartingWith(m_log, "prompt"), IsEmpty());
    }
}

INSTANTIATE_TEST_SUITE_P(Ways, StopWithSite, ::testing::Bool(),
                         [](const auto& info) { return info.param ? "Stop" : "WindowClose"; });

} // namespace
} // namespace search_test
