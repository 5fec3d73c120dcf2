// How long a job may hold a worker: the whole-job limit, the stall limit counted per byte, and
// Abort() from the owner's thread; and how much it may store: the page size limit.
#include "config/config_store.h"
#include "download/page_limit.h"
#include "download/tests/worker_harness.h"
#include "platform/profile.h"

namespace download_tests {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;
using Step = CRawServer::CStep;

// A server that drips one body byte every 300 ms for 15 s: always inside the stall limit.
std::vector<Step> DripFeed()
{
    std::vector<Step> script = {{0ms, "HTTP/1.0 200 OK\r\n\r\n"}};
    for (int i = 0; i < 50; ++i)
        script.push_back({300ms, "x"});
    return script;
}

// A server that takes the request and answers nothing for 15 s.
std::vector<Step> Silent()
{
    return {{15s, "HTTP/1.0 200 OK\r\n\r\n"}};
}

class WorkerLimitsTest : public CWorkerTest
{
protected:
    // A worker whose stall and connect limits are far away unless given.
    std::unique_ptr<CHttpThread> Start(const std::string& server, std::chrono::seconds stall = 60s,
                                       std::chrono::milliseconds job = CHttpThread::kJobTimeout)
    {
        auto worker = std::make_unique<CHttpThread>();
        EXPECT_TRUE(worker->CreateThread());
        worker->m_hNotifyWnd = &m_notify;
        worker->SetServer(server.c_str());
        worker->SetProfilePath(m_strProfile);
        worker->SetTimeouts(5s, stall, job);
        worker->ResumeThread();
        EXPECT_EQ(m_notify.WaitReport(), worker->GetThreadID());
        return worker;
    }

    void Post(CHttpThread& worker)
    {
        worker.m_strObject = "/tv.php?key=A";
        worker.m_strSaveFile = m_strPage;
        worker.PostThreadMessage(UWM_START_DOWNLOAD);
    }
};

TEST_F(WorkerLimitsTest, ADripFeedingServerCannotHoldAJobPastItsLimit)
{
    CRawServer server(DripFeed());
    auto worker = Start(server.Address(), 1s, 1500ms);
    const Clock::time_point started = Clock::now();
    ASSERT_TRUE(RunJob(*worker, "/tv.php?key=A", m_strPage));
    const auto took = Clock::now() - started;
    EXPECT_GE(took, 1400ms);
    EXPECT_LT(took, 4s);
    EXPECT_EQ(worker->m_nError, DLERR_INTERNET);
    EXPECT_EQ(worker->m_strReason, "タイムアウト");
    const std::vector<std::string> messages = LogMessages(ErrorLog());
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0], "Timeout was reached: the job took longer than 1500 ms\r\n");
}

// libcurl hands a header line over only when it is complete; bytes arriving steadily on the
// connection must still count as life.
TEST_F(WorkerLimitsTest, AHeaderLineThatArrivesSlowlyButSteadilyIsNoStall)
{
    std::vector<Step> script = {{0ms, "HTTP/1.0 200 OK\r\nX-Slow: "}};
    for (int i = 0; i < 10; ++i)
        script.push_back({250ms, "s"});
    script.push_back({0ms, "\r\nContent-Length: 2\r\n\r\nok"});
    CRawServer server(script);
    auto worker = Start(server.Address(), 1s);
    ASSERT_TRUE(RunJob(*worker, "/tv.php?key=A", m_strPage));
    EXPECT_EQ(worker->m_nError, DLERR_NONE) << worker->m_strReason;
    EXPECT_EQ(testing_support::ReadFileBytes(m_strPage), "ok");
    EXPECT_EQ(ErrorLog(), "");
}

TEST_F(WorkerLimitsTest, SilenceAfterASlowHeaderLineIsStillAStall)
{
    CRawServer server({{0ms, "HTTP/1.0 200 OK\r\nX-Slow: "}, {250ms, "s"}, {15s, "\r\n\r\n"}});
    auto worker = Start(server.Address(), 1s);
    const Clock::time_point started = Clock::now();
    ASSERT_TRUE(RunJob(*worker, "/tv.php?key=A", m_strPage));
    EXPECT_LT(Clock::now() - started, 3s);
    EXPECT_EQ(worker->m_nError, DLERR_INTERNET);
    EXPECT_EQ(worker->m_strReason, "タイムアウト");
    EXPECT_EQ(LogMessages(ErrorLog()),
              std::vector<std::string>{"Timeout was reached: nothing received for 1 seconds\r\n"});
}

