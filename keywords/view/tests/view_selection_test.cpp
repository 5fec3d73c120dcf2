// The selection, the keyboard focus and what they enable; a click on the selected keyword.
#include "list_window.h"

#include "case_name.h"

#include <QApplication>
#include <QEventLoop>
#include <QMenu>
#include <QStyleHints>
#include <QTest>

#include <gtest/gtest.h>

#include <functional>
#include <memory>

namespace view_tests {
namespace {

struct EnablingCase
{
    const char* name;
    const char* start;
    std::function<void(ListWindow&)> steps;
    bool canDelete;
    bool canMoveUp;
    bool canMoveDown;
};

class EnablingTest : public testing::TestWithParam<EnablingCase>
{
};

TEST_P(EnablingTest, FollowsTheSelection)
{
    const EnablingCase& c = GetParam();
    ListWindow list;
    list.Load(Cp932List(c.start));
    c.steps(list);
    EXPECT_EQ(list.view->OnUpdateDeleteKeyword(), c.canDelete);
    EXPECT_EQ(list.view->OnUpdateMoveUp(), c.canMoveUp);
    EXPECT_EQ(list.view->OnUpdateMoveDown(), c.canMoveDown);
}

auto Rows(std::initializer_list<int> rows)
{
    return [rows = std::vector<int>(rows)](ListWindow& list) { list.Select(rows); };
}
auto Then(const std::function<void(ListWindow&)>& first,
          const std::function<void(CVistrelView&)>& command)
{
    return [=](ListWindow& list) {
        first(list);
        command(*list.view);
        list.Settle();
    };
}
// Row 1 selected, the focus away and back through an edit of row 1 that Esc cancels.
void FocusBack(ListWindow& list)
{
    list.Select({1});
    list.ClickElsewhere();
    list.Edit(1);
    list.Press(QKeyCombination(Qt::Key_Escape));
}

INSTANTIATE_TEST_SUITE_P(
    Selections, EnablingTest,
    testing::Values(EnablingCase{"EmptyList", "", Rows({}), false, false, false},
                    EnablingCase{"NoneSelected", "a|b|c", Rows({}), false, false, false},
                    EnablingCase{"First", "a|b|c", Rows({0}), true, false, true},
                    EnablingCase{"Middle", "a|b|c", Rows({1}), true, true, true},
                    EnablingCase{"Last", "a|b|c", Rows({2}), true, true, false},
                    EnablingCase{"OnlyRow", "a", Rows({0}), true, false, false},
                    EnablingCase{"TwoAdjacent", "a|b|c", Rows({1, 2}), true, false, false},
                    EnablingCase{"TwoApart", "a|b|c", Rows({0, 2}), true, false, false},
                    EnablingCase{"AfterDelete", "a|b|c",
                                 Then(Rows({1}), &CVistrelView::OnDeleteKeyword), false, false,
                                 false},
                    EnablingCase{"AfterMove", "a|b|c", Then(Rows({2}), &CVistrelView::OnMoveUp),
                                 true, true, true},
                    // The highlighted row counts again once the focus is back.
                    EnablingCase{"FocusBack", "a|b|c", FocusBack, true, true, true},
                    EnablingCase{"FocusBackThenKey", "a|b|c",
                                 [](ListWindow& list) {
                                     FocusBack(list);
                                     list.Press(QKeyCombination(Qt::Key_Down));
                                 },
                                 true, true, false}),
    testing_support::CaseName());

enum class FocusMove { OtherControl, OwnEditor, OtherWindow, PopupMenu };

struct FocusCase
{
    const char* name;
    FocusMove move;
    bool canDelete;
};

class FocusTest : public testing::TestWithParam<FocusCase>
{
};

TEST_P(FocusTest, LosingTheFocusTurnsDeleteOff)
{
    ListWindow list;
    list.Load({"a", "b", "c"});
    list.Select({1});
    ASSERT_TRUE(list.view->OnUpdateDeleteKeyword());
    auto other = std::make_unique<QWidget>();
    auto menu = std::make_unique<QMenu>(list.window);
    switch (GetParam().move) {
    case FocusMove::OtherControl:
        list.ClickElsewhere();
        break;
    case FocusMove::OwnEditor:
        list.Edit(1);
        break;
    case FocusMove::OtherWindow:
        other->show();
        QApplication::setActiveWindow(other.get());
        break;
    case FocusMove::PopupMenu:
        // A menu of the window must not turn off its own delete entry by opening.
        menu->addAction(QStringLiteral("x"));
        menu->popup(list.window->geometry().center());
        break;
    }
    list.Settle();
    EXPECT_EQ(list.view->OnUpdateDeleteKeyword(), GetParam().canDelete);
    EXPECT_EQ(list.SelectedRows(), "1") << "the rows stay selected";
}

INSTANTIATE_TEST_SUITE_P(Moves, FocusTest,
                         testing::Values(FocusCase{"OtherControl", FocusMove::OtherControl, false},
                                         FocusCase{"OwnEditor", FocusMove::OwnEditor, false},
                                         FocusCase{"OtherWindow", FocusMove::OtherWindow, false},
                                         FocusCase{"PopupMenu", FocusMove::PopupMenu, true}),
                         testing_support::CaseName());

struct MoveCase
{
    const char* name;
    Qt::Key held; // a modifier key held down meanwhile, or Qt::Key_unknown
    void (CVistrelView::*command)();
    const char* selected;
};

class MoveSelectionTest : public testing::TestWithParam<MoveCase>
{
};

// The moved row is the one selected afterwards, whatever modifier key is held while the
// command is given from the menu or the toolbar.
TEST_P(MoveSelectionTest, TheMovedRowIsSelected)
{
    const MoveCase& c = GetParam();
    ListWindow list;
    list.Load({"a", "b", "c"});
    list.Select({1});
    const Qt::KeyboardModifiers modifiers = c.held == Qt::Key_Control ? Qt::ControlModifier
                                            : c.held == Qt::Key_Shift ? Qt::ShiftModifier
                                                                      : Qt::NoModifier;
    if (c.held != Qt::Key_unknown)
        QTest::keyPress(list.view, c.held, modifiers);
    (list.view->*c.command)();
    if (c.held != Qt::Key_unknown)
        QTest::keyRelease(list.view, c.held, Qt::NoModifier);
    list.Settle();
    EXPECT_EQ(list.SelectedRows(), c.selected);
    EXPECT_EQ(list.view->currentIndex().row(), std::stoi(c.selected));
    EXPECT_TRUE(list.view->OnUpdateDeleteKeyword());
}

INSTANTIATE_TEST_SUITE_P(
    Modifiers, MoveSelectionTest,
    testing::Values(MoveCase{"Up", Qt::Key_unknown, &CVistrelView::OnMoveUp, "0"},
                    MoveCase{"Down", Qt::Key_unknown, &CVistrelView::OnMoveDown, "2"},
                    MoveCase{"UpWithShift", Qt::Key_Shift, &CVistrelView::OnMoveUp, "0"},
                    MoveCase{"DownWithShift", Qt::Key_Shift, &CVistrelView::OnMoveDown, "2"},
                    MoveCase{"UpWithCtrl", Qt::Key_Control, &CVistrelView::OnMoveUp, "0"},
                    MoveCase{"DownWithCtrl", Qt::Key_Control, &CVistrelView::OnMoveDown, "2"}),
    testing_support::CaseName());

// A click on the keyword of the row already selected opens the editor; a first click, and a
// click on the status, do not. The view opens it once no double click can follow, so the
// test has no double clicks and waits for the editor to take the focus.
TEST(ClickTest, ClickOnTheSelectedKeywordEdits)
{
    ListWindow list;
    list.Load({"a", "b"});
    QStyleHints* hints = QGuiApplication::styleHints();
    const int interval = hints->mouseDoubleClickInterval();
    hints->setMouseDoubleClickInterval(0);
    const QPoint keyword = list.view->visualRect(list.model.index(1, 0)).center();
    const QPoint status = list.view->visualRect(list.model.index(1, 1)).center();

    QTest::mouseClick(list.view->viewport(), Qt::LeftButton, {}, keyword);
    list.Settle();
    EXPECT_EQ(list.SelectedRows(), "1");
    EXPECT_EQ(list.Editor(), nullptr);
    QTest::mouseClick(list.view->viewport(), Qt::LeftButton, {}, status);
    list.Settle();
    EXPECT_EQ(list.Editor(), nullptr);

    QEventLoop untilEditing;
    QObject::connect(qApp, &QApplication::focusChanged, &untilEditing, [&list, &untilEditing] {
        if (list.view->IsEditingLabel())
            untilEditing.quit();
    });
    QTest::mouseClick(list.view->viewport(), Qt::LeftButton, {}, keyword);
    if (!list.view->IsEditingLabel())
        untilEditing.exec();
    EXPECT_EQ(list.EditedRow(), 1);
    hints->setMouseDoubleClickInterval(interval);
}

} // namespace
} // namespace view_tests
