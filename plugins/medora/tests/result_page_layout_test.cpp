// The merged result page as a person sees it, in headless chromium: the summary and header the
// page's script adds, the cards on narrow screens, and the page as before when scripts are off
// or when a listing brings a script of its own.
#include "devtools_browser.h"
#include "merged_run.h"

#include "platform/tests/temp_dir.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <gmock/gmock.h>

#include <algorithm>
#include <numeric>

namespace {

using medora_test::Listing;
using medora_test::MergeRun;
using ::testing::Each;
using ::testing::HasSubstr;
using ::testing::IsEmpty;
using ::testing::Not;
using testing_support::CTempDir;
using testing_support::WriteFileBytes;

// A watch list as a user keeps one; the last keyword finds nothing.
const std::vector<std::string> kKeywords = {"名探偵", "大相撲", "佐藤健一", "花火", "月面基地"};

// The summary as shown: keyword, count text and link target of each entry; then the rows of the
// block each link leads to (its heading up to the next one), and whether that block shows.
constexpr const char* kSummaryExpression = R"(JSON.stringify(
  [...document.querySelectorAll('nav.summary li')].map((item) => {
    const link = item.querySelector('a');
    const heading = link && document.querySelector(link.getAttribute('href'));
    let rows = -1;
    for (let node = heading; node && (node === heading || !node.matches('.hits'));
         node = node.nextElementSibling)
      rows += node.querySelectorAll('tr > td:first-child').length + (node === heading);
    return [item.querySelector('.keyword').firstChild.textContent,
            item.querySelector('.count').textContent, rows,
            heading ? heading.offsetHeight > 0 : false];
  })))";

constexpr const char* kOverflowExpression =
    "document.documentElement.scrollWidth - document.documentElement.clientWidth";

std::optional<std::string> Chromium()
{
    return medora_test::FindProgram("chromium");
}

class ResultPageLayout : public ::testing::TestWithParam<medora_test::Viewport>
{
};

TEST_P(ResultPageLayout, SummaryMatchesTheBlocksAndNothingScrollsSideways)
{
    const std::optional<std::string> chromium = Chromium();
    if (!chromium)
        GTEST_SKIP() << "chromium is not installed (apt-get install chromium); not checked";
    CTempDir scratch;
    std::vector<Listing> listings;
    const std::string url = MergeRun(scratch, kKeywords, "", listings);
    medora_test::DevToolsBrowser browser(*chromium, scratch.Path());
    ASSERT_TRUE(browser.Load(url, GetParam()));

    EXPECT_THAT(browser.Errors(), IsEmpty());
    EXPECT_EQ(browser.Evaluate(kOverflowExpression).toInt(-1), 0);

    const QJsonArray summary =
        QJsonDocument::fromJson(browser.Evaluate(kSummaryExpression).toString().toUtf8()).array();
    ASSERT_EQ(summary.size(), static_cast<qsizetype>(listings.size()));
    for (qsizetype i = 0; i < summary.size(); ++i) {
        const Listing& listing = listings[static_cast<std::size_t>(i)];
        const QJsonArray entry = summary[i].toArray();
        SCOPED_TRACE(listing.keyword);
        EXPECT_EQ(entry[0].toString().toStdString(), listing.keyword);
        if (listing.count == 0) {
            EXPECT_EQ(entry[1].toString().toStdString(), "該当なし");
            EXPECT_EQ(entry[2].toInt(), -1) << "an empty keyword links to nothing";
        } else {
            EXPECT_EQ(entry[1].toString().toStdString(), std::to_string(listing.count) + "件");
            EXPECT_EQ(entry[2].toInt(), listing.count);
            EXPECT_TRUE(entry[3].toBool()) << "its block does not show";
        }
    }
    // Empty blocks show only as their summary entry.
    const auto shown = std::count_if(listings.begin(), listings.end(),
                                     [](const Listing& l) { return l.count > 0; });
    EXPECT_EQ(browser
                  .Evaluate("[...document.querySelectorAll('main .hits')]"
                            ".filter((heading) => heading.offsetHeight > 0).length")
                  .toInt(),
              shown);
    const std::string facts = browser
                                  .Evaluate("document.querySelector('header .facts')"
                                            ".innerText")
                                  .toString()
                                  .toStdString();
    EXPECT_THAT(facts, HasSubstr("東京"));
    EXPECT_THAT(facts, HasSubstr("2026年12月8日(火)"));
    // The listings run into January; their days carry no year.
    EXPECT_THAT(facts, HasSubstr("12/08(火)～01/04(月)"));
}

