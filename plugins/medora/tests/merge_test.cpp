#include "medora_test.h"

#include "platform/tests/temp_dir.h"
#include "platform/text_file.h"
#include "vistrel_plugin.h"

#include <filesystem>
#include <vector>

using namespace medora_test;
using testing_support::ReadFileBytes;

namespace {

const std::string& kStart = kListingStart;
const std::string& kEnd = kListingEnd;
const std::string kTemplate = "<html>\n<body>\n<!-- template replace -->\n</body>\n</html>\n";
const std::string kBefore = "<html>\r\n<body>\r\n";
const std::string kAfter = "</body>\r\n</html>\r\n";

class MedoraMerge : public CMedoraTest
{
protected:
    void SetUp() override
    {
        CMedoraTest::SetUp();
        WriteTemplate(kTemplate);
    }

    std::vector<std::string> WritePages(const std::vector<std::string>& pages)
    {
        std::vector<std::string> paths;
        for (const std::string& page : pages) {
            paths.push_back(m_dir.File("~TV" + std::to_string(paths.size())));
            testing_support::WriteFileBytes(paths.back(), page);
        }
        return paths;
    }

    bool Merge(const std::vector<std::string>& paths) const
    {
        return m_medora.MergeDownloadFiles(Output(), paths);
    }

    std::string Output() const { return m_dir.File("result.html"); }

