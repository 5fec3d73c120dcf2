#include "download/tests/worker_harness.h"

#include <arpa/inet.h>
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <optional>
#include <stdexcept>
#include <sys/resource.h>
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

// Files may not grow past limit bytes while it lives; a write beyond fails with EFBIG rather
// than killing the process. Kept to the job alone: nothing else may write a file meanwhile.
class CFileSizeLimit
{
public:
    explicit CFileSizeLimit(rlim_t limit)
    {
        ::getrlimit(RLIMIT_FSIZE, &m_previous);
        const rlimit lowered{limit, m_previous.rlim_max};
        m_previousAction = std::signal(SIGXFSZ, SIG_IGN);
        m_bSet = m_previousAction != SIG_ERR && ::setrlimit(RLIMIT_FSIZE, &lowered) == 0;
    }
    ~CFileSizeLimit()
    {
        ::setrlimit(RLIMIT_FSIZE, &m_previous);
        if (m_previousAction != SIG_ERR)
            std::signal(SIGXFSZ, m_previousAction);
    }
    bool IsSet() const { return m_bSet; }

private:
    rlimit m_previous{};
    void (*m_previousAction)(int) = SIG_ERR;
    bool m_bSet = false;
};

struct CFileCase
{
    const char* name;
    std::string file; // in the test's folder (empty: the folder itself); absolute as it is
    const char* text; // "%1" stands for the path
    rlim_t sizeLimit; // 0: none
};

void PrintTo(const CFileCase& c, std::ostream* os)
{
    *os << c.name;
}

class FileFailureTest : public CWorkerTest, public ::testing::WithParamInterface<CFileCase>
{
};

TEST_P(FileFailureTest, IsAFileFailureAndTheNextJobStartsClean)
{
    const CFileCase& row = GetParam();
    const std::string path = row.file.empty()            ? m_dir.Path()
                             : row.file.starts_with("/") ? row.file
                                                         : m_dir.File(row.file);
    // The same texts the keyword document shows for the same causes.
    std::string text = row.text;
    text.replace(text.find("%1"), 2, path);
    auto worker = StartWorker(StartSite());
    bool reported = false;
    {
        std::optional<CFileSizeLimit> limit;
        if (row.sizeLimit > 0)
            limit.emplace(row.sizeLimit);
        reported = (!limit || limit->IsSet()) && RunJob(*worker, SearchObject(kDramaKey), path);
    }
    ASSERT_TRUE(reported);
    EXPECT_EQ(worker->m_nError, DLERR_FILE);
    EXPECT_EQ(worker->m_strReason, text);
    EXPECT_EQ(LogMessages(ErrorLog()), std::vector<std::string>{text});

    ASSERT_TRUE(RunJob(*worker, SearchObject("A"), m_strPage));
    EXPECT_EQ(worker->m_nError, DLERR_NONE);
    EXPECT_EQ(worker->m_strReason, "");
    EXPECT_FALSE(testing_support::ReadFileBytes(m_strPage).empty());
}

INSTANTIATE_TEST_SUITE_P(
    Destinations, FileFailureTest,
    ::testing::Values(
        CFileCase{"MissingFolder", "none/page.html", "%1 contains an invalid path.", 0},
        CFileCase{"FolderInItsPlace", "", "Access to %1 was denied.", 0},
        CFileCase{"FullDisk", "/dev/full", "Disk full while accessing %1.", 0},
        // The page is larger than the limit: the first write stops part way.
        CFileCase{"FileSizeLimit", "page.html", "Disk full while accessing %1.", 1000}),
    [](const auto& info) { return std::string(info.param.name); });

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
