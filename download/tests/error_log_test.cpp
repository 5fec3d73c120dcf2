#include "download/error_log.h"
#include "download/tests/worker_harness.h"
#include "platform/tests/scoped_env.h"
#include "platform/tests/unprivileged.h"

#include <cstdlib>
#include <filesystem>
#include <set>
#include <sys/stat.h>
#include <unistd.h>

namespace download_tests {
namespace {

TEST(ErrorLogEntry, IsTheLocalTimeASpaceAndTheMessageCutTo1023Bytes)
{
    std::tm when{};
    when.tm_year = 2026 - 1900;
    when.tm_mon = 11;
    when.tm_mday = 8;
    when.tm_hour = 3;
    when.tm_min = 5;
    when.tm_sec = 9;
    const std::time_t time = timegm(&when);
    const std::string longText(1500, 'x');
    std::string shortEntry, longEntry;
    {
        const testing_support::CScopedEnv utc{{"TZ", "UTC"}};
        tzset();
        shortEntry = download::FormatErrorLogEntry(time, "a\r\nb");
        longEntry = download::FormatErrorLogEntry(time, longText);
    }
    tzset();
    EXPECT_EQ(shortEntry, "2026/12/08 03:05:09 a\r\nb");
    EXPECT_EQ(longEntry, "2026/12/08 03:05:09 " + longText.substr(0, 1023));
}

TEST_F(WorkerTest, EntriesFollowEachOtherWithTheirBytesUnchanged)
{
    download::WriteErrorLog("/tmp/x was not found.");
    download::WriteErrorLog("HTTP/1.0 404 Not Found\r\n\r\n");
    download::WriteErrorLog("last");
    const std::string log = ErrorLog();
    EXPECT_EQ(LogMessages(log),
              (std::vector<std::string>{"/tmp/x was not found.", "HTTP/1.0 404 Not Found\r\n\r\n",
                                        "last"}));
    EXPECT_EQ(log.find("\r\r"), std::string::npos);
}

TEST_F(WorkerTest, EntriesLoggedAtTheSameMomentAreAllKeptWhole)
{
    std::set<std::string> expected;
    std::vector<std::thread> threads;
    for (int t = 0; t < 8; ++t) {
        for (int i = 0; i < 100; ++i)
            expected.insert(std::to_string(t) + "/" + std::to_string(i) + std::string(200, '.') +
                            "\r\n");
        threads.emplace_back([t] {
            for (int i = 0; i < 100; ++i)
                download::WriteErrorLog(std::to_string(t) + "/" + std::to_string(i) +
                                        std::string(200, '.') + "\r\n");
        });
    }
    for (std::thread& thread : threads)
        thread.join();
    const std::vector<std::string> messages = LogMessages(ErrorLog());
    EXPECT_EQ(messages.size(), expected.size());
    EXPECT_EQ(std::set<std::string>(messages.begin(), messages.end()), expected);
}

TEST_F(WorkerTest, ManyWorkersFailingAtOnceLoseNoEntry)
{
    const std::string server = ClosedAddress();
    std::vector<std::unique_ptr<CHttpThread>> workers;
    workers.reserve(6);
    for (int i = 0; i < 6; ++i)
        workers.push_back(StartWorker(server));
    for (auto& worker : workers)
        worker->StartDownload({SearchObject("A"), m_page});
    for (std::size_t i = 0; i < workers.size(); ++i)
        EXPECT_EQ(m_notify.Take().error, DLERR_INTERNET);
    EXPECT_EQ(LogMessages(ErrorLog()).size(), workers.size());
}

TEST_F(WorkerTest, ALogThatCannotBeWrittenChangesNothingElse)
{
    std::filesystem::create_directory(m_dir.File("error.log"));
    auto refused = StartWorker(ClosedAddress());
    ASSERT_TRUE(RunJob(*refused, SearchObject("A"), m_page));
    EXPECT_EQ(m_report.error, DLERR_INTERNET);
    auto worker = StartWorker(StartSite());
    ASSERT_TRUE(RunJob(*worker, SearchObject("A"), m_page));
    EXPECT_EQ(m_report.error, DLERR_NONE);
    EXPECT_TRUE(std::filesystem::is_empty(m_dir.File("error.log")));
}

TEST(ErrorLogFolder, AReadOnlyFolderLosesEntriesSilently)
{
    testing_support::CTempDir dir;
    const std::string folder = dir.File("ro");
    std::filesystem::create_directory(folder);
    chmod(dir.Path().c_str(), 0711);
    chmod(folder.c_str(), 0555);
    // fn may run in a child process: no exceptions, no assertions, and it puts the working
    // folder back in case it runs here.
    const std::optional<std::string> outcome = testing_support::RunUnprivileged([&folder] {
        const std::string previous = std::filesystem::current_path().string();
        if (::chdir(folder.c_str()) != 0)
            return std::string("cannot enter the folder");
        download::WriteErrorLog("HTTP/1.0 404 Not Found\r\n\r\n");
        const bool written = ::access("error.log", F_OK) == 0;
        return std::string(::chdir(previous.c_str()) == 0 && !written ? "" : "log written");
    });
    ASSERT_TRUE(outcome);
    EXPECT_EQ(*outcome, "");
    EXPECT_TRUE(std::filesystem::is_empty(folder));
}

// Installed use sends the log to the user's state folder; portable use keeps the current one.
TEST_F(WorkerTest, EntriesGoWhereTheLogPathSays)
{
    testing_support::CTempDir state;
    const std::string elsewhere = state.File("error.log");
    download::SetErrorLogPath(elsewhere);
    download::WriteErrorLog("first");
    download::SetErrorLogPath(download::kErrorLogName);
    download::WriteErrorLog("second");
    EXPECT_EQ(LogMessages(testing_support::ReadFileBytes(elsewhere)),
              std::vector<std::string>{"first"});
    EXPECT_EQ(LogMessages(ErrorLog()), std::vector<std::string>{"second"});
}

} // namespace
} // namespace download_tests
