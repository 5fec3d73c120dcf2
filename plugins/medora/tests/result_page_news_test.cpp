// The result page of a second run in a browser: new listings wear the badge, their blocks and
// the summary say how many are new, and the first run's page says nothing of news.
#include "devtools_browser.h"
#include "merged_run.h"

#include "platform/tests/temp_dir.h"

#include <gmock/gmock.h>

#include <algorithm>

namespace {

using ::testing::HasSubstr;
using ::testing::IsEmpty;
using ::testing::Not;

struct NewsCase
{
    const char* name;
    std::vector<std::string> firstKeywords; // empty: no earlier run
    std::vector<std::string> keywords;
    std::vector<int> newInBlocks; // per keyword of the second run; -1: all its listings
};

void PrintTo(const NewsCase& c, std::ostream* os)
{
    *os << c.name;
}

class ResultPageNews : public ::testing::TestWithParam<NewsCase>
{
};

TEST_P(ResultPageNews, BadgesBlocksAndSummaryAgree)
{
    const std::optional<std::string> chromium = medora_test::FindProgram("chromium");
    if (!chromium)
        GTEST_SKIP() << "chromium is not installed (apt-get install chromium); not checked";
    const NewsCase& c = GetParam();
    testing_support::CTempDir scratch;
    std::vector<medora_test::Listing> listings;
    if (!c.firstKeywords.empty())
        medora_test::MergeRun(scratch, c.firstKeywords, "", listings,
                              "watch_東京_20261208_medora.html");
    const std::size_t firstCount = listings.size();
    const std::string url =
        medora_test::MergeRun(scratch, c.keywords, "", listings, "watch_東京_20261209_medora.html");
    ASSERT_EQ(listings.size(), firstCount + c.keywords.size());
    medora_test::DevToolsBrowser browser(*chromium, scratch.Path());
    ASSERT_TRUE(browser.Load(url, {}));
    EXPECT_THAT(browser.Errors(), IsEmpty());

    int total = 0;
    for (std::size_t i = 0; i < c.newInBlocks.size(); ++i) {
        const int fresh = c.newInBlocks[i] < 0 ? listings[firstCount + i].count : c.newInBlocks[i];
        ASSERT_GE(fresh, c.newInBlocks[i] < 0 ? 1 : 0);
        total += fresh;
        const std::string item =
            "document.querySelectorAll('nav.summary li')[" + std::to_string(i) + "].innerText";
        const std::string text = browser.Evaluate(item).toString().toStdString();
        if (fresh > 0) {
            EXPECT_THAT(text, HasSubstr("新着 " + std::to_string(fresh))) << text;
            // Its link leads to the block's first new listing.
            const std::string k = "k" + std::to_string(i + 1);
            const std::string leadsThere =
                "(() => { const link = document.querySelectorAll('nav.summary li')[" +
                std::to_string(i) +
                "].querySelector('a.new'); const heading = document.getElementById('" + k +
                "'); const first = [...document.querySelectorAll('tr.new-listing')].find((row) "
                "=> heading.compareDocumentPosition(row) & Node.DOCUMENT_POSITION_FOLLOWING); "
                "return !!link && !!first && link.hash === '#' + first.id; })()";
            EXPECT_TRUE(browser.Evaluate(leadsThere).toBool()) << text;
        } else
            EXPECT_THAT(text, Not(HasSubstr("新着"))) << text;
    }
    EXPECT_EQ(browser.Evaluate("document.querySelectorAll('tr.new-listing').length").toInt(),
              total);
    EXPECT_EQ(browser.Evaluate("document.querySelectorAll('.new-count').length").toInt(),
              static_cast<int>(std::count_if(c.newInBlocks.begin(), c.newInBlocks.end(),
                                             [](int n) { return n != 0; })));
    const std::string heading =
        browser.Evaluate("document.querySelector('nav.summary h2').innerText")
            .toString()
            .toStdString();
    if (total > 0) {
        EXPECT_THAT(heading, HasSubstr("新着 " + std::to_string(total) + "件")) << heading;
        // The badge is drawn, not written: the row's own text stays the listing's.
        EXPECT_EQ(browser
                      .Evaluate("getComputedStyle(document.querySelector('tr.new-listing > "
                                "td'), '::before').content")
                      .toString()
                      .toStdString(),
                  "\"新着\"");
    } else {
        EXPECT_THAT(heading, Not(HasSubstr("新着"))) << heading;
    }
}

// "月面基地" finds nothing in the guide (see the header test), so a keyword added to it the
// second time brings only new listings.
INSTANTIATE_TEST_SUITE_P(
    Runs, ResultPageNews,
    ::testing::Values(NewsCase{"FirstRun", {}, {"花火", "月面基地"}, {0, 0}},
                      NewsCase{"NothingNew", {"花火", "月面基地"}, {"月面基地", "花火"}, {0, 0}},
                      NewsCase{"AKeywordAdded", {"月面基地"}, {"月面基地", "ニュース"}, {0, -1}}),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace
