// The browser at the end of a real run: Yes to the completion question shows the page.
#include "batch_fixture.h"

#include "app/batch/report_queue.h"
#include "keywords/document_rows.h"
#include "platform/page_opener.h"
#include "platform/tests/recording_program.h"
#include "search/http_worker_pool.h"

#include <gmock/gmock.h>

namespace batch_test {
namespace {

// Opens the page as the window's prompts do, and waits for the program, as only a test may.
class YesPrompts : public search::IRunPrompts
{
public:
    void ShowRegionMissing() override { ADD_FAILURE(); }
    bool AskShowResult() override { return true; }
    void ShowSearchFailed(const std::string&) override { ADD_FAILURE(); }
    void OpenResult(const std::string& browser, const std::string& path) override
    {
        const platform::Result<std::unique_ptr<platform::OpenerProcess>> opener =
            platform::StartOpener(browser, path);
        ASSERT_TRUE(opener) << opener.error;
        EXPECT_EQ(opener.value->Finish(), "");
    }
};

// Yes to the completion question starts the configured browser with the result path as its
// one argument, unchanged.
TEST_F(CBatchTest, YesStartsTheBrowserWithTheResultPathAsItsOneArgument)
{
    StartSite();
    // Spaces and quotes in both paths: nothing may split or quote them.
    const std::string cache = m_work.File("my 'cache' \"dir\"");
    const std::string record = m_work.File("record.txt");
    const std::string browser = m_work.File("fake browser.sh");
    testing_support::WriteRecordingProgram(browser, record);
    ASSERT_TRUE(m_config.WriteString(config::Key::CacheDirectory, cache));
    ASSERT_TRUE(m_config.WriteString(config::Key::Browser, browser));

    CPluginModule medora;
    ASSERT_TRUE(medora.Load(MEDORA_MODULE_PATH));
    CVistrelDoc doc;
    ASSERT_TRUE(doc.OnOpenDocument(WriteKeywords({"ドラマ", "ニュース"})));
    keywords::CDocumentRows rows(doc);
    batch::ReportQueue reports;
    search::HttpWorkerPool pool(reports, m_config.GetPath());
    YesPrompts prompts;
    CSearchRun run(m_config, ProgramFolder(), pool, prompts);
    run.OnSearchStart(&doc, rows, 8, "東京", &medora);
    while (!run.OnUpdateSearchStart()) {
        if (const auto report = reports.Take())
            run.OnDownloadDone(*report);
    }
    EXPECT_EQ(rows.GetRowMark(0).mark + rows.GetRowMark(1).mark, "OKOK");
    EXPECT_TRUE(doc.GetResultPath().starts_with(cache + "/watch_東京_"));
    EXPECT_THAT(testing_support::ReadFileBytes(record),
                ::testing::StartsWith("1|" + doc.GetResultPath() + "|"));
}

} // namespace
} // namespace batch_test
