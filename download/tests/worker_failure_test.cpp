#include "download/tests/worker_harness.h"

#include <arpa/inet.h>
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <optional>
#include <poll.h>
#include <stdexcept>
#include <sys/resource.h>
#include <sys/socket.h>
#include <unistd.h>

namespace download_tests {
namespace {

using namespace std::chrono_literals;

enum class Fault { Refused, Reset, Stall };

class TransferFaultTest : public WorkerTest, public ::testing::WithParamInterface<Fault>
{
};

TEST_P(TransferFaultTest, IsAnInternetFailureWithOneLogEntryAndAReport)
{
    listing_site::CSiteOptions options;
    if (GetParam() == Fault::Reset)
        options.resetAfter = 100;
    options.stall = GetParam() == Fault::Stall;
    auto worker = StartWorker(GetParam() == Fault::Refused ? ClosedAddress() : StartSite(options));
    ASSERT_TRUE(RunJob(*worker, SearchObject(kDramaKey), m_page));
    EXPECT_EQ(m_report.error, DLERR_INTERNET);
    const std::vector<std::string> messages = LogMessages(ErrorLog());
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_TRUE(messages[0].size() > 2 && messages[0].ends_with("\r\n")) << messages[0];
    const char* reasons[] = {"接続できません (Couldn't connect to server)",
                             "通信エラー (Transferred a partial file)", "タイムアウト"};
    EXPECT_EQ(m_report.reason, reasons[static_cast<int>(GetParam())]);
    if (GetParam() == Fault::Reset) {
        EXPECT_EQ(testing_support::ReadFileBytes(m_page).size(), 100u) << "bytes received stay";
    }
}

INSTANTIATE_TEST_SUITE_P(Faults, TransferFaultTest,
                         ::testing::Values(Fault::Refused, Fault::Reset, Fault::Stall));

// A loopback port whose accept queue is full: the system drops further connection requests,
// so connecting there neither succeeds nor fails until the client gives up.
class FullBacklog
{
public:
    FullBacklog()
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
        m_port = ntohs(addr.sin_port);
        for (int& fd : m_fillers) {
            // Without them the port would simply answer, and the test would prove nothing.
            fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
            if (fd < 0 || (::connect(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0 &&
                           errno != EINPROGRESS))
                throw std::runtime_error("cannot fill the loopback port's accept queue");
        }
        // The first one fills the queue as soon as its handshake is done; the rest stay pending.
        pollfd connected = {m_fillers[0], POLLOUT, 0};
        if (::poll(&connected, 1, -1) != 1)
            throw std::runtime_error("cannot fill the loopback port's accept queue");
    }
    ~FullBacklog()
    {
        for (int fd : m_fillers)
            ::close(fd);
        ::close(m_listenFd);
    }
    std::string Address() const { return "127.0.0.1:" + std::to_string(m_port); }

private:
    int m_listenFd = -1;
    int m_port = 0;
    int m_fillers[3] = {-1, -1, -1};
};

TEST_F(WorkerTest, AConnectionThatNeverCompletesTimesOut)
{
    FullBacklog server;
    download::Settings settings = ReadSettings();
    settings.connectTimeout = 500ms;
    // The job's own limits read a clock that stands still: only the connect limit can end it.
    ManualClock clock;
    auto worker = StartWorker(server.Address(), settings, &clock);
    ASSERT_TRUE(RunJob(*worker, SearchObject("A"), m_page));
    EXPECT_EQ(m_report.error, DLERR_INTERNET);
    EXPECT_EQ(m_report.reason, "タイムアウト");
    const std::vector<std::string> messages = LogMessages(ErrorLog());
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_TRUE(messages[0].size() > 2 && messages[0].ends_with("\r\n")) << messages[0];
}

// Files may not grow past limit bytes while it lives; a write beyond fails with EFBIG rather
// than killing the process. Kept to the job alone: nothing else may write a file meanwhile.
class FileSizeLimit
{
public:
    explicit FileSizeLimit(rlim_t limit)
    {
        ::getrlimit(RLIMIT_FSIZE, &m_previous);
        const rlimit lowered{limit, m_previous.rlim_max};
        m_previousAction = std::signal(SIGXFSZ, SIG_IGN);
        m_set = m_previousAction != SIG_ERR && ::setrlimit(RLIMIT_FSIZE, &lowered) == 0;
    }
    ~FileSizeLimit()
    {
        ::setrlimit(RLIMIT_FSIZE, &m_previous);
        if (m_previousAction != SIG_ERR)
            std::signal(SIGXFSZ, m_previousAction);
    }
    bool IsSet() const { return m_set; }

private:
    rlimit m_previous{};
    void (*m_previousAction)(int) = SIG_ERR;
    bool m_set = false;
};

struct FileCase
{
    const char* name;
    std::string file; // in the test's folder (empty: the folder itself); absolute as it is
    const char* text; // "%1" stands for the path
    rlim_t sizeLimit; // 0: none
};

void PrintTo(const FileCase& c, std::ostream* os)
{
    *os << c.name;
}

class FileFailureTest : public WorkerTest, public ::testing::WithParamInterface<FileCase>
{
};

TEST_P(FileFailureTest, IsAFileFailureAndTheNextJobStartsClean)
{
    const FileCase& row = GetParam();
    const std::string path = row.file.empty()            ? m_dir.Path()
                             : row.file.starts_with("/") ? row.file
                                                         : m_dir.File(row.file);
    // The same texts the keyword document shows for the same causes.
    std::string text = row.text;
    text.replace(text.find("%1"), 2, path);
    auto worker = StartWorker(StartSite());
    bool reported = false;
    {
        std::optional<FileSizeLimit> limit;
        if (row.sizeLimit > 0)
            limit.emplace(row.sizeLimit);
        reported = (!limit || limit->IsSet()) && RunJob(*worker, SearchObject(kDramaKey), path);
    }
    ASSERT_TRUE(reported);
    EXPECT_EQ(m_report.error, DLERR_FILE);
    EXPECT_EQ(m_report.reason, text);
    EXPECT_EQ(LogMessages(ErrorLog()), std::vector<std::string>{text});

    ASSERT_TRUE(RunJob(*worker, SearchObject("A"), m_page));
    EXPECT_EQ(m_report.error, DLERR_NONE);
    EXPECT_EQ(m_report.reason, "");
    EXPECT_FALSE(testing_support::ReadFileBytes(m_page).empty());
}

INSTANTIATE_TEST_SUITE_P(
    Destinations, FileFailureTest,
    ::testing::Values(
        FileCase{"MissingFolder", "none/page.html", "%1 contains an invalid path.", 0},
        FileCase{"FolderInItsPlace", "", "Access to %1 was denied.", 0},
        FileCase{"FullDisk", "/dev/full", "Disk full while accessing %1.", 0},
        // The page is larger than the limit: the first write stops part way.
        FileCase{"FileSizeLimit", "page.html", "Disk full while accessing %1.", 1000}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(WorkerTest, QuitPostedDuringAJobTakesEffectAfterItsReport)
{
    listing_site::CSiteOptions options;
    options.latencyMs = 300;
    auto worker = StartWorker(StartSite(options));
    worker->StartDownload({SearchObject("A"), m_page});
    worker->PostThreadMessage(UWM_QUIT_THREAD);
    worker->WaitForEnd();
    ASSERT_TRUE(TakeReport(*worker));
    EXPECT_EQ(m_report.error, DLERR_NONE);
    EXPECT_TRUE(testing_support::ReadFileBytes(m_page).ends_with("</html>\n"));
    EXPECT_FALSE(m_notify.TryTake());
}

struct StartCase
{
    const char* name;
    std::string server; // "-": the sample site's address
    std::string referer;
};

void PrintTo(const StartCase& c, std::ostream* os)
{
    *os << c.name;
}

class StartFailureTest : public WorkerTest, public ::testing::WithParamInterface<StartCase>
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
    worker.SetSettings(ReadSettings());
    worker.ResumeThread();
    ASSERT_TRUE(TakeReport(worker));
    EXPECT_EQ(m_report.status, download::Status::Retired);
    EXPECT_EQ(m_report.error, DLERR_INTERNET);
    EXPECT_TRUE(m_report.reason.starts_with("接続を準備できません (")) << m_report.reason;
    EXPECT_TRUE(m_report.reason.ends_with(")")) << m_report.reason;
    // As the main window ends any worker: a quit request, then the wait.
    worker.PostThreadMessage(UWM_QUIT_THREAD);
    worker.WaitForEnd();
    EXPECT_FALSE(m_notify.TryTake()) << "exactly one report";
    const std::vector<std::string> messages = LogMessages(ErrorLog());
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_TRUE(messages[0].ends_with("\r\n"));
    if (m_site) {
        EXPECT_TRUE(m_site->GetRequests().empty());
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, StartFailureTest,
    ::testing::Values(StartCase{"EmptyServer", "", ""}, StartCase{"BlankInHost", "bad host", ""},
                      StartCase{"Path", "127.0.0.1/path", ""},
                      StartCase{"UserData", "user@127.0.0.1", ""},
                      StartCase{"PortOutOfRange", "127.0.0.1:99999", ""},
                      StartCase{"RefererAddsAHeader", "-", "http://a/\r\nX-Injected: 1"},
                      StartCase{"RefererWithLf", "-", "http://a/\nb"},
                      StartCase{"RefererWithCr", "-", "http://a/\rb"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(WorkerTest, DestroyingAWorkerNeverHangs)
{
    {
        CHttpThread neverResumed;
        ASSERT_TRUE(neverResumed.CreateThread());
        neverResumed.m_hNotifyWnd = &m_notify;
    }
    EXPECT_FALSE(m_notify.TryTake()) << "a worker never resumed does nothing";
    StartWorker(StartSite()).reset(); // no quit posted: the destructor ends the thread
    EXPECT_EQ(ErrorLog(), "");
}

} // namespace
} // namespace download_tests
