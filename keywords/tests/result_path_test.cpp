#include "keywords/result_path.h"
#include "keywords/vistrel_doc.h"

#include "case_name.h"
#include "doc_keywords.h"
#include "platform/tests/temp_dir.h"

#include <QDate>

#include <gtest/gtest.h>

#include <string>

namespace {

std::tm MakeDate(int year, int month, int day)
{
    std::tm date{};
    date.tm_year = year - 1900;
    date.tm_mon = month - 1;
    date.tm_mday = day;
    return date;
}

struct BaseNameCase
{
    const char* name;
    std::string path;
    std::string baseName;
};

class ResultBaseNameTest : public testing::TestWithParam<BaseNameCase>
{
};

TEST_P(ResultBaseNameTest, CutsFolderAndLastExtension)
{
    EXPECT_EQ(keywords::ResultBaseName(GetParam().path), GetParam().baseName);
}

INSTANTIATE_TEST_SUITE_P(
    Paths, ResultBaseNameTest,
    testing::Values(BaseNameCase{"NeverSaved", "", ""},
                    BaseNameCase{"Plain", "/lists/drama.txt", "drama"},
                    BaseNameCase{"DotInFolderOnly", "/my.lists/drama", "drama"},
                    BaseNameCase{"TwoDots", "/lists/news.2026.txt", "news.2026"},
                    BaseNameCase{"OnlyExtension", "/lists/.txt", ""},
                    BaseNameCase{"NoFolder", "anime.txt", "anime"},
                    BaseNameCase{"Japanese", "/lists/ドラマ.txt", "ドラマ"}),
    testing_support::CaseName());

TEST(ResultPathTest, SavedDocumentNamesThePageAfterItsFile)
{
    testing_support::CTempDir dir;
    CVistrelDoc doc;
    ASSERT_TRUE(doc.OnSaveDocument(dir.File("drama.txt")));
    doc.MakeResultPath("/opt/Vistrel/Cache/", "medora", "東京", MakeDate(2026, 12, 8));
    EXPECT_EQ(doc.GetResultPath(), "/opt/Vistrel/Cache/drama_東京_20261208_medora.html");
    EXPECT_FALSE(doc.IsModified());
}

TEST(ResultPathTest, UnsavedDocumentGivesLeadingUnderscore)
{
    CVistrelDoc doc;
    testing_support::SetKeywords(doc, {"a"});
    doc.MakeResultPath("/c/", "medora", "北海道", MakeDate(2026, 3, 4));
    EXPECT_EQ(doc.GetResultPath(), "/c/_北海道_20260304_medora.html");
    EXPECT_FALSE(doc.IsModified());
}

TEST(ResultPathTest, RunWithoutDateUsesTodaysLocalDate)
{
    CVistrelDoc doc;
    const QString before = QDate::currentDate().toString(QStringLiteral("yyyyMMdd"));
    doc.MakeResultPath("/c/", "p", "r");
    const QString after = QDate::currentDate().toString(QStringLiteral("yyyyMMdd"));
    const std::string path = doc.GetResultPath();
    EXPECT_TRUE(path == "/c/_r_" + before.toStdString() + "_p.html" ||
                path == "/c/_r_" + after.toStdString() + "_p.html")
        << path;
}

} // namespace
