// Answers whose body cannot be the page, whatever their status says: a head cut short,
// disagreeing or broken lengths, an encoding never asked for. Each fails its job with a reason
// and a log entry, and the worker's next job is unharmed.
#include "download/tests/worker_harness.h"

namespace download_tests {
namespace {

using namespace std::chrono_literals;
using testing_support::ReadFileBytes;

struct AnswerCase
{
    const char* name;
    std::string answer;   // the first connection's whole answer
    std::int32_t error;   // DLERR_*
    const char* reason;   // the report's reason
    const char* logStart; // how the one log entry begins; nullptr: no entry
    const char* stored;   // the page file afterwards (the test creates it empty)
};

void PrintTo(const AnswerCase& c, std::ostream* os)
{
    *os << c.name;
}

const std::string kGood = "HTTP/1.0 200 OK\r\nContent-Length: 4\r\n\r\ngood";

class AnswerFaultTest : public WorkerTest, public ::testing::WithParamInterface<AnswerCase>
{
};

TEST_P(AnswerFaultTest, FailsItsJobOnlyAndSaysWhy)
{
    const AnswerCase& row = GetParam();
    RawServer server(std::vector<RawServer::Script>{{{0ms, row.answer}}, {{0ms, kGood}}});
    auto worker = StartWorker(server.Address());
    testing_support::WriteFileBytes(m_page, ""); // as the main window hands it over
    ASSERT_TRUE(RunJob(*worker, "/tv.php?key=A", m_page));
    EXPECT_EQ(m_report.error, row.error);
    EXPECT_EQ(m_report.reason, row.reason);
    EXPECT_EQ(ReadFileBytes(m_page), row.stored);
    const std::vector<std::string> messages = LogMessages(ErrorLog());
    if (row.logStart) {
        ASSERT_EQ(messages.size(), 1u);
        EXPECT_TRUE(messages[0].starts_with(row.logStart)) << messages[0];
        EXPECT_TRUE(messages[0].ends_with("\r\n")) << messages[0];
    } else {
        EXPECT_TRUE(messages.empty()) << messages[0];
    }

    ASSERT_TRUE(RunJob(*worker, "/tv.php?key=B", m_page));
    EXPECT_EQ(m_report.error, DLERR_NONE) << m_report.reason;
    EXPECT_EQ(ReadFileBytes(m_page), "good");
}

constexpr const char* kCut = "応答が途中で切れました";
constexpr const char* kCutLog =
    "Connection closed inside the response header\r\nHTTP/1.0 200 OK\r\n";

INSTANTIATE_TEST_SUITE_P(
    Answers, AnswerFaultTest,
    ::testing::Values(
        AnswerCase{"ClosedAfterTheStatusLine", "HTTP/1.0 200 OK\r\n", DLERR_INTERNET, kCut, kCutLog,
                   ""},
        AnswerCase{"ClosedBetweenHeaderLines", "HTTP/1.0 200 OK\r\nContent-Type: text/html\r\n",
                   DLERR_INTERNET, kCut, kCutLog, ""},
        AnswerCase{"ClosedInsideAHeaderLine", "HTTP/1.0 200 OK\r\nContent-Type: text/ht",
                   DLERR_INTERNET, kCut, kCutLog, ""},
        AnswerCase{"TwoLengths",
                   "HTTP/1.0 200 OK\r\nContent-Length: 3\r\ncontent-length: 4\r\n\r\nabcd",
                   DLERR_STATUS, "応答が不正です (Content-Length が矛盾)",
                   "Conflicting Content-Length\r\nHTTP/1.0 200 OK\r\nContent-Length: 3\r\n", ""},
        AnswerCase{"ALengthListThatDisagrees",
                   "HTTP/1.0 200 OK\r\nContent-Length: 3, 4\r\n\r\nabcd", DLERR_STATUS,
                   "応答が不正です (Content-Length が矛盾)", "Conflicting Content-Length\r\n", ""},
        AnswerCase{"ALengthThatIsNoNumber", "HTTP/1.0 200 OK\r\nContent-Length: 3x\r\n\r\nabc",
                   DLERR_STATUS, "応答が不正です (Content-Length が不正)",
                   "Invalid Content-Length\r\n", ""},
        AnswerCase{
            "Gzip",
            "HTTP/1.0 200 OK\r\nContent-Encoding: gzip\r\nContent-Length: 3\r\n\r\n\x1f\x8b\x08",
            DLERR_STATUS, "応答が不正です (Content-Encoding: gzip)",
            "Content-Encoding not asked for: gzip\r\nHTTP/1.0 200 OK\r\n", ""},
        AnswerCase{"DeflateAfterIdentity",
                   "HTTP/1.0 200 OK\r\ncontent-encoding: identity, Deflate\r\n\r\nxyz",
                   DLERR_STATUS, "応答が不正です (Content-Encoding: Deflate)",
                   "Content-Encoding not asked for: Deflate\r\n", ""},
        // libcurl sees these itself; they stay failures.
        AnswerCase{"BodyShorterThanItsLength", "HTTP/1.0 200 OK\r\nContent-Length: 10\r\n\r\nabc",
                   DLERR_INTERNET, "通信エラー (Transferred a partial file)",
                   "transfer closed with 7 bytes remaining", "abc"},
        AnswerCase{"NothingAtAll", "", DLERR_INTERNET,
                   "通信エラー (Server returned nothing (no headers, no data))", "", ""},
        // Sound answers that look close to the faults above.
        AnswerCase{"TheSameLengthTwice",
                   "HTTP/1.0 200 OK\r\nContent-Length: 3\r\nContent-Length: 3, 3\r\n\r\nabc",
                   DLERR_NONE, "", nullptr, "abc"},
        AnswerCase{"IdentityEncoding", "HTTP/1.0 200 OK\r\nContent-Encoding: Identity\r\n\r\nabc",
                   DLERR_NONE, "", nullptr, "abc"},
        AnswerCase{"NoHeaderLinesAndNoBody", "HTTP/1.0 200 OK\r\n\r\n", DLERR_NONE, "", nullptr,
                   ""},
        AnswerCase{"LengthInATrailerOnly",
                   "HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n"
                   "3\r\nabc\r\n0\r\nContent-Length: 9\r\n\r\n",
                   DLERR_NONE, "", nullptr, "abc"}),
    [](const auto& info) { return std::string(info.param.name); });

// Only the final answer's head counts: a redirect's own may say what it likes.
TEST_F(WorkerTest, ARedirectsEncodingIsNotTheFinalAnswers)
{
    RawServer server(std::vector<RawServer::Script>{
        {{0ms, "HTTP/1.0 302 Found\r\nLocation: /b\r\nContent-Encoding: gzip\r\n"
               "Content-Length: 2\r\nContent-Length: 5\r\n\r\nabcde"}},
        {{0ms, kGood}}});
    auto worker = StartWorker(server.Address());
    ASSERT_TRUE(RunJob(*worker, "/a", m_page));
    EXPECT_EQ(m_report.error, DLERR_NONE) << m_report.reason;
    EXPECT_EQ(ReadFileBytes(m_page), "good");
    EXPECT_EQ(server.Received().size(), 2u);
}

TEST_F(WorkerTest, TheSampleSitesGzipLabelFailsTheJob)
{
    listing_site::CSiteOptions options;
    options.contentEncoding = "gzip";
    auto worker = StartWorker(StartSite(options));
    testing_support::WriteFileBytes(m_page, "");
    ASSERT_TRUE(RunJob(*worker, SearchObject(kDramaKey), m_page));
    EXPECT_EQ(m_report.error, DLERR_STATUS);
    EXPECT_EQ(m_report.reason, "応答が不正です (Content-Encoding: gzip)");
    EXPECT_EQ(ReadFileBytes(m_page), "");
}

} // namespace
} // namespace download_tests
