// The list's commands on the selection and the in-place editor: what they leave in the list,
// the document and on screen, and how a refused edit is shown and reopened.
#include "list_window.h"

#include "case_name.h"
#include "keywords/keyword_text.h"

#include <QTest>

#include <gtest/gtest.h>

#include <functional>

namespace view_tests {
namespace {

struct EditCase
{
    const char* name;
    const char* start;
    std::function<void(ListWindow&)> steps;
    const char* rows;
    const char* selected;
    int edited;
    bool modified;
    char message; // 0: none; D: duplicate, I: an index the document refuses
};

class EditTest : public testing::TestWithParam<EditCase>
{
};

bool IsMessage(char kind, const QString& text)
{
    if (kind == 'D')
        return text == keywords::kDuplicateKeywordText;
    return text.toStdString() == CVistrelDoc::kInvalidArgumentText;
}

TEST_P(EditTest, LeavesTheseRows)
{
    const EditCase& c = GetParam();
    ListWindow list;
    list.Load(Cp932List(c.start));
    c.steps(list);
    list.Settle();
    if (c.message == 'I') {
        EXPECT_EQ(list.Shown(), c.rows) << "the rows the document lacks stay";
    } else {
        EXPECT_EQ(list.Rows(), Cp932List(c.rows));
        EXPECT_EQ(list.Rows(), list.doc.GetKeywords());
    }
    EXPECT_EQ(list.SelectedRows(), c.selected);
    EXPECT_EQ(list.EditedRow(), c.edited);
    EXPECT_EQ(list.doc.IsModified(), c.modified);
    ASSERT_EQ(list.messages.size(), c.message ? 1 : 0)
        << list.messages.join(QLatin1Char('|')).toStdString();
    if (c.message) {
        EXPECT_TRUE(IsMessage(c.message, list.messages[0])) << list.messages[0].toStdString();
    }
    // A refused edit opens again with the row's own text.
    if (c.edited >= 0 && c.message) {
        ASSERT_NE(list.Editor(), nullptr);
        EXPECT_EQ(list.Editor()->text(), list.model.index(c.edited, 0).data().toString());
    }
}

// Opens the editor on row, types text and clicks elsewhere.
auto Label(int row, const char* utf8)
{
    const QString text = QString::fromUtf8(utf8);
    return [=](ListWindow& list) {
        list.Edit(row);
        list.Type(text);
        list.ClickElsewhere();
    };
}
// Opens the editor on row, types text and ends the edit as the window does before it saves
// or searches; finished: whether that takes the text.
auto Finish(int row, const char* utf8, bool finished, bool settleFirst = true)
{
    const QString text = QString::fromUtf8(utf8);
    return [=](ListWindow& list) {
        if (row >= 0) {
            list.Edit(row);
            list.Type(text);
        }
        if (!settleFirst)
            list.ClickElsewhere(false); // the refusal is still waiting for the event loop
        EXPECT_EQ(list.view->FinishLabelEdit(), finished);
    };
}
// The document loses its last keyword behind the list's back, then steps run.
auto Shortened(const std::function<void(ListWindow&)>& steps)
{
    return [=](ListWindow& list) {
        ASSERT_TRUE(list.doc.RemoveKeyword(list.doc.GetKeywordCount() - 1));
        steps(list);
    };
}

constexpr char kFour[] = "Drama|ニュース|Ｆｏｏ|新規ｷｰﾜｰﾄﾞ";

INSTANTIATE_TEST_SUITE_P(Commands, EditTest,
                         testing::Values(EditCase{"AddRenameAddCancel", "",
                                                  [](ListWindow& list) {
                                                      list.view->OnAddKeyword();
                                                      list.Type(QStringLiteral("ドラマ"));
                                                      list.ClickElsewhere();
                                                      list.view->OnAddKeyword();
                                                      list.Press(QKeyCombination(Qt::Key_Escape));
                                                  },
                                                  "ドラマ|新規ｷｰﾜｰﾄﾞ", "", -1, true, 0},
                                         EditCase{"DeleteThreeApart", "a|b|c|d|e|f",
                                                  [](ListWindow& list) {
                                                      list.Select({0, 2, 5});
                                                      list.view->OnDeleteKeyword();
                                                  },
                                                  "b|d|e", "", -1, true, 0},
                                         EditCase{"UpTwiceKeepsTheRowSelected", "a|b|c",
                                                  [](ListWindow& list) {
                                                      list.Select({2});
                                                      list.view->OnMoveUp();
                                                      list.view->OnMoveUp();
                                                  },
                                                  "c|a|b", "0", -1, true, 0},
                                         EditCase{"DownTwice", "a|b|c",
                                                  [](ListWindow& list) {
                                                      list.Select({0});
                                                      list.view->OnMoveDown();
                                                      list.view->OnMoveDown();
                                                  },
                                                  "b|c|a", "2", -1, true, 0},
                                         EditCase{"AddWhileEditing", "",
                                                  [](ListWindow& list) {
                                                      list.view->OnAddKeyword();
                                                      list.Type(QStringLiteral("q"));
                                                      list.view->OnAddKeyword();
                                                  },
                                                  "q|新規ｷｰﾜｰﾄﾞ", "", 1, true, 0},
                                         EditCase{"UpWhileEditing", "a|b",
                                                  [](ListWindow& list) {
                                                      list.Select({1});
                                                      list.view->OnAddKeyword();
                                                      list.Type(QStringLiteral("c"));
                                                      list.view->OnMoveUp();
                                                  },
                                                  "b|a|c", "0", -1, true, 0},
                                         EditCase{"DeleteWhileEditingARefusedText", "a|b",
                                                  [](ListWindow& list) {
                                                      list.Select({0});
                                                      list.view->OnAddKeyword();
                                                      list.Type(QStringLiteral("B"));
                                                      list.view->OnDeleteKeyword();
                                                  },
                                                  "a|b|新規ｷｰﾜｰﾄﾞ", "0", 2, true, 'D'},
                                         EditCase{"OutOfRule", "a|b|c",
                                                  [](ListWindow& list) {
                                                      list.Select({0});
                                                      list.view->OnMoveUp();
                                                      list.Select({2});
                                                      list.view->OnMoveDown();
                                                      list.Select({0, 1});
                                                      list.view->OnMoveUp();
                                                      list.view->OnMoveDown();
                                                      list.Select({});
                                                      list.view->OnDeleteKeyword();
                                                  },
                                                  "a|b|c", "", -1, false, 0}),
                         testing_support::CaseName());

INSTANTIATE_TEST_SUITE_P(
    Labels, EditTest,
    testing::Values(
        EditCase{"NewText", kFour, Label(0, "ドラマ"), "ドラマ|ニュース|Ｆｏｏ|新規ｷｰﾜｰﾄﾞ", "", -1,
                 true, 0},
        EditCase{"OtherRow", kFour, Label(0, "ニュース"), kFour, "", 0, false, 'D'},
        EditCase{"FinishNoEdit", "a|b", Finish(-1, "", true), "a|b", "", -1, false, 0},
        EditCase{"FinishTaken", "a|b", Finish(1, "c", true), "a|c", "", -1, true, 0},
        EditCase{"FinishDuplicate", "a|b", Finish(1, "A", false), "a|b", "", 1, false, 'D'},
        EditCase{"FinishWaiting", "a|b", Finish(1, "A", false, false), "a|b", "", 1, false, 'D'}),
    testing_support::CaseName());

// Refused as the document refuses an index out of range; the rows stay.
INSTANTIATE_TEST_SUITE_P(OutOfStep, EditTest,
                         testing::Values(EditCase{"Delete", "a|b|c",
                                                  Shortened([](ListWindow& list) {
                                                      list.Select({2});
                                                      list.view->OnDeleteKeyword();
                                                  }),
                                                  "a|b|c", "2", -1, false, 'I'},
                                         EditCase{"Up", "a|b|c", Shortened([](ListWindow& list) {
                                                      list.Select({2});
                                                      list.view->OnMoveUp();
                                                  }),
                                                  "a|b|c", "2", -1, false, 'I'},
                                         EditCase{"Rename", "a|b|c", Shortened(Label(2, "d")),
                                                  "a|b|c", "", 2, false, 'I'}),
                         testing_support::CaseName());

TEST(ListTest, RebuildDropsMarksSelectionAndAnOpenEdit)
{
    ListWindow list;
    list.Load({"a", "b"});
    list.model.SetRowMark(0, "OK", "");
    list.Select({1});
    list.Edit(0);
    list.Type(QStringLiteral("typed"));
    list.Load({"c", "d", "e"});
    list.Settle();
    EXPECT_EQ(list.Editor(), nullptr);
    EXPECT_EQ(list.Rows(), (Texts{"c", "d", "e"}));
    EXPECT_EQ(list.Marks(), "||");
    EXPECT_EQ(list.SelectedRows(), "");
    EXPECT_FALSE(list.view->OnUpdateDeleteKeyword());
}

// A search run marks rows while the user may be typing in one.
TEST(ListTest, MarkWhileEditingKeepsWhatIsTyped)
{
    ListWindow list;
    list.Load({"a", "b"});
    list.Edit(0);
    list.Type(QStringLiteral("typed"));
    list.model.SetRowMark(0, "NG", "timeout");
    list.Settle();
    ASSERT_NE(list.Editor(), nullptr);
    EXPECT_EQ(list.Editor()->text(), QStringLiteral("typed"));
    list.ClickElsewhere();
    EXPECT_EQ(list.Rows(), (Texts{"typed", "b"}));
    EXPECT_EQ(list.Marks(), "NG|");
}

// A click on the selected row opens the editor, as before F2 did; the list opens it once the
// double-click time has passed, so the test waits for that event rather than a time.
TEST(EditTest, ClickOnSelectedRowStillOpensTheEditor)
{
    ListWindow list;
    list.Load({"a", "b"});
    list.Select({1});
    list.view->setFocus(Qt::MouseFocusReason);
    const QModelIndex row = list.model.index(1, 0);
    QTest::mouseClick(list.view->viewport(), Qt::LeftButton, Qt::NoModifier,
                      list.view->visualRect(row).center());
    while (list.Editor() == nullptr)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    EXPECT_EQ(list.EditedRow(), 1);
    EXPECT_EQ(list.Editor()->text(), QStringLiteral("b"));
}

} // namespace
} // namespace view_tests
