#include "merged_run.h"

#include "platform/cp932.h"
#include "platform/tests/temp_dir.h"
#include "plugins/medora/merge.h"
#include "tools/listing_site/programme_search.h"
#include "tools/listing_site/result_page.h"

#include <gtest/gtest.h>

#include <cctype>

namespace medora_test {

using namespace std::chrono;

namespace {
constexpr int kTokyo = 8;
}

std::string MergeRun(const testing_support::CTempDir& scratch,
                     const std::vector<std::string>& keywords, const std::string& listingExtra,
                     std::vector<Listing>& listings, const std::string& pageName)
{
    std::vector<std::string> pagePaths;
    for (const std::string& keyword : keywords) {
        listing_site::CSearchQuery query;
        query.area = kTokyo;
        query.firstDay = sys_days(year(2026) / December / 8);
        query.key = platform::Utf8ToCp932(keyword).value;
        const auto hits = listing_site::FindProgrammes(1, query);
        std::string page = listing_site::RenderResultPage(query, hits, false).value_or("");
        const std::string start = "<!-- \x81\xAA\x83\x4A\x83\x65\x83\x53\x83\x8A\x95\xCF\x8D\x58 "
                                  "\x81\x5B-->\n";
        page.insert(page.find(start) + start.size(), listingExtra);
        pagePaths.push_back(scratch.File("~TV" + std::to_string(pagePaths.size())));
        testing_support::WriteFileBytes(pagePaths.back(), page);
        listings.push_back({keyword, static_cast<int>(hits.size())});
    }
    std::vector<const char*> pages;
    pages.reserve(pagePaths.size() + 1);
    for (const std::string& path : pagePaths)
        pages.push_back(path.c_str());
    pages.push_back(nullptr);
    const std::string result = scratch.File(pageName);
    EXPECT_EQ(medora::MergeDownloadFiles(result.c_str(), pages.data(), MEDORA_TEMPLATE_PATH), 0);
    return FileUrl(result);
}

std::string FileUrl(const std::string& path)
{
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string url = "file://";
    for (const char c : path) {
        const auto byte = static_cast<unsigned char>(c);
        if (std::isalnum(byte) != 0 || std::string_view("/-._~").find(c) != std::string::npos) {
            url += c;
        } else {
            url += '%';
            url += kHex[byte >> 4];
            url += kHex[byte & 0x0F];
        }
    }
    return url;
}

} // namespace medora_test
