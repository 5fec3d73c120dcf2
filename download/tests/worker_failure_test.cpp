#include "download/tests/worker_harness.h"

#include "platform/file_error.h"

#include <cerrno>

namespace download_tests {
namespace {

using namespace std::chrono_literals;

enum class Fault { Refused, Reset, Stall };

class TransferFaultTest : public CWorkerTest, public ::testing::WithParamInterface<Fault>
{
};

TEST_P(TransferFaultTest, IsAnInternetFailureWithOneLogEntryAndAReport)
{
    listing_site::CSiteOptions options;
    options.resetAfter =
        GetParam() == Fault::Reset ? std::optional<std::size_t>(100) : std::nullopt;
    options.stall = GetParam() == Fault::Stall;
    const std::string server = GetParam() == Fault::Refused
                                   ? "127.0.0.1:" + std::to_string(ClosedPort())
                                   : StartSite(options);
    auto worker = StartWorker(server);
    const std::string page = m_dir.File("page.html");
    const auto started = std::chrono::steady_clock::now();
    ASSERT_TRUE(RunJob(*worker, SearchObject("%83%68%83%89%83%7D"), page));
    EXPECT_LT(std::chrono::steady_clock::now() - started, 10s);
    EXPECT_EQ(worker->m_nError, DLERR_INTERNET);
    const std::vector<std::string> messages = LogMessages(ErrorLog());
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_GT(messages[0].size(), 2u);
    EXPECT_TRUE(messages[0].ends_with("\r\n")) << messages[0];
    if (GetParam() == Fault::Reset) {
        EXPECT_EQ(testing_support::ReadFileBytes(page).size(), 100u) << "bytes received stay";
    }
}

std::string FaultName(const ::testing::TestParamInfo<Fault>& info)
{
    switch (info.param) {
    case Fault::Refused:
        return "Refused";
    case Fault::Reset:
        return "Reset";
    case Fault::Stall:
        break;
    }
    return "Stall";
}

INSTANTIATE_TEST_SUITE_P(Faults, TransferFaultTest,
                         ::testing::Values(Fault::Refused, Fault::Reset, Fault::Stall), FaultName);

struct CFileCase
{
    const char* name;
    std::string (*path)(const testing_support::CTempDir& dir);
    std::string (*text)(const std::string& path);
};

// Names the case in test output.
void PrintTo(const CFileCase& c, std::ostream* os)
{
    *os << c.name;
}

class FileFailureTest : public CWorkerTest, public ::testing::WithParamInterface<CFileCase>
{
};

TEST_P(FileFailureTest, IsAFileFailureAndTheNextJobStartsClean)
{
    auto worker = StartWorker(StartSite());
    const std::string path = GetParam().path(m_dir);
    ASSERT_TRUE(RunJob(*worker, SearchObject("A"), path));
    EXPECT_EQ(worker->m_nError, DLERR_FILE);
    // A file error's text has no line break of its own.
    EXPECT_EQ(LogMessages(ErrorLog()), std::vector<std::string>{GetParam().text(path)});

    const std::string good = m_dir.File("page.html");
    ASSERT_TRUE(RunJob(*worker, SearchObject("A"), good));
    EXPECT_EQ(worker->m_nError, DLERR_NONE);
    EXPECT_FALSE(testing_support::ReadFileBytes(good).empty());
}

INSTANTIATE_TEST_SUITE_P(
    Destinations, FileFailureTest,
    ::testing::Values(
        CFileCase{"MissingFolder",
                  [](const testing_support::CTempDir& d) { return d.File("none/page.html"); },
                  [](const std::string& p) { return p + " was not found."; }},
        CFileCase{"Folder", [](const testing_support::CTempDir& d) { return d.Path(); },
                  [](const std::string& p) { return platform::FileErrorTextFromErrno(EISDIR, p); }},
        CFileCase{"DiskFull",
                  [](const testing_support::CTempDir&) { return std::string("/dev/full"); },
                  [](const std::string& p) {
                      return "An unknown error occurred while accessing " + p + ".";
                  }}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(CWorkerTest, QuitPostedDuringAJobTakesEffectAfterItsReport)
{
    listing_site::CSiteOptions options;
    options.latencyMs = 300;
    auto worker = StartWorker(StartSite(options));
    const std::string page = m_dir.File("page.html");
    worker->m_strObject = SearchObject("A");
    worker->m_strSaveFile = page;
    worker->PostThreadMessage(UWM_START_DOWNLOAD);
    worker->PostThreadMessage(UWM_QUIT_THREAD);
    EXPECT_EQ(m_notify.WaitReport(), worker->GetThreadID());
    worker->WaitForEnd();
    EXPECT_EQ(worker->m_nError, DLERR_NONE);
    EXPECT_TRUE(testing_support::ReadFileBytes(page).ends_with("</html>\n"));
    EXPECT_FALSE(m_notify.WaitReport(100ms));
}

class BadServerTest : public CWorkerTest, public ::testing::WithParamInterface<std::string>
{
};

TEST_P(BadServerTest, EndsTheWorkerWithoutAReport)
{
    CHttpThread worker;
    ASSERT_TRUE(worker.CreateThread());
    worker.m_hNotifyWnd = &m_notify;
    worker.SetServer(GetParam().c_str());
    worker.SetProfilePath(m_strProfile);
    worker.ResumeThread();
    worker.WaitForEnd();
    EXPECT_EQ(worker.m_nError, DLERR_INTERNET);
    EXPECT_FALSE(m_notify.WaitReport(100ms));
    const std::vector<std::string> messages = LogMessages(ErrorLog());
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_TRUE(messages[0].ends_with("\r\n"));
}

INSTANTIATE_TEST_SUITE_P(Servers, BadServerTest,
                         ::testing::Values("", "bad host", "127.0.0.1/path", "user@127.0.0.1",
                                           "127.0.0.1:99999"));

TEST_F(CWorkerTest, DestroyingAWorkerNeverHangs)
{
    {
        CHttpThread neverResumed;
        ASSERT_TRUE(neverResumed.CreateThread());
        neverResumed.m_hNotifyWnd = &m_notify;
        neverResumed.SetServer("127.0.0.1");
    }
    EXPECT_FALSE(m_notify.WaitReport(100ms)) << "a worker never resumed does nothing";
    auto idle = StartWorker(StartSite());
    idle.reset(); // no quit posted: the destructor ends the thread itself
    EXPECT_EQ(ErrorLog(), "");
}

} // namespace
} // namespace download_tests
