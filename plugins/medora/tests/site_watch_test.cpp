// Two searches over the sample listing site, the second on a later day, with another guide,
// again on the same day, or with the keywords in another order: the second page marks
// exactly the listings the first page lacked, and the counts say as much.
#include "medora_test.h"

#include "platform/cp932.h"
#include "platform/tests/temp_dir.h"
#include "plugins/medora/listing_identity.h"
#include "tools/listing_site/listing_server.h"
#include "vistrel_plugin.h"

#include <httplib.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <set>

using namespace medora_test;
using testing_support::ReadFileBytes;

namespace {

// Each listing of a page in order, and whether its row carries the mark.
class RowReader : public medora::ListingObserver
{
public:
    explicit RowReader(std::string page)
        : m_page(std::move(page))
    {
        medora::ListingScanner scanner;
        scanner.SetObserver(this);
        scanner.Feed(m_page);
        EXPECT_EQ(scanner.Finish().fault, medora::ScanFault::none);
    }

    std::vector<std::string> rows;
    std::multiset<std::string> marked;
    std::multiset<std::string> unmarked;

private:
    void ListingEnded(std::string_view identity, std::size_t tagStart, std::size_t tagEnd) override
    {
        rows.emplace_back(identity);
        const std::string_view tag = std::string_view(m_page).substr(tagStart, tagEnd - tagStart);
        (tag.find("class=\"new-listing\"") != std::string_view::npos ? marked : unmarked)
            .emplace(identity);
    }

    std::string m_page;
};

struct WatchCase
{
    const char* name;
    const char* firstDay;
    const char* secondDay;
    const char* secondSeed;
    bool reordered;        // the second run's keywords in reverse order
    const char* firstName; // result page names
    const char* secondName;
    bool anyNew; // so that a comparison that never marks cannot pass
};

void PrintTo(const WatchCase& c, std::ostream* os)
{
    *os << c.name;
}

class SiteWatch : public CMedoraTest, public ::testing::WithParamInterface<WatchCase>
{
protected:
    void SetUp() override
    {
        CMedoraTest::SetUp();
        WriteTemplate(ReadFileBytes(MEDORA_TEMPLATE_PATH));
    }

    // Searches the site started with args for keywords and merges the pages into name; gives
    // each page's listings in order.
    std::vector<std::vector<std::string>> Run(const std::vector<std::string>& args,
                                              std::vector<std::string> keywords,
                                              const std::string& name)
    {
        std::string error;
        const auto options = listing_site::ParseSiteOptions(args, error);
        EXPECT_TRUE(options) << error;
        listing_site::CListingServer site(options.value_or(listing_site::CSiteOptions{}));
        const int port = site.Start();
        EXPECT_GT(port, 0);
        WriteSettings("[Site]\nServer=127.0.0.1:" + std::to_string(port) + "\n");
        EXPECT_FALSE(m_medora.GetServerName().empty()); // a run begins so
        httplib::Client client("127.0.0.1", port);
        std::vector<std::string> pages;
        std::vector<std::vector<std::string>> rows;
        for (const std::string& keyword : keywords) {
            const auto answer =
                client.Get(m_medora.GetSearchUrl(platform::Utf8ToCp932(keyword).value, 13));
            EXPECT_TRUE(answer && answer->status == 200) << keyword;
            const std::string body = answer ? answer->body : std::string();
            rows.push_back(RowReader(body).rows);
            pages.push_back(m_dir.File("~TV" + std::to_string(pages.size())));
            testing_support::WriteFileBytes(pages.back(), body);
        }
        EXPECT_TRUE(m_medora.MergeDownloadFiles(m_dir.File(name), pages));
        return rows;
    }

    std::vector<std::int32_t> Counts(const std::string& name, std::size_t pages) const
    {
        std::vector<std::int32_t> counts(2 * pages, -7);
        const auto get = m_raw.Get<PFN_PIN_GetListingCounts>(VISTREL_PIN_GETLISTINGCOUNTS);
        EXPECT_EQ(get(m_dir.File(name).c_str(), counts.data(), static_cast<int>(counts.size())),
                  static_cast<int>(pages));
        return counts;
    }