// Without scripts the page is the listings as the merge copied them: every block, every row, the
// empty keyword's own line, and no half-built summary or header.
TEST_P(ResultPageLayout, WithoutScriptsShowsEveryListingAsCopied)
{
    const std::optional<std::string> chromium = Chromium();
    if (!chromium)
        GTEST_SKIP() << "chromium is not installed (apt-get install chromium); not checked";
    CTempDir scratch;
    std::vector<Listing> listings;
    const std::string url = MergeRun(scratch, kKeywords, "", listings);
    medora_test::DevToolsBrowser browser(*chromium, scratch.Path());
    medora_test::Viewport viewport = GetParam();
    viewport.scripts = false;
    ASSERT_TRUE(browser.Load(url, viewport));

    EXPECT_THAT(browser.Errors(), IsEmpty());
    const std::string html = browser.DocumentHtml();
    EXPECT_THAT(html, Not(HasSubstr("<section")));
    EXPECT_THAT(html, HasSubstr("<p class=\"facts\" hidden=\"\"></p>"));
    EXPECT_THAT(html, HasSubstr("<nav class=\"summary\" hidden=\"\"></nav>"));
    EXPECT_THAT(html, HasSubstr("該当する番組はありません。"));
    int rows = 0;
    for (std::size_t at = html.find("<tr><td"); at != std::string::npos;
         at = html.find("<tr><td", at + 1))
        ++rows;
    EXPECT_EQ(rows, std::accumulate(listings.begin(), listings.end(), 0,
                                    [](int sum, const Listing& l) { return sum + l.count; }));
    for (const Listing& listing : listings)
        EXPECT_THAT(html, HasSubstr("「" + listing.keyword + "」の検索結果 " +
                                    std::to_string(listing.count) + "件"));
}

// Scripts a listing brings, inline or as handlers, are refused while the page's own one runs.
// The same lines in a page of their own show that the browser would have run them.
TEST(ResultPageScripts, OnlyThePagesOwnScriptRuns)
{
    const std::optional<std::string> chromium = Chromium();
    if (!chromium)
        GTEST_SKIP() << "chromium is not installed (apt-get install chromium); not checked";
    const std::string scripts = "<script>document.title = 'RAN';</script>\n"
                                "<img src=\"data:,\" alt=\"\" onerror=\"document.title = 'RAN'\">\n"
                                "<svg onload=\"document.title = 'RAN'\"></svg>\n";
    CTempDir scratch;
    const std::string bare = scratch.File("bare.html");
    WriteFileBytes(bare, "<!DOCTYPE html>\n<html><body>\n" + scripts + "</body></html>\n");
    medora_test::DevToolsBrowser control(*chromium, scratch.Path());
    ASSERT_TRUE(control.Load("file://" + bare, {}));
    EXPECT_EQ(control.Evaluate("document.title").toString().toStdString(), "RAN");

    std::vector<Listing> listings;
    const std::string url = MergeRun(scratch, {"名探偵", "月面基地"}, scripts, listings);
    medora_test::DevToolsBrowser& browser = control;
    ASSERT_TRUE(browser.Load(url, {}));
    EXPECT_EQ(browser.Evaluate("document.title").toString().toStdString(),
              "TVメドラ・コム 番組検索結果");
    EXPECT_EQ(browser.Evaluate("document.querySelectorAll('nav.summary li').length").toInt(), 2);
    EXPECT_THAT(browser.Errors(), Not(IsEmpty()));
    EXPECT_THAT(browser.Errors(), Each(HasSubstr("Content Security Policy")));
}

// Phones (360 and 390 wide) and desktops up to 1920.
INSTANTIATE_TEST_SUITE_P(Widths, ResultPageLayout,
                         ::testing::Values(medora_test::Viewport{360, 740, true},
                                           medora_test::Viewport{390, 844, true},
                                           medora_test::Viewport{1280, 900, false},
                                           medora_test::Viewport{1920, 1080, false}));

} // namespace
