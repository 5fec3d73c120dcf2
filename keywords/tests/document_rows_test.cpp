#include "keywords/document_rows.h"
#include "keywords/vistrel_doc.h"

#include "case_name.h"
#include "platform/tests/temp_dir.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// 花火, 温泉 and ドラマ in code page 932.
constexpr char kHanabi[] = "\x89\xD4\x89\xCE";
constexpr char kOnsen[] = "\x89\xB7\x90\xF2";
constexpr char kDrama[] = "\x83\x68\x83\x89\x83\x7D";

struct RowCase
{
    const char* name;
    std::string file;
    std::ptrdiff_t row;
    std::string shown;    // ToUtf8 of the row's text
    const char* searched; // GetRowSearchText; nullptr: none, the reason holds why
    const char* why;
};

class DocumentRowsTextTest : public testing::TestWithParam<RowCase>
{
};

// Batch mode searches the document's rows: each keyword reaches the plug-in as code page 932
// and the terminal as UTF-8, whichever encoding the file was read in.
TEST_P(DocumentRowsTextTest, SearchesAndShowsTheKeywordAsWritten)
{
    const RowCase& c = GetParam();
    testing_support::CTempDir dir;
    const std::string path = dir.File("list.txt");
    testing_support::WriteFileBytes(path, c.file);
    CVistrelDoc doc;
    ASSERT_TRUE(doc.OnOpenDocument(path));
    const keywords::DocumentRows rows(doc);

    EXPECT_EQ(rows.ToUtf8(rows.GetRowText(c.row)), c.shown);
    const platform::Result<std::string> search = rows.GetRowSearchText(c.row);
    if (c.searched) {
        EXPECT_TRUE(search) << search.error;
        EXPECT_EQ(search.value, c.searched);
        EXPECT_EQ(search.error, "");
    } else {
        EXPECT_FALSE(search) << search.value;
        EXPECT_NE(search.error.find(c.why), std::string::npos) << search.error;
    }
}

const std::string kUtf8File = "花火\n温泉\n番組😀\n\nドラマ";
const std::string kCp932File = std::string(kHanabi) + "\r\n\x81\r\n" + kDrama + "\r\n";

INSTANTIATE_TEST_SUITE_P(
    Rows, DocumentRowsTextTest,
    testing::Values(
        RowCase{"Utf8First", kUtf8File, 0, "花火", kHanabi, nullptr},
        RowCase{"Utf8Second", kUtf8File, 1, "温泉", kOnsen, nullptr},
        RowCase{"Utf8NotInCp932", kUtf8File, 2, "番組😀", nullptr, "😀"},
        RowCase{"Utf8Empty", kUtf8File, 3, "", "", nullptr},
        RowCase{"Utf8Last", kUtf8File, 4, "ドラマ", kDrama, nullptr},
        RowCase{"Utf8OutOfRange", kUtf8File, 5, "", "", nullptr},
        RowCase{"BomIsNoPartOfTheKeyword", "\xEF\xBB\xBF花火\r\n", 0, "花火", kHanabi, nullptr},
        RowCase{"BomThenBadBytes", "\xEF\xBB\xBF\x81z\r\n", 0, "\uFFFDz", nullptr, "UTF-8"},
        RowCase{"Cp932", kCp932File, 0, "花火", kHanabi, nullptr},
        RowCase{"Cp932BadByteAsItIs", kCp932File, 1, "\uFFFD", "\x81", nullptr},
        RowCase{"Cp932Last", kCp932File, 2, "ドラマ", kDrama, nullptr},
        // Valid as both: read, searched and shown as code page 932.
        RowCase{"AmbiguousStaysCp932", "花火\n", 0, "闃ｱ轣ｫ", "花火", nullptr}),
    testing_support::CaseName());

// A run marks the first row holding a finished job's keyword; batch mode answers that from
// an index, which must agree with a walk from row 0 (repeats and empty lines included).
TEST(DocumentRowsFirstRow, AgreesWithAWalkFromTheFirstRow)
{
    testing_support::CTempDir dir;
    const std::string path = dir.File("list.txt");
    testing_support::WriteFileBytes(path, "a\r\nb\r\n\r\na\r\nB\r\nb\r\n\r\nc\r\n");
    CVistrelDoc doc;
    ASSERT_TRUE(doc.OnOpenDocument(path));
    const keywords::DocumentRows rows(doc);
    const struct
    {
        const char* text;
        std::ptrdiff_t row;
    } cases[] = {{"a", 0}, {"b", 1}, {"", 2}, {"B", 4}, {"c", 7}, {"A", -1}, {"d", -1}};
    for (const auto& c : cases) {
        std::ptrdiff_t walked = -1;
        for (std::ptrdiff_t row = 0; row < rows.GetRowCount() && walked < 0; ++row)
            walked = rows.IsRowText(row, c.text) ? row : -1;
        EXPECT_EQ(walked, c.row) << "the case table itself, for \"" << c.text << '"';
        EXPECT_EQ(rows.FirstRowOf(c.text), c.row) << c.text;
    }
}

} // namespace
