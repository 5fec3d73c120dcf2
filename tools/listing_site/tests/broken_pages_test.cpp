// --endless and --content-encoding: result pages no client should store as they come.
#include "tools/listing_site/listing_server.h"

#include <httplib.h>

#include <gtest/gtest.h>

namespace {

constexpr const char* kSearch = "/tv.php?area=008&key=%83%68%83%89%83%7D";

TEST(BrokenPages, AnEndlessPageIsTheWholePageThenCommentLinesWithNoLength)
{
    std::string error;
    const auto parsed = listing_site::ParseSiteOptions({"--endless", "--crlf"}, error);
    ASSERT_TRUE(parsed) << error;
    ASSERT_TRUE(parsed->endless);
    EXPECT_FALSE(listing_site::ParseSiteOptions({}, error)->endless);
    listing_site::CListingServer site(*parsed);
    const int port = site.Start();
    ASSERT_GT(port, 0);

    httplib::Client client("127.0.0.1", port);
    constexpr std::size_t kEnough = std::size_t{3} << 20;
    std::string body;
    httplib::Headers headers;
    const auto answer = client.Get(
        kSearch,
        [&](const httplib::Response& response) {
            headers = response.headers;
            return true;
        },
        [&](const char* data, std::size_t length) {
            body.append(data, length);
            return body.size() < kEnough; // the client gives up; the site never would
        });
    EXPECT_EQ(answer.error(), httplib::Error::Canceled);
    EXPECT_EQ(headers.count("Content-Length"), 0u);
    ASSERT_GE(body.size(), kEnough);
    ASSERT_NE(body.find("\r\n<HR NOSHADE>\r\n"), std::string::npos);
    const std::size_t end = body.find("</html>\r\n");
    ASSERT_NE(end, std::string::npos);
    const std::string tail = body.substr(end + 9, 4096);
    EXPECT_TRUE(tail.starts_with("<!-- ")) << tail.substr(0, 100);
    EXPECT_EQ(tail.find('\n'), tail.find("\r\n") + 1) << "CR LF lines throughout";
}

TEST(BrokenPages, AContentEncodingLabelLeavesThePageAsItIs)
{
    std::string error;
    const auto parsed = listing_site::ParseSiteOptions({"--content-encoding", "gzip"}, error);
    ASSERT_TRUE(parsed) << error;
    listing_site::CListingServer site(*parsed);
    const int port = site.Start();
    ASSERT_GT(port, 0);
    httplib::Client client("127.0.0.1", port);
    client.set_decompress(false); // the label is a lie this client must not act on
    const auto page = client.Get(kSearch);
    ASSERT_TRUE(page);
    EXPECT_EQ(page->status, 200);
    EXPECT_EQ(page->get_header_value("Content-Encoding"), "gzip");
    EXPECT_NE(page->body.find("\n<HR NOSHADE>\n"), std::string::npos) << "not compressed";
    // Only result pages carry it.
    const auto refused = client.Get("/tv.php?area=048&key=A");
    ASSERT_TRUE(refused);
    EXPECT_EQ(refused->status, 400);
    EXPECT_FALSE(refused->has_header("Content-Encoding"));
}

} // namespace
