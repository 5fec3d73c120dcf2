#include "view_fixture.h"

#include "case_name.h"
#include "keywords/view/keyword_text.h"
#include "platform/cp932.h"

#include <QApplication>
#include <QTest>

#include <gtest/gtest.h>

namespace view_tests {
namespace {

enum class Outcome { Stored, Ignored, Duplicate, NotEncodable };

struct LabelCase
{
    const char* name;
    int row;
    const char* typed;
    Outcome outcome;
};

class ViewLabelEditTest : public ViewTest, public testing::WithParamInterface<LabelCase>
{
};

// Renames a row as the user does: the editor opens on it, the text is typed, and a click
// elsewhere confirms it.
TEST_P(ViewLabelEditTest, StoresOnlyAcceptableLabels)
{
    const LabelCase& c = GetParam();
    const Texts before = Cp932List({"Drama", "ニュース", "Ｆｏｏ", "新規ｷｰﾜｰﾄﾞ"});
    Load(before);
    m_view->editItem(m_view->topLevelItem(c.row), 0);
    Type(QString::fromUtf8(c.typed));
    FocusElsewhere();

    Texts expected = before;
    if (c.outcome == Outcome::Stored)
        expected[static_cast<std::size_t>(c.row)] = Cp932(c.typed);
    EXPECT_EQ(Rows(), expected);
    ExpectRowsEqualDocument();
    EXPECT_EQ(m_doc.IsModified(), c.outcome == Outcome::Stored);

    const bool refused = c.outcome == Outcome::Duplicate || c.outcome == Outcome::NotEncodable;
    ASSERT_EQ(m_messages.size(), refused ? 1 : 0) << m_messages.join('|').toStdString();
    if (!refused) {
        EXPECT_EQ(Editor(), nullptr);
        return;
    }
    if (c.outcome == Outcome::Duplicate) {
        EXPECT_EQ(m_messages[0], keywords::kDuplicateKeywordText);
    } else {
        EXPECT_TRUE(m_messages[0].endsWith(keywords::kChooseAnotherText));
        EXPECT_TRUE(m_messages[0].contains(QString::fromUtf8(c.typed).right(2)))
            << "the message names the character: " << m_messages[0].toStdString();
    }
    // The editor is open again on the same row, with the row's text.
    EXPECT_EQ(EditedRow(), c.row);
    ASSERT_NE(Editor(), nullptr);
    EXPECT_EQ(Editor()->text().toStdString(),
              platform::Cp932ToUtf8(before[static_cast<std::size_t>(c.row)]));
}

INSTANTIATE_TEST_SUITE_P(
    Labels, ViewLabelEditTest,
    testing::Values(LabelCase{"NewText", 0, "ドラマ", Outcome::Stored},
                    LabelCase{"SameAsOtherRow", 0, "ニュース", Outcome::Duplicate},
                    LabelCase{"OtherRowInOtherCase", 1, "ｆｏｏ", Outcome::Duplicate},
                    LabelCase{"AsciiOtherCaseOfOtherRow", 1, "drama", Outcome::Duplicate},
                    LabelCase{"DefaultNameOfOtherRow", 0, "新規ｷｰﾜｰﾄﾞ", Outcome::Duplicate},
                    LabelCase{"OwnTextUnchanged", 0, "Drama", Outcome::Ignored},
                    LabelCase{"OwnTextInOtherCase", 0, "DRAMA", Outcome::Stored},
                    LabelCase{"FullWidthCaseOnly", 2, "ＦＯＯ", Outcome::Stored},
                    LabelCase{"Empty", 1, "", Outcome::Ignored},
                    LabelCase{"NotInCodePage932", 1, "ニュース😀", Outcome::NotEncodable},
                    LabelCase{"OtherRowWithSpace", 0, "ニュース ", Outcome::Stored}),
    testing_support::CaseName());

} // namespace
} // namespace view_tests

namespace view_tests {
namespace {

struct FinishCase
{
    const char* name;
    bool open;
    const char* typed;
    bool stored;
    bool refused;
};

class ViewFinishEditTest : public ViewTest, public testing::WithParamInterface<FinishCase>
{
};

// The window ends an edit this way before it saves or searches.
TEST_P(ViewFinishEditTest, TellsWhetherTheEditWasTaken)
{
    const FinishCase& c = GetParam();
    Load({"a", "b"});
    if (c.open) {
        m_view->editItem(m_view->topLevelItem(1), 0);
        Type(QString::fromUtf8(c.typed));
    }
    EXPECT_EQ(m_view->FinishLabelEdit(), !c.refused);
    EXPECT_EQ(m_view->GetRowText(1), c.stored ? c.typed : "b");
    ExpectRowsEqualDocument();
    EXPECT_EQ(m_messages.size(), c.refused ? 1 : 0);
    // A refused edit is open again, immediately; a taken one is closed.
    EXPECT_EQ(EditedRow(), c.refused ? 1 : -1);
    Settle();
    EXPECT_EQ(m_messages.size(), c.refused ? 1 : 0) << "shown once";
}

INSTANTIATE_TEST_SUITE_P(Finishes, ViewFinishEditTest,
                         testing::Values(FinishCase{"NothingOpen", false, "", false, false},
                                         FinishCase{"Taken", true, "c", true, false},
                                         FinishCase{"Unchanged", true, "b", false, false},
                                         FinishCase{"Duplicate", true, "A", false, true},
                                         FinishCase{"NotEncodable", true, "\u00e9", false, true}),
                         testing_support::CaseName());

TEST_F(ViewTest, FinishShowsARefusalStillWaiting)
{
    Load({"a", "b"});
    m_view->editItem(m_view->topLevelItem(1), 0);
    Type(QStringLiteral("A"));
    m_elsewhere->setFocus(Qt::MouseFocusReason); // the refusal waits for the event loop
    EXPECT_FALSE(m_view->FinishLabelEdit());
    EXPECT_EQ(m_messages.size(), 1);
    EXPECT_EQ(EditedRow(), 1);
    Settle();
    EXPECT_EQ(m_messages.size(), 1) << "shown once";
    EXPECT_EQ(EditedRow(), 1);
}

// A click on the keyword of the row that is already selected opens the editor; the status
// column cannot be edited.
TEST_F(ViewTest, ClickOnTheSelectedKeywordEdits)
{
    Load({"a", "b"});
    QTreeWidgetItem* item = m_view->topLevelItem(1);
    const QRect keyword = m_view->visualRect(m_view->indexFromItem(item, 0));
    const QRect status = m_view->visualRect(m_view->indexFromItem(item, 1));
    const int wait = QApplication::doubleClickInterval() + 100;

    QTest::mouseClick(m_view->viewport(), Qt::LeftButton, {}, keyword.center());
    QTest::qWait(wait);
    EXPECT_EQ(SelectedRows(), std::vector<int>{1});
    EXPECT_EQ(Editor(), nullptr) << "the first click only selects";

    QTest::mouseClick(m_view->viewport(), Qt::LeftButton, {}, status.center());
    QTest::qWait(wait);
    EXPECT_EQ(Editor(), nullptr) << "the status is not editable";

    QTest::mouseClick(m_view->viewport(), Qt::LeftButton, {}, keyword.center());
    QTest::qWait(wait);
    EXPECT_EQ(EditedRow(), 1);
}

} // namespace
} // namespace view_tests
