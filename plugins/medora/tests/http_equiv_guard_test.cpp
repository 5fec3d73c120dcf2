#include "medora_test.h"
#include "plugins/medora/http_equiv_guard.h"

#include <gtest/gtest.h>

using medora_test::CTextCase;
using medora_test::RowName;

namespace {

// The text passed through the guard in the pieces that cuts make of it.
std::string Guarded(std::string_view text, std::initializer_list<std::size_t> cuts)
{
    std::string out;
    medora::HttpEquivGuard guard([&out](std::string_view bytes) { out.append(bytes); });
    std::size_t from = 0;
    for (std::size_t cut : cuts) {
        guard.Write(text.substr(from, cut - from));
        from = cut;
    }
    guard.Write(text.substr(from));
    guard.Finish();
    return out;
}

class HttpEquivGuard : public ::testing::TestWithParam<CTextCase>
{
};

// Listing lines arrive whole or cut into pieces anywhere; every way of cutting the text in
// up to three pieces gives the same result.
TEST_P(HttpEquivGuard, MakesTheAttributeInertWhereverThePiecesEnd)
{
    const CTextCase& c = GetParam();
    EXPECT_EQ(Guarded(c.given, {}), c.expected);
    for (std::size_t first = 0; first <= c.given.size(); ++first) {
        for (std::size_t second = first; second <= c.given.size(); ++second) {
            ASSERT_EQ(Guarded(c.given, {first, second}), c.expected)
                << "cut at " << first << " and " << second;
        }
    }
}

const std::string kInert = "data-vistrel-inert-";

INSTANTIATE_TEST_SUITE_P(
    Medora, HttpEquivGuard,
    ::testing::Values(
        CTextCase{"QuotedRefresh", "<meta http-equiv=\"refresh\" content=\"0;url=http://x/\">",
                  "<meta " + kInert + "http-equiv=\"refresh\" content=\"0;url=http://x/\">"},
        CTextCase{"UpperCaseWithoutQuotes", "<META HTTP-EQUIV=Refresh CONTENT=0>",
                  "<META " + kInert + "HTTP-EQUIV=Refresh CONTENT=0>"},
        CTextCase{"LinesInsideTheTag", "<meta\nhttp-equiv\n=\n'refresh'\ncontent=0>\n",
                  "<meta\n" + kInert + "http-equiv\n=\n'refresh'\ncontent=0>\n"},
        CTextCase{"AfterAQuotedValueWithoutBlank", "<meta content=\"0\"http-equiv=refresh>",
                  "<meta content=\"0\"" + kInert + "http-equiv=refresh>"},
        CTextCase{"AfterASlash", "<meta/http-equiv/content=0>",
                  "<meta/" + kInert + "http-equiv/content=0>"},
        CTextCase{"EveryBlank", "<meta\thttp-equiv=a\fHttp-Equiv=b\rhttp-equiv\t>",
                  "<meta\t" + kInert + "http-equiv=a\f" + kInert + "Http-Equiv=b\r" + kInert +
                      "http-equiv\t>"},
        CTextCase{"AtTheStartOfTheText", "http-equiv=refresh content=0>",
                  kInert + "http-equiv=refresh content=0>"},
        // The value is not looked at: it may be spelt with character references.
        CTextCase{"ValueOfCharacterReferences", "<meta http-equiv=\"&#82;efresh\" content=0>",
                  "<meta " + kInert + "http-equiv=\"&#82;efresh\" content=0>"},
        CTextCase{"AfterADoubleByteCharacterAndABlank", "\x82\xA0 http-equiv=x>",
                  "\x82\xA0 " + kInert + "http-equiv=x>"},
        CTextCase{"WholeNameAtTheEnd", "<meta http-equiv", "<meta " + kInert + "http-equiv"},
        // "ド" is 83 68: its second byte reads as "h" but begins no name.
        CTextCase{"SecondByteOfADoubleByteCharacter", "<p>\x83http-equiv=x</p>",
                  "<p>\x83http-equiv=x</p>"},
        CTextCase{"PartOfALongerWord", "<p a-http-equiv=1 xhttp-equiv=2 http-equivs=3>",
                  "<p a-http-equiv=1 xhttp-equiv=2 http-equivs=3>"},
        CTextCase{"OtherAttributes", "<meta name=\"http\" content=\"equiv\">",
                  "<meta name=\"http\" content=\"equiv\">"},
        CTextCase{"StartOfANameAtTheEnd", "<meta http-equi", "<meta http-equi"},
        CTextCase{"Dashes", "---- -- - http-- http-e", "---- -- - http-- http-e"}),
    RowName<CTextCase>);

} // namespace
