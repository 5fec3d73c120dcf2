// --redirect-loop: a search and /moved/ send each other the same query for ever.
#include "tools/listing_site/listing_server.h"

#include <httplib.h>

#include <gtest/gtest.h>

namespace {

TEST(RedirectLoop, SearchAndMovedSendEachOtherTheSameQuery)
{
    std::string error;
    const auto parsed = listing_site::ParseSiteOptions({"--redirect-loop"}, error);
    ASSERT_TRUE(parsed) << error;
    ASSERT_TRUE(parsed->redirectLoop);
    EXPECT_FALSE(listing_site::ParseSiteOptions({}, error)->redirectLoop);

    listing_site::CListingServer site(*parsed);
    const int port = site.Start();
    ASSERT_GT(port, 0);
    httplib::Client client("127.0.0.1", port);
    const std::string query = "?area=008&key=AB";
    std::string target = "/tv.php" + query;
    for (int hop = 0; hop < 4; ++hop) {
        const auto answer = client.Get(target);
        ASSERT_TRUE(answer) << target;
        EXPECT_EQ(answer->status, 301) << target;
        const std::string next = answer->get_header_value("Location");
        EXPECT_EQ(next, (hop % 2 == 0 ? "/moved/tv.php" : "/tv.php") + query);
        target = next;
    }
    EXPECT_EQ(site.GetRequests().size(), 4u);
}

} // namespace
