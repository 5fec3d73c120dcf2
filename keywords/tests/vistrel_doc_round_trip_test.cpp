#include "keywords/vistrel_doc.h"

#include "case_name.h"
#include "platform/tests/temp_dir.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using testing_support::ReadFileBytes;
using testing_support::WriteFileBytes;

class DocEncodingTest : public testing::Test
{
protected:
    testing_support::CTempDir m_dir;
    CVistrelDoc m_doc;
};

using keywords::FileEncoding;
using keywords::TextEncoding;

constexpr FileEncoding kUtf8{TextEncoding::Utf8, false};
constexpr FileEncoding kUtf8Bom{TextEncoding::Utf8, true};

struct RoundTripCase
{
    const char* name;
    std::string fileBytes;
    std::vector<std::string> keywords;
    std::string savedBytes;
    FileEncoding encoding = {};
};

class DocRoundTripTest : public DocEncodingTest, public testing::WithParamInterface<RoundTripCase>
{
};

TEST_P(DocRoundTripTest, OpensKeywordsAndSavesCrLfLines)
{
    const std::string path = m_dir.File("list.txt");
    WriteFileBytes(path, GetParam().fileBytes);

    const platform::Result<> opened = m_doc.OnOpenDocument(path);
    ASSERT_TRUE(opened) << opened.error;
    EXPECT_EQ(m_doc.m_arrKeywords, GetParam().keywords);
    EXPECT_EQ(m_doc.GetEncoding(), GetParam().encoding);

    const platform::Result<> saved = m_doc.OnSaveDocument(path);
    ASSERT_TRUE(saved) << saved.error;
    EXPECT_EQ(ReadFileBytes(path), GetParam().savedBytes);
    EXPECT_EQ(m_doc.GetEncoding(), GetParam().encoding);

    // Saved under another name, the file keeps its encoding too.
    const std::string other = m_dir.File("other.txt");
    ASSERT_TRUE(m_doc.OnSaveDocument(other));
    EXPECT_EQ(ReadFileBytes(other), GetParam().savedBytes);
}

INSTANTIATE_TEST_SUITE_P(
    KeywordFiles, DocRoundTripTest,
    testing::Values(RoundTripCase{"EmptyFile", "", {}, ""},
                    RoundTripCase{"EmptyLineKept", "a\r\n\r\nb", {"a", "", "b"}, "a\r\n\r\nb\r\n"},
                    RoundTripCase{"LfOnly", "a\nb\n", {"a", "b"}, "a\r\nb\r\n"},
                    RoundTripCase{"LoneCr", "a\rb\r", {"a", "b"}, "a\r\nb\r\n"},
                    RoundTripCase{"DuplicatesKept", "x\r\nx\r\n", {"x", "x"}, "x\r\nx\r\n"},
                    RoundTripCase{"SpacesKept", " word \r\n", {" word "}, " word \r\n"},
                    RoundTripCase{"InvalidCp932Survives",
                                  "\x81\r\n\xFF\xFE",
                                  {"\x81", "\xFF\xFE"},
                                  "\x81\r\n\xFF\xFE\r\n"}),
    testing_support::CaseName());

// What today's editors write: UTF-8, some with a byte order mark. Keywords stay in the file's
// bytes (the rows convert them for the screen and the search), and a save writes the same
// encoding back.
INSTANTIATE_TEST_SUITE_P(
    Utf8Files, DocRoundTripTest,
    testing::Values(
        RoundTripCase{"FromPrintf", "花火\n温泉\n", {"花火", "温泉"}, "花火\r\n温泉\r\n", kUtf8},
        RoundTripCase{"OutsideCp932", "番組😀\n", {"番組😀"}, "番組😀\r\n", kUtf8},
        RoundTripCase{"Bom", "\xEF\xBB\xBF花火\r\n", {"花火"}, "\xEF\xBB\xBF花火\r\n", kUtf8Bom},
        RoundTripCase{"BomOnly", "\xEF\xBB\xBF", {}, "\xEF\xBB\xBF", kUtf8Bom},
        // The mark decides: bytes that are no UTF-8 after it still survive a round trip.
        RoundTripCase{"BomThenBadBytes",
                      "\xEF\xBB\xBF\x81\xFF\n",
                      {"\x81\xFF"},
                      "\xEF\xBB\xBF\x81\xFF\r\n",
                      kUtf8Bom},
        // UTF-8 that is code page 932 as well is read as the program always read it.
        RoundTripCase{"AlsoCp932", "花火\n", {"花火"}, "花火\r\n"}),
    testing_support::CaseName());

TEST_F(DocEncodingTest, NewAndFailedReadsAreCodePage932Again)
{
    const std::string path = m_dir.File("utf8.txt");
    WriteFileBytes(path, "\xEF\xBB\xBF花火\n");
    ASSERT_TRUE(m_doc.OnOpenDocument(path));
    ASSERT_EQ(m_doc.GetEncoding(), kUtf8Bom);
    ASSERT_TRUE(m_doc.OnNewDocument());
    EXPECT_EQ(m_doc.GetEncoding(), FileEncoding{});
    m_doc.AddKeyword("a");
    ASSERT_TRUE(m_doc.OnSaveDocument(path));
    EXPECT_EQ(ReadFileBytes(path), "a\r\n");

    // A file that cannot be opened leaves the document, its encoding included, as it was.
    WriteFileBytes(path, "温泉\n");
    ASSERT_TRUE(m_doc.OnOpenDocument(path));
    EXPECT_FALSE(m_doc.OnOpenDocument(m_dir.File("none.txt")));
    EXPECT_EQ(m_doc.GetEncoding(), kUtf8);
}

} // namespace
