#include "download/tests/worker_harness.h"

#include "platform/file_error.h"
#include "tools/listing_site/programme_search.h"
#include "tools/listing_site/result_page.h"

#include <algorithm>

namespace download_tests {
namespace {

using namespace std::chrono_literals;

const std::string kDramaKey = "%83%68%83%89%83%7D"; // ドラマ, as the plug-in escapes it

// What the site sends for a search of the Tokyo listing with its default seed.
std::string ExpectedPage(const std::string& object, bool crlf)
{
    const std::string rawQuery = object.substr(object.find('?') + 1);
    const auto query = listing_site::ParseSearchQuery(rawQuery, listing_site::TodayLocal()).query;
    return *listing_site::RenderResultPage(*query, listing_site::FindProgrammes(1, *query), crlf);
}

using HttpThreadTest = CWorkerTest;

TEST_F(HttpThreadTest, AnnouncesOnceAndReportsEveryJobWhateverItsOutcome)
{
    const std::string server = StartSite();
    auto worker = StartWorker(server);
    EXPECT_FALSE(m_notify.WaitReport(200ms)) << "a fresh worker announces exactly once";
    const std::string page = m_dir.File("page.html");
    EXPECT_TRUE(RunJob(*worker, SearchObject(kDramaKey), page));
    EXPECT_TRUE(RunJob(*worker, "/no-such-page", page));
    EXPECT_TRUE(RunJob(*worker, SearchObject("x"), m_dir.File("missing/page.html")));
    EXPECT_FALSE(m_notify.WaitReport(200ms)) << "one report per job";
    EXPECT_EQ(m_pSite->GetRequests().size(), 3u);
}

TEST_F(HttpThreadTest, StoresALargeCrLfPageByteForByte)
{
    listing_site::CSiteOptions options;
    options.crlf = true;
    auto worker = StartWorker(StartSite(options));
    const std::string object = SearchObject(kDramaKey);
    const std::string page = m_dir.File("page.html");
    ASSERT_TRUE(RunJob(*worker, object, page));
    EXPECT_EQ(worker->m_nError, DLERR_NONE);
    const std::string expected = ExpectedPage(object, true);
    EXPECT_GT(expected.size(), 4096u * 4) << "the body must span many chunks";
    EXPECT_TRUE(testing_support::ReadFileBytes(page) == expected);
    EXPECT_EQ(ErrorLog(), "");
}

struct CBodyCase
{
    const char* name;
    std::string body;
};

// Names the case in test output.
void PrintTo(const CBodyCase& c, std::ostream* os)
{
    *os << c.name;
}

class StoredBodyTest : public CWorkerTest, public ::testing::WithParamInterface<CBodyCase>
{
};

TEST_P(StoredBodyTest, IsWhatTheServerSentAndReplacesTheOldContent)
{
    const std::string& body = GetParam().body;
    CCannedServer server("HTTP/1.0 200 OK\r\nContent-Length: " + std::to_string(body.size()) +
                         "\r\n\r\n" + body);
    auto worker = StartWorker("127.0.0.1:" + std::to_string(server.GetPort()));
    const std::string page = m_dir.File("page.html");
    testing_support::WriteFileBytes(page, "stale content");
    ASSERT_TRUE(RunJob(*worker, "/tv.php", page));
    EXPECT_EQ(worker->m_nError, DLERR_NONE);
    EXPECT_EQ(testing_support::ReadFileBytes(page), body);
}

INSTANTIATE_TEST_SUITE_P(
    Bodies, StoredBodyTest,
    ::testing::Values(CBodyCase{"lf", "a\nb"}, CBodyCase{"crlf", "a\r\nb"}, CBodyCase{"empty", ""},
                      CBodyCase{"binary", std::string("\0\x82\xA0\r\r\n\x1A", 7)}),
    [](const auto& info) { return std::string(info.param.name); });

class StatusTest : public CWorkerTest, public ::testing::WithParamInterface<int>
{
};

TEST_P(StatusTest, FailsTheJobLogsTheHeaderBlockAndLeavesTheFileAlone)
{
    listing_site::CSiteOptions options;
    options.statusByKey["\x83\x68\x83\x89\x83\x7D"] = GetParam();
    auto worker = StartWorker(StartSite(options));
    const std::string page = m_dir.File("page.html");
    testing_support::WriteFileBytes(page, "");
    ASSERT_TRUE(RunJob(*worker, SearchObject(kDramaKey), page));
    EXPECT_EQ(worker->m_nError, DLERR_STATUS);
    EXPECT_EQ(testing_support::ReadFileBytes(page), "");
    const std::vector<std::string> messages = LogMessages(ErrorLog());
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_TRUE(messages[0].starts_with("HTTP/1.1 " + std::to_string(GetParam()) + " "));
    EXPECT_TRUE(messages[0].ends_with("\r\n\r\n")) << "the block ends with its empty line";
    EXPECT_NE(messages[0].find("\r\nContent-Length: "), std::string::npos);

    // The worker carries on with the next job.
    ASSERT_TRUE(RunJob(*worker, SearchObject("A"), page));
    EXPECT_EQ(worker->m_nError, DLERR_NONE);
}

INSTANTIATE_TEST_SUITE_P(Codes, StatusTest, ::testing::Values(404, 500, 204, 302));

TEST_F(HttpThreadTest, LogsAnOversizedHeaderBlockCutTo1023Bytes)
{
    const std::string header = "X-Padding: " + std::string(2000, 'p') + "\r\n";
    CCannedServer server("HTTP/1.0 404 Not Found\r\n" + header + "\r\n");
    auto worker = StartWorker("127.0.0.1:" + std::to_string(server.GetPort()));
    ASSERT_TRUE(RunJob(*worker, "/tv.php", m_dir.File("page.html")));
    EXPECT_EQ(worker->m_nError, DLERR_STATUS);
    const std::vector<std::string> messages = LogMessages(ErrorLog());
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0], ("HTTP/1.0 404 Not Found\r\n" + header).substr(0, 1023));
}

