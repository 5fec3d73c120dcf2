#include "view_fixture.h"

#include "case_name.h"

#include <QApplication>
#include <QTest>

#include <gtest/gtest.h>

namespace view_tests {
namespace {

// Not code page 932: a lead byte with nothing after it, a byte never used, a double-byte code
// with no character.
const std::string kLoneLead = "\x81";
const std::string kNeverUsed = "x\xff";
const std::string kNoCharacter = "\x85\x40";

TEST_F(ViewTest, RowsKeepTheirBytesThroughMovesAndEdits)
{
    const std::string longKeyword(3001, 'k');
    Load({kLoneLead, Cp932("ドラマ"), kNeverUsed, kNoCharacter, longKeyword});
    EXPECT_EQ(m_view->topLevelItem(2)->text(0), QStringLiteral("x\uFFFD"));
    // e1 c confirms an undecodable row unchanged: nothing is stored.
    Run("s0 n s4 u u m2=NG s3 n e1 c e0 tニュース c");
    EXPECT_EQ(Rows(), (Texts{Cp932("ニュース"), kLoneLead, longKeyword, kNoCharacter, kNeverUsed}));
    EXPECT_EQ(Marks(), "||NG||");
    EXPECT_TRUE(m_messages.isEmpty());
}

// A run compares rows with IsRowText: it must agree with comparing GetRowText's copy, for
// undecodable bytes, rows out of range and texts that differ only slightly, also after edits.
TEST_F(ViewTest, IsRowTextAgreesWithTheRowsText)
{
    Load({kLoneLead, Cp932("ドラマ"), kNeverUsed, "", "Abc"});
    const Texts texts = {kLoneLead, Cp932("ドラマ"), Cp932("ドラ"), kNeverUsed, "x",
                         "",        "abc",           "Abc",         "Abcd",     Cp932("ニュース")};
    for (int round = 0; round < 2; ++round) {
        for (std::ptrdiff_t row = -1; row <= m_view->GetRowCount(); ++row) {
            for (const std::string& text : texts)
                EXPECT_EQ(m_view->IsRowText(row, text), m_view->GetRowText(row) == text)
                    << "row " << row << " round " << round;
        }
        Run("s0 d e0 tニュース c");
    }
    EXPECT_TRUE(m_view->IsRowText(0, Cp932("ニュース")));
    EXPECT_FALSE(m_view->IsRowText(3, "abc")) << "bytes compare exactly";
}

TEST_F(ViewTest, RebuildDropsMarksSelectionAndAnOpenEdit)
{
    Load({"a", "b"});
    Run("m0=OK s1 e0 ttyped");
    m_doc.m_arrKeywords = {"c", "d", "e"};
    m_view->OnInitialUpdate();
    Settle();
    EXPECT_EQ(Editor(), nullptr);
    EXPECT_EQ(Rows(), (Texts{"c", "d", "e"}));
    EXPECT_EQ(Marks(), "||");
    EXPECT_EQ(SelectedRows(), "");
    EXPECT_FALSE(m_view->OnUpdateDeleteKeyword());
}

// A search run marks rows while the user may be typing in one.
TEST_F(ViewTest, MarkWhileEditingKeepsWhatIsTyped)
{
    Load({"a", "b"});
    Run("e0 ttyped");
    m_view->SetRowMark(0, "NG", "timeout");
    Settle();
    ASSERT_NE(Editor(), nullptr);
    EXPECT_EQ(Editor()->text(), QStringLiteral("typed"));
    Run("c");
    EXPECT_EQ(Rows(), (Texts{"typed", "b"}));
    EXPECT_EQ(Marks(), "NG|");
}

struct MarkCase
{
    const char* name;
    std::ptrdiff_t row;
    const char* mark;
    const char* reason;
    const char* tip; // of row 1; nullptr: row 1 untouched
};

class ViewMarkTest : public ViewTest, public testing::WithParamInterface<MarkCase>
{
};

TEST_P(ViewMarkTest, MarkAndTipOfARow)
{
    const MarkCase& c = GetParam();
    Load(Cp932List("ドラマ|ニュース"));
    m_view->SetRowMark(c.row, c.mark, c.reason);
    const QString tip = QString::fromUtf8(c.tip ? c.tip : "ニュース");
    EXPECT_EQ(m_view->topLevelItem(1)->toolTip(0), tip);
    EXPECT_EQ(m_view->topLevelItem(1)->toolTip(1), tip);
    EXPECT_EQ(m_view->topLevelItem(1)->text(1).toStdString(), c.tip ? c.mark : "");
    EXPECT_EQ(Rows(), Cp932List("ドラマ|ニュース"));
    EXPECT_FALSE(m_doc.IsModified());
}

INSTANTIATE_TEST_SUITE_P(Marks, ViewMarkTest,
                         testing::Values(MarkCase{"OkShowsTheKeyword", 1, "OK", "", "ニュース"},
                                         MarkCase{"NgShowsTheReason", 1, "NG", "HTTP 503",
                                                  "HTTP 503"},
                                         MarkCase{"ClearedShowsTheKeyword", 1, "", "", "ニュース"},
                                         MarkCase{"OtherRow", 0, "NG", "timeout", nullptr},
                                         MarkCase{"NegativeRow", -1, "NG", "timeout", nullptr},
                                         MarkCase{"RowPastTheEnd", 2, "NG", "timeout", nullptr}),
                         testing_support::CaseName());

// A click on the keyword of the row already selected opens the editor; a click on the status
// does not.
TEST_F(ViewTest, ClickOnTheSelectedKeywordEdits)
{
    Load({"a", "b"});
    const QPoint keyword = m_view->visualRect(m_view->model()->index(1, 0)).center();
    const QPoint status = m_view->visualRect(m_view->model()->index(1, 1)).center();
    const int wait = QApplication::doubleClickInterval() + 100;
    QTest::mouseClick(m_view->viewport(), Qt::LeftButton, {}, keyword);
    QTest::qWait(wait);
    EXPECT_EQ(SelectedRows(), "1");
    EXPECT_EQ(Editor(), nullptr);
    QTest::mouseClick(m_view->viewport(), Qt::LeftButton, {}, status);
    QTest::qWait(wait);
    EXPECT_EQ(Editor(), nullptr);
    QTest::mouseClick(m_view->viewport(), Qt::LeftButton, {}, keyword);
    QTest::qWait(wait);
    EXPECT_EQ(EditedRow(), 1);
}

} // namespace
} // namespace view_tests
