#include "download/tests/worker_harness.h"

#include <arpa/inet.h>
#include <cerrno>
#include <fcntl.h>
#include <stdexcept>
#include <sys/socket.h>
#include <unistd.h>

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
    EXPECT_LT(std::chrono::steady_clock::now() - started, 8s);
    EXPECT_EQ(worker->m_nError, DLERR_INTERNET);
    const std::vector<std::string> messages = LogMessages(ErrorLog());
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_TRUE(messages[0].size() > 2 && messages[0].ends_with("\r\n")) << messages[0];
    const char* reasons[] = {"接続できません (Couldn't connect to server)",
                             "通信エラー (Transferred a partial file)", "タイムアウト"};
    EXPECT_EQ(worker->m_strReason, reasons[static_cast<int>(GetParam())]);
    if (GetParam() == Fault::Reset) {
        EXPECT_EQ(testing_support::ReadFileBytes(m_strPage).size(), 100u) << "bytes received stay";
    }
}

INSTANTIATE_TEST_SUITE_P(Faults, TransferFaultTest,
                         ::testing::Values(Fault::Refused, Fault::Reset, Fault::Stall));

// A loopback port whose accept queue is full: the system drops further connection requests,
// so connecting there neither succeeds nor fails until the client gives up.
class CFullBacklog
{
public:
    CFullBacklog()
    {
        m_listenFd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_in addr{};
        addr.sin_family = AF_INET;
        addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t length = sizeof addr;
        if (::bind(m_listenFd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0 ||
            ::listen(m_listenFd, 0) != 0 ||
            ::getsockname(m_listenFd, reinterpret_cast<sockaddr*>(&addr), &length) != 0)
            throw std::runtime_error("cannot listen on loopback");
        m_nPort = ntohs(addr.sin_port);
        for (int& fd : m_fillers) {
            // Without them the port would simply answer, and the test would prove nothing.
            fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
            if (fd < 0 || (::connect(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0 &&
                           errno != EINPROGRESS))
                throw std::runtime_error("cannot fill the loopback port's accept queue");
        }
        std::this_thread::sleep_for(100ms);
    }
    ~CFullBacklog()
    {
        for (int fd : m_fillers)
            ::close(fd);
        ::close(m_listenFd);
    }
    std::string Address() const { return "127.0.0.1:" + std::to_string(m_nPort); }

private:
    int m_listenFd = -1;
    int m_nPort = 0;
    int m_fillers[3] = {-1, -1, -1};
};

TEST_F(CWorkerTest, AConnectionThatNeverCompletesTimesOut)
{
    CFullBacklog server;
    CHttpThread worker;
    ASSERT_TRUE(worker.CreateThread());
    worker.m_hNotifyWnd = &m_notify;
    worker.SetServer(server.Address().c_str());
    worker.SetProfilePath(m_strProfile);
    // The stall limit is far away, so only the connect limit can end the job in time.
    worker.SetTimeouts(500ms, 60s);
    worker.ResumeThread();
    ASSERT_EQ(m_notify.WaitReport(), worker.GetThreadID());
    const auto started = std::chrono::steady_clock::now();
    ASSERT_TRUE(RunJob(worker, SearchObject("A"), m_strPage));
    EXPECT_LT(std::chrono::steady_clock::now() - started, 10s);
    EXPECT_EQ(worker.m_nError, DLERR_INTERNET);
    const std::vector<std::string> messages = LogMessages(ErrorLog());
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_TRUE(messages[0].size() > 2 && messages[0].ends_with("\r\n")) << messages[0];
}

class FileFailureTest : public CWorkerTest, public ::testing::WithParamInterface<int>
{
};

// 0: a missing folder, 1: a folder in the file's place, 2: a full disk.
TEST_P(FileFailureTest, IsAFileFailureAndTheNextJobStartsClean)
{
    const std::string paths[] = {m_dir.File("none/page.html"), m_dir.Path(), "/dev/full"};
    const std::string& path = paths[GetParam()];
    // The same texts the keyword document shows for the same causes.
    const std::string texts[] = {path + " contains an invalid path.",
                                 "Access to " + path + " was denied.",
                                 "An unknown error occurred while accessing " + path + "."};
    auto worker = StartWorker(StartSite());
    ASSERT_TRUE(RunJob(*worker, SearchObject("A"), path));
    EXPECT_EQ(worker->m_nError, DLERR_FILE);
    EXPECT_EQ(worker->m_strReason, texts[GetParam()]);
    EXPECT_EQ(LogMessages(ErrorLog()), std::vector<std::string>{texts[GetParam()]});

    ASSERT_TRUE(RunJob(*worker, SearchObject("A"), m_strPage));
    EXPECT_EQ(worker->m_nError, DLERR_NONE);
    EXPECT_EQ(worker->m_strReason, "");
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

struct CStartCase
{
    const char* name;
    std::string server; // "-": the sample site's address
    std::string referer;
};

void PrintTo(const CStartCase& c, std::ostream* os)
{
    *os << c.name;
}

class StartFailureTest : public CWorkerTest, public ::testing::WithParamInterface<CStartCase>
{
};

// The main window must hear of a worker that cannot start, or a run would wait for it for ever.
TEST_P(StartFailureTest, ReportsOnceAsUnusableAndEnds)
{
    const std::string server = GetParam().server == "-" ? StartSite() : GetParam().server;
    CHttpThread worker;
    ASSERT_TRUE(worker.CreateThread());
    worker.m_hNotifyWnd = &m_notify;
    worker.SetServer(server.c_str());
    worker.SetReferer(GetParam().referer.c_str());
    worker.SetProfilePath(m_strProfile);
    worker.ResumeThread();
    ASSERT_EQ(m_notify.WaitReport(), worker.GetThreadID());
    EXPECT_EQ(worker.m_nError, DLERR_INTERNET);
    EXPECT_TRUE(worker.m_strReason.starts_with("接続を準備できません (")) << worker.m_strReason;
    EXPECT_TRUE(worker.m_strReason.ends_with(")")) << worker.m_strReason;
    // As the main window ends any worker: a quit request, then the wait.
    worker.PostThreadMessage(UWM_QUIT_THREAD);
    worker.WaitForEnd();
    EXPECT_FALSE(m_notify.WaitReport(50ms)) << "exactly one report";
    const std::vector<std::string> messages = LogMessages(ErrorLog());
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_TRUE(messages[0].ends_with("\r\n"));
    if (m_pSite) {
        EXPECT_TRUE(m_pSite->GetRequests().empty());
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, StartFailureTest,
    ::testing::Values(CStartCase{"EmptyServer", "", ""}, CStartCase{"BlankInHost", "bad host", ""},
                      CStartCase{"Path", "127.0.0.1/path", ""},
                      CStartCase{"UserData", "user@127.0.0.1", ""},
                      CStartCase{"PortOutOfRange", "127.0.0.1:99999", ""},
                      CStartCase{"RefererAddsAHeader", "-", "http://a/\r\nX-Injected: 1"},
                      CStartCase{"RefererWithLf", "-", "http://a/\nb"},
                      CStartCase{"RefererWithCr", "-", "http://a/\rb"}),
    [](const auto& info) { return std::string(info.param.name); });

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
