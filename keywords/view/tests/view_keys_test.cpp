// The window's keys in the list and in its in-place editor.
#include "list_window.h"

#include "case_name.h"
#include "keywords/keyword_text.h"

#include <gtest/gtest.h>

#include <functional>

namespace view_tests {
namespace {

struct KeyCase
{
    const char* name;
    const char* start;
    std::function<void(ListWindow&)> before;
    QKeyCombination key;
    const char* rows;
    const char* selected;
    int edited;
    int stops;
    bool duplicate; // the duplicate refusal was shown
};

class KeyTest : public testing::TestWithParam<KeyCase>
{
};

TEST_P(KeyTest, ReachesItsCommandOrTheEditor)
{
    const KeyCase& c = GetParam();
    ListWindow list;
    list.Load(Cp932List(c.start));
    c.before(list);
    list.Press(c.key);
    EXPECT_EQ(list.Rows(), Cp932List(c.rows));
    EXPECT_EQ(list.Rows(), list.doc.GetKeywords());
    EXPECT_EQ(list.SelectedRows(), c.selected);
    EXPECT_EQ(list.EditedRow(), c.edited);
    EXPECT_EQ(list.stops, c.stops);
    ASSERT_EQ(list.messages.size(), c.duplicate ? 1 : 0)
        << list.messages.join(QLatin1Char('|')).toStdString();
    if (c.duplicate) {
        EXPECT_EQ(list.messages[0], keywords::kDuplicateKeywordText);
        ASSERT_NE(list.Editor(), nullptr) << "the editor opens again";
        EXPECT_EQ(list.Editor()->text(), list.model.index(c.edited, 0).data().toString());
    }
}

const QKeyCombination kEnter(Qt::Key_Return);
const QKeyCombination kCtrlA(Qt::ControlModifier, Qt::Key_A);
const QKeyCombination kDel(Qt::Key_Delete);
const QKeyCombination kShiftUp(Qt::ShiftModifier, Qt::Key_Up);
const QKeyCombination kShiftDown(Qt::ShiftModifier, Qt::Key_Down);
const QKeyCombination kEsc(Qt::Key_Escape);
const QKeyCombination kF2(Qt::Key_F2);

void Nothing(ListWindow&) {}
auto Rows(std::initializer_list<int> rows)
{
    return [rows = std::vector<int>(rows)](ListWindow& list) { list.Select(rows); };
}
// The add command, then typing into its editor.
auto AddTyping(std::initializer_list<int> selected, const char* text)
{
    return [select = Rows(selected), text](ListWindow& list) {
        select(list);
        list.view->OnAddKeyword();
        list.Type(QString::fromUtf8(text));
    };
}
auto EditTyping(int row, const char* text, bool running)
{
    return [=](ListWindow& list) {
        if (running)
            list.StartRun();
        list.Edit(row);
        list.Type(QString::fromUtf8(text));
    };
}

// Enter is the add command, not the end of an edit; keys of enabled commands act inside the
// editor too, and those of disabled ones stay with it.
INSTANTIATE_TEST_SUITE_P(
    Keys, KeyTest,
    testing::Values(
        KeyCase{"EnterInList", "a", Rows({0}), kEnter, "a|新規ｷｰﾜｰﾄﾞ", "0", 1, 0, false},
        KeyCase{"CtrlAInList", "", Nothing, kCtrlA, "新規ｷｰﾜｰﾄﾞ", "", 0, 0, false},
        KeyCase{"DelInList", "a|b|c", Rows({0, 2}), kDel, "b", "", -1, 0, false},
        KeyCase{"ShiftUpInList", "a|b", Rows({1}), kShiftUp, "b|a", "0", -1, 0, false},
        KeyCase{"ShiftDownInList", "a|b", Rows({0}), kShiftDown, "b|a", "1", -1, 0, false},
        KeyCase{"EnterInEditor", "a", AddTyping({}, "b"), kEnter, "a|b|新規ｷｰﾜｰﾄﾞ", "", 2, 0,
                false},
        KeyCase{"CtrlAInEditor", "a", AddTyping({}, "b"), kCtrlA, "a|b|新規ｷｰﾜｰﾄﾞ", "", 2, 0,
                false},
        KeyCase{"EnterOnDuplicate", "a", AddTyping({}, "A"), kEnter, "a|新規ｷｰﾜｰﾄﾞ", "", 1, 0,
                true},
        // The editor has the focus, so the list has lost it and delete is off.
        KeyCase{"DelInEditor", "a|b", AddTyping({0}, "xy"), kDel, "a|b|新規ｷｰﾜｰﾄﾞ", "0", 2, 0,
                false},
        KeyCase{"ShiftUpInEditor", "a|b", AddTyping({1}, "c"), kShiftUp, "b|a|c", "0", -1, 0,
                false},
        KeyCase{"EscInEditor", "a", EditTyping(0, "b", false), kEsc, "a", "", -1, 0, false}),
    testing_support::CaseName());

// Esc stops a run wherever the focus is, the in-place editor included; with no run under way
// it only cancels an edit.
INSTANTIATE_TEST_SUITE_P(Esc, KeyTest,
                         testing::Values(KeyCase{"InListDuringRun", "a",
                                                 [](ListWindow& list) {
                                                     list.StartRun();
                                                     Rows({0})(list);
                                                 },
                                                 kEsc, "a", "0", -1, 1, false},
                                         KeyCase{"InEditorDuringRun", "a", EditTyping(0, "b", true),
                                                 kEsc, "a", "", 0, 1, false},
                                         KeyCase{"InNewRowsEditorDuringRun", "a",
                                                 [](ListWindow& list) {
                                                     list.StartRun();
                                                     AddTyping({}, "b")(list);
                                                 },
                                                 kEsc, "a|新規ｷｰﾜｰﾄﾞ", "", 1, 1, false},
                                         KeyCase{"InListIdle", "a", Rows({0}), kEsc, "a", "0", -1,
                                                 0, false},
                                         KeyCase{"InEditorIdle", "a", EditTyping(0, "b", false),
                                                 kEsc, "a", "", -1, 0, false}),
                         testing_support::CaseName());

// The rows still highlighted when the list gets the focus back count again: Del deletes them
// without a click first.
auto EscapedEdit(std::initializer_list<int> selected, int row)
{
    return [select = Rows(selected), row](ListWindow& list) {
        select(list);
        EditTyping(row, "x", false)(list);
        list.Press(kEsc);
    };
}
auto FocusBack(std::initializer_list<int> selected)
{
    return [select = Rows(selected)](ListWindow& list) {
        select(list);
        list.ClickElsewhere();
        list.view->setFocus(Qt::TabFocusReason);
        list.Settle();
    };
}
INSTANTIATE_TEST_SUITE_P(
    FocusBack, KeyTest,
    testing::Values(
        KeyCase{"AfterEscOnSelectedRow", "a|b|c", EscapedEdit({1}, 1), kDel, "a|c", "", -1, 0,
                false},
        KeyCase{"AfterEscOnOtherRow", "a|b|c", EscapedEdit({0, 2}, 1), kDel, "b", "", -1, 0, false},
        KeyCase{"AfterEscWithoutSelection", "a|b", EscapedEdit({}, 0), kDel, "a|b", "", -1, 0,
                false},
        KeyCase{"FromAnotherControl", "a|b", FocusBack({0}), kDel, "b", "", -1, 0, false}),
    testing_support::CaseName());

// F2 opens the editor on the current keyword when its row is selected; inside the editor it
// stays with the editor.
INSTANTIATE_TEST_SUITE_P(
    Rename, KeyTest,
    testing::Values(
        KeyCase{"SelectedRow", "a|b", Rows({1}), kF2, "a|b", "1", 1, 0, false},
        KeyCase{"LastOfTwoSelected", "a|b|c", Rows({0, 2}), kF2, "a|b|c", "0,2", 2, 0, false},
        KeyCase{"NoSelection", "a|b", Nothing, kF2, "a|b", "", -1, 0, false},
        KeyCase{"EmptyList", "", Nothing, kF2, "", "", -1, 0, false},
        KeyCase{"InEditor", "a|b", EditTyping(0, "c", false), kF2, "a|b", "", 0, 0, false}),
    testing_support::CaseName());

// What F2 opened is an edit like any other, taken when the focus leaves it.
TEST(KeyTest, F2EditIsStored)
{
    ListWindow list;
    list.Load({"a", "b"});
    list.Select({0});
    list.Press(kF2);
    list.Type(QStringLiteral("z"));
    list.ClickElsewhere();
    EXPECT_EQ(list.Rows(), (Texts{"z", "b"}));
    EXPECT_EQ(list.EditedRow(), -1);
}

// The edit that Esc left open during a run is still the user's: a click elsewhere takes it.
TEST(KeyTest, EditGoesOnAfterEscStoppedTheRun)
{
    ListWindow list;
    list.Load({"a"});
    EditTyping(0, "b", true)(list);
    list.Press(kEsc);
    ASSERT_EQ(list.stops, 1);
    list.ClickElsewhere();
    EXPECT_EQ(list.Rows(), (Texts{"b"}));
    EXPECT_EQ(list.EditedRow(), -1);
    EXPECT_TRUE(list.doc.IsModified());
}

} // namespace
} // namespace view_tests