TEST_F(HttpThreadTest, FollowsRedirectsUpToALimit)
{
    auto worker = StartWorker(StartSite());
    const std::string page = m_dir.File("page.html");
    ASSERT_TRUE(RunJob(*worker, "/moved/moved" + SearchObject(kDramaKey), page));
    EXPECT_EQ(worker->m_nError, DLERR_NONE);
    EXPECT_TRUE(testing_support::ReadFileBytes(page) ==
                ExpectedPage(SearchObject(kDramaKey), false));

    std::string endless;
    for (int i = 0; i < 11; ++i)
        endless += "/moved";
    ASSERT_TRUE(RunJob(*worker, endless + SearchObject(kDramaKey), page));
    EXPECT_EQ(worker->m_nError, DLERR_INTERNET);
    EXPECT_EQ(LogMessages(ErrorLog()).size(), 1u);
}

TEST_F(HttpThreadTest, SendsAPlainHttp10GetWithTheTargetUnchanged)
{
    auto worker = StartWorker(StartSite());
    // Half-width katakana travel as raw bytes, as the plug-in leaves them.
    const std::string object = SearchObject("\xB1\xC6\xD2");
    ASSERT_TRUE(RunJob(*worker, object, m_dir.File("page.html")));
    const auto requests = m_pSite->GetRequests();
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_EQ(requests[0].requestLine, "GET " + object + " HTTP/1.0");
    const auto& headers = requests[0].headers;
    auto has = [&headers](const std::string& h) {
        return std::find(headers.begin(), headers.end(), h) != headers.end();
    };
    EXPECT_TRUE(has("User-Agent: Vistrel"));
    EXPECT_TRUE(has("Pragma: no-cache"));
    EXPECT_TRUE(std::none_of(headers.begin(), headers.end(),
                             [](const std::string& h) { return h.starts_with("Accept:"); }));
}

TEST_F(HttpThreadTest, RefusesATargetThatWouldBreakTheRequestLine)
{
    auto worker = StartWorker(StartSite());
    ASSERT_TRUE(RunJob(*worker, "/tv.php?key=a\r\nX-Injected: 1", m_dir.File("page.html")));
    EXPECT_EQ(worker->m_nError, DLERR_INTERNET);
    EXPECT_TRUE(m_pSite->GetRequests().empty());
    EXPECT_EQ(LogMessages(ErrorLog()).size(), 1u);
}

class RefererTest : public CWorkerTest, public ::testing::WithParamInterface<std::string>
{
};

TEST_P(RefererTest, IsSentUnchangedOnlyWhenSet)
{
    auto worker = StartWorker(StartSite(), GetParam());
    ASSERT_TRUE(RunJob(*worker, SearchObject("A"), m_dir.File("page.html")));
    const auto requests = m_pSite->GetRequests();
    ASSERT_EQ(requests.size(), 1u);
    std::vector<std::string> referers;
    for (const std::string& header : requests[0].headers)
        if (header.starts_with("Referer:"))
            referers.push_back(header);
    if (GetParam().empty())
        EXPECT_TRUE(referers.empty());
    else
        EXPECT_EQ(referers, std::vector<std::string>{"Referer: " + GetParam()});
}

INSTANTIATE_TEST_SUITE_P(Referers, RefererTest,
                         ::testing::Values("", "http://127.0.0.1/search?q=a+b&area=008"));

} // namespace
} // namespace download_tests
