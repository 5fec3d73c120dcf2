#pragma once

#include <string>
#include <vector>

namespace testing_support {
class CTempDir;
}

namespace medora_test {

struct Listing
{
    std::string keyword; // UTF-8
    int count = 0;       // the listings the site sent for it
};

// The sample site's result pages for keywords (UTF-8), as a run on 8 December 2026 in 東京
// downloads them, merged into scratch/pageName through the built template. listingExtra goes
// into each page's listing, before its heading. Returns the page's file URL and, in listings,
// each keyword with its count.
std::string MergeRun(const testing_support::CTempDir& scratch,
                     const std::vector<std::string>& keywords, const std::string& listingExtra,
                     std::vector<Listing>& listings,
                     const std::string& pageName = "watch_東京_20261208_medora.html");

// A file URL for path's bytes: each byte that is not a letter, digit or one of "/-._~" as %XX.
std::string FileUrl(const std::string& path);

} // namespace medora_test
