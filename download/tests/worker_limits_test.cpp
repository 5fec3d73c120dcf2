// How long a job may hold a worker: the whole-job limit, the stall limit counted per byte, and
// Abort() from the owner's thread; and how much it may store: the page size limit.
#include "config/config_store.h"
#include "download/page_limit.h"
#include "download/tests/worker_harness.h"
#include "platform/profile.h"

namespace download_tests {
namespace {

using namespace std::chrono_literals;
using Step = RawServer::Step;

// A server that drips one body byte every 300 ms for 15 s: always inside the stall limit.
std::vector<Step> DripFeed()
{
    std::vector<Step> script = {{0ms, "HTTP/1.0 200 OK\r\n\r\n"}};
    for (int i = 0; i < 50; ++i)
        script.push_back({300ms, "x"});
    return script;
}

// A server that takes the request and answers nothing until it is destroyed.
std::vector<Step> Silent()
{
    return {{24h, "HTTP/1.0 200 OK\r\n\r\n"}};
}

class WorkerLimitsTest : public WorkerTest
{
protected:
    // A worker whose stall and job limits are far away unless given; with clock, time moves
    // only as the test moves it, so that no limit can end a job the test did not mean to end.
    std::unique_ptr<CHttpThread>
    Start(const std::string& server, std::chrono::seconds stall = 60s,
          std::chrono::milliseconds job = download::Settings::kJobTimeout,
          const download::Clock* clock = nullptr)
    {
        download::Settings settings = ReadSettings();
        settings.stallTimeout = stall;
        settings.jobTimeout = job;
        return StartWorker(server, settings, clock);
    }

