// The merged page compared with its earlier result page, through the module as the program
// loads it: what is marked, when the page stays exactly the plain merge, and the counts.
#include "medora_test.h"

#include "platform/tests/temp_dir.h"
#include "vistrel_plugin.h"

#include <filesystem>
#include <vector>

using namespace medora_test;
using testing_support::ReadFileBytes;
using testing_support::WriteFileBytes;

namespace {

const std::string kTemplate = "<html>\n<body>\n<!-- template replace -->\n</body>\n</html>\n";
const std::string kBefore = "<html>\r\n<body>\r\n";
const std::string kAfter = "</body>\r\n</html>\r\n";
const std::string kRowA = "<tr><td>12/09</td><td>A</td></tr>\n";
const std::string kRowB = "<tr><td>12/09</td><td>B</td></tr>\n";
const std::string kEarlierRows = "<table>\n" + kRowA + "</table>\n";
// "<p class="new-count">新着 1 件</p>" in code page 932.
const std::string kOneNew = "<p class=\"new-count\">\x90\x56\x92\x85 1 \x8C\x8F</p>\r\n";
const std::string kOutputName = "list_\xE6\x9D\xB1\xE4\xBA\xAC_20261209_medora.html";
const std::string kEarlierName = "list_\xE6\x9D\xB1\xE4\xBA\xAC_20261208_medora.html";

std::string CrLf(std::string text)
{
    for (std::size_t at = text.find('\n'); at != std::string::npos; at = text.find('\n', at + 2))
        text.replace(at, 1, "\r\n");
    return text;
}

class MergeMarking : public CMedoraTest
{
protected:
    void SetUp() override
    {
        CMedoraTest::SetUp();
        WriteTemplate(kTemplate);
        m_pages = {m_dir.File("~TV0"), m_dir.File("~TV1"), m_dir.File("~TV2")};
        WriteFileBytes(m_pages[0], Listing("<table>\n" + kRowA + kRowB + "</table>\n"));
        WriteFileBytes(m_pages[1], Listing("<table>\n" + kRowA + "</table>\n"));
        WriteFileBytes(m_pages[2], "no listing here\n");
    }

    std::string Output() const { return m_dir.File(kOutputName); }
    std::string Earlier() const { return m_dir.File(kEarlierName); }
    bool Merge() const { return m_medora.MergeDownloadFiles(Output(), m_pages); }

    // What the merge gives when nothing is compared.
    static std::string Plain()
    {
        return kBefore +
               CrLf("<table>\n" + kRowA + kRowB + "</table>\n<table>\n" + kRowA + "</table>\n") +
               kAfter;
    }

    testing_support::CTempDir m_dir;
    std::vector<std::string> m_pages;
};

TEST_F(MergeMarking, MarksTheListingsTheEarlierPageLacks)
{
    WriteFileBytes(Earlier(), kEarlierRows);
    ASSERT_TRUE(Merge());
    EXPECT_EQ(ReadFileBytes(Output()),
              kBefore +
                  CrLf("<table>\n" + kRowA +
                       "<tr class=\"new-listing\"><td>12/09</td><td>B</td></tr>\n</table>\n") +
                  kOneNew + CrLf("<table>\n" + kRowA + "</table>\n") + kAfter);
}

// The page replaced counts as the earlier one, so a second run on the same day marks nothing
// it marked before, and a page with nothing new is the plain merge.
TEST_F(MergeMarking, RerunOnTheSameDayMarksNothingNew)
{
    WriteFileBytes(Earlier(), kEarlierRows);
    ASSERT_TRUE(Merge());
    ASSERT_TRUE(Merge());
    EXPECT_EQ(ReadFileBytes(Output()), Plain());
}

struct PlainCase
{
    const char* name;
    std::string settings;           // medora.ini
    std::string earlierName;        // empty: none
    std::string earlier;            // its bytes
    std::string logged;             // what standard error must hold, when not empty
    std::uintmax_t sparseBytes = 0; // the earlier page made this long instead
};

void PrintTo(const PlainCase& c, std::ostream* os)
{
    *os << c.name;
}

class PlainMerge : public MergeMarking, public ::testing::WithParamInterface<PlainCase>
{
};

TEST_P(PlainMerge, GivesThePageOfAMergeWithoutMarking)
{
    const PlainCase& c = GetParam();
    WriteSettings(c.settings);
    m_medora.GetServerName(); // a run begins so, and medora reads its settings then
    if (!c.earlierName.empty()) {
        WriteFileBytes(m_dir.File(c.earlierName), c.earlier);
        if (c.sparseBytes > 0)
            std::filesystem::resize_file(m_dir.File(c.earlierName), c.sparseBytes);
    }
    ::testing::internal::CaptureStderr();
    const bool merged = Merge();
    const std::string logged = ::testing::internal::GetCapturedStderr();
    ASSERT_TRUE(merged);
    EXPECT_EQ(ReadFileBytes(Output()), Plain());
    if (c.logged.empty()) {
        EXPECT_EQ(logged, "");
    } else {
        EXPECT_EQ(logged, "medora: \xE5\x89\x8D\xE5\x9B\x9E\xE3\x81\xAE\xE7\xB5\x90\xE6\x9E\x9C"
                          "\xE3\x83\x9A\xE3\x83\xBC\xE3\x82\xB8\xE3\x81\xA8\xE6\xAF\x94\xE3\x81"
                          "\xB9\xE3\x82\x89\xE3\x82\x8C\xE3\x81\xBE\xE3\x81\x9B\xE3\x82\x93"
                          "\xEF\xBC\x88" +
                              c.logged + "\xEF\xBC\x89: " + m_dir.File(c.earlierName) + "\n");
    }
}

const std::string kDamaged =
    "\xE5\xA3\x8A\xE3\x82\x8C\xE3\x81\xA6\xE3\x81\x84\xE3\x81\xBE\xE3\x81\x99";
const std::string kTooLarge =
    "\xE5\xA4\xA7\xE3\x81\x8D\xE3\x81\x99\xE3\x81\x8E\xE3\x81\xBE\xE3\x81\x99";

INSTANTIATE_TEST_SUITE_P(
    Cases, PlainMerge,
    ::testing::Values(
        PlainCase{"NoEarlierPage", "", "", "", ""},
        PlainCase{"MarkingOff", "[Result]\nMarkNew=0\n", kEarlierName, kEarlierRows, ""},
        PlainCase{"OtherKeywordFile", "", "other_\xE6\x9D\xB1\xE4\xBA\xAC_20261208_medora.html",
                  kEarlierRows, ""},
        PlainCase{"LaterDate", "", "list_\xE6\x9D\xB1\xE4\xBA\xAC_20261210_medora.html",
                  kEarlierRows, ""},
        PlainCase{"ZeroByte", "", kEarlierName, std::string("<table>\n\0", 9) + kRowA, kDamaged},
        PlainCase{"UnclosedRow", "", kEarlierName, "<table>\n<tr><td>12/09</td><td>A", kDamaged},
        PlainCase{"UnclosedComment", "", kEarlierName, kEarlierRows + "<!-- ", kDamaged},
        PlainCase{"UnclosedTag", "", kEarlierName, kEarlierRows + "<p class=\"", kDamaged},
        PlainCase{"Huge", "", kEarlierName, kEarlierRows, kTooLarge,
                  std::uintmax_t{64} * 1024 * 1024 + 1}),
    RowName<PlainCase>);

} // namespace
