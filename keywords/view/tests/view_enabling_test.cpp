#include "view_fixture.h"

#include "case_name.h"

#include <QApplication>
#include <QMenu>

#include <gtest/gtest.h>

#include <memory>

namespace view_tests {
namespace {

struct EnablingCase
{
    const char* name;
    const char* start;
    const char* script;
    bool canDelete;
    bool canMoveUp;
    bool canMoveDown;
};

class ViewEnablingTest : public ViewTest, public testing::WithParamInterface<EnablingCase>
{
};

TEST_P(ViewEnablingTest, FollowsTheSelection)
{
    Load(Cp932List(GetParam().start));
    Run(GetParam().script);
    EXPECT_EQ(m_view->OnUpdateDeleteKeyword(), GetParam().canDelete);
    EXPECT_EQ(m_view->OnUpdateMoveUp(), GetParam().canMoveUp);
    EXPECT_EQ(m_view->OnUpdateMoveDown(), GetParam().canMoveDown);
}

INSTANTIATE_TEST_SUITE_P(
    Selections, ViewEnablingTest,
    testing::Values(EnablingCase{"EmptyList", "", "s", false, false, false},
                    EnablingCase{"NoneSelected", "a|b|c", "s", false, false, false},
                    EnablingCase{"First", "a|b|c", "s0", true, false, true},
                    EnablingCase{"Middle", "a|b|c", "s1", true, true, true},
                    EnablingCase{"Last", "a|b|c", "s2", true, true, false},
                    EnablingCase{"OnlyRow", "a", "s0", true, false, false},
                    EnablingCase{"TwoAdjacent", "a|b|c", "s1,2", true, false, false},
                    EnablingCase{"TwoApart", "a|b|c", "s0,2", true, false, false},
                    EnablingCase{"AfterDelete", "a|b|c", "s1 d", false, false, false},
                    EnablingCase{"AfterMove", "a|b|c", "s2 u", true, true, true},
                    // Delete stays off after the focus comes back, until the next item change.
                    EnablingCase{"FocusBack", "a|b|c", "s1 c e1 kEsc", false, true, true},
                    EnablingCase{"FocusBackThenKey", "a|b|c", "s1 c e1 kEsc kDown", true, true,
                                 false}),
    testing_support::CaseName());

enum class FocusMove { OtherControl, OwnEditor, OtherWindow, PopupMenu };

struct FocusCase
{
    const char* name;
    FocusMove move;
    bool canDelete;
};

class ViewFocusTest : public ViewTest, public testing::WithParamInterface<FocusCase>
{
};

TEST_P(ViewFocusTest, LosingTheFocusTurnsDeleteOff)
{
    Load({"a", "b", "c"});
    Run("s1");
    ASSERT_TRUE(m_view->OnUpdateDeleteKeyword());
    auto other = std::make_unique<QWidget>();
    auto menu = std::make_unique<QMenu>(m_window);
    switch (GetParam().move) {
    case FocusMove::OtherControl:
        Run("c");
        break;
    case FocusMove::OwnEditor:
        Run("e1");
        break;
    case FocusMove::OtherWindow:
        other->show();
        QApplication::setActiveWindow(other.get());
        break;
    case FocusMove::PopupMenu:
        // A menu of the window must not turn off its own delete entry by opening.
        menu->addAction(QStringLiteral("x"));
        menu->popup(m_window->geometry().center());
        break;
    }
    Settle();
    EXPECT_EQ(m_view->OnUpdateDeleteKeyword(), GetParam().canDelete);
    EXPECT_EQ(SelectedRows(), "1") << "the rows stay selected";
}

INSTANTIATE_TEST_SUITE_P(Moves, ViewFocusTest,
                         testing::Values(FocusCase{"OtherControl", FocusMove::OtherControl, false},
                                         FocusCase{"OwnEditor", FocusMove::OwnEditor, false},
                                         FocusCase{"OtherWindow", FocusMove::OtherWindow, false},
                                         FocusCase{"PopupMenu", FocusMove::PopupMenu, true}),
                         testing_support::CaseName());

} // namespace
} // namespace view_tests
