#include "view_fixture.h"

#include "case_name.h"
#include "keywords/view/keyword_text.h"

#include <gtest/gtest.h>

namespace view_tests {
namespace {

// UTF-8 texts of a "|"-separated list, bytes as they are.
Texts Utf8List(std::string_view list)
{
    Texts texts;
    for (std::size_t start = 0; start <= list.size();) {
        const std::size_t end = std::min(list.find('|', start), list.size());
        texts.emplace_back(list.substr(start, end - start));
        start = end + 1;
    }
    return texts;
}

struct ShownCase
{
    const char* name;
    std::string file;
    const char* shown; // column 0 of the rows, "|"-separated
};

class ViewShownTest : public ViewTest, public testing::WithParamInterface<ShownCase>
{
};

// The list shows a keyword file as the text its encoding makes of it, and its tip the same.
TEST_P(ViewShownTest, ShowsTheKeywordsAsWritten)
{
    LoadFile(GetParam().file);
    QStringList shown;
    for (int row = 0; row < m_view->topLevelItemCount(); ++row) {
        shown.append(m_view->topLevelItem(row)->text(0));
        EXPECT_EQ(m_view->topLevelItem(row)->toolTip(0), shown.back());
    }
    EXPECT_EQ(shown.join(QLatin1Char('|')), QString::fromUtf8(GetParam().shown));
    EXPECT_EQ(Rows(), m_doc.m_arrKeywords);
}

INSTANTIATE_TEST_SUITE_P(
    Files, ViewShownTest,
    testing::Values(ShownCase{"Utf8", "花火\n温泉\n番組😀\n", "花火|温泉|番組😀"},
                    ShownCase{"Utf8Bom", "\xEF\xBB\xBFドラマ\r\nnews\r\n", "ドラマ|news"},
                    ShownCase{"Utf8BomBadBytes", "\xEF\xBB\xBF\x81z\r\n", "\uFFFDz"},
                    ShownCase{"Cp932", "\x89\xD4\x89\xCE\r\n\x83\x68\x83\x89\x83\x7D\r\n",
                              "花火|ドラマ"},
                    ShownCase{"ValidAsBothIsCp932", "花火\n", "闃ｱ轣ｫ"}),
    testing_support::CaseName());

// A search from the window takes the rows' keywords in code page 932, each in its own right.
TEST_F(ViewTest, Utf8RowsAreSearchedAsCodePage932)
{
    LoadFile("花火\n番組😀\nドラマ\n");
    Run("s2 u");
    const platform::Result<std::string> hanabi = m_view->GetRowSearchText(0);
    EXPECT_TRUE(hanabi) << hanabi.error;
    EXPECT_EQ(hanabi.value, "\x89\xD4\x89\xCE");
    const platform::Result<std::string> drama = m_view->GetRowSearchText(1);
    EXPECT_TRUE(drama) << drama.error;
    EXPECT_EQ(drama.value, "\x83\x68\x83\x89\x83\x7D");
    const platform::Result<std::string> emoji = m_view->GetRowSearchText(2);
    EXPECT_FALSE(emoji);
    EXPECT_NE(emoji.error.find("U+1F600"), std::string::npos) << emoji.error;
    EXPECT_EQ(m_view->ToUtf8(m_view->GetRowText(2)), "番組😀");
    const platform::Result<std::string> empty = m_view->GetRowSearchText(3);
    EXPECT_TRUE(empty) << empty.error;
    EXPECT_EQ(empty.value, "");
}

// A lone surrogate has no form in either encoding; it must not turn into "?" on the way.
TEST_F(ViewTest, LoneSurrogateIsRefusedInBothEncodings)
{
    for (const std::string_view file : {std::string_view("a\r\n"), std::string_view("温泉\n")}) {
        m_messages.clear();
        LoadFile(file);
        const Texts before = Rows();
        Run("e0");
        ASSERT_NE(Editor(), nullptr);
        Editor()->setText(QStringLiteral("x") + QChar(0xD800) + QStringLiteral("y"));
        Run("c");
        EXPECT_EQ(Rows(), before);
        EXPECT_FALSE(m_doc.IsModified());
        ASSERT_EQ(m_messages.size(), 1);
        EXPECT_TRUE(m_messages[0].endsWith(keywords::kChooseAnotherText));
    }
}

struct Utf8ScriptCase
{
    const char* name;
    const char* script;
    const char* rows; // UTF-8, "|"-separated
    bool modified;
    char message; // 0: none; D: duplicate
};

class ViewUtf8EditTest : public ViewTest, public testing::WithParamInterface<Utf8ScriptCase>
{
};

// In a document read as UTF-8 any text can be typed; it is kept, and saved, as UTF-8.
TEST_P(ViewUtf8EditTest, KeepsWhatIsTypedAsUtf8)
{
    const Utf8ScriptCase& c = GetParam();
    const std::string path = LoadFile("花火\n温泉\n");
    Run(c.script);
    EXPECT_EQ(Rows(), Utf8List(c.rows));
    EXPECT_EQ(m_doc.IsModified(), c.modified);
    ASSERT_EQ(m_messages.size(), c.message ? 1 : 0)
        << m_messages.join(QLatin1Char('|')).toStdString();
    if (c.message == 'D') {
        EXPECT_EQ(m_messages[0], keywords::kDuplicateKeywordText);
    }
    ASSERT_TRUE(m_doc.OnSaveDocument(path));
    std::string saved;
    for (const std::string& row : Utf8List(c.rows))
        saved += row + "\r\n";
    EXPECT_EQ(testing_support::ReadFileBytes(path), saved);
}

INSTANTIATE_TEST_SUITE_P(
    Labels, ViewUtf8EditTest,
    testing::Values(Utf8ScriptCase{"OutsideCp932", "e0 t番組😀 c", "番組😀|温泉", true, 0},
                    Utf8ScriptCase{"Hangul", "e1 t한국 c", "花火|한국", true, 0},
                    Utf8ScriptCase{"Add", "a c", "花火|温泉|新規ｷｰﾜｰﾄﾞ", true, 0},
                    Utf8ScriptCase{"AddThenRename", "a t温泉😀 c", "花火|温泉|温泉😀", true, 0},
                    Utf8ScriptCase{"Duplicate", "e0 t温泉 c", "花火|温泉", false, 'D'}),
    testing_support::CaseName());

} // namespace
} // namespace view_tests
