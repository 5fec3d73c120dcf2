// What goes out on the wire, as a listener on a socket sees it: the sample site decodes
// escapes of either case, so only the raw bytes show whether the target went out as built.
#include "download/tests/worker_harness.h"

namespace download_tests {
namespace {

using namespace std::chrono_literals;

const std::string kOk = "HTTP/1.0 200 OK\r\nContent-Length: 2\r\n\r\nok";

std::string RequestLine(const std::string& head)
{
    return head.substr(0, head.find("\r\n"));
}

struct TargetCase
{
    const char* name;
    std::string object;
    std::string sent; // the target in the request line
};

void PrintTo(const TargetCase& c, std::ostream* os)
{
    *os << c.name;
}

class RequestLineTest : public WorkerTest, public ::testing::WithParamInterface<TargetCase>
{
};

TEST_P(RequestLineTest, CarriesTheTargetByteForByte)
{
    CannedServer server(kOk);
    auto worker = StartWorker(server.Address());
    ASSERT_TRUE(RunJob(*worker, GetParam().object, m_page));
    EXPECT_EQ(m_report.error, DLERR_NONE) << m_report.reason;
    const std::vector<std::string> received = server.Received();
    ASSERT_EQ(received.size(), 1u);
    EXPECT_EQ(RequestLine(received[0]), "GET " + GetParam().sent + " HTTP/1.0");
}

TEST_P(RequestLineTest, NamesTheWholeAddressThroughAProxy)
{
    CannedServer proxy(kOk);
    WriteProxyProfile(0, 1, "127.0.0.1", proxy.Port());
    const std::string server = ClosedAddress();
    auto worker = StartWorker(server);
    ASSERT_TRUE(RunJob(*worker, GetParam().object, m_page));
    EXPECT_EQ(m_report.error, DLERR_NONE) << m_report.reason;
    const std::vector<std::string> received = proxy.Received();
    ASSERT_EQ(received.size(), 1u);
    EXPECT_EQ(RequestLine(received[0]), "GET http://" + server + GetParam().sent + " HTTP/1.0");
}

INSTANTIATE_TEST_SUITE_P(
    Targets, RequestLineTest,
    ::testing::Values(TargetCase{"UpperCaseEscapes", SearchObject(kDramaKey),
                                 SearchObject(kDramaKey)},
                      TargetCase{"MixedAndBrokenEscapes", "/tv.php?a=%7d%7D&b=%zz&c=%",
                                 "/tv.php?a=%7d%7D&b=%zz&c=%"},
                      TargetCase{"RawBytesAndSigns", "/tv.php?k=\xB1\xC6&x={}|^`\"<>\\#f",
                                 "/tv.php?k=\xB1\xC6&x={}|^`\"<>\\#f"},
                      TargetCase{"DotSegmentsAndRawPath", "/a/../p\xB1/./tv.php?q=/..",
                                 "/a/../p\xB1/./tv.php?q=/.."},
                      TargetCase{"NoLeadingSlash", "tv.php?key=%7D", "/tv.php?key=%7D"},
                      TargetCase{"Empty", "", "/"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(WorkerTest, RedirectsAreResolvedAgainstTheTargetsOwnPath)
{
    RawServer server({{0ms, "HTTP/1.0 302 Found\r\nLocation: next.php?k=%7D\r\n\r\n"}});
    auto worker = StartWorker(server.Address());
    ASSERT_TRUE(RunJob(*worker, "/dir/tv.php?key=%7D", m_page));
    ASSERT_TRUE(server.WaitReceived(2, 1s));
    const std::vector<std::string> received = server.Received();
    EXPECT_EQ(RequestLine(received[0]), "GET /dir/tv.php?key=%7D HTTP/1.0");
    EXPECT_EQ(RequestLine(received[1]), "GET /dir/next.php?k=%7D HTTP/1.0");
}

// A listener that never answers: the first bytes a client sends tell what it speaks.
TEST_F(WorkerTest, FollowsARedirectToHttps)
{
    RawServer tls(RawServer::Script{});
    CannedServer server("HTTP/1.0 301 Moved\r\nLocation: https://" + tls.Address() +
                        "/tv.php\r\nContent-Length: 0\r\n\r\n");
    auto worker = StartWorker(server.Address());
    ASSERT_TRUE(RunJob(*worker, "/tv.php?key=A", m_page));
    ASSERT_TRUE(tls.WaitReceived(1, 1s)) << m_report.reason;
    const std::string hello = tls.Received()[0];
    ASSERT_GE(hello.size(), 2u);
    EXPECT_EQ(hello.substr(0, 2), "\x16\x03") << "a TLS handshake record";
    EXPECT_EQ(m_report.error, DLERR_INTERNET) << "the listener speaks no TLS";
}

} // namespace
} // namespace download_tests