class AbortTest : public WorkerLimitsTest, public ::testing::WithParamInterface<bool>
{
};

// true: the server is silent after the request; false: it drips bytes, so the transfer is busy.
TEST_P(AbortTest, EndsTheTransferAtOnceAndFailsEveryLaterJobWithoutTraffic)
{
    CRawServer server(GetParam() ? Silent() : DripFeed());
    auto worker = Start(server.Address());
    Post(*worker);
    ASSERT_TRUE(server.WaitReceived(1, 5s));
    std::this_thread::sleep_for(100ms);
    const Clock::time_point aborted = Clock::now();
    worker->Abort();
    ASSERT_EQ(m_notify.WaitReport(), worker->GetThreadID());
    EXPECT_LT(Clock::now() - aborted, 500ms);
    EXPECT_EQ(worker->m_nError, DLERR_INTERNET);
    EXPECT_EQ(worker->m_strReason, "中止");

    const Clock::time_point next = Clock::now();
    ASSERT_TRUE(RunJob(*worker, "/tv.php?key=B", m_strPage));
    EXPECT_LT(Clock::now() - next, 500ms);
    EXPECT_EQ(worker->m_nError, DLERR_INTERNET);
    EXPECT_EQ(worker->m_strReason, "中止");
    EXPECT_EQ(server.Received().size(), 1u) << "no traffic after the abort";
    EXPECT_EQ(ErrorLog(), "") << "an abort is asked for, not a fault";
}

INSTANTIATE_TEST_SUITE_P(Servers, AbortTest, ::testing::Values(true, false));

TEST_F(WorkerLimitsTest, AbortWhileIdleFailsTheNextJobAtOnce)
{
    CRawServer server(Silent());
    auto worker = Start(server.Address());
    worker->Abort();
    ASSERT_TRUE(RunJob(*worker, "/tv.php?key=A", m_strPage));
    EXPECT_EQ(worker->m_nError, DLERR_INTERNET);
    EXPECT_EQ(worker->m_strReason, "中止");
    EXPECT_FALSE(server.WaitReceived(1, 100ms));
}

class DestroyMidJobTest : public WorkerLimitsTest, public ::testing::WithParamInterface<bool>
{
};

// true: the run's stop (Abort, then a quit request, then the wait); false: only the destructor.
TEST_P(DestroyMidJobTest, NeverWaitsOnTheNetwork)
{
    CRawServer server(Silent());
    auto worker = Start(server.Address());
    Post(*worker);
    ASSERT_TRUE(server.WaitReceived(1, 5s));
    const Clock::time_point stopping = Clock::now();
    if (GetParam()) {
        worker->Abort();
        worker->PostThreadMessage(UWM_QUIT_THREAD);
        worker->WaitForEnd();
    }
    worker.reset();
    EXPECT_LT(Clock::now() - stopping, 500ms);
}

INSTANTIATE_TEST_SUITE_P(Ways, DestroyMidJobTest, ::testing::Values(true, false));

constexpr std::size_t kMiB = std::size_t{1} << 20;

// A body that never ends, in large steps so that it fills a disk quickly where nothing stops it.
Step EndlessBody()
{
    return {0ms, std::string(std::size_t{64} << 10, 'x'), true};
}

struct CSizeCase
{
    const char* name;
    CRawServer::CScript answer;
    std::int32_t error;
    std::string stored; // the page file afterwards; it held "stale" before the job
};

void PrintTo(const CSizeCase& c, std::ostream* os)
{
    *os << c.name;
}

class PageSizeTest : public WorkerLimitsTest, public ::testing::WithParamInterface<CSizeCase>
{
};

