#include "tools/listing_site/result_page.h"

#include "platform/cp932.h"
#include "tools/listing_site/programme_search.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string_view>

namespace listing_site {
namespace {

using namespace std::chrono;

// The start line's code page 932 bytes, as the plug-in looks for them.
const std::string kStartBytes = "\x3C\x21\x2D\x2D\x20\x81\xAA\x83\x4A\x83\x65\x83\x53\x83\x8A"
                                "\x95\xCF\x8D\x58\x20\x81\x5B\x2D\x2D\x3E";

std::vector<std::string> SplitLines(const std::string& text, const std::string& end)
{
    std::vector<std::string> lines;
    std::size_t from = 0;
    for (std::size_t at = text.find(end); at != std::string::npos; at = text.find(end, from)) {
        lines.push_back(text.substr(from, at - from));
        from = at + end.size();
    }
    EXPECT_EQ(from, text.size()) << "the last line has its line end";
    return lines;
}

// The lines strictly between the two marker lines; fails the test when they are not there.
std::vector<std::string> Listing(const std::vector<std::string>& lines)
{
    const auto start = std::find(lines.begin(), lines.end(), kStartBytes);
    const auto end = std::find(lines.begin(), lines.end(), "<HR NOSHADE>");
    EXPECT_TRUE(start != lines.end() && end != lines.end() && start < end);
    EXPECT_GT(start - lines.begin(), 3) << "page chrome comes before the listing";
    EXPECT_GT(lines.end() - end, 3) << "and after it";
    if (start == lines.end() || end == lines.end() || start > end)
        return {};
    return std::vector<std::string>(start + 1, end);
}

class ResultPageTest : public ::testing::TestWithParam<bool>
{
};

TEST_P(ResultPageTest, HoldsOneRowPerHitBetweenTheMarkerLines)
{
    const bool crlf = GetParam();
    CSearchQuery query;
    query.area = 8;
    query.firstDay = sys_days(2026y / December / 8);
    query.key = platform::Utf8ToCp932("ドラマ").value;
    const std::vector<CProgramme> hits = FindProgrammes(1, query);
    const std::optional<std::string> page = RenderResultPage(query, hits, crlf);
    ASSERT_TRUE(page);
    const auto count = [&page](std::string_view what) {
        std::size_t n = 0;
        for (std::size_t at = page->find(what); at != std::string::npos;
             at = page->find(what, at + 1))
            ++n;
        return n;
    };
    EXPECT_EQ(count("\r"), crlf ? count("\n") : 0u);
    EXPECT_EQ(count("\r\n"), crlf ? count("\n") : 0u);
    const std::vector<std::string> listing = Listing(SplitLines(*page, crlf ? "\r\n" : "\n"));
    ASSERT_EQ(listing.size(), hits.size() + 4); // hits line, table, header row, rows, end
    EXPECT_EQ(platform::Cp932ToUtf8(listing[0]),
              "<p class=\"hits\">「ドラマ」の検索結果 " + std::to_string(hits.size()) + "件</p>");
    EXPECT_EQ(listing[1], "<table class=\"program-list\">");
    const std::string row = platform::Cp932ToUtf8(listing[3]);
    EXPECT_TRUE(row.starts_with("<tr><td class=\"date\">12/08(火)</td><td class=\"time\">" +
                                FormatTimes(hits[0].start, hits[0].end) + "</td>"))
        << row;
    EXPECT_NE(row.find("<span class=\"title\">" + EscapeHtml(hits[0].title) + "</span>"),
              std::string::npos);
    EXPECT_EQ(listing.back(), "</table>");
}

INSTANTIATE_TEST_SUITE_P(LineEnds, ResultPageTest, ::testing::Bool());

TEST(ResultPage, SaysSoWhenNothingMatchesAndEscapesTheKeyword)
{
    CSearchQuery query;
    query.area = 47;
    query.key = "<a&b>\x85\x40";
    const std::optional<std::string> page = RenderResultPage(query, {}, false);
    ASSERT_TRUE(page);
    const std::vector<std::string> listing = Listing(SplitLines(*page, "\n"));
    ASSERT_EQ(listing.size(), 2u);
    EXPECT_EQ(platform::Cp932ToUtf8(listing[0]),
              "<p class=\"hits\">「&lt;a&amp;b&gt;?」の検索結果 0件</p>");
    EXPECT_EQ(platform::Cp932ToUtf8(listing[1]),
              "<p class=\"none\">該当する番組はありません。</p>");
}

// Padding to a size: exact, after the end line only, whatever the gap.
TEST(ResultPage, PadsToTheAskedSizeAfterTheListingOnly)
{
    CSearchQuery query;
    query.area = 13;
    query.key = platform::Utf8ToCp932("ニュース").value;
    const std::vector<CProgramme> hits = FindProgrammes(1, query);
    for (const bool crlf : {false, true}) {
        const std::string eol = crlf ? "\r\n" : "\n";
        const std::string page = *RenderResultPage(query, hits, crlf);
        const std::string endLine = eol + "<HR NOSHADE>" + eol;
        const std::size_t tail = page.find(endLine) + endLine.size();
        for (const std::size_t extra :
             {0, 1, 5, 10, 11, 12, 13, 150, 199, 200, 201, 1000, 200000}) {
            SCOPED_TRACE(std::to_string(extra) + (crlf ? " CR LF" : " LF"));
            std::string padded = page;
            PadResultPage(padded, page.size() + extra, crlf);
            ASSERT_EQ(padded.size(), page.size() + extra);
            ASSERT_EQ(padded.substr(0, tail), page.substr(0, tail));
            const std::size_t body = padded.rfind(page.substr(tail));
            ASSERT_NE(body, std::string::npos) << "the chrome after the listing stays";
            EXPECT_EQ(padded.find_first_not_of(' ', body + page.size() - tail), std::string::npos);
            const std::vector<std::string> lines =
                SplitLines(padded.substr(0, body + page.size() - tail), eol);
            EXPECT_EQ(Listing(lines), Listing(SplitLines(page, eol)));
            const std::string_view head = std::string_view(page).substr(0, tail);
            for (std::size_t i = std::count(head.begin(), head.end(), '\n');
                 i < lines.size() && !lines[i].starts_with("<div class=\"footer\">"); ++i)
                EXPECT_TRUE(lines[i].starts_with("<!-- x") && lines[i].ends_with("x -->"))
                    << lines[i];
        }
        std::string larger = page;
        PadResultPage(larger, page.size() - 1, crlf);
        EXPECT_EQ(larger, page);
    }
    std::string message = RenderMessagePage("Status 404", "Status 404", false);
    const std::string unpadded = message;
    PadResultPage(message, 100000, false);
    EXPECT_EQ(message, unpadded) << "no listing, nothing to pad after";
}

TEST(ResultPage, WritesDaysAndTimesAsListingsDo)
{
    EXPECT_EQ(FormatDay(sys_days(2026y / December / 8)), "12/08(火)");
    EXPECT_EQ(FormatDay(sys_days(2027y / January / 3)), "01/03(日)");
    EXPECT_EQ(FormatTimes(21 * 60, 21 * 60 + 54), "21:00～21:54");
    EXPECT_EQ(FormatTimes(5 * 60 + 5, 25 * 60 + 30), "05:05～25:30");
}

} // namespace
} // namespace listing_site
