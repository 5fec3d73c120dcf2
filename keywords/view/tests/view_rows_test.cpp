#include "view_fixture.h"

#include "case_name.h"
#include "keywords/view/keyword_text.h"

#include <gtest/gtest.h>

namespace view_tests {
namespace {

// Bytes that are not code page 932: a lead byte with nothing after it, a byte that is never
// used, and a double-byte code with no character.
const std::string kLoneLead = "\x81";
const std::string kNeverUsed = "x\xff";
const std::string kNoCharacter = "\x85\x40";

TEST_F(ViewTest, RowsShowBytesButKeepThemExactly)
{
    const std::string longKeyword(3001, 'k');
    Load({kLoneLead, Cp932("ドラマ"), kNeverUsed, kNoCharacter, longKeyword});
    EXPECT_EQ(m_view->topLevelItem(1)->text(0), QStringLiteral("ドラマ"));
    EXPECT_EQ(m_view->topLevelItem(2)->text(0), QStringLiteral("x\uFFFD"));

    // Move the odd rows about, rename and delete around them.
    Select({0});
    m_view->OnMoveDown();
    Select({4});
    m_view->OnMoveUp();
    m_view->OnMoveUp();
    m_view->SetRowMark(2, "NG", "HTTP 404");
    Select({3});
    m_view->OnMoveDown();
    m_view->editItem(m_view->topLevelItem(0), 0);
    Type(QStringLiteral("ニュース"));
    FocusElsewhere();

    EXPECT_EQ(Rows(), (Texts{Cp932("ニュース"), kLoneLead, longKeyword, kNoCharacter, kNeverUsed}));
    ExpectRowsEqualDocument();
    EXPECT_EQ(Marks(), (Texts{"", "", "NG", "", ""}));
    EXPECT_TRUE(m_messages.isEmpty());
}

TEST_F(ViewTest, ConfirmingAnUndecodableRowUnchangedStoresNothing)
{
    Load({kNeverUsed, "a"});
    m_view->editItem(m_view->topLevelItem(0), 0);
    ASSERT_NE(Editor(), nullptr);
    EXPECT_EQ(Editor()->text(), QStringLiteral("x\uFFFD"));
    FocusElsewhere();
    EXPECT_EQ(Rows(), (Texts{kNeverUsed, "a"}));
    EXPECT_FALSE(m_doc.IsModified());
    EXPECT_TRUE(m_messages.isEmpty());
}

TEST_F(ViewTest, RebuildDropsMarksSelectionAndAnOpenEdit)
{
    Load({"a", "b"});
    m_view->SetRowMark(0, "OK", "");
    Select({1});
    m_view->editItem(m_view->topLevelItem(0), 0);
    Type(QStringLiteral("typed"));
    m_doc.m_arrKeywords = {"c", "d", "e"};
    m_view->OnInitialUpdate();
    Settle();
    EXPECT_EQ(Editor(), nullptr);
    EXPECT_EQ(Rows(), (Texts{"c", "d", "e"}));
    EXPECT_EQ(Marks(), (Texts{"", "", ""}));
    EXPECT_EQ(SelectedRows(), std::vector<int>{});
    EXPECT_FALSE(m_view->OnUpdateDeleteKeyword());
}

TEST_F(ViewTest, MarkWhileEditingKeepsWhatIsTyped)
{
    Load({"a", "b"});
    m_view->editItem(m_view->topLevelItem(0), 0);
    Type(QStringLiteral("typed"));
    m_view->SetRowMark(0, "NG", "timeout");
    m_view->SetRowMark(1, "OK", "");
    Settle();
    ASSERT_NE(Editor(), nullptr);
    EXPECT_EQ(Editor()->text(), QStringLiteral("typed"));
    FocusElsewhere();
    EXPECT_EQ(Rows(), (Texts{"typed", "b"}));
    EXPECT_EQ(Marks(), (Texts{"NG", "OK"}));
}

struct MarkCase
{
    const char* name;
    std::ptrdiff_t row;
    const char* mark;
    const char* reason;
    const char* tip; // expected tip of row 1; nullptr: row 1 untouched
};

class ViewMarkTest : public ViewTest, public testing::WithParamInterface<MarkCase>
{
};

TEST_P(ViewMarkTest, MarkAndTipOfARow)
{
    const MarkCase& c = GetParam();
    Load(Cp932List({"ドラマ", "ニュース"}));
    m_view->SetRowMark(c.row, c.mark, c.reason);
    QTreeWidgetItem* item = m_view->topLevelItem(1);
    const QString tip = QString::fromUtf8(c.tip ? c.tip : "ニュース");
    EXPECT_EQ(item->toolTip(0), tip);
    EXPECT_EQ(item->toolTip(1), tip);
    EXPECT_EQ(item->text(1).toStdString(), c.tip ? c.mark : "");
    EXPECT_EQ(Rows(), Cp932List({"ドラマ", "ニュース"}));
    EXPECT_FALSE(m_doc.IsModified());
}

INSTANTIATE_TEST_SUITE_P(
    Marks, ViewMarkTest,
    testing::Values(MarkCase{"OkShowsTheKeyword", 1, "OK", "", "ニュース"},
                    MarkCase{"NgShowsTheReason", 1, "NG", "HTTP 503 Service Unavailable",
                             "HTTP 503 Service Unavailable"},
                    MarkCase{"ClearedBackToTheKeyword", 1, "", "", "ニュース"},
                    MarkCase{"OtherRowLeavesThisOne", 0, "NG", "timeout", nullptr},
                    MarkCase{"NegativeRowIgnored", -1, "NG", "timeout", nullptr},
                    MarkCase{"RowPastTheEndIgnored", 2, "NG", "timeout", nullptr}),
    testing_support::CaseName());

TEST_F(ViewTest, RowTextOutOfRangeIsEmpty)
{
    Load({"a"});
    EXPECT_EQ(m_view->GetRowText(-1), "");
    EXPECT_EQ(m_view->GetRowText(1), "");
    EXPECT_EQ(m_view->GetRowCount(), 1);
}

} // namespace
} // namespace view_tests