    CRawMedora m_raw;
    testing_support::CTempDir m_dir;
};

TEST_P(SiteWatch, MarksAndCountsExactlyTheListingsTheEarlierPageLacked)
{
    const WatchCase& c = GetParam();
    std::vector<std::string> keywords = {"ドラマ", "ニュース", "映画"};
    const auto first = Run({"--today", c.firstDay}, keywords, c.firstName);
    if (c.reordered)
        std::reverse(keywords.begin(), keywords.end());
    const auto second =
        Run({"--today", c.secondDay, "--seed", c.secondSeed}, keywords, c.secondName);

    std::set<std::string> before;
    for (const auto& page : first)
        before.insert(page.begin(), page.end());
    std::multiset<std::string> expectedNew;
    std::multiset<std::string> expectedOld;
    std::vector<std::int32_t> expectedCounts;
    for (const auto& page : second) {
        const auto fresh = std::count_if(page.begin(), page.end(), [&](const std::string& row) {
            return !before.contains(row);
        });
        expectedCounts.push_back(static_cast<std::int32_t>(page.size()));
        expectedCounts.push_back(static_cast<std::int32_t>(fresh));
        for (const std::string& row : page)
            (before.contains(row) ? expectedOld : expectedNew).insert(row);
    }

    EXPECT_EQ(!expectedNew.empty(), c.anyNew);
    const RowReader merged(ReadFileBytes(m_dir.File(c.secondName)));
    EXPECT_EQ(merged.marked, expectedNew);
    EXPECT_EQ(merged.unmarked, expectedOld);
    EXPECT_EQ(Counts(c.secondName, second.size()), expectedCounts);
    // "新着 N 件" follows each block with new listings.
    const std::string page = platform::Cp932ToUtf8(ReadFileBytes(m_dir.File(c.secondName)));
    for (std::size_t i = 0; i < second.size(); ++i) {
        const std::string line =
            "<p class=\"new-count\">新着 " + std::to_string(expectedCounts[2 * i + 1]) + " 件</p>";
        EXPECT_EQ(page.find(line) != std::string::npos, expectedCounts[2 * i + 1] > 0) << line;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Runs, SiteWatch,
    ::testing::Values(
        WatchCase{"NextDay", "2026-12-08", "2026-12-09", "1", false,
                  "watch_東京_20261208_medora.html", "watch_東京_20261209_medora.html", true},
        WatchCase{"AWeekLater", "2026-12-08", "2026-12-15", "1", false,
                  "watch_東京_20261208_medora.html", "watch_東京_20261215_medora.html", true},
        WatchCase{"OtherGuide", "2026-12-08", "2026-12-08", "2", false,
                  "watch_東京_20261208_medora.html", "watch_東京_20261208_medora.html", true},
        WatchCase{"SameDayAgain", "2026-12-08", "2026-12-08", "1", false,
                  "watch_東京_20261208_medora.html", "watch_東京_20261208_medora.html", false},
        WatchCase{"KeywordsReordered", "2026-12-08", "2026-12-08", "1", true,
                  "watch_東京_20261208_medora.html", "watch_東京_20261208_medora.html", false}),
    RowName<WatchCase>);

// A second run on the same day with nothing new leaves even the bytes of the page as the first
// run wrote them: the mark and the counts appear only where there is news.
TEST_F(SiteWatch, ARerunWithNothingNewWritesThePlainPage)
{
    const std::string name = "watch_東京_20261208_medora.html";
    Run({"--today", "2026-12-08"}, {"映画", "ドラマ"}, name);
    const std::string plain = ReadFileBytes(m_dir.File(name));
    Run({"--today", "2026-12-08"}, {"映画", "ドラマ"}, name);
    EXPECT_EQ(ReadFileBytes(m_dir.File(name)), plain);
}

} // namespace
