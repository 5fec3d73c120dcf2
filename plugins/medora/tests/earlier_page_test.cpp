#include "medora_test.h"
#include "platform/tests/temp_dir.h"
#include "plugins/medora/earlier_page.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <vector>

using medora_test::RowName;
using testing_support::CTempDir;

namespace {

// "東京" in code page 932.
const std::string kTokyo = "\x93\x8C\x8B\x9E";

struct CSplitCase
{
    const char* name;
    std::string fileName;
    bool splits;
    std::string prefix;
    std::string date;
    std::string suffix;
};

void PrintTo(const CSplitCase& row, std::ostream* os)
{
    *os << row.name;
}

class SplitResultName : public ::testing::TestWithParam<CSplitCase>
{
};

TEST_P(SplitResultName, CutsAroundTheLastDate)
{
    const CSplitCase& c = GetParam();
    const std::optional<medora::ResultName> parts = medora::SplitResultName(c.fileName);
    ASSERT_EQ(parts.has_value(), c.splits);
    if (!parts)
        return;
    EXPECT_EQ(parts->prefix, c.prefix);
    EXPECT_EQ(parts->date, c.date);
    EXPECT_EQ(parts->suffix, c.suffix);
}

const CSplitCase kSplitCases[] = {
    {"ResultPage", "drama_" + kTokyo + "_20261208_medora.html", true, "drama_" + kTokyo + "_",
     "20261208", "_medora.html"},
    {"UntitledList", "_" + kTokyo + "_20261208_medora.html", true, "_" + kTokyo + "_", "20261208",
     "_medora.html"},
    {"DateInTheFileNameToo", "a_20250101_b_" + kTokyo + "_20261208_medora.html", true,
     "a_20250101_b_" + kTokyo + "_", "20261208", "_medora.html"},
    {"OnlyTheDate", "_20261208_", true, "_", "20261208", "_"},
    {"NoDate", "drama.html", false, "", "", ""},
    {"SevenDigits", "drama_" + kTokyo + "_2026120_medora.html", false, "", "", ""},
    {"NineDigits", "drama_" + kTokyo + "_202612080_medora.html", false, "", "", ""},
    {"LetterInTheDate", "drama_" + kTokyo + "_2026120x_medora.html", false, "", "", ""},
    {"Empty", "", false, "", "", ""},
};

INSTANTIATE_TEST_SUITE_P(Names, SplitResultName, ::testing::ValuesIn(kSplitCases),
                         RowName<CSplitCase>);

struct CFindCase
{
    const char* name;
    std::vector<std::string> files;   // in the folder before the run
    std::vector<std::string> folders; // the same, as folders
    std::string output;
    std::string expected; // a name in the folder, or empty for none
};

void PrintTo(const CFindCase& row, std::ostream* os)
{
    *os << row.name;
}

class FindEarlierPage : public ::testing::TestWithParam<CFindCase>
{
};

TEST_P(FindEarlierPage, TakesTheNewestEarlierPageOfTheSameList)
{
    const CFindCase& c = GetParam();
    const CTempDir folder;
    for (const std::string& file : c.files)
        testing_support::WriteFileBytes(folder.File(file), "<p>x</p>");
    for (const std::string& name : c.folders)
        std::filesystem::create_directory(folder.File(name));
    const std::string expected = c.expected.empty() ? std::string() : folder.File(c.expected);
    EXPECT_EQ(medora::FindEarlierPage(folder.File(c.output)), expected);
}

const std::string kToday = "d_" + kTokyo + "_20261208_medora.html";

const CFindCase kFindCases[] = {
    {"FirstRun", {}, {}, kToday, ""},
    {"OnlyOtherFiles",
     {"d_" + kTokyo + "_20261201_other.html", "d_" + kTokyo + "_20261201_medora.htm",
      "d2_" + kTokyo + "_20261201_medora.html", "xd_" + kTokyo + "_20261201_medora.html",
      "d_" + kTokyo + "x_20261201_medora.html", "d_" + kTokyo + "_1201_medora.html"},
     {},
     kToday,
     ""},
    {"PageBeingReplaced", {"d_" + kTokyo + "_20261201_medora.html", kToday}, {}, kToday, kToday},
    {"NewestEarlierDay",
     {"d_" + kTokyo + "_20261130_medora.html", "d_" + kTokyo + "_20261205_medora.html",
      "d_" + kTokyo + "_20261201_medora.html"},
     {},
     kToday,
     "d_" + kTokyo + "_20261205_medora.html"},
    {"LaterDayIsNotEarlier", {"d_" + kTokyo + "_20261209_medora.html"}, {}, kToday, ""},
    {"LaterDayPassedOver",
     {"d_" + kTokyo + "_20261209_medora.html", "d_" + kTokyo + "_20261207_medora.html"},
     {},
     kToday,
     "d_" + kTokyo + "_20261207_medora.html"},
    {"FolderIsNoPage",
     {"d_" + kTokyo + "_20261201_medora.html"},
     {"d_" + kTokyo + "_20261207_medora.html"},
     kToday,
     "d_" + kTokyo + "_20261201_medora.html"},
    {"NameWithoutDateComparesWithItself", {"result.html"}, {}, "result.html", "result.html"},
    {"NameWithoutDateFirstRun", {"other.html"}, {}, "result.html", ""},
};

INSTANTIATE_TEST_SUITE_P(Folders, FindEarlierPage, ::testing::ValuesIn(kFindCases),
                         RowName<CFindCase>);

TEST(FindEarlierPage, MissingFolderHasNoEarlierPage)
{
    const CTempDir folder;
    EXPECT_EQ(medora::FindEarlierPage(folder.File("gone/" + kToday)), "");
}

struct CReadCase
{
    const char* name;
    std::string bytes; // written to the file; empty for a missing file
    bool isFolder;
    medora::ScanFault fault;
    std::size_t identities;
};

void PrintTo(const CReadCase& row, std::ostream* os)
{
    *os << row.name;
}

class ReadListingIdentities : public ::testing::TestWithParam<CReadCase>
{
};

TEST_P(ReadListingIdentities, ReadsTheFileOrSaysWhyNot)
{
    const CReadCase& c = GetParam();
    const CTempDir folder;
    const std::string path = folder.File("page.html");
    if (c.isFolder)
        std::filesystem::create_directory(path);
    else if (!c.bytes.empty())
        testing_support::WriteFileBytes(path, c.bytes);
    const medora::ListingScan scan =
        medora::ReadListingIdentities(path, {.pageBytes = 64, .rowBytes = 32});
    EXPECT_EQ(scan.fault, c.fault);
    EXPECT_EQ(scan.identities.size(), c.identities);
}

const CReadCase kReadCases[] = {
    {"Page", "<tr><td>a</td></tr>\r\n<tr><td>b</td></tr>\r\n", false, medora::ScanFault::none, 2},
    {"Missing", "", false, medora::ScanFault::unreadable, 0},
    {"Folder", "", true, medora::ScanFault::unreadable, 0},
    {"LargerThanAllowed", "<tr><td>a</td></tr>" + std::string(46, ' '), false,
     medora::ScanFault::tooLarge, 0},
    {"Damaged", "<tr><td>a</td></tr><tr><td>", false, medora::ScanFault::damaged, 0},
};

INSTANTIATE_TEST_SUITE_P(Files, ReadListingIdentities, ::testing::ValuesIn(kReadCases),
                         RowName<CReadCase>);

} // namespace
