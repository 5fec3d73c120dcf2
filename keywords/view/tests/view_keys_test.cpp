#include "view_fixture.h"

#include "case_name.h"
#include "keywords/view/keyword_text.h"

#include <QTest>

#include <gtest/gtest.h>

namespace view_tests {
namespace {

// The window's keys, pressed in the list or inside the in-place editor.
struct KeyCase
{
    const char* name;
    std::vector<const char*> keywords;
    std::vector<int> selected;
    bool add; // open the editor through the add command first
    const char* typed;
    QKeyCombination key;
    std::vector<const char*> rows;
    int edited; // the row in edit afterwards, -1 for none
    bool duplicateShown;
};

class ViewKeyTest : public ViewTest, public testing::WithParamInterface<KeyCase>
{
};

TEST_P(ViewKeyTest, ActsWhereverTheFocusIs)
{
    const KeyCase& c = GetParam();
    Load(Cp932List(c.keywords));
    m_view->setFocus();
    Select({});
    for (int row : c.selected)
        m_view->topLevelItem(row)->setSelected(true);
    if (c.add) {
        m_view->OnAddKeyword();
        Settle();
        Type(QString::fromUtf8(c.typed));
    }
    Press(c.key);

    EXPECT_EQ(Rows(), Cp932List(c.rows));
    ExpectRowsEqualDocument();
    EXPECT_EQ(EditedRow(), c.edited);
    EXPECT_EQ(m_messages.size(), c.duplicateShown ? 1 : 0);
    if (c.duplicateShown && !m_messages.isEmpty()) {
        EXPECT_EQ(m_messages[0], keywords::kDuplicateKeywordText);
    }
}

constexpr QKeyCombination kEnter(Qt::Key_Return);
constexpr QKeyCombination kCtrlA(Qt::ControlModifier, Qt::Key_A);
constexpr QKeyCombination kDel(Qt::Key_Delete);
constexpr QKeyCombination kShiftUp(Qt::ShiftModifier, Qt::Key_Up);
constexpr QKeyCombination kShiftDown(Qt::ShiftModifier, Qt::Key_Down);

INSTANTIATE_TEST_SUITE_P(
    Keys, ViewKeyTest,
    testing::Values(
        KeyCase{"EnterInListAdds", {"a"}, {0}, false, "", kEnter, {"a", "新規ｷｰﾜｰﾄﾞ"}, 1, false},
        KeyCase{"CtrlAInListAdds", {}, {}, false, "", kCtrlA, {"新規ｷｰﾜｰﾄﾞ"}, 0, false},
        KeyCase{"DelInListDeletes", {"a", "b", "c"}, {0, 2}, false, "", kDel, {"b"}, -1, false},
        KeyCase{"ShiftUpInListMoves", {"a", "b"}, {1}, false, "", kShiftUp, {"b", "a"}, -1, false},
        KeyCase{
            "ShiftDownInListMoves", {"a", "b"}, {0}, false, "", kShiftDown, {"b", "a"}, -1, false},
        KeyCase{"EnterInEditorStoresThenAdds",
                {"a"},
                {},
                true,
                "b",
                kEnter,
                {"a", "b", "新規ｷｰﾜｰﾄﾞ"},
                2,
                false},
        KeyCase{"CtrlAInEditorStoresThenAdds",
                {"a"},
                {},
                true,
                "b",
                kCtrlA,
                {"a", "b", "新規ｷｰﾜｰﾄﾞ"},
                2,
                false},
        KeyCase{"EnterInEditorWithDuplicateAddsNothing",
                {"a"},
                {},
                true,
                "A",
                kEnter,
                {"a", "新規ｷｰﾜｰﾄﾞ"},
                1,
                true},
        // While the editor has the focus the list has lost it, so delete is off and Del
        // edits the text.
        KeyCase{"DelInEditorLeavesTheRows",
                {"a", "b"},
                {0},
                true,
                "xy",
                kDel,
                {"a", "b", "新規ｷｰﾜｰﾄﾞ"},
                2,
                false},
        KeyCase{"ShiftUpInEditorStoresThenMoves",
                {"a", "b"},
                {1},
                true,
                "c",
                kShiftUp,
                {"b", "a", "c"},
                -1,
                false}),
    testing_support::CaseName());

TEST_F(ViewKeyTest, DelInEditorDeletesACharacter)
{
    Load(Cp932List({"a", "b"}));
    Select({0});
    m_view->OnAddKeyword();
    Settle();
    Type(QStringLiteral("xyz"));
    Editor()->setCursorPosition(0);
    Press(kDel);
    ASSERT_NE(Editor(), nullptr);
    EXPECT_EQ(Editor()->text(), QStringLiteral("yz"));
    EXPECT_EQ(Rows(), Cp932List({"a", "b", "新規ｷｰﾜｰﾄﾞ"}));
}

TEST_F(ViewKeyTest, EscapeInEditorKeepsTheRow)
{
    Load(Cp932List({"a"}));
    m_view->editItem(m_view->topLevelItem(0), 0);
    Type(QStringLiteral("b"));
    Press(QKeyCombination(Qt::Key_Escape));
    EXPECT_EQ(Editor(), nullptr);
    EXPECT_EQ(Rows(), Cp932List({"a"}));
    EXPECT_FALSE(m_doc.IsModified());
}

} // namespace
} // namespace view_tests
