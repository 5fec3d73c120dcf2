// The model's rows: removing, moving, marking and rebuilding them, and the rows a run reads.
#include "model_fixture.h"

#include "case_name.h"
#include "doc_keywords.h"

#include <QSignalSpy>

#include <gtest/gtest.h>

namespace model_tests {
namespace {

struct RemoveCase
{
    const char* name;
    int row;
    int count;
    const char* rows;  // afterwards; the start is a|b|c|d|e|f
    const char* marks; // afterwards; at the start row 1 is OK and row 4 NG
};

class RemoveTest : public ModelTest, public testing::WithParamInterface<RemoveCase>
{
};

TEST_P(RemoveTest, RemovesFromRowsAndDocumentWithTheirMarks)
{
    const RemoveCase& c = GetParam();
    Load({"a", "b", "c", "d", "e", "f"});
    m_model.SetRowMark(1, "OK", "");
    m_model.SetRowMark(4, "NG", "timeout");
    QSignalSpy removed(&m_model, &QAbstractItemModel::rowsRemoved);
    const bool valid = c.rows != nullptr;

    EXPECT_EQ(m_model.removeRows(c.row, c.count), valid);

    EXPECT_EQ(Rows(), Cp932List(valid ? c.rows : "a|b|c|d|e|f"));
    EXPECT_EQ(Marks(), valid ? c.marks : "|OK|||NG|");
    EXPECT_EQ(m_doc.IsModified(), valid);
    ASSERT_EQ(removed.count(), valid ? 1 : 0);
    if (valid) {
        EXPECT_EQ(removed[0][1].toInt(), c.row);
        EXPECT_EQ(removed[0][2].toInt(), c.row + c.count - 1);
    }
}

INSTANTIATE_TEST_SUITE_P(Ranges, RemoveTest,
                         testing::Values(RemoveCase{"First", 0, 1, "b|c|d|e|f", "OK|||NG|"},
                                         RemoveCase{"Middle", 2, 3, "a|b|f", "|OK|"},
                                         RemoveCase{"Last", 5, 1, "a|b|c|d|e", "|OK|||NG"},
                                         RemoveCase{"All", 0, 6, "", ""},
                                         RemoveCase{"MarkedRow", 1, 1, "a|c|d|e|f", "|||NG|"},
                                         RemoveCase{"NegativeRow", -1, 1, nullptr, nullptr},
                                         RemoveCase{"PastTheEnd", 6, 1, nullptr, nullptr},
                                         RemoveCase{"Overlong", 4, 3, nullptr, nullptr},
                                         RemoveCase{"HugeCount", 1, 0x7fffffff, nullptr, nullptr},
                                         RemoveCase{"NoRows", 1, 0, nullptr, nullptr}),
                         testing_support::CaseName());

struct MoveCase
{
    const char* name;
    int from;
    int to;
    const char* rows;  // afterwards; nullptr: refused. The start is a|b|c
    const char* marks; // afterwards; at the start "OK|NG|"
};

class MoveTest : public ModelTest, public testing::WithParamInterface<MoveCase>
{
};

TEST_P(MoveTest, MovesTheRowWithItsMark)
{
    const MoveCase& c = GetParam();
    Load({"a", "b", "c"});
    m_model.SetRowMark(0, "OK", "");
    m_model.SetRowMark(1, "NG", "HTTP 503");
    QSignalSpy moved(&m_model, &QAbstractItemModel::rowsMoved);
    const bool valid = c.rows != nullptr;

    EXPECT_EQ(m_model.MoveRow(c.from, c.to), valid);

    EXPECT_EQ(Rows(), Cp932List(valid ? c.rows : "a|b|c"));
    EXPECT_EQ(Marks(), valid ? c.marks : "OK|NG|");
    EXPECT_EQ(m_doc.IsModified(), valid);
    EXPECT_EQ(moved.count(), valid ? 1 : 0);
    // The reason travels with its mark.
    for (int row = 0; row < m_model.rowCount(); ++row) {
        const bool ng = Data(row, 1).toString() == QStringLiteral("NG");
        EXPECT_EQ(Data(row, 1, Qt::ToolTipRole).toString(),
                  ng ? QStringLiteral("HTTP 503") : Data(row, 0).toString());
    }
}

INSTANTIATE_TEST_SUITE_P(Moves, MoveTest,
                         testing::Values(MoveCase{"UpSecond", 1, 0, "b|a|c", "NG|OK|"},
                                         MoveCase{"DownFirst", 0, 1, "b|a|c", "NG|OK|"},
                                         MoveCase{"DownSecond", 1, 2, "a|c|b", "OK||NG"},
                                         MoveCase{"FirstToLast", 0, 2, "b|c|a", "NG||OK"},
                                         MoveCase{"LastToFirst", 2, 0, "c|a|b", "|OK|NG"},
                                         MoveCase{"Nowhere", 1, 1, nullptr, nullptr},
                                         MoveCase{"PastTheEnd", 2, 3, nullptr, nullptr},
                                         MoveCase{"FromPastTheEnd", 3, 2, nullptr, nullptr},
                                         MoveCase{"NegativeRow", -1, 0, nullptr, nullptr}),
                         testing_support::CaseName());

// A document changed behind the model's back refuses the model's rows it no longer has; the
// rows stay as they were.
TEST_F(ModelTest, RowsTheDocumentLacksAreRefused)
{
    Load({"a", "b", "c"});
    m_checkInStep = false;
    ASSERT_TRUE(m_doc.RemoveKeyword(2));
    EXPECT_FALSE(m_model.removeRows(2, 1));
    EXPECT_FALSE(m_model.MoveRow(2, 1));
    EXPECT_FALSE(m_model.MoveRow(1, 2));
    const keywords::EditResult renamed = m_model.Rename(2, QStringLiteral("d"));
    EXPECT_EQ(renamed.outcome, keywords::EditResult::Outcome::Refused);
    EXPECT_EQ(renamed.refusal.toStdString(), CVistrelDoc::kInvalidArgumentText);
    EXPECT_EQ(m_model.rowCount(), 3);
    EXPECT_EQ(m_doc.GetKeywords(), (Texts{"a", "b"}));
    EXPECT_FALSE(m_doc.IsModified());
}

struct MarkCase
{
    const char* name;
    std::ptrdiff_t row;
    const char* mark;
    const char* reason;
    const char* tip; // of row 1 afterwards; nullptr: row 1 untouched
    int changes;     // dataChanged signals
};

class MarkTest : public ModelTest, public testing::WithParamInterface<MarkCase>
{
};

TEST_P(MarkTest, MarksARowAndItsTip)
{
    const MarkCase& c = GetParam();
    Load(Cp932List("ドラマ|ニュース"));
    m_model.SetRowMark(1, "OK", "");
    QSignalSpy changed(&m_model, &QAbstractItemModel::dataChanged);

    m_model.SetRowMark(c.row, c.mark, c.reason);

    const QString tip = QString::fromUtf8(c.tip ? c.tip : "ニュース");
    EXPECT_EQ(Data(1, 0, Qt::ToolTipRole), tip);
    EXPECT_EQ(Data(1, 1, Qt::ToolTipRole), tip);
    EXPECT_EQ(Data(1, 1).toString().toStdString(), c.tip ? c.mark : "OK");
    EXPECT_EQ(Data(1, 1, keywords::KeywordModel::ReasonRole).toString().toStdString(),
              c.tip ? c.reason : "");
    EXPECT_EQ(changed.count(), c.changes);
    EXPECT_EQ(Rows(), Cp932List("ドラマ|ニュース"));
    EXPECT_FALSE(m_doc.IsModified()) << "marks are not the document's";
}

INSTANTIATE_TEST_SUITE_P(
    Marks, MarkTest,
    testing::Values(MarkCase{"NgShowsTheReason", 1, "NG", "HTTP 503", "HTTP 503", 1},
                    MarkCase{"ClearedShowsTheKeyword", 1, "", "", "ニュース", 1},
                    MarkCase{"OkAddsItsCountsToTheKeyword", 1, "OK", "42 件 (新着 3 件)",
                             "ニュース\n42 件 (新着 3 件)", 1},
                    MarkCase{"SameAgainIsQuiet", 1, "OK", "", "ニュース", 0},
                    MarkCase{"OtherRow", 0, "NG", "timeout", nullptr, 1},
                    MarkCase{"NegativeRow", -1, "NG", "timeout", nullptr, 0},
                    MarkCase{"RowPastTheEnd", 2, "NG", "timeout", nullptr, 0}),
    testing_support::CaseName());

TEST_F(ModelTest, ReloadFollowsTheDocumentAndDropsTheMarks)
{
    Load({"a", "b"});
    m_model.SetRowMark(0, "OK", "");
    ASSERT_EQ(m_model.AddKeyword().outcome, keywords::EditResult::Outcome::Taken);
    QSignalSpy reset(&m_model, &QAbstractItemModel::modelReset);
    LoadFile("c\r\nd\r\ne\r\n");
    EXPECT_EQ(reset.count(), 1);
    EXPECT_EQ(Rows(), (Texts{"c", "d", "e"}));
    EXPECT_EQ(Marks(), "||");
    EXPECT_EQ(m_model.FirstRowOf("a"), -1);
    EXPECT_EQ(m_model.FirstRowOf("e"), 2);
}

TEST_F(ModelTest, HeadersAndOnlyTheKeywordEditable)
{
    EXPECT_EQ(m_model.headerData(0, Qt::Horizontal), QStringLiteral("検索ｷｰﾜｰﾄﾞ"));
    EXPECT_EQ(m_model.headerData(1, Qt::Horizontal), QStringLiteral("ｽﾃｰﾀｽ"));
    Load({"a"});
    EXPECT_TRUE(m_model.flags(m_model.index(0, 0)).testFlag(Qt::ItemIsEditable));
    EXPECT_FALSE(m_model.flags(m_model.index(0, 1)).testFlag(Qt::ItemIsEditable));
}

} // namespace
} // namespace model_tests
