#include "medora_test.h"
#include "plugins/medora/new_listing_marker.h"

#include <gtest/gtest.h>

#include <optional>
#include <vector>

namespace medora {
void PrintTo(const PageCount& c, std::ostream* os)
{
    *os << "{" << c.listings << ", " << c.newListings << "}";
}
} // namespace medora

using medora_test::CTextCase;
using medora_test::RowName;

namespace {

class WithClass : public ::testing::TestWithParam<CTextCase>
{
};

TEST_P(WithClass, AddsTheClassToTheFirstClassAttribute)
{
    EXPECT_EQ(medora::WithClass(GetParam().given, "new-listing"), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Tags, WithClass,
    ::testing::Values(
        CTextCase{"NoAttributes", "<tr>", "<tr class=\"new-listing\">"},
        CTextCase{"OtherAttributes", "<tr id=\"a\">", "<tr class=\"new-listing\" id=\"a\">"},
        CTextCase{"DoubleQuoted", "<tr class=\"odd\">", "<tr class=\"new-listing odd\">"},
        CTextCase{"SingleQuoted", "<tr class='odd'>", "<tr class='new-listing odd'>"},
        CTextCase{"EmptyValue", "<tr class=\"\">", "<tr class=\"new-listing\">"},
        CTextCase{"Unquoted", "<tr class=odd id=b>", "<tr class=\"new-listing odd\" id=b>"},
        CTextCase{"UpperCase", "<TR CLASS=\"odd\">", "<TR CLASS=\"new-listing odd\">"},
        CTextCase{"NoValue", "<tr class>", "<tr class=\"new-listing\">"},
        CTextCase{"SpacesAroundEquals", "<tr class = \"a\">", "<tr class = \"new-listing a\">"},
        CTextCase{"LaterAttribute", "<tr\nid=x class=\"a\">", "<tr\nid=x class=\"new-listing a\">"},
        // Only the first counts in a browser, so that is the one that must hold the mark.
        CTextCase{"FirstOfTwo", "<tr class=a class=b>", "<tr class=\"new-listing a\" class=b>"},
        CTextCase{"ClassInsideAValue", "<tr title=\"class=x\">",
                  "<tr class=\"new-listing\" title=\"class=x\">"},
        CTextCase{"LongerName", "<tr classes=\"a\">", "<tr class=\"new-listing\" classes=\"a\">"},
        CTextCase{"SelfClosing", "<tr/>", "<tr class=\"new-listing\"/>"},
        CTextCase{"UnquotedWithDoubleQuote", "<tr class=a\"b>", "<tr class='new-listing a\"b'>"},
        CTextCase{"UnquotedWithSingleQuote", "<tr class=a'b>", "<tr class=\"new-listing a'b\">"},
        CTextCase{"UnquotedWithBothQuotes", "<tr class=a'\"b>", "<tr class=a'\"b>"}),
    RowName<CTextCase>);

struct MarkCase
{
    const char* name;
    std::optional<medora::IdentitySet> earlier; // nullopt: nothing to compare with
    std::vector<std::string> pages;             // listings, one per page file
    std::string expected;
    std::vector<medora::PageCount> counts;
    bool readable = true;
};

void PrintTo(const MarkCase& c, std::ostream* os)
{
    *os << c.name;
}

struct Marked
{
    std::string text;
    std::vector<medora::PageCount> counts;
    bool readable = false;
};

// Each page fed in two pieces cut at cut (or whole, past its end).
Marked Mark(const MarkCase& c, std::size_t cut)
{
    Marked marked;
    medora::NewListingMarker marker(
        [&marked](std::string_view piece) {
            // Pieces hold no line end but perhaps as their last byte.
            const std::size_t lineEnd = piece.find('\n');
            EXPECT_TRUE(lineEnd == std::string_view::npos || lineEnd + 1 == piece.size());
            marked.text += piece;
        },
        c.earlier ? &*c.earlier : nullptr);
    for (const std::string& page : c.pages) {
        const std::string_view bytes(page);
        marker.Write(bytes.substr(0, std::min(cut, bytes.size())));
        marker.Write(bytes.substr(std::min(cut, bytes.size())));
        marked.counts.push_back(marker.EndPage());
    }
    marked.readable = marker.Finish();
    return marked;
}

class NewListingMarker : public ::testing::TestWithParam<MarkCase>
{
};

TEST_P(NewListingMarker, MarksExactlyTheListingsTheEarlierPageLacks)
{
    const MarkCase& c = GetParam();
    std::size_t longest = 0;
    for (const std::string& page : c.pages)
        longest = std::max(longest, page.size());
    for (std::size_t cut = 0; cut <= longest; ++cut) {
        const Marked marked = Mark(c, cut);
        ASSERT_EQ(marked.text, c.expected) << "cut at " << cut;
        ASSERT_EQ(marked.counts, c.counts) << "cut at " << cut;
        ASSERT_EQ(marked.readable, c.readable) << "cut at " << cut;
    }
}

const std::string kRowA = "<tr><td>12/08</td><td>A</td></tr>\n";
const std::string kRowB = "<tr><td>12/08</td><td>B</td></tr>\n";
const std::string kNewB = "<tr class=\"new-listing\"><td>12/08</td><td>B</td></tr>\n";
const std::string kHead = "<tr><th>day</th><th>programme</th></tr>\n";
const medora::IdentitySet kHadA = {"12/08 A"};

INSTANTIATE_TEST_SUITE_P(
    Listings, NewListingMarker,
    ::testing::Values(
        MarkCase{"NothingToCompare",
                 std::nullopt,
                 {kHead + kRowA + kRowB},
                 kHead + kRowA + kRowB,
                 {{2, -1}}},
        MarkCase{"NewRowMarked", kHadA, {kHead + kRowA + kRowB}, kHead + kRowA + kNewB, {{2, 1}}},
        MarkCase{"MovedRowIsNotNew", kHadA, {kRowB + kRowA}, kNewB + kRowA, {{2, 1}}},
        MarkCase{"AllKnown",
                 medora::IdentitySet{"12/08 A", "12/08 B"},
                 {kRowB + kRowA},
                 kRowB + kRowA,
                 {{2, 0}}},
        MarkCase{"LineBreaksAndSpacesDoNotCount",
                 kHadA,
                 {"<tr>\n <td>12/08</td>\n <td>  A</td>\n</tr>\n"},
                 "<tr>\n <td>12/08</td>\n <td>  A</td>\n</tr>\n",
                 {{1, 0}}},
        MarkCase{"AnEarlierMarkDoesNotCount",
                 kHadA,
                 {"<tr class=\"new-listing\"><td>12/08</td><td>A</td></tr>\n"},
                 "<tr class=\"new-listing\"><td>12/08</td><td>A</td></tr>\n",
                 {{1, 0}}},
        MarkCase{"RowOverSeveralLines",
                 kHadA,
                 {"<tr id=r\n><td>12/08\n</td><td>B</td></tr>\n"},
                 "<tr class=\"new-listing\" id=r\n><td>12/08\n</td><td>B</td></tr>\n",
                 {{1, 1}}},
        MarkCase{"ExistingClassKept",
                 kHadA,
                 {"<tr class=odd><td>B</td></tr>\n"},
                 "<tr class=\"new-listing odd\"><td>B</td></tr>\n",
                 {{1, 1}}},
        MarkCase{"RowWithoutEndTag",
                 kHadA,
                 {"<table><tr><td>12/08<td>B<tr><td>12/08<td>A</table>\n"},
                 "<table><tr class=\"new-listing\"><td>12/08<td>B<tr><td>12/08<td>A</table>\n",
                 {{2, 1}}},
        MarkCase{"ScriptTextIsNoRow",
                 kHadA,
                 {"<script>x='<tr><td>B</td></tr>'</script>\n"},
                 "<script>x='<tr><td>B</td></tr>'</script>\n",
                 {{0, 0}}},
        MarkCase{"CommentIsNoRow",
                 kHadA,
                 {"<!-- <tr><td>B</td></tr> -->\n"},
                 "<!-- <tr><td>B</td></tr> -->\n",
                 {{0, 0}}},
        MarkCase{"CountsPerPage",
                 kHadA,
                 {kRowA, kRowB + kRowB, ""},
                 kRowA + kNewB + kNewB,
                 {{1, 0}, {2, 2}, {0, 0}}},
        // A row still open at a page's end counts for the page it ends in.
        MarkCase{"RowRunningIntoTheNextPage",
                 kHadA,
                 {"<tr><td>", "B</td></tr>\n"},
                 "<tr class=\"new-listing\"><td>B</td></tr>\n",
                 {{0, 0}, {1, 1}}},
        MarkCase{"ZeroByteStopsMarking",
                 kHadA,
                 {kRowB + std::string("<tr><td>\0</td></tr>\n", 20) + kRowB},
                 kNewB + std::string("<tr><td>\0</td></tr>\n", 20) + kRowB,
                 {{1, 1}},
                 false}),
    RowName<MarkCase>);

} // namespace

namespace {

// A marked page read again gives the identities of the page as it came, and a second marking
// against those finds nothing new, whatever the row tags look like: a mark must never land in
// a value, a row's text or another tag.
class MarkedPage : public ::testing::TestWithParam<CTextCase>
{
};

TEST_P(MarkedPage, ReadsAsThePageItWasMadeFrom)
{
    const std::string page = GetParam().given;
    const medora::ListingScan original = medora::ScanListings(page);
    ASSERT_EQ(original.fault, medora::ScanFault::none);
    ASSERT_FALSE(original.identities.empty());
    const medora::IdentitySet none;
    std::string marked;
    medora::NewListingMarker marker([&marked](std::string_view piece) { marked += piece; }, &none);
    marker.Write(page);
    EXPECT_EQ(marker.EndPage().newListings, static_cast<std::int32_t>(original.identities.size()));
    ASSERT_TRUE(marker.Finish());
    EXPECT_EQ(marked, GetParam().expected);

    const medora::ListingScan again = medora::ScanListings(marked);
    EXPECT_EQ(again.fault, medora::ScanFault::none);
    EXPECT_EQ(again.identities, original.identities);
    std::string rewritten;
    medora::NewListingMarker second([&rewritten](std::string_view piece) { rewritten += piece; },
                                    &again.identities);
    second.Write(marked);
    EXPECT_EQ(second.EndPage().newListings, 0);
    EXPECT_EQ(rewritten, marked);
}

INSTANTIATE_TEST_SUITE_P(
    Tags, MarkedPage,
    ::testing::Values(
        CTextCase{"Plain", "<tr><td>A</td></tr>", "<tr class=\"new-listing\"><td>A</td></tr>"},
        CTextCase{"GreaterThanInAValue", "<tr title=\"a>b\"><td>A</td></tr>",
                  "<tr class=\"new-listing\" title=\"a>b\"><td>A</td></tr>"},
        CTextCase{"QuoteInsideAnUnquotedValue", "<tr class=a\"b><td>A</td></tr>",
                  "<tr class='new-listing a\"b'><td>A</td></tr>"},
        CTextCase{"QuoteNotAfterEquals", "<tr x\"y class=\"c\"><td>A</td></tr>",
                  "<tr x\"y class=\"new-listing c\"><td>A</td></tr>"},
        CTextCase{"SpacesAroundEquals", "<tr class =\n 'c'><td>A</td></tr>",
                  "<tr class =\n 'new-listing c'><td>A</td></tr>"},
        CTextCase{"EndTagLookalikeInValue", "<tr data-x=\"</tr>\"><td>A</td></tr>",
                  "<tr class=\"new-listing\" data-x=\"</tr>\"><td>A</td></tr>"},
        CTextCase{"TwoRowsOnALine", "<tr><td>A<tr class><td>B</table>",
                  "<tr class=\"new-listing\"><td>A<tr class=\"new-listing\"><td>B</table>"},
        CTextCase{"NestedTable", "<tr><td><table><tr><td>x</td></tr></table>A</td></tr>",
                  "<tr class=\"new-listing\"><td><table><tr><td>x</td></tr></table>A</td></tr>"}),
    RowName<CTextCase>);

} // namespace
