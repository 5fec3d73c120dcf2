// The result page's header reads the region and the search day from the page's own file name.
// Names the page cannot read (renamed pages, bytes that are not UTF-8, impossible days) leave
// those facts out, never the summary, and never show an error.
#include "devtools_browser.h"
#include "merged_run.h"

#include "platform/tests/temp_dir.h"

#include <gmock/gmock.h>

namespace {

using ::testing::HasSubstr;
using ::testing::IsEmpty;
using ::testing::Not;

struct NameCase
{
    const char* pageName;
    std::vector<std::string> shown; // in the header, in this order
    bool readable = true;           // the name gives region and day
};

class ResultPageHeader : public ::testing::TestWithParam<NameCase>
{
};

TEST_P(ResultPageHeader, ShowsWhatThePagesNameSays)
{
    const std::optional<std::string> chromium = medora_test::FindProgram("chromium");
    if (!chromium)
        GTEST_SKIP() << "chromium is not installed (apt-get install chromium); not checked";
    const NameCase& name = GetParam();
    testing_support::CTempDir scratch;
    std::vector<medora_test::Listing> listings;
    const std::string url =
        medora_test::MergeRun(scratch, {"花火", "月面基地"}, "", listings, name.pageName);
    medora_test::DevToolsBrowser browser(*chromium, scratch.Path());
    ASSERT_TRUE(browser.Load(url, {}));

    EXPECT_THAT(browser.Errors(), IsEmpty());
    EXPECT_EQ(browser.Evaluate("document.querySelectorAll('nav.summary li').length").toInt(), 2);
    const std::string facts = browser.Evaluate("document.querySelector('header .facts').innerText")
                                  .toString()
                                  .toStdString();
    std::size_t at = 0;
    for (const std::string& text : name.shown) {
        at = facts.find(text, at);
        EXPECT_NE(at, std::string::npos) << text << " not in " << facts;
    }
    EXPECT_THAT(facts, HasSubstr("作成"));
    if (!name.readable) {
        EXPECT_THAT(facts, Not(HasSubstr("地域")));
        EXPECT_THAT(facts, Not(HasSubstr("検索日")));
    }
}

INSTANTIATE_TEST_SUITE_P(
    Names, ResultPageHeader,
    ::testing::Values(
        NameCase{"watch_東京_20261208_medora.html",
                 {"地域", "東京", "検索日", "2026年12月8日(火)", "放送日", "12/08(火)"}},
        // A keyword file's name may hold underscores of its own.
        NameCase{"my_watch_list_大阪_20270131_medora.html", {"大阪", "2027年1月31日(日)"}},
        NameCase{"watch_東京_20261340_medora.html", {}, false},
        NameCase{"watch_東京_20261301_medora.html", {}, false}, NameCase{"result.html", {}, false},
        // The region in code page 932 bytes: not UTF-8, so the name cannot be decoded.
        NameCase{"watch_\x93\x8C\x8B\x9E_20261208_medora.html", {}, false}));

} // namespace
