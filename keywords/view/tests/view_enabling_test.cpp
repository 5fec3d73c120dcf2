#include "view_fixture.h"

#include "case_name.h"

#include <QApplication>
#include <QMenu>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>

namespace view_tests {
namespace {

struct EnablingCase
{
    const char* name;
    int rows;
    std::vector<int> selected;
    bool canDelete;
    bool canMoveUp;
    bool canMoveDown;
};

class ViewEnablingTest : public ViewTest, public testing::WithParamInterface<EnablingCase>
{
};

TEST_P(ViewEnablingTest, FollowsTheSelection)
{
    const EnablingCase& c = GetParam();
    Texts keywords;
    for (int row = 0; row < c.rows; ++row)
        keywords.push_back(std::string(1, static_cast<char>('a' + row)));
    Load(keywords);
    Select(c.selected);
    EXPECT_EQ(m_view->OnUpdateDeleteKeyword(), c.canDelete);
    EXPECT_EQ(m_view->OnUpdateMoveUp(), c.canMoveUp);
    EXPECT_EQ(m_view->OnUpdateMoveDown(), c.canMoveDown);
}

INSTANTIATE_TEST_SUITE_P(Selections, ViewEnablingTest,
                         testing::Values(EnablingCase{"EmptyList", 0, {}, false, false, false},
                                         EnablingCase{"NoneSelected", 3, {}, false, false, false},
                                         EnablingCase{"First", 3, {0}, true, false, true},
                                         EnablingCase{"Middle", 3, {1}, true, true, true},
                                         EnablingCase{"Last", 3, {2}, true, true, false},
                                         EnablingCase{"OnlyRow", 1, {0}, true, false, false},
                                         EnablingCase{"TwoAdjacent", 3, {1, 2}, true, false, false},
                                         EnablingCase{"TwoApart", 3, {0, 2}, true, false, false},
                                         EnablingCase{"All", 3, {0, 1, 2}, true, false, false}),
                         testing_support::CaseName());

TEST_F(ViewEnablingTest, DeleteIsOffOnceNothingIsLeftSelected)
{
    Load({"a", "b", "c"});
    Select({1});
    m_view->OnDeleteKeyword();
    EXPECT_FALSE(m_view->OnUpdateDeleteKeyword());
    Select({0});
    Select({});
    EXPECT_FALSE(m_view->OnUpdateDeleteKeyword());
}

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
    m_view->setFocus();
    Select({1});
    ASSERT_TRUE(m_view->OnUpdateDeleteKeyword());

    std::unique_ptr<QWidget> other;
    std::unique_ptr<QMenu> menu;
    switch (GetParam().move) {
    case FocusMove::OtherControl:
        FocusElsewhere();
        break;
    case FocusMove::OwnEditor:
        m_view->editItem(m_view->topLevelItem(1), 0);
        break;
    case FocusMove::OtherWindow:
        other = std::make_unique<QWidget>();
        other->show();
        QApplication::setActiveWindow(other.get());
        break;
    case FocusMove::PopupMenu:
        // A menu of the window: opening it must not turn its own delete entry off.
        menu = std::make_unique<QMenu>(m_window);
        menu->addAction(QStringLiteral("x"));
        menu->popup(m_window->geometry().center());
        break;
    }
    Settle();
    EXPECT_EQ(m_view->OnUpdateDeleteKeyword(), GetParam().canDelete);
    EXPECT_EQ(SelectedRows(), std::vector<int>{1}) << "the rows stay selected";
}

INSTANTIATE_TEST_SUITE_P(Moves, ViewFocusTest,
                         testing::Values(FocusCase{"OtherControl", FocusMove::OtherControl, false},
                                         FocusCase{"OwnEditor", FocusMove::OwnEditor, false},
                                         FocusCase{"OtherWindow", FocusMove::OtherWindow, false},
                                         FocusCase{"PopupMenu", FocusMove::PopupMenu, true}),
                         testing_support::CaseName());

TEST_F(ViewFocusTest, DeleteStaysOffUntilTheNextItemChange)
{
    Load({"a", "b", "c"});
    m_view->setFocus();
    m_view->setCurrentItem(m_view->topLevelItem(1));
    FocusElsewhere();
    m_view->setFocus(Qt::MouseFocusReason);
    Settle();
    EXPECT_FALSE(m_view->OnUpdateDeleteKeyword());
    // Move and select: the window's keys for move need exactly this one row selected.
    EXPECT_TRUE(m_view->OnUpdateMoveUp());

    Press(QKeyCombination(Qt::Key_Down));
    EXPECT_TRUE(m_view->OnUpdateDeleteKeyword());
    EXPECT_EQ(SelectedRows(), std::vector<int>{2});
}

} // namespace
} // namespace view_tests
