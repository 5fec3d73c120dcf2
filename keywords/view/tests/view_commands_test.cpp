#include "view_fixture.h"

#include "case_name.h"

#include <QTest>

#include <gtest/gtest.h>

#include <vector>

namespace view_tests {
namespace {

// What the user does, one step at a time.
enum class Op { Add, Type, Confirm, Cancel, Select, Delete, Up, Down, Mark };

struct Step
{
    Op op;
    std::vector<int> rows = {}; // Select; Mark: the row
    const char* text = "";      // Type; Mark
};

struct SequenceCase
{
    const char* name;
    std::vector<const char*> keywords;
    std::vector<Step> steps;
    std::vector<const char*> rows;
    std::vector<const char*> marks;
    std::vector<int> selected;
    bool modified;
};

class ViewSequenceTest : public ViewTest, public testing::WithParamInterface<SequenceCase>
{
protected:
    void Run(const Step& step)
    {
        switch (step.op) {
        case Op::Add:
            m_view->OnAddKeyword();
            break;
        case Op::Type:
            Type(QString::fromUtf8(step.text));
            break;
        case Op::Confirm:
            FocusElsewhere();
            break;
        case Op::Cancel:
            ASSERT_NE(Editor(), nullptr);
            QTest::keyClick(Editor(), Qt::Key_Escape);
            Settle();
            break;
        case Op::Select:
            Select(step.rows);
            break;
        case Op::Delete:
            m_view->OnDeleteKeyword();
            break;
        case Op::Up:
            m_view->OnMoveUp();
            break;
        case Op::Down:
            m_view->OnMoveDown();
            break;
        case Op::Mark:
            m_view->SetRowMark(step.rows.at(0), step.text, "");
            break;
        }
        Settle();
    }
};

TEST_P(ViewSequenceTest, KeepsRowsAndDocumentEqual)
{
    const SequenceCase& c = GetParam();
    Load(Cp932List(c.keywords));
    for (std::size_t i = 0; i < c.steps.size(); ++i) {
        SCOPED_TRACE(testing::Message() << "step " << i);
        Run(c.steps[i]);
        ExpectRowsEqualDocument();
    }
    EXPECT_EQ(Rows(), Cp932List(c.rows));
    EXPECT_EQ(Marks(), Texts(c.marks.begin(), c.marks.end()));
    EXPECT_EQ(SelectedRows(), c.selected);
    EXPECT_EQ(m_doc.IsModified(), c.modified);
    EXPECT_TRUE(m_messages.isEmpty()) << m_messages.join('|').toStdString();
}

INSTANTIATE_TEST_SUITE_P(
    Sequences, ViewSequenceTest,
    testing::Values(
        SequenceCase{"AddRenameThenAddCancelled",
                     {},
                     {{Op::Add}, {Op::Type, {}, "ドラマ"}, {Op::Confirm}, {Op::Add}, {Op::Cancel}},
                     {"ドラマ", "新規ｷｰﾜｰﾄﾞ"},
                     {"", ""},
                     {},
                     true},
        SequenceCase{"DeleteThreeNotAdjacent",
                     {"a", "b", "c", "d", "e", "f"},
                     {{Op::Select, {0, 2, 5}}, {Op::Delete}},
                     {"b", "d", "e"},
                     {"", "", ""},
                     {},
                     true},
        SequenceCase{"MoveUpTakesTheMark",
                     {"a", "b", "c"},
                     {{Op::Mark, {1}, "OK"}, {Op::Mark, {0}, "NG"}, {Op::Select, {1}}, {Op::Up}},
                     {"b", "a", "c"},
                     {"OK", "NG", ""},
                     {0},
                     true},
        SequenceCase{"MoveDownTwice",
                     {"a", "b", "c"},
                     {{Op::Mark, {0}, "OK"}, {Op::Select, {0}}, {Op::Down}, {Op::Down}},
                     {"b", "c", "a"},
                     {"", "", "OK"},
                     {2},
                     true},
        SequenceCase{"MarksAloneLeaveTheDocument",
                     {"a", "b"},
                     {{Op::Mark, {0}, "OK"}, {Op::Mark, {1}, "NG"}, {Op::Mark, {0}, ""}},
                     {"a", "b"},
                     {"", "NG"},
                     {},
                     false},
        SequenceCase{"AddRenameMoveToTopDeleteAround",
                     {"x", "y"},
                     {{Op::Add},
                      {Op::Type, {}, "z"},
                      {Op::Confirm},
                      {Op::Select, {2}},
                      {Op::Up},
                      {Op::Up},
                      {Op::Select, {0, 2}},
                      {Op::Delete}},
                     {"x"},
                     {""},
                     {},
                     true},
        SequenceCase{"AddWhileEditingStoresTheEditFirst",
                     {},
                     {{Op::Add}, {Op::Type, {}, "q"}, {Op::Add}},
                     {"q", "新規ｷｰﾜｰﾄﾞ"},
                     {"", ""},
                     {},
                     true},
        SequenceCase{"MoveWhileEditingStoresTheEditFirst",
                     {"a", "b"},
                     {{Op::Select, {1}}, {Op::Add}, {Op::Type, {}, "c"}, {Op::Up}},
                     {"b", "a", "c"},
                     {"", "", ""},
                     {0},
                     true},
        SequenceCase{"DeleteEverythingThenAdd",
                     {"a", "b"},
                     {{Op::Select, {0, 1}}, {Op::Delete}, {Op::Add}, {Op::Cancel}},
                     {"新規ｷｰﾜｰﾄﾞ"},
                     {""},
                     {},
                     true},
        SequenceCase{"CommandsOutOfRuleChangeNothing",
                     {"a", "b", "c"},
                     {{Op::Select, {0}},
                      {Op::Up},
                      {Op::Select, {2}},
                      {Op::Down},
                      {Op::Select, {0, 1}},
                      {Op::Down},
                      {Op::Select, {}},
                      {Op::Delete}},
                     {"a", "b", "c"},
                     {"", "", ""},
                     {},
                     false}),
    testing_support::CaseName());

struct AddNameCase
{
    const char* name;
    std::vector<const char*> keywords;
    const char* added;
};

class ViewAddNameTest : public ViewTest, public testing::WithParamInterface<AddNameCase>
{
};

TEST_P(ViewAddNameTest, TakesTheFirstFreeName)
{
    Load(Cp932List(GetParam().keywords));
    m_view->OnAddKeyword();
    Texts expected = Cp932List(GetParam().keywords);
    expected.push_back(Cp932(GetParam().added));
    EXPECT_EQ(Rows(), expected);
    ExpectRowsEqualDocument();
    EXPECT_TRUE(m_doc.IsModified());
    // The new row is in edit and not selected.
    EXPECT_EQ(EditedRow(), static_cast<int>(expected.size()) - 1);
    ASSERT_NE(Editor(), nullptr);
    EXPECT_EQ(Editor()->text().toStdString(), GetParam().added);
    EXPECT_EQ(SelectedRows(), std::vector<int>{});
}

INSTANTIATE_TEST_SUITE_P(
    Names, ViewAddNameTest,
    testing::Values(AddNameCase{"EmptyList", {}, "新規ｷｰﾜｰﾄﾞ"},
                    AddNameCase{
                        "PlainAndTwoTaken", {"新規ｷｰﾜｰﾄﾞ", "新規ｷｰﾜｰﾄﾞ (2)"}, "新規ｷｰﾜｰﾄﾞ (3)"},
                    AddNameCase{"PlainFreeBesideTwo", {"新規ｷｰﾜｰﾄﾞ (2)"}, "新規ｷｰﾜｰﾄﾞ"},
                    AddNameCase{"GapAtTwo", {"新規ｷｰﾜｰﾄﾞ (3)", "新規ｷｰﾜｰﾄﾞ"}, "新規ｷｰﾜｰﾄﾞ (2)"},
                    AddNameCase{"WholeTextOnly", {"新規ｷｰﾜｰﾄﾞ ", "x新規ｷｰﾜｰﾄﾞ"}, "新規ｷｰﾜｰﾄﾞ"},
                    AddNameCase{"PastNine",
                                {"新規ｷｰﾜｰﾄﾞ", "新規ｷｰﾜｰﾄﾞ (2)", "新規ｷｰﾜｰﾄﾞ (3)", "新規ｷｰﾜｰﾄﾞ (4)",
                                 "新規ｷｰﾜｰﾄﾞ (5)", "新規ｷｰﾜｰﾄﾞ (6)", "新規ｷｰﾜｰﾄﾞ (7)",
                                 "新規ｷｰﾜｰﾄﾞ (8)", "新規ｷｰﾜｰﾄﾞ (9)"},
                                "新規ｷｰﾜｰﾄﾞ (10)"}),
    testing_support::CaseName());

} // namespace
} // namespace view_tests