// With "MaxPageSize" 1: the page, not a timeout, ends the job, and the disk keeps no more of it.
TEST_P(PageSizeTest, APageOverTheLimitFailsItsJobOnlyAndLeavesNothing)
{
    const CSizeCase& row = GetParam();
    ASSERT_TRUE(platform::Profile(m_strProfile).WriteInt("Settings\\DownLoad", "MaxPageSize", 1));
    const std::string good = "HTTP/1.0 200 OK\r\nContent-Length: 4\r\n\r\ngood";
    CRawServer server(std::vector<CRawServer::CScript>{row.answer, {{0ms, good}}});
    auto worker = Start(server.Address());
    testing_support::WriteFileBytes(m_strPage, "stale");
    ASSERT_TRUE(RunJob(*worker, "/tv.php?key=A", m_strPage));
    EXPECT_EQ(worker->m_nError, row.error);
    const std::string stored = testing_support::ReadFileBytes(m_strPage);
    EXPECT_EQ(stored.size(), row.stored.size());
    EXPECT_TRUE(stored == row.stored);
    if (row.error == DLERR_NONE) {
        EXPECT_EQ(worker->m_strReason, "");
        EXPECT_EQ(ErrorLog(), "");
    } else {
        EXPECT_EQ(worker->m_strReason, "ページが大きすぎます (1 MiB 超)");
        EXPECT_EQ(LogMessages(ErrorLog()),
                  std::vector<std::string>{"Page larger than 1 MiB: transfer stopped\r\n"});
    }

    ASSERT_TRUE(RunJob(*worker, "/tv.php?key=B", m_strPage));
    EXPECT_EQ(worker->m_nError, DLERR_NONE) << worker->m_strReason;
    EXPECT_EQ(testing_support::ReadFileBytes(m_strPage), "good");
}

const std::string kHead = "HTTP/1.0 200 OK\r\n\r\n";
const std::string kFull(kMiB, 'x');

INSTANTIATE_TEST_SUITE_P(
    Pages, PageSizeTest,
    ::testing::Values(
        CSizeCase{"TheLimitWithItsLength",
                  {{0ms, "HTTP/1.0 200 OK\r\nContent-Length: 1048576\r\n\r\n" + kFull}},
                  DLERR_NONE,
                  kFull},
        CSizeCase{"TheLimitUntilClosed", {{0ms, kHead + kFull}}, DLERR_NONE, kFull},
        CSizeCase{"OneByteOverUntilClosed", {{0ms, kHead + kFull + "x"}}, DLERR_STATUS, ""},
        CSizeCase{"Endless", {{0ms, kHead}, EndlessBody()}, DLERR_STATUS, ""},
        CSizeCase{"EndlessInChunks",
                  {{0ms, "HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n"},
                   {0ms, "10000\r\n" + std::string(0x10000, 'x') + "\r\n", true}},
                  DLERR_STATUS,
                  ""},
        // Refused before the body: the file is never opened.
        CSizeCase{"ALengthOverTheLimit",
                  {{0ms, "HTTP/1.0 200 OK\r\nContent-Length: 1048577\r\n\r\n"}, EndlessBody()},
                  DLERR_STATUS,
                  "stale"},
        CSizeCase{"AnErrorPageThatNeverEnds",
                  {{0ms, "HTTP/1.0 404 Not Found\r\n\r\n"}, EndlessBody()},
                  DLERR_STATUS,
                  "stale"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(WorkerLimitsTest, TheSampleSitesEndlessPageEndsAtTheDefaultLimit)
{
    listing_site::CSiteOptions options;
    options.endless = true;
    auto worker = Start(StartSite(options));
    ASSERT_TRUE(RunJob(*worker, SearchObject(kDramaKey), m_strPage));
    EXPECT_EQ(worker->m_nError, DLERR_STATUS);
    EXPECT_EQ(worker->m_strReason, "ページが大きすぎます (16 MiB 超)");
    EXPECT_EQ(testing_support::ReadFileBytes(m_strPage).size(), 0u);
}

struct CLimitCase
{
    const char* stored; // nullptr: no such key
    int mebibytes;
};

class PageLimitSettingTest : public ::testing::TestWithParam<CLimitCase>
{
};

TEST_P(PageLimitSettingTest, ReadsAsASaneNumberOfMiB)
{
    testing_support::CTempDir dir;
    const config::Config config(dir.File("Vistrel.ini"));
    if (GetParam().stored) {
        ASSERT_TRUE(
            config.Profile().WriteString("Settings\\DownLoad", "MaxPageSize", GetParam().stored));
    }
    EXPECT_EQ(download::ReadPageLimitMiB(config), GetParam().mebibytes);
}

INSTANTIATE_TEST_SUITE_P(Values, PageLimitSettingTest,
                         ::testing::Values(CLimitCase{nullptr, 16}, CLimitCase{"", 16},
                                           CLimitCase{"0", 16}, CLimitCase{"-4", 16},
                                           CLimitCase{"none", 16}, CLimitCase{"1", 1},
                                           CLimitCase{"64 MiB", 64}, CLimitCase{"1024", 1024},
                                           CLimitCase{"1025", 1024},
                                           CLimitCase{"99999999999", 1024}));

} // namespace
} // namespace download_tests
