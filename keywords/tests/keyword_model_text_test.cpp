// What the model shows of a keyword's bytes, and the bytes it gives a run, in both encodings.
#include "model_fixture.h"

#include "case_name.h"

#include <QStringList>

#include <gtest/gtest.h>

namespace model_tests {
namespace {

// Not code page 932: a lead byte with nothing after it, a byte never used, a double-byte code
// with no character.
const std::string kLoneLead = "\x81";
const std::string kNeverUsed = "x\xff";
const std::string kNoCharacter = "\x85\x40";

struct ShownCase
{
    const char* name;
    std::string file;
    const char* shown; // column 0 of the rows, "|"-separated
};

class ShownTest : public ModelTest, public testing::WithParamInterface<ShownCase>
{
};

// The list shows a keyword file as the text its encoding makes of it, and its tip the same.
TEST_P(ShownTest, ShowsTheKeywordsAsWritten)
{
    LoadFile(GetParam().file);
    QStringList shown;
    for (int row = 0; row < m_model.rowCount(); ++row) {
        shown.append(Data(row, 0).toString());
        EXPECT_EQ(Data(row, 0, Qt::ToolTipRole), shown.back());
        EXPECT_EQ(Data(row, 0, Qt::EditRole), shown.back());
    }
    EXPECT_EQ(shown.join(QLatin1Char('|')), QString::fromUtf8(GetParam().shown));
}

INSTANTIATE_TEST_SUITE_P(
    Files, ShownTest,
    testing::Values(ShownCase{"Utf8", "花火\n温泉\n番組😀\n", "花火|温泉|番組😀"},
                    ShownCase{"Utf8Bom", "\xEF\xBB\xBFドラマ\r\nnews\r\n", "ドラマ|news"},
                    ShownCase{"Utf8BomBadBytes", "\xEF\xBB\xBF\x81z\r\n", "\uFFFDz"},
                    ShownCase{"Cp932", "\x89\xD4\x89\xCE\r\n\x83\x68\x83\x89\x83\x7D\r\n",
                              "花火|ドラマ"},
                    ShownCase{"ValidAsBothIsCp932", "花火\n", "闃ｱ轣ｫ"},
                    ShownCase{"NotCp932", "\x81\r\nx\xff\r\n", "\uFFFD|x\uFFFD"}),
    testing_support::CaseName());

// A search takes the rows' keywords in code page 932, each in its own right.
TEST_F(ModelTest, Utf8RowsAreSearchedAsCodePage932)
{
    LoadFile("花火\n番組😀\nドラマ\n");
    ASSERT_TRUE(m_model.MoveRow(2, 1));
    const platform::Result<std::string> hanabi = m_model.GetRowSearchText(0);
    EXPECT_TRUE(hanabi) << hanabi.error;
    EXPECT_EQ(hanabi.value, "\x89\xD4\x89\xCE");
    const platform::Result<std::string> drama = m_model.GetRowSearchText(1);
    EXPECT_TRUE(drama) << drama.error;
    EXPECT_EQ(drama.value, "\x83\x68\x83\x89\x83\x7D");
    const platform::Result<std::string> emoji = m_model.GetRowSearchText(2);
    EXPECT_FALSE(emoji);
    EXPECT_NE(emoji.error.find("U+1F600"), std::string::npos) << emoji.error;
    EXPECT_EQ(m_model.ToUtf8(m_model.GetRowText(2)), "番組😀");
    const platform::Result<std::string> empty = m_model.GetRowSearchText(3);
    EXPECT_TRUE(empty) << empty.error;
    EXPECT_EQ(empty.value, "");
}

// Bytes that show as U+FFFD reach the search and the file unchanged, through moves and edits;
// confirming such a row's shown text stores nothing.
TEST_F(ModelTest, RowsKeepTheirBytesThroughMovesAndEdits)
{
    const std::string longKeyword(3001, 'k');
    Load({kLoneLead, Cp932("ドラマ"), kNeverUsed, kNoCharacter, longKeyword});
    EXPECT_EQ(Data(2, 0), QStringLiteral("x\uFFFD"));
    ASSERT_TRUE(m_model.MoveRow(0, 1));
    ASSERT_TRUE(m_model.MoveRow(4, 3));
    ASSERT_TRUE(m_model.MoveRow(3, 2));
    m_model.SetRowMark(2, "NG", "");
    ASSERT_TRUE(m_model.MoveRow(3, 4));
    EXPECT_EQ(m_model.Rename(1, Data(1, 0).toString()).outcome,
              keywords::EditResult::Outcome::Unchanged);
    EXPECT_EQ(m_model.Rename(0, QStringLiteral("ニュース")).outcome,
              keywords::EditResult::Outcome::Taken);
    EXPECT_EQ(Rows(), (Texts{Cp932("ニュース"), kLoneLead, longKeyword, kNoCharacter, kNeverUsed}));
    EXPECT_EQ(Marks(), "||NG||");
}

// A run may compare rows with IsRowText or GetRowText's copy: they must agree, for
// undecodable bytes, rows out of range and texts that differ only slightly, also after edits.
TEST_F(ModelTest, IsRowTextAgreesWithTheRowsText)
{
    Load({kLoneLead, Cp932("ドラマ"), kNeverUsed, "", "Abc"});
    const Texts texts = {kLoneLead, Cp932("ドラマ"), Cp932("ドラ"), kNeverUsed, "x",
                         "",        "abc",           "Abc",         "Abcd",     Cp932("ニュース")};
    for (int round = 0; round < 2; ++round) {
        for (std::ptrdiff_t row = -1; row <= m_model.GetRowCount(); ++row) {
            for (const std::string& text : texts)
                EXPECT_EQ(m_model.IsRowText(row, text), m_model.GetRowText(row) == text)
                    << "row " << row << " round " << round;
        }
        ASSERT_TRUE(m_model.removeRows(0, 1));
        ASSERT_EQ(m_model.Rename(0, QStringLiteral("ニュース")).outcome,
                  keywords::EditResult::Outcome::Taken);
    }
    EXPECT_TRUE(m_model.IsRowText(0, Cp932("ニュース")));
    EXPECT_FALSE(m_model.IsRowText(2, "abc")) << "bytes compare exactly";
}

} // namespace
} // namespace model_tests