namespace view_tests {
namespace {

enum class Command { Delete, MoveUp, Rename };

struct OutOfStepCase
{
    const char* name;
    Command command;
};

class ViewOutOfStepTest : public ViewTest, public testing::WithParamInterface<OutOfStepCase>
{
};

// A document shortened behind the view's back: the command is refused as the document refuses
// an index out of range, and the rows stay as they were.
TEST_P(ViewOutOfStepTest, RefusesWithTheInvalidArgumentText)
{
    Load({"a", "b", "c"});
    m_doc.m_arrKeywords.pop_back();
    Select({2});
    switch (GetParam().command) {
    case Command::Delete:
        m_view->OnDeleteKeyword();
        break;
    case Command::MoveUp:
        m_view->OnMoveUp();
        break;
    case Command::Rename:
        m_view->editItem(m_view->topLevelItem(2), 0);
        Type(QStringLiteral("d"));
        FocusElsewhere();
        break;
    }
    Settle();
    EXPECT_EQ(Rows(), (Texts{"a", "b", "c"}));
    EXPECT_EQ(m_doc.m_arrKeywords, (Texts{"a", "b"}));
    EXPECT_FALSE(m_doc.IsModified());
    EXPECT_EQ(m_messages,
              QStringList{QString::fromLatin1(CVistrelDoc::kInvalidArgumentText.data(),
                                              CVistrelDoc::kInvalidArgumentText.size())});
}

INSTANTIATE_TEST_SUITE_P(Commands, ViewOutOfStepTest,
                         testing::Values(OutOfStepCase{"Delete", Command::Delete},
                                         OutOfStepCase{"MoveUp", Command::MoveUp},
                                         OutOfStepCase{"Rename", Command::Rename}),
                         testing_support::CaseName());

} // namespace
} // namespace view_tests