    testing_support::CTempDir m_dir;
};

struct MergeCase
{
    const char* name;
    std::vector<std::string> pages;
    std::string listings; // what lands between the two halves of the template
};

void PrintTo(const MergeCase& c, std::ostream* os)
{
    *os << c.name;
}

class MergeListings : public MedoraMerge, public ::testing::WithParamInterface<MergeCase>
{
};

TEST_P(MergeListings, FillTheTemplate)
{
    ASSERT_TRUE(Merge(WritePages(GetParam().pages)));
    EXPECT_EQ(ReadFileBytes(Output()), kBefore + GetParam().listings + kAfter);
}

const std::string kLong(platform::TextReader::kMaxPieceBytes, 'x');
const std::string kInert = "data-vistrel-inert-";

INSTANTIATE_TEST_SUITE_P(
    Medora, MergeListings,
    ::testing::Values(
        MergeCase{"LfPage",
                  {"<p>top</p>\n" + Listing("<table>\n<tr><td>\x83\x65</td></tr>\n</table>\n") +
                   "<p>foot</p>\n"},
                  "<table>\r\n<tr><td>\x83\x65</td></tr>\r\n</table>\r\n"},
        MergeCase{"CrLfPage",
                  {"<p>top</p>\r\n" + kStart + "\r\n<table>\r\n<tr><td>\x83\x65</td></tr>\r\n" +
                   "</table>\r\n" + kEnd + "\r\n<p>foot</p>\r\n"},
                  "<table>\r\n<tr><td>\x83\x65</td></tr>\r\n</table>\r\n"},
        MergeCase{"CrCrLfPageHasNoMarkers", {kStart + "\r\r\nA\r\r\n" + kEnd + "\r\r\n"}, ""},
        MergeCase{"StartWithTrailingSpaceIsText", {kStart + " \nA\n" + kEnd + "\n"}, ""},
        MergeCase{"StartWithLeadingSpaceIsText", {" " + kStart + "\nA\n" + kEnd + "\n"}, ""},
        MergeCase{"StartWithoutLineEndIsText", {"A\n" + kStart}, ""},
        MergeCase{
            "LowerCaseEndIsText", {kStart + "\nA\n<hr noshade>\nB"}, "A\r\n<hr noshade>\r\nB"},
        MergeCase{"OnlyTheFirstListing", {Listing("A\n") + Listing("B\n")}, "A\r\n"},
        MergeCase{"PagesInListOrder",
                  {Listing("A\n"), "no listing\n" + kEnd + "\n", Listing("B\n")},
                  "A\r\nB\r\n"},
        MergeCase{
            "EachPageBeginsAtALineStart", {"A\n" + kStart + "x", kLong, Listing("B\n")}, "B\r\n"},
        MergeCase{"LongLinesPassWhole", {Listing(kLong + kLong + "y\n")}, kLong + kLong + "y\r\n"},
        MergeCase{"TailOfALongLineIsNoMarker",
                  {Listing(kLong + kEnd + "\nC\n")},
                  kLong + kEnd + "\r\nC\r\n"},
        MergeCase{"RefreshIsInert",
                  {Listing("<meta http-equiv=\"refresh\" content=\"0;url=http://x/\">\n")},
                  "<meta " + kInert + "http-equiv=\"refresh\" content=\"0;url=http://x/\">\r\n"},
        // The name straddles the first two pieces of the line.
        MergeCase{"RefreshAcrossPiecesOfALongLine",
                  {Listing(std::string(4090, 'x') + " http-equiv=refresh>\n")},
                  std::string(4090, 'x') + " " + kInert + "http-equiv=refresh>\r\n"},
        MergeCase{"RefreshRunningOnIntoTheNextPage",
                  {kStart + "\n<meta http-eq", Listing("uiv=refresh content=0>\n")},
                  "<meta " + kInert + "http-equiv=refresh content=0>\r\n"},
        MergeCase{"BytesPassUnchanged",
                  {Listing(std::string("a\rb\t\x83\x5C\\\0z\n", 10))},
                  std::string("a\rb\t\x83\x5C\\\0z\r\n", 11)}),
    RowName<MergeCase>);

TEST_F(MedoraMerge, UnreadablePagesAreSkipped)
{
    std::vector<std::string> paths = WritePages({Listing("A\n")});
    paths.insert(paths.begin(), {m_dir.File("gone.html"), m_dir.Path()});
    ASSERT_TRUE(Merge(paths));
    EXPECT_EQ(ReadFileBytes(Output()), kBefore + "A\r\n" + kAfter);
}

TEST_F(MedoraMerge, EmptyListGivesTheTemplateAlone)
{
    testing_support::WriteFileBytes(Output(), "an older result that is longer than the new one");
    ASSERT_TRUE(Merge({}));
    EXPECT_EQ(ReadFileBytes(Output()), kBefore + kAfter);

    CRawMedora raw;
    const auto merge = raw.Get<PFN_PIN_MergeDownloadFiles>(VISTREL_PIN_MERGEDOWNLOADFILES);
    EXPECT_EQ(merge(Output().c_str(), nullptr), 0);
    EXPECT_EQ(ReadFileBytes(Output()), kBefore + kAfter);
}

TEST_F(MedoraMerge, TemplateMarkerMatchesWithEitherLineEnd)
{
    WriteTemplate("<p>t</p>\n");
    ASSERT_TRUE(Merge(WritePages({Listing("A\n")})));
    EXPECT_EQ(ReadFileBytes(Output()), "<p>t</p>\r\nA\r\n");

    WriteTemplate("<p>t</p>\r\n<!-- template replace -->\r\n<p>u</p>\r\n");
    ASSERT_TRUE(Merge(WritePages({Listing("A\n")})));
    EXPECT_EQ(ReadFileBytes(Output()), "<p>t</p>\r\nA\r\n<p>u</p>\r\n");
}

TEST_F(MedoraMerge, OnlyTheListingsAreMadeInert)
{
    WriteTemplate("<meta http-equiv=\"Content-Security-Policy\" content=\"default-src 'none'\">\n"
                  "<!-- template replace -->\n<meta http-equiv=refresh content=60>\n");
    ASSERT_TRUE(Merge(WritePages({"<meta http-equiv=refresh content=0>\n" +
                                  Listing("<meta http-equiv=refresh content=0>\n")})));
    EXPECT_EQ(ReadFileBytes(Output()),
              "<meta http-equiv=\"Content-Security-Policy\" content=\"default-src 'none'\">\r\n"
              "<meta " +
                  kInert +
                  "http-equiv=refresh content=0>\r\n"
                  "<meta http-equiv=refresh content=60>\r\n");
}

TEST_F(MedoraMerge, ANullOutputPathIsAFailure)
{
    const std::vector<std::string> pages = WritePages({Listing("A\n")});
    CRawMedora raw;
    const auto merge = raw.Get<PFN_PIN_MergeDownloadFiles>(VISTREL_PIN_MERGEDOWNLOADFILES);
    const char* const list[] = {pages[0].c_str(), nullptr};
    EXPECT_EQ(merge(nullptr, list), 1);
}

} // namespace