    void Post(CHttpThread& worker) { worker.StartDownload({"/tv.php?key=A", m_page}); }
};

TEST_F(WorkerLimitsTest, ADripFeedingServerCannotHoldAJobPastItsLimit)
{
    RawServer server(DripFeed());
    ManualClock clock;
    auto worker = Start(server.Address(), 1s, 1500ms, &clock);
    Post(*worker);
    ASSERT_TRUE(server.WaitReceived(1, 60s));
    // Bytes keep coming, so no stall can be declared: only the job's own limit ends it.
    clock.Advance(1500ms);
    ASSERT_TRUE(TakeReport(*worker));
    EXPECT_EQ(m_report.error, DLERR_INTERNET);
    EXPECT_EQ(m_report.reason, "タイムアウト");
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
    RawServer server(script);
    auto worker = Start(server.Address(), 1s);
    ASSERT_TRUE(RunJob(*worker, "/tv.php?key=A", m_page));
    EXPECT_EQ(m_report.error, DLERR_NONE) << m_report.reason;
    EXPECT_EQ(testing_support::ReadFileBytes(m_page), "ok");
    EXPECT_EQ(ErrorLog(), "");
}

TEST_F(WorkerLimitsTest, SilenceAfterASlowHeaderLineIsStillAStall)
{
    RawServer server({{0ms, "HTTP/1.0 200 OK\r\nX-Slow: "}, {250ms, "s"}, {24h, "\r\n\r\n"}});
    auto worker = Start(server.Address(), 1s);
    ASSERT_TRUE(RunJob(*worker, "/tv.php?key=A", m_page));
    EXPECT_EQ(m_report.error, DLERR_INTERNET);
    EXPECT_EQ(m_report.reason, "タイムアウト");
    EXPECT_EQ(LogMessages(ErrorLog()),
              std::vector<std::string>{"Timeout was reached: nothing received for 1 seconds\r\n"});
}

class AbortTest : public WorkerLimitsTest, public ::testing::WithParamInterface<bool>
{
};

// true: the server is silent after the request; false: it drips bytes, so the transfer is busy.
// Time stands still: nothing but the abort can end the job before the server has done.
TEST_P(AbortTest, EndsTheTransferAndFailsEveryLaterJobWithoutTraffic)
{
    RawServer server(GetParam() ? Silent() : DripFeed());
    ManualClock clock;
    auto worker = Start(server.Address(), 60s, download::Settings::kJobTimeout, &clock);
    Post(*worker);
    ASSERT_TRUE(server.WaitReceived(1, 60s));
    worker->Abort();
    ASSERT_TRUE(TakeReport(*worker));
    EXPECT_EQ(m_report.error, DLERR_INTERNET);
    EXPECT_EQ(m_report.reason, "中止");

    ASSERT_TRUE(RunJob(*worker, "/tv.php?key=B", m_page));
    EXPECT_EQ(m_report.error, DLERR_INTERNET);
    EXPECT_EQ(m_report.reason, "中止");
    EXPECT_EQ(server.Received().size(), 1u) << "no traffic after the abort";
    EXPECT_EQ(ErrorLog(), "") << "an abort is asked for, not a fault";
}

INSTANTIATE_TEST_SUITE_P(Servers, AbortTest, ::testing::Values(true, false));

TEST_F(WorkerLimitsTest, AbortWhileIdleFailsTheNextJobAtOnce)
{
    RawServer server(Silent());
    auto worker = Start(server.Address());
    worker->Abort();
    ASSERT_TRUE(RunJob(*worker, "/tv.php?key=A", m_page));
    EXPECT_EQ(m_report.error, DLERR_INTERNET);
    EXPECT_EQ(m_report.reason, "中止");
    worker.reset();
    EXPECT_TRUE(server.Received().empty());
}

class DestroyMidJobTest : public WorkerLimitsTest, public ::testing::WithParamInterface<bool>
{
};

// true: the run's stop (Abort, then a quit request, then the wait); false: only the destructor.
// The server never answers and time stands still, so a worker that waited on the network would
// never end.
TEST_P(DestroyMidJobTest, NeverWaitsOnTheNetwork)
{
    RawServer server(Silent());
    ManualClock clock;
    auto worker = Start(server.Address(), 60s, download::Settings::kJobTimeout, &clock);
    Post(*worker);
    ASSERT_TRUE(server.WaitReceived(1, 60s));
    if (GetParam()) {
        worker->Abort();
        worker->PostThreadMessage(UWM_QUIT_THREAD);
        worker->WaitForEnd();
    }
    worker.reset();
    EXPECT_EQ(m_notify.Take().reason, "中止");
}

INSTANTIATE_TEST_SUITE_P(Ways, DestroyMidJobTest, ::testing::Values(true, false));

constexpr std::size_t kMiB = std::size_t{1} << 20;

// A body that never ends, in large steps so that it fills a disk quickly where nothing stops it.
Step EndlessBody()
{
    return {0ms, std::string(std::size_t{64} << 10, 'x'), true};
}

struct SizeCase
{
    const char* name;
    RawServer::Script answer;
    std::int32_t error;
    std::string stored; // the page file afterwards; it held "stale" before the job
};

void PrintTo(const SizeCase& c, std::ostream* os)
{
    *os << c.name;
}

class PageSizeTest : public WorkerLimitsTest, public ::testing::WithParamInterface<SizeCase>
{
};

// With "MaxPageSize" 1: the page, not a timeout, ends the job, and the disk keeps no more of it.
TEST_P(PageSizeTest, APageOverTheLimitFailsItsJobOnlyAndLeavesNothing)
{
    const SizeCase& row = GetParam();
    ASSERT_TRUE(platform::Profile(m_profile).WriteInt("Settings\\DownLoad", "MaxPageSize", 1));
    const std::string good = "HTTP/1.0 200 OK\r\nContent-Length: 4\r\n\r\ngood";
    RawServer server(std::vector<RawServer::Script>{row.answer, {{0ms, good}}});
    auto worker = Start(server.Address());
    testing_support::WriteFileBytes(m_page, "stale");
    ASSERT_TRUE(RunJob(*worker, "/tv.php?key=A", m_page));
    EXPECT_EQ(m_report.error, row.error);
    const std::string stored = testing_support::ReadFileBytes(m_page);
    EXPECT_EQ(stored.size(), row.stored.size());
    EXPECT_TRUE(stored == row.stored);
    if (row.error == DLERR_NONE) {
        EXPECT_EQ(m_report.reason, "");
        EXPECT_EQ(ErrorLog(), "");
    } else {
        EXPECT_EQ(m_report.reason, "ページが大きすぎます (1 MiB 超)");
        EXPECT_EQ(LogMessages(ErrorLog()),
                  std::vector<std::string>{"Page larger than 1 MiB: transfer stopped\r\n"});
    }

    ASSERT_TRUE(RunJob(*worker, "/tv.php?key=B", m_page));
    EXPECT_EQ(m_report.error, DLERR_NONE) << m_report.reason;
    EXPECT_EQ(testing_support::ReadFileBytes(m_page), "good");
}

const std::string kHead = "HTTP/1.0 200 OK\r\n\r\n";
const std::string kFull(kMiB, 'x');

INSTANTIATE_TEST_SUITE_P(
    Pages, PageSizeTest,
    ::testing::Values(
        SizeCase{"TheLimitWithItsLength",
                 {{0ms, "HTTP/1.0 200 OK\r\nContent-Length: 1048576\r\n\r\n" + kFull}},
                 DLERR_NONE,
                 kFull},
        SizeCase{"TheLimitUntilClosed", {{0ms, kHead + kFull}}, DLERR_NONE, kFull},
        SizeCase{"OneByteOverUntilClosed", {{0ms, kHead + kFull + "x"}}, DLERR_STATUS, ""},
        SizeCase{"Endless", {{0ms, kHead}, EndlessBody()}, DLERR_STATUS, ""},
        SizeCase{"EndlessInChunks",
                 {{0ms, "HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n"},
                  {0ms, "10000\r\n" + std::string(0x10000, 'x') + "\r\n", true}},
                 DLERR_STATUS,
                 ""},
        // Refused before the body: the file is never opened.
        SizeCase{"ALengthOverTheLimit",
                 {{0ms, "HTTP/1.0 200 OK\r\nContent-Length: 1048577\r\n\r\n"}, EndlessBody()},
                 DLERR_STATUS,
                 "stale"},
        SizeCase{"AnErrorPageThatNeverEnds",
                 {{0ms, "HTTP/1.0 404 Not Found\r\n\r\n"}, EndlessBody()},
                 DLERR_STATUS,
                 "stale"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(WorkerLimitsTest, TheSampleSitesEndlessPageEndsAtTheDefaultLimit)
{
    listing_site::CSiteOptions options;
    options.endless = true;
    auto worker = Start(StartSite(options));
    ASSERT_TRUE(RunJob(*worker, SearchObject(kDramaKey), m_page));
    EXPECT_EQ(m_report.error, DLERR_STATUS);
    EXPECT_EQ(m_report.reason, "ページが大きすぎます (16 MiB 超)");
    EXPECT_EQ(testing_support::ReadFileBytes(m_page).size(), 0u);
}

struct LimitCase
{
    const char* stored; // nullptr: no such key
    int mebibytes;
};

class PageLimitSettingTest : public ::testing::TestWithParam<LimitCase>
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
                         ::testing::Values(LimitCase{nullptr, 16}, LimitCase{"", 16},
                                           LimitCase{"0", 16}, LimitCase{"-4", 16},
                                           LimitCase{"none", 16}, LimitCase{"1", 1},
                                           LimitCase{"64 MiB", 64}, LimitCase{"1024", 1024},
                                           LimitCase{"1025", 1024},
                                           LimitCase{"99999999999", 1024}));

} // namespace
} // namespace download_tests
