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
    if (GetParam() == Fault::Reset)
        options.resetAfter = 100;
    options.stall = GetParam() == Fault::Stall;
    auto worker = StartWorker(GetParam() == Fault::Refused ? ClosedAddress() : StartSite(options));
    const auto started = std::chrono::steady_clock::now();
    ASSERT_TRUE(RunJob(*worker, SearchObject(kDramaKey), m_strPage));
    EXPECT_LT(std::chrono::steady_clock::now() - started, 5s);
    EXPECT_EQ(worker->m_nError, DLERR_INTERNET);
    const std::vector<std::string> messages = LogMessages(ErrorLog());
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_TRUE(messages[0].size() > 2 && messages[0].ends_with("\r\n")) << messages[0];
    if (GetParam() == Fault::Reset) {
        EXPECT_EQ(testing_support::ReadFileBytes(m_strPage).size(), 100u) << "bytes received stay";
    }
}

INSTANTIATE_TEST_SUITE_P(Faults, TransferFaultTest,
                         ::testing::Values(Fault::Refused, Fault::Reset, Fault::Stall));

class FileFailureTest : public CWorkerTest, public ::testing::WithParamInterface<int>
{
};

// 0: a missing folder, 1: a folder in the file's place, 2: a full disk.
TEST_P(FileFailureTest, IsAFileFailureAndTheNextJobStartsClean)
{
    const std::string paths[] = {m_dir.File("none/page.html"), m_dir.Path(), "/dev/full"};
    const std::string& path = paths[GetParam()];
    const std::string texts[] = {path + " was not found.",
                                 platform::FileErrorTextFromErrno(EISDIR, path),
                                 "An unknown error occurred while accessing " + path + "."};
    auto worker = StartWorker(StartSite());
    ASSERT_TRUE(RunJob(*worker, SearchObject("A"), path));
    EXPECT_EQ(worker->m_nError, DLERR_FILE);
    EXPECT_EQ(LogMessages(ErrorLog()), std::vector<std::string>{texts[GetParam()]});

    ASSERT_TRUE(RunJob(*worker, SearchObject("A"), m_strPage));
    EXPECT_EQ(worker->m_nError, DLERR_NONE);
    EXPECT_FALSE(testing_support::ReadFileBytes(m_strPage).empty());
}

INSTANTIATE_TEST_SUITE_P(Destinations, FileFailureTest, ::testing::Values(0, 1, 2));

TEST_F(CWorkerTest, QuitPostedDuringAJobTakesEffectAfterItsReport)
{
    listing_site::CSiteOptions options;
    options.latencyMs = 300;
    auto worker = StartWorker(StartSite(options));
    worker->m_strObject = SearchObject("A");
    worker->m_strSaveFile = m_strPage;
    worker->PostThreadMessage(UWM_START_DOWNLOAD);
    worker->PostThreadMessage(UWM_QUIT_THREAD);
    EXPECT_EQ(m_notify.WaitReport(), worker->GetThreadID());
    worker->WaitForEnd();
    EXPECT_EQ(worker->m_nError, DLERR_NONE);
    EXPECT_TRUE(testing_support::ReadFileBytes(m_strPage).ends_with("</html>\n"));
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
    EXPECT_FALSE(m_notify.WaitReport(50ms));
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
    }
    EXPECT_FALSE(m_notify.WaitReport(50ms)) << "a worker never resumed does nothing";
    StartWorker(StartSite()).reset(); // no quit posted: the destructor ends the thread
    EXPECT_EQ(ErrorLog(), "");
}

} // namespace
} // namespace download_tests
