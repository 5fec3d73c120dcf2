#include "medora_test.h"
#include "plugins/medora/listing_identity.h"

#include <gtest/gtest.h>

#include <set>

using medora_test::RowName;

namespace {

struct CScanCase
{
    const char* name;
    std::string page;
    std::set<std::string> identities;
    medora::ScanFault fault = medora::ScanFault::none;
    medora::ScanLimits limits = {};
};

void PrintTo(const CScanCase& row, std::ostream* os)
{
    *os << row.name;
}

// The page fed in the pieces that cuts make of it.
medora::ListingScan Scanned(const CScanCase& c, std::initializer_list<std::size_t> cuts)
{
    medora::ListingScanner scanner(c.limits);
    std::size_t from = 0;
    for (std::size_t cut : cuts) {
        scanner.Feed(std::string_view(c.page).substr(from, cut - from));
        from = cut;
    }
    scanner.Feed(std::string_view(c.page).substr(from));
    return scanner.Finish();
}

std::set<std::string> Sorted(const medora::ListingScan& scan)
{
    return {scan.identities.begin(), scan.identities.end()};
}

class ListingIdentity : public ::testing::TestWithParam<CScanCase>
{
};

// Pages are read in pieces that end anywhere; every way of cutting one in two reads the same.
TEST_P(ListingIdentity, ReadsTheSameWhereverThePiecesEnd)
{
    const CScanCase& c = GetParam();
    const medora::ListingScan whole = medora::ScanListings(c.page, c.limits);
    EXPECT_EQ(whole.fault, c.fault);
    EXPECT_EQ(Sorted(whole), c.identities);
    for (std::size_t cut = 0; cut <= c.page.size(); ++cut) {
        const medora::ListingScan cutScan = Scanned(c, {cut});
        ASSERT_EQ(cutScan.fault, c.fault) << "cut at " << cut;
        ASSERT_EQ(Sorted(cutScan), c.identities) << "cut at " << cut;
    }
}

// A row as the sample site writes it, with the parts given.
std::string SiteRow(const std::string& rowAttributes, const std::string& title)
{
    return "<tr" + rowAttributes +
           "><td class=\"date\">12/09(\x90\x85)</td><td class=\"time\">10:00\x81\x60"
           "10:30</td><td class=\"channel\">NHK</td><td class=\"program\"><span "
           "class=\"title\">" +
           title + "</span><br><span class=\"desc\">d</span></td></tr>\n";
}

const std::string kSiteRowText = "12/09(\x90\x85) 10:00\x81\x60"
                                 "10:30 NHK T d";

const CScanCase kScanCases[] = {
    {"SiteRow", "<table>\n" + SiteRow("", "T") + "</table>\n", {kSiteRowText}},
    {"MarkedRowIsTheSameListing", SiteRow(" class=\"new\"", "T"), {kSiteRowText}},
    {"HeaderRowIsNoListing", "<tr><th>a</th><th>b</th></tr>", {}},
    {"LineBreaksAndSpacesCountAsOneSpace",
     "<tr>\r\n  <td>a\r\n\t b</td>\r\n<td> c </td>\n</tr>",
     {"a b c"}},
    {"UpperCaseTags", "<TABLE><TR><TD>x</TD></TR></TABLE>", {"x"}},
    {"RowEndTagLeftOut", "<table><tr><td>a<tr><td>b</table>", {"a", "b"}},
    {"TableInsideACellIsItsRowsText",
     "<tr><td>a<table><tr><td>b</td></tr></table>c</td></tr>",
     {"a b c"}},
    {"QuotedGreaterThanInAnAttribute", "<tr><td title=\"x>y\" id='p>q'>a</td></tr>", {"a"}},
    {"CommentHidesARow", "<!-- <tr><td>x</td></tr> --><tr><td>a</td></tr>", {"a"}},
    {"LessThanBeforeASpaceIsText", "<tr><td>1 < 2 &lt; 3</td></tr>", {"1 < 2 &lt; 3"}},
    {"SameRowTwiceIsOneListing", "<tr><td>a</td></tr><tr><td>a</td></tr>", {"a"}},
    {"EmptyRowIsNoListing", "<tr><td> </td></tr>", {}},
    {"TextOutsideRowsIsNoListing", "<p>a</p><script>if (a < b) x = 'tr > td';</script>", {}},
    {"ScriptTextIsNoListing",
     "<script>var s = '<tr><td>x</td></tr>';</script><tr><td>a</td></tr>",
     {"a"}},
    {"StyleTextIsNoListing", "<style>/* <tr><td>x</td></tr> */</style ><tr><td>a</td></tr>", {"a"}},
    {"ScriptEndTagInCapitals", "<SCRIPT>'<tr><td>x</SCRIPT><tr><td>a</td></tr>", {"a"}},
    {"ScriptEndAfterALessThan", "<script>a <</script><tr><td>a</td></tr>", {"a"}},
    {"EndsInsideAScript", "<tr><td>a</td></tr><script>x", {}, medora::ScanFault::damaged},
    // Second bytes 5C and 5F ("ソ", "ダ") are ordinary bytes here.
    {"DoubleByteText", "<tr><td>\x83\x5C\x83\x5F</td></tr>", {"\x83\x5C\x83\x5F"}},
    {"EmptyPage", "", {}},
    {"ZeroByte", std::string("<tr><td>a</td></tr>\0", 20), {}, medora::ScanFault::damaged},
    {"EndsInsideARow", "<tr><td>a</td></tr><tr><td>b", {}, medora::ScanFault::damaged},
    {"EndsInsideATag", "<tr><td>a</td></tr><p class=\"x", {}, medora::ScanFault::damaged},
    {"EndsInsideAComment", "<tr><td>a</td></tr><!-- x", {}, medora::ScanFault::damaged},
    {"RowLongerThanAnyListing",
     "<tr><td>" + std::string(65, 'x') + "</td></tr>",
     {},
     medora::ScanFault::damaged,
     {.pageBytes = 1000, .rowBytes = 64}},
    {"RowAsLongAsAllowed",
     "<tr><td>" + std::string(64, 'x') + "</td></tr>",
     {std::string(64, 'x')},
     medora::ScanFault::none,
     {.pageBytes = 1000, .rowBytes = 64}},
    {"PageLargerThanAllowed",
     "<tr><td>a</td></tr>" + std::string(100, ' '),
     {},
     medora::ScanFault::tooLarge,
     {.pageBytes = 118, .rowBytes = 64}},
    {"PageAsLargeAsAllowed",
     "<tr><td>a</td></tr>" + std::string(100, ' '),
     {"a"},
     medora::ScanFault::none,
     {.pageBytes = 119, .rowBytes = 64}},
};

INSTANTIATE_TEST_SUITE_P(Pages, ListingIdentity, ::testing::ValuesIn(kScanCases),
                         RowName<CScanCase>);

} // namespace
