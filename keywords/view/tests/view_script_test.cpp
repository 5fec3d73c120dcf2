#include "view_fixture.h"

#include "case_name.h"
#include "keywords/view/keyword_text.h"

#include <gtest/gtest.h>

namespace view_tests {
namespace {

struct ScriptCase
{
    const char* name;
    const char* start; // keywords, "|"-separated
    const char* script;
    const char* rows;
    const char* marks; // nullptr: not looked at
    const char* selected;
    int edited;
    bool modified;
    char message; // 0: none; D: duplicate, E: not code page 932, L: line break, I: invalid argument
};

class ViewScriptTest : public ViewTest, public testing::WithParamInterface<ScriptCase>
{
};

TEST_P(ViewScriptTest, EndsWithTheseRows)
{
    const ScriptCase& c = GetParam();
    Load(Cp932List(c.start));
    Run(c.script);
    EXPECT_EQ(Rows(), Cp932List(c.rows));
    if (c.marks) {
        EXPECT_EQ(Marks(), c.marks);
    }
    EXPECT_EQ(SelectedRows(), c.selected);
    EXPECT_EQ(EditedRow(), c.edited);
    EXPECT_EQ(m_doc.IsModified(), c.modified);
    ASSERT_EQ(m_messages.size(), c.message ? 1 : 0)
        << m_messages.join(QLatin1Char('|')).toStdString();
    if (c.message == 'D') {
        EXPECT_EQ(m_messages[0], keywords::kDuplicateKeywordText);
    } else if (c.message == 'E') {
        EXPECT_TRUE(m_messages[0].endsWith(keywords::kChooseAnotherText));
    } else if (c.message == 'L') {
        EXPECT_TRUE(m_messages[0].startsWith(keywords::kLineBreakText));
    } else if (c.message == 'I') {
        EXPECT_EQ(m_messages[0].toStdString(), CVistrelDoc::kInvalidArgumentText);
    }
    // A refused edit opens again with the row's own text.
    if (c.message && c.edited >= 0 && Editor()) {
        EXPECT_EQ(Editor()->text(), m_view->topLevelItem(c.edited)->text(0));
    }
}

constexpr char kFour[] = "Drama|ニュース|Ｆｏｏ|新規ｷｰﾜｰﾄﾞ";

INSTANTIATE_TEST_SUITE_P(
    Commands, ViewScriptTest,
    testing::Values(
        ScriptCase{"AddRenameAddCancel", "", "a tドラマ c a kEsc", "ドラマ|新規ｷｰﾜｰﾄﾞ", "|", "", -1,
                   true, 0},
        ScriptCase{"DeleteThreeApart", "a|b|c|d|e|f", "s0,2,5 d", "b|d|e", nullptr, "", -1, true,
                   0},
        ScriptCase{"UpTakesTheMark", "a|b|c", "m1=OK m0=NG s1 u", "b|a|c", "OK|NG|", "0", -1, true,
                   0},
        ScriptCase{"DownTwice", "a|b|c", "m0=OK s0 n n", "b|c|a", "||OK", "2", -1, true, 0},
        ScriptCase{"MarksOnly", "a|b", "m0=OK m1=NG m0=", "a|b", "|NG", "", -1, false, 0},
        ScriptCase{"AddRenameUpUpDelete", "x|y", "a tz c s2 u u s0,2 d", "x", "", "", -1, true, 0},
        ScriptCase{"AddWhileEditing", "", "a tq a", "q|新規ｷｰﾜｰﾄﾞ", nullptr, "", 1, true, 0},
        ScriptCase{"UpWhileEditing", "a|b", "s1 a tc u", "b|a|c", nullptr, "0", -1, true, 0},
        ScriptCase{"DeleteAllThenAdd", "a|b", "s0,1 d a kEsc", "新規ｷｰﾜｰﾄﾞ", "", "", -1, true, 0},
        ScriptCase{"OutOfRule", "a|b|c", "s0 u s2 n s0,1 u n s d", "a|b|c", nullptr, "", -1, false,
                   0}),
    testing_support::CaseName());

INSTANTIATE_TEST_SUITE_P(
    AddNames, ViewScriptTest,
    testing::Values(
        ScriptCase{"PlainAndTwoTaken", "新規ｷｰﾜｰﾄﾞ|新規ｷｰﾜｰﾄﾞ (2)", "a",
                   "新規ｷｰﾜｰﾄﾞ|新規ｷｰﾜｰﾄﾞ (2)|新規ｷｰﾜｰﾄﾞ (3)", nullptr, "", 2, true, 0},
        ScriptCase{"GapAtTwo", "新規ｷｰﾜｰﾄﾞ (3)|新規ｷｰﾜｰﾄﾞ", "a",
                   "新規ｷｰﾜｰﾄﾞ (3)|新規ｷｰﾜｰﾄﾞ|新規ｷｰﾜｰﾄﾞ (2)", nullptr, "", 2, true, 0},
        ScriptCase{"PlainFree", "新規ｷｰﾜｰﾄﾞ (2)", "a", "新規ｷｰﾜｰﾄﾞ (2)|新規ｷｰﾜｰﾄﾞ", nullptr, "", 1,
                   true, 0},
        ScriptCase{"WholeTextsOnly", "新規ｷｰﾜｰﾄﾞ_|x新規ｷｰﾜｰﾄﾞ", "a",
                   "新規ｷｰﾜｰﾄﾞ_|x新規ｷｰﾜｰﾄﾞ|新規ｷｰﾜｰﾄﾞ", nullptr, "", 2, true, 0},
        ScriptCase{"PastNine", "新規ｷｰﾜｰﾄﾞ", "a c a c a c a c a c a c a c a c a",
                   "新規ｷｰﾜｰﾄﾞ|新規ｷｰﾜｰﾄﾞ (2)|新規ｷｰﾜｰﾄﾞ (3)|新規ｷｰﾜｰﾄﾞ (4)|新規ｷｰﾜｰﾄﾞ (5)|"
                   "新規ｷｰﾜｰﾄﾞ (6)|新規ｷｰﾜｰﾄﾞ (7)|新規ｷｰﾜｰﾄﾞ (8)|新規ｷｰﾜｰﾄﾞ (9)|新規ｷｰﾜｰﾄﾞ (10)",
                   nullptr, "", 9, true, 0}),
    testing_support::CaseName());

// The window's keys act in the list and inside the editor; while the editor has the focus the
// list has lost it, so delete is off and Del stays with the editor.
INSTANTIATE_TEST_SUITE_P(
    Keys, ViewScriptTest,
    testing::Values(
        ScriptCase{"EnterInList", "a", "s0 kEnter", "a|新規ｷｰﾜｰﾄﾞ", nullptr, "0", 1, true, 0},
        ScriptCase{"CtrlAInList", "", "kCtrlA", "新規ｷｰﾜｰﾄﾞ", nullptr, "", 0, true, 0},
        ScriptCase{"DelInList", "a|b|c", "s0,2 kDel", "b", nullptr, "", -1, true, 0},
        ScriptCase{"ShiftUpInList", "a|b", "s1 kShiftUp", "b|a", nullptr, "0", -1, true, 0},
        ScriptCase{"ShiftDownInList", "a|b", "s0 kShiftDown", "b|a", nullptr, "1", -1, true, 0},
        ScriptCase{"EnterInEditor", "a", "a tb kEnter", "a|b|新規ｷｰﾜｰﾄﾞ", nullptr, "", 2, true, 0},
        ScriptCase{"CtrlAInEditor", "a", "a tb kCtrlA", "a|b|新規ｷｰﾜｰﾄﾞ", nullptr, "", 2, true, 0},
        ScriptCase{"EnterOnDuplicate", "a", "a tA kEnter", "a|新規ｷｰﾜｰﾄﾞ", nullptr, "", 1, true,
                   'D'},
        ScriptCase{"DelInEditor", "a|b", "s0 a txy kDel", "a|b|新規ｷｰﾜｰﾄﾞ", nullptr, "0", 2, true,
                   0},
        ScriptCase{"ShiftUpInEditor", "a|b", "s1 a tc kShiftUp", "b|a|c", nullptr, "0", -1, true,
                   0},
        ScriptCase{"EscInEditor", "a", "e0 tb kEsc", "a", nullptr, "", -1, false, 0}),
    testing_support::CaseName());

struct RunKeyCase
{
    const char* name;
    const char* script;
    const char* rows;
    int edited;
    int stops;
};

class ViewRunKeyTest : public ViewTest, public testing::WithParamInterface<RunKeyCase>
{
};

// Esc stops a run wherever the focus is, the in-place editor included; with no run under way
// it only cancels an edit.
TEST_P(ViewRunKeyTest, EscStopsARunWhereverTheFocusIs)
{
    const RunKeyCase& c = GetParam();
    Load({"a"});
    Run(c.script);
    EXPECT_EQ(m_stops, c.stops);
    EXPECT_EQ(Rows(), Cp932List(c.rows));
    EXPECT_EQ(EditedRow(), c.edited);
    EXPECT_TRUE(m_messages.isEmpty()) << m_messages.join(QLatin1Char('|')).toStdString();
}

INSTANTIATE_TEST_SUITE_P(
    Esc, ViewRunKeyTest,
    testing::Values(RunKeyCase{"InListDuringRun", "R s0 kEsc", "a", -1, 1},
                    RunKeyCase{"InEditorDuringRun", "R e0 tb kEsc", "a", 0, 1},
                    RunKeyCase{"InNewRowsEditorDuringRun", "R a tb kEsc", "a|新規ｷｰﾜｰﾄﾞ", 1, 1},
                    RunKeyCase{"EditTakenAfterStop", "R e0 tb kEsc c", "b", -1, 1},
                    RunKeyCase{"InListIdle", "s0 kEsc", "a", -1, 0},
                    RunKeyCase{"InEditorIdle", "e0 tb kEsc", "a", -1, 0}),
    testing_support::CaseName());

INSTANTIATE_TEST_SUITE_P(
    Labels, ViewScriptTest,
    testing::Values(
        ScriptCase{"NewText", kFour, "e0 tドラマ c", "ドラマ|ニュース|Ｆｏｏ|新規ｷｰﾜｰﾄﾞ", nullptr,
                   "", -1, true, 0},
        ScriptCase{"OtherRow", kFour, "e0 tニュース c", kFour, nullptr, "", 0, false, 'D'},
        ScriptCase{"OtherRowOtherCase", kFour, "e1 tｆｏｏ c", kFour, nullptr, "", 1, false, 'D'},
        ScriptCase{"OtherRowAscii", kFour, "e1 tdRAMA c", kFour, nullptr, "", 1, false, 'D'},
        ScriptCase{"OtherRowDefault", kFour, "e0 t新規ｷｰﾜｰﾄﾞ c", kFour, nullptr, "", 0, false, 'D'},
        ScriptCase{"OwnUnchanged", kFour, "e0 tDrama c", kFour, nullptr, "", -1, false, 0},
        ScriptCase{"OwnOtherCase", kFour, "e0 tDRAMA c", "DRAMA|ニュース|Ｆｏｏ|新規ｷｰﾜｰﾄﾞ",
                   nullptr, "", -1, true, 0},
        ScriptCase{"OwnFullWidthCase", kFour, "e2 tＦＯＯ c", "Drama|ニュース|ＦＯＯ|新規ｷｰﾜｰﾄﾞ",
                   nullptr, "", -1, true, 0},
        ScriptCase{"Empty", kFour, "e1 t c", kFour, nullptr, "", -1, false, 0},
        ScriptCase{"NotCp932", kFour, "e1 tニュース😀 c", kFour, nullptr, "", 1, false, 'E'},
        // Pasted text may hold line breaks; the keyword file could not keep such a keyword.
        ScriptCase{"LineBreak", kFour, "e1 ta\r\nb c", kFour, nullptr, "", 1, false, 'L'},
        ScriptCase{"OtherWithSpace", kFour, "e0 tニュース_ c",
                   "ニュース_|ニュース|Ｆｏｏ|新規ｷｰﾜｰﾄﾞ", nullptr, "", -1, true, 0},
        // The window ends an edit this way before it saves or searches.
        ScriptCase{"FinishNoEdit", "a|b", "f", "a|b", nullptr, "", -1, false, 0},
        ScriptCase{"FinishTaken", "a|b", "e1 tc f", "a|c", nullptr, "", -1, true, 0},
        ScriptCase{"FinishDuplicate", "a|b", "e1 tA f!", "a|b", nullptr, "", 1, false, 'D'},
        ScriptCase{"FinishNotCp932", "a|b", "e1 té f!", "a|b", nullptr, "", 1, false, 'E'},
        ScriptCase{"FinishWaiting", "a|b", "e1 tA C f!", "a|b", nullptr, "", 1, false, 'D'}),
    testing_support::CaseName());

// A document shortened behind the view's back: refused as the document refuses an index out
// of range; the rows stay.
INSTANTIATE_TEST_SUITE_P(
    OutOfStep, ViewScriptTest,
    testing::Values(ScriptCase{"Delete", "a|b|c", "p s2 d", "a|b|c", nullptr, "2", -1, false, 'I'},
                    ScriptCase{"Up", "a|b|c", "p s2 u", "a|b|c", nullptr, "2", -1, false, 'I'},
                    ScriptCase{"Rename", "a|b|c", "p e2 td c", "a|b|c", nullptr, "", 2, false,
                               'I'}),
    testing_support::CaseName());

} // namespace
} // namespace view_tests
