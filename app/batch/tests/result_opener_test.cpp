// The programs that show a result page: started as their own session with the path as their
// one argument, their failures told with the path; and the browser at the end of a real run.
#include "batch_fixture.h"

#include "app/batch/report_queue.h"
#include "app/batch/result_opener.h"
#include "keywords/document_rows.h"
#include "search/http_worker_pool.h"

#include <gmock/gmock.h>

#include <cstdio>
#include <fcntl.h>
#include <filesystem>
#include <unistd.h>

namespace batch_test {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using ::testing::HasSubstr;

// A shell script at path: it records what it was given and how it was started in record
// ("count|first argument|standard input|standard output|session"), then runs tail. Its tools
// are named by their paths, so that it runs whatever PATH a test gives it.
void WriteRecordingProgram(const std::string& path, const std::string& record,
                           const std::string& tail = "exit 0")
{
    testing_support::WriteFileBytes(
        path,
        "#!/bin/sh\n"
        "sid=$(/usr/bin/sed 's/.*) //' /proc/$$/stat | /usr/bin/cut -d' ' -f4)\n"
        "[ \"$sid\" = $$ ] && session=own || session=shared\n"
        "[ \"$(/usr/bin/readlink /proc/$$/fd/1)\" = \"$(/usr/bin/readlink /proc/$$/fd/2)\" ] && "
        "out=on-stderr "
        "|| out=own\n"
        "printf '%s|%s|%s|%s|%s' \"$#\" \"$1\" \"$(/usr/bin/readlink /proc/$$/fd/0)\" \"$out\" "
        "\"$session\" > '" +
            record + "'\n" + tail + "\n");
    fs::permissions(path, fs::perms::owner_exec, fs::perm_options::add);
}

// Standard output sent to a file for as long as it lives, so that a program that inherited
// it unchanged can be told from one whose output was moved to standard error.
class CStdoutToFile
{
public:
    explicit CStdoutToFile(const std::string& path)
        : m_saved(::dup(STDOUT_FILENO))
    {
        std::fflush(stdout);
        const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
        ::dup2(fd, STDOUT_FILENO);
        ::close(fd);
    }
    ~CStdoutToFile()
    {
        std::fflush(stdout);
        ::dup2(m_saved, STDOUT_FILENO);
        ::close(m_saved);
    }
    CStdoutToFile(const CStdoutToFile&) = delete;
    CStdoutToFile& operator=(const CStdoutToFile&) = delete;

private:
    int m_saved;
};

struct COpenerCase
{
    const char* name;
    bool browser;         // else the desktop's handler, from PATH
    std::string tail;     // what the program does after recording; empty: there is none
    std::string error;    // "%p" stands for the program's path; empty: no failure
    bool recorded = true; // the program ran and recorded its start
};

void PrintTo(const COpenerCase& c, std::ostream* os)
{
    *os << c.name;
}

class Opener : public CBatchTest, public ::testing::WithParamInterface<COpenerCase>
{
};

TEST_P(Opener, StartsTheProgramWithThePathAloneAndTellsWhyItFailed)
{
    const COpenerCase& c = GetParam();
    const std::string bin = m_work.File("bin"), record = m_work.File("record.txt");
    fs::create_directory(bin);
    const std::string program = c.browser ? m_work.File("my \"browser\" 1") : bin + "/xdg-open";
    if (!c.tail.empty())
        WriteRecordingProgram(program, record, c.tail);
    testing_support::CScopedEnv path{{"PATH", bin.c_str()}}; // where xdg-open is looked for
    const std::string page = m_work.File("watch 'a' \"b\"_東京_20261208_medora.html");

    std::string why;
    bool started = false;
    {
        const CStdoutToFile output(m_work.File("stdout.txt"));
        batch::OpenerStart opener = batch::StartOpener(c.browser ? program : "", page);
        started = static_cast<bool>(opener);
        why = opener ? opener.process->Finish() : opener.error;
    }

    std::string error = c.error;
    if (const std::size_t at = error.find("%p"); at != std::string::npos)
        error.replace(at, 2, c.browser ? program : "xdg-open");
    EXPECT_EQ(why, error);
    EXPECT_EQ(started, c.recorded);
    if (c.recorded) {
        EXPECT_EQ(testing_support::ReadFileBytes(record), "1|" + page + "|/dev/null|on-stderr|own");
    }
    EXPECT_EQ(batch::OpenFailureText(page, "why"),
              "検索結果をブラウザで表示できませんでした。\nwhy\n" + page);
}

INSTANTIATE_TEST_SUITE_P(
    Table, Opener,
    ::testing::Values(
        COpenerCase{"Browser", true, "exit 0", ""},
        COpenerCase{"BrowserFails", true, "exit 1", "「%p」が失敗しました (終了コード 1)"},
        COpenerCase{"BrowserKilled", true, "kill -TERM $$",
                    "「%p」が異常終了しました (シグナル 15)"},
        COpenerCase{"BrowserMissing", true, "",
                    "「%p」を起動できません (No such file or directory)", false},
        COpenerCase{"DesktopHandler", false, "exit 0", ""},
        COpenerCase{"DesktopHandlerFails", false, "exit 3", "「%p」が失敗しました (終了コード 3)"},
        COpenerCase{"NoDesktopHandler", false, "",
                    "「%p」を起動できません (No such file or directory)", false}),
    [](const auto& info) { return std::string(info.param.name); });

// Opens the page as the window's prompts do, and waits for the program, as only a test may.
class CYesPrompts : public search::IRunPrompts
{
public:
    void ShowRegionMissing() override { ADD_FAILURE(); }
    bool AskShowResult() override { return true; }
    void ShowSearchFailed(const std::string&) override { ADD_FAILURE(); }
    void OpenResult(const std::string& browser, const std::string& path) override
    {
        batch::OpenerStart opener = batch::StartOpener(browser, path);
        ASSERT_TRUE(opener) << opener.error;
        EXPECT_EQ(opener.process->Finish(), "");
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
    WriteRecordingProgram(browser, record);
    ASSERT_TRUE(m_config.WriteString(config::Key::CacheDirectory, cache));
    ASSERT_TRUE(m_config.WriteString(config::Key::Browser, browser));

    CPluginModule medora;
    ASSERT_TRUE(medora.Load(MEDORA_MODULE_PATH));
    CVistrelDoc doc;
    ASSERT_TRUE(doc.OnOpenDocument(WriteKeywords({"ドラマ", "ニュース"})));
    keywords::CDocumentRows rows(doc);
    batch::ReportQueue reports;
    search::HttpWorkerPool pool(reports, m_config.GetPath());
    CYesPrompts prompts;
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
