#include "download/tests/worker_harness.h"

#include "tools/listing_site/programme_search.h"
#include "tools/listing_site/result_page.h"

#include <algorithm>
#include <filesystem>

namespace download_tests {
namespace {

using namespace std::chrono_literals;
using testing_support::ReadFileBytes;

// What the site sends for a search with its default seed.
std::string ExpectedPage(const std::string& object, bool crlf)
{
    const std::string rawQuery = object.substr(object.find('?') + 1);
    const auto query = listing_site::ParseSearchQuery(rawQuery, listing_site::TodayLocal()).query;
    return *listing_site::RenderResultPage(*query, listing_site::FindProgrammes(1, *query), crlf);
}

using HttpThreadTest = WorkerTest;

TEST_F(HttpThreadTest, AnnouncesOnceAndReportsEveryJobWhateverItsOutcome)
{
    auto worker = StartWorker(StartSite());
    EXPECT_EQ(m_report.status, download::Status::Ready);
    EXPECT_EQ(m_report.error, DLERR_NONE);
    const std::string missing = m_dir.File("missing/page.html");
    ASSERT_TRUE(RunJob(*worker, SearchObject(kDramaKey), m_page));
    EXPECT_EQ(m_report.status, download::Status::Done);
    EXPECT_EQ(m_report.httpStatus, 200);
    ASSERT_TRUE(RunJob(*worker, "/no-such-page", m_page));
    EXPECT_EQ(m_report.status, download::Status::Failed);
    EXPECT_EQ(m_report.httpStatus, 404);
    ASSERT_TRUE(RunJob(*worker, SearchObject("x"), missing));
    EXPECT_EQ(m_report.status, download::Status::Failed);
    EXPECT_EQ(m_report.reason, missing + " contains an invalid path.");
    worker->PostThreadMessage(UWM_QUIT_THREAD);
    worker->WaitForEnd();
    EXPECT_FALSE(m_notify.TryTake()) << "one report at the start and one per job, no more";
    // A page file that cannot be made fails its job before anything is sent.
    EXPECT_EQ(m_site->GetRequests().size(), 2u);
}

// Bodies are stored as sent: CR LF pages stay CR LF, so they merge like LF ones.
TEST_F(HttpThreadTest, StoresAManyChunkCrLfPageByteForByte)
{
    listing_site::CSiteOptions options;
    options.crlf = true;
    auto worker = StartWorker(StartSite(options));
    ASSERT_TRUE(RunJob(*worker, "/moved/moved" + SearchObject(kDramaKey), m_page));
    EXPECT_EQ(m_report.error, DLERR_NONE);
    const std::string expected = ExpectedPage(SearchObject(kDramaKey), true);
    EXPECT_GT(expected.size(), 4096u * 4);
    EXPECT_TRUE(ReadFileBytes(m_page) == expected);
    EXPECT_EQ(ErrorLog(), "");
}

class StoredBodyTest : public WorkerTest, public ::testing::WithParamInterface<std::string>
{
};

TEST_P(StoredBodyTest, IsWhatTheServerSentInPlaceOfTheOldContent)
{
    const std::string& body = GetParam();
    CannedServer server("HTTP/1.0 200 OK\r\nContent-Length: " + std::to_string(body.size()) +
                        "\r\n\r\n" + body);
    auto worker = StartWorker(server.Address());
    testing_support::WriteFileBytes(m_page, "stale content");
    ASSERT_TRUE(RunJob(*worker, "/tv.php", m_page));
    EXPECT_EQ(m_report.error, DLERR_NONE);
    EXPECT_EQ(ReadFileBytes(m_page), body);
}

INSTANTIATE_TEST_SUITE_P(Bodies, StoredBodyTest,
                         ::testing::Values("a\nb", "a\r\nb", "",
                                           std::string("\0\x82\xA0\r\r\n", 6)));

class StatusTest : public WorkerTest, public ::testing::WithParamInterface<int>
{
};

TEST_P(StatusTest, FailsTheJobLogsTheHeaderBlockAndLeavesTheFileAlone)
{
    listing_site::CSiteOptions options;
    options.statusByKey["\x83\x68\x83\x89\x83\x7D"] = GetParam();
    auto worker = StartWorker(StartSite(options));
    testing_support::WriteFileBytes(m_page, "");
    ASSERT_TRUE(RunJob(*worker, SearchObject(kDramaKey), m_page));
    EXPECT_EQ(m_report.error, DLERR_STATUS);
    EXPECT_EQ(m_report.reason, "HTTP " + std::to_string(GetParam()));
    EXPECT_EQ(ReadFileBytes(m_page), "");
    const std::vector<std::string> messages = LogMessages(ErrorLog());
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_TRUE(messages[0].starts_with("HTTP/1.1 " + std::to_string(GetParam()) + " "));
    EXPECT_NE(messages[0].find("\r\nContent-Length: "), std::string::npos);
    EXPECT_TRUE(messages[0].ends_with("\r\n\r\n")) << "the block ends with its empty line";

    ASSERT_TRUE(RunJob(*worker, SearchObject("A"), m_page));
    EXPECT_EQ(m_report.error, DLERR_NONE) << "the worker carries on";
}

INSTANTIATE_TEST_SUITE_P(Codes, StatusTest, ::testing::Values(404, 503, 204));

TEST_F(HttpThreadTest, LogsAnOversizedHeaderBlockCutTo1023Bytes)
{
    const std::string head = "HTTP/1.0 404 Not Found\r\nX-Pad: " + std::string(2000, 'p') + "\r\n";
    CannedServer server(head + "\r\n");
    auto worker = StartWorker(server.Address());
    ASSERT_TRUE(RunJob(*worker, "/tv.php", m_page));
    EXPECT_EQ(m_report.error, DLERR_STATUS);
    EXPECT_EQ(LogMessages(ErrorLog()), std::vector<std::string>{head.substr(0, 1023)});
}

TEST_F(HttpThreadTest, FollowsTenRedirectsButNotEleven)
{
    auto worker = StartWorker(StartSite());
    std::string moved;
    for (int i = 0; i < 10; ++i)
        moved += "/moved";
    ASSERT_TRUE(RunJob(*worker, moved + SearchObject("A"), m_page));
    EXPECT_EQ(m_report.error, DLERR_NONE);
    EXPECT_EQ(m_site->GetRequests().size(), 11u);
    EXPECT_EQ(m_site->GetRequests().back().requestLine, "GET " + SearchObject("A") + " HTTP/1.0");

    ASSERT_TRUE(RunJob(*worker, "/moved" + moved + SearchObject("A"), m_page));
    EXPECT_EQ(m_report.error, DLERR_INTERNET);
    EXPECT_EQ(m_report.reason, "通信エラー (Number of redirects hit maximum amount)");
    EXPECT_EQ(LogMessages(ErrorLog()).size(), 1u);
}

class RequestTest : public WorkerTest, public ::testing::WithParamInterface<std::string>
{
};

TEST_P(RequestTest, IsAPlainHttp10GetWithTheRefererOnlyWhenSet)
{
    auto worker = StartWorker(StartSite(), GetParam());
    // Half-width katakana travel as raw bytes, as the plug-in leaves them.
    const std::string object = SearchObject("\xB1\xC6\xD2");
    ASSERT_TRUE(RunJob(*worker, object, m_page));
    const auto requests = m_site->GetRequests();
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_EQ(requests[0].requestLine, "GET " + object + " HTTP/1.0");
    std::vector<std::string> headers;
    for (const std::string& header : requests[0].headers)
        if (!header.starts_with("Host:"))
            headers.push_back(header);
    std::vector<std::string> expected = {"Connection: Keep-Alive", "Pragma: no-cache",
                                         "User-Agent: Vistrel"};
    if (!GetParam().empty())
        expected.insert(expected.begin() + 2, "Referer: " + GetParam());
    EXPECT_EQ(headers, expected);
}

INSTANTIATE_TEST_SUITE_P(Referers, RequestTest,
                         ::testing::Values("", "http://127.0.0.1/search?q=a+b&area=008"));

class RefusedTargetTest : public WorkerTest, public ::testing::WithParamInterface<std::string>
{
};

// One bad keyword must not retire a healthy worker: only its own job fails.
TEST_P(RefusedTargetTest, FailsThatJobOnlyWithoutSendingIt)
{
    auto worker = StartWorker(StartSite());
    ASSERT_TRUE(RunJob(*worker, "/tv.php?key=" + GetParam(), m_page));
    EXPECT_EQ(m_report.error, DLERR_STATUS);
    EXPECT_EQ(m_report.reason, "要求先が不正です");
    EXPECT_TRUE(m_site->GetRequests().empty());
    EXPECT_EQ(LogMessages(ErrorLog()).size(), 1u);

    ASSERT_TRUE(RunJob(*worker, SearchObject("A"), m_page));
    EXPECT_EQ(m_report.error, DLERR_NONE);
    EXPECT_EQ(m_report.reason, "");
    EXPECT_EQ(m_site->GetRequests().size(), 1u);
}

INSTANTIATE_TEST_SUITE_P(Targets, RefusedTargetTest,
                         ::testing::Values("a\r\nX-Injected: 1", "a b", "a\tb", "a\x7F", "a\x01",
                                           "a\n"));

struct PageFileCase
{
    const char* name;
    std::string answer;
    std::string target;
    bool aborted; // the worker is aborted before the job
    std::string stored;
};

void PrintTo(const PageFileCase& c, std::ostream* os)
{
    *os << c.name;
}

class PageFileTest : public WorkerTest, public ::testing::WithParamInterface<PageFileCase>
{
};

// The run names a page file for every job it hands out and deletes it at the end; the worker
// makes it, whatever becomes of the job.
TEST_P(PageFileTest, EveryJobLeavesItsFileBehind)
{
    const PageFileCase& row = GetParam();
    CannedServer server(row.answer);
    auto worker = StartWorker(server.Address());
    if (row.aborted)
        worker->Abort();
    const std::string page = m_dir.File("~TV-1");
    ASSERT_TRUE(RunJob(*worker, row.target, page));
    ASSERT_TRUE(std::filesystem::is_regular_file(page)) << m_report.reason;
    EXPECT_EQ(ReadFileBytes(page), row.stored);
    EXPECT_EQ(std::filesystem::status(page).permissions() & std::filesystem::perms::all,
              std::filesystem::perms::owner_read | std::filesystem::perms::owner_write)
        << "pages are the user's alone";
}

INSTANTIATE_TEST_SUITE_P(
    Jobs, PageFileTest,
    ::testing::Values(
        PageFileCase{"APage", "HTTP/1.0 200 OK\r\nContent-Length: 2\r\n\r\nok", "/tv.php", false,
                     "ok"},
        PageFileCase{"AnErrorAnswer", "HTTP/1.0 404 Not Found\r\n\r\ngone", "/tv.php", false, ""},
        PageFileCase{"ARefusedTarget", "HTTP/1.0 200 OK\r\n\r\nok", "/tv.php?a b", false, ""},
        PageFileCase{"AnAbortedJob", "HTTP/1.0 200 OK\r\n\r\nok", "/tv.php", true, ""}),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace
} // namespace download_tests
