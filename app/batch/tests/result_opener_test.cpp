// The real opener at the end of a real run: Yes to the completion question starts the
// configured browser with the result path as its one argument, unchanged.
#include "batch_fixture.h"

#include "app/batch/report_queue.h"
#include "app/batch/result_opener.h"
#include "keywords/document_rows.h"
#include "search/http_worker_pool.h"

#include <filesystem>
#include <thread>

namespace batch_test {
namespace {

using namespace std::chrono_literals;

class CYesPrompts : public search::IRunPrompts
{
public:
    void ShowRegionMissing() override { ADD_FAILURE(); }
    bool AskShowResult() override { return true; }
    void ShowSearchFailed(const std::string&) override { ADD_FAILURE(); }
    void OpenResult(const std::string& browser, const std::string& path) override
    {
        batch::OpenResultPage(browser, path);
    }
};

TEST_F(CBatchTest, YesStartsTheBrowserWithTheResultPathAsItsOneArgument)
{
    StartSite();
    // Spaces and quotes in both paths: nothing may split or quote them.
    const std::string cache = m_work.File("my 'cache' \"dir\"");
    const std::string record = m_work.File("record.txt");
    const std::string browser = m_work.File("fake browser.sh");
    std::filesystem::create_directory(cache);
    testing_support::WriteFileBytes(browser, "#!/bin/sh\nprintf '%s|%s' \"$#\" \"$1\" > '" +
                                                 record + ".tmp'\nmv '" + record + ".tmp' '" +
                                                 record + "'\n");
    std::filesystem::permissions(browser, std::filesystem::perms::owner_exec,
                                 std::filesystem::perm_options::add);
    ASSERT_TRUE(m_config.WriteString(config::Key::CacheDirectory, cache));
    ASSERT_TRUE(m_config.WriteString(config::Key::Browser, browser));

    CPluginModule medora;
    ASSERT_TRUE(medora.Load(MEDORA_MODULE_PATH));
    CVistrelDoc doc;
    ASSERT_TRUE(doc.OnOpenDocument(WriteKeywords({"ドラマ", "ニュース"})));
    keywords::CDocumentRows rows(doc);
    batch::CReportQueue reports;
    search::CHttpWorkerPool pool(reports, m_config.GetPath());
    CYesPrompts prompts;
    CSearchRun run(m_config, ProgramFolder(), pool, prompts);
    run.OnSearchStart(&doc, rows, 8, "東京", &medora);
    for (int i = 0; i < 300 && !run.OnUpdateSearchStart(); ++i) {
        if (const auto id = reports.Take(100ms))
            run.OnDownloadDone(*id);
    }
    ASSERT_TRUE(run.OnUpdateSearchStart()) << "the run hangs";
    EXPECT_EQ(rows.GetRowMark(0).mark + rows.GetRowMark(1).mark, "OKOK");
    EXPECT_TRUE(doc.GetResultPath().starts_with(cache + "/watch_東京_"));
    for (int i = 0; i < 500 && !std::filesystem::exists(record); ++i)
        std::this_thread::sleep_for(20ms);
    ASSERT_TRUE(std::filesystem::exists(record)) << "the browser was not started";
    EXPECT_EQ(testing_support::ReadFileBytes(record), "1|" + doc.GetResultPath());
}

} // namespace
} // namespace batch_test
