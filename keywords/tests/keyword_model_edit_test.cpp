// The list's own edits on the model: label edits and their refusals, the add command's names.
#include "model_fixture.h"

#include "case_name.h"
#include "keywords/keyword_text.h"
#include "typed_text.h"

#include <QSignalSpy>

#include <gtest/gtest.h>

namespace model_tests {
namespace {

using Outcome = keywords::EditResult::Outcome;

struct RenameCase
{
    const char* name;
    int row;
    testing_support::TypedText text;
    Outcome outcome;
    char refusal; // 0: none; D: duplicate, E: not code page 932, L: line break
    const char* rows;
};

class RenameTest : public ModelTest, public testing::WithParamInterface<RenameCase>
{
};

// True when the refusal is the one the case names.
bool IsRefusal(char kind, const QString& text)
{
    switch (kind) {
    case 'D':
        return text == keywords::kDuplicateKeywordText;
    case 'E':
        return text.endsWith(QLatin1Char('\n') + keywords::kChooseAnotherText) &&
               !text.startsWith(keywords::kLineBreakText);
    case 'L':
        return text == keywords::kLineBreakText + QLatin1Char('\n') + keywords::kChooseAnotherText;
    default:
        return text.isEmpty();
    }
}

TEST_P(RenameTest, TakesOrRefusesTheText)
{
    const RenameCase& c = GetParam();
    Load(Cp932List("Drama|ニュース|Ｆｏｏ|新規ｷｰﾜｰﾄﾞ"));
    QSignalSpy changed(&m_model, &QAbstractItemModel::dataChanged);

    const keywords::EditResult result = m_model.Rename(c.row, c.text);

    EXPECT_EQ(result.outcome, c.outcome);
    EXPECT_TRUE(IsRefusal(c.refusal, result.refusal)) << result.refusal.toStdString();
    EXPECT_EQ(Rows(), Cp932List(c.rows));
    const bool taken = c.outcome == Outcome::Taken;
    EXPECT_EQ(m_doc.IsModified(), taken);
    ASSERT_EQ(changed.count(), taken ? 1 : 0);
    if (taken) {
        EXPECT_EQ(changed[0][0].toModelIndex(), m_model.index(c.row, 0));
        EXPECT_EQ(changed[0][1].toModelIndex(), m_model.index(c.row, 1)) << "the tip of both";
        EXPECT_EQ(Data(c.row, 0), c.text.value);
    }
}

constexpr char kFour[] = "Drama|ニュース|Ｆｏｏ|新規ｷｰﾜｰﾄﾞ";

INSTANTIATE_TEST_SUITE_P(
    Labels, RenameTest,
    testing::Values(
        RenameCase{"NewText", 0, "ドラマ", Outcome::Taken, 0, "ドラマ|ニュース|Ｆｏｏ|新規ｷｰﾜｰﾄﾞ"},
        RenameCase{"OtherRow", 0, "ニュース", Outcome::Refused, 'D', kFour},
        RenameCase{"OtherRowOtherCase", 1, "ｆｏｏ", Outcome::Refused, 'D', kFour},
        RenameCase{"OtherRowAscii", 1, "dRAMA", Outcome::Refused, 'D', kFour},
        RenameCase{"OtherRowDefault", 0, "新規ｷｰﾜｰﾄﾞ", Outcome::Refused, 'D', kFour},
        RenameCase{"OwnUnchanged", 0, "Drama", Outcome::Unchanged, 0, kFour},
        RenameCase{"OwnOtherCase", 0, "DRAMA", Outcome::Taken, 0,
                   "DRAMA|ニュース|Ｆｏｏ|新規ｷｰﾜｰﾄﾞ"},
        RenameCase{"OwnFullWidthCase", 2, "ＦＯＯ", Outcome::Taken, 0,
                   "Drama|ニュース|ＦＯＯ|新規ｷｰﾜｰﾄﾞ"},
        RenameCase{"Empty", 1, "", Outcome::Unchanged, 0, kFour},
        RenameCase{"NotCp932", 1, "ニュース😀", Outcome::Refused, 'E', kFour},
        RenameCase{"LoneSurrogate", 1, QStringLiteral("x") + QChar(0xD800), Outcome::Refused, 'E',
                   kFour},
        // Pasted text may hold line breaks; the keyword file could not keep such a keyword.
        RenameCase{"LineBreak", 1, "a\r\nb", Outcome::Refused, 'L', kFour},
        RenameCase{"Nul", 1, QStringLiteral("a") + QChar(0) + QStringLiteral("b"), Outcome::Refused,
                   'L', kFour},
        RenameCase{"OtherWithSpace", 0, "ニュース ", Outcome::Taken, 0,
                   "ニュース |ニュース|Ｆｏｏ|新規ｷｰﾜｰﾄﾞ"},
        RenameCase{"RowPastTheEnd", 4, "x", Outcome::Unchanged, 0, kFour},
        RenameCase{"NegativeRow", -1, "x", Outcome::Unchanged, 0, kFour}),
    testing_support::CaseName());

struct Utf8RenameCase
{
    const char* name;
    int row;
    testing_support::TypedText text;
    Outcome outcome;
    const char* saved; // the file after a save
};

class Utf8RenameTest : public ModelTest, public testing::WithParamInterface<Utf8RenameCase>
{
};

// In a document read as UTF-8 any text can be typed; it is kept, and saved, as UTF-8.
TEST_P(Utf8RenameTest, KeepsWhatIsTypedAsUtf8)
{
    const Utf8RenameCase& c = GetParam();
    const std::string path = LoadFile("花火\n温泉\n");
    EXPECT_EQ(m_model.Rename(c.row, c.text).outcome, c.outcome);
    EXPECT_EQ(m_doc.IsModified(), c.outcome == Outcome::Taken);
    ASSERT_TRUE(m_doc.OnSaveDocument(path));
    EXPECT_EQ(testing_support::ReadFileBytes(path), c.saved);
}

INSTANTIATE_TEST_SUITE_P(
    Labels, Utf8RenameTest,
    testing::Values(Utf8RenameCase{"OutsideCp932", 0, "番組😀", Outcome::Taken, "番組😀\r\n温泉\r\n"},
                    Utf8RenameCase{"Hangul", 1, "한국", Outcome::Taken, "花火\r\n한국\r\n"},
                    Utf8RenameCase{"Duplicate", 0, "温泉", Outcome::Refused, "花火\r\n温泉\r\n"},
                    Utf8RenameCase{"LoneSurrogate", 0, QStringLiteral("x") + QChar(0xDC00),
                                   Outcome::Refused, "花火\r\n温泉\r\n"}),
    testing_support::CaseName());

struct AddCase
{
    const char* name;
    const char* start;
    int adds;
    const char* rows;
};

class AddTest : public ModelTest, public testing::WithParamInterface<AddCase>
{
};

TEST_P(AddTest, AppendsTheFirstFreeName)
{
    const AddCase& c = GetParam();
    Load(Cp932List(c.start));
    QSignalSpy inserted(&m_model, &QAbstractItemModel::rowsInserted);
    for (int i = 0; i < c.adds; ++i) {
        const int row = m_model.rowCount();
        ASSERT_EQ(m_model.AddKeyword().outcome, Outcome::Taken);
        ASSERT_EQ(inserted.count(), i + 1);
        EXPECT_EQ(inserted.back()[1].toInt(), row);
        EXPECT_EQ(inserted.back()[2].toInt(), row);
        EXPECT_EQ(Data(row, 1), QString()) << "a new row has no mark";
    }
    EXPECT_EQ(Rows(), Cp932List(c.rows));
    EXPECT_TRUE(m_doc.IsModified());
}

INSTANTIATE_TEST_SUITE_P(
    Names, AddTest,
    testing::Values(
        AddCase{"Empty", "", 1, "新規ｷｰﾜｰﾄﾞ"},
        AddCase{"PlainAndTwoTaken", "新規ｷｰﾜｰﾄﾞ|新規ｷｰﾜｰﾄﾞ (2)", 1,
                "新規ｷｰﾜｰﾄﾞ|新規ｷｰﾜｰﾄﾞ (2)|新規ｷｰﾜｰﾄﾞ (3)"},
        AddCase{"GapAtTwo", "新規ｷｰﾜｰﾄﾞ (3)|新規ｷｰﾜｰﾄﾞ", 1,
                "新規ｷｰﾜｰﾄﾞ (3)|新規ｷｰﾜｰﾄﾞ|新規ｷｰﾜｰﾄﾞ (2)"},
        AddCase{"PlainFree", "新規ｷｰﾜｰﾄﾞ (2)", 1, "新規ｷｰﾜｰﾄﾞ (2)|新規ｷｰﾜｰﾄﾞ"},
        AddCase{"WholeTextsOnly", "新規ｷｰﾜｰﾄﾞ |x新規ｷｰﾜｰﾄﾞ", 1,
                "新規ｷｰﾜｰﾄﾞ |x新規ｷｰﾜｰﾄﾞ|新規ｷｰﾜｰﾄﾞ"},
        AddCase{"PastNine", "新規ｷｰﾜｰﾄﾞ", 9,
                "新規ｷｰﾜｰﾄﾞ|新規ｷｰﾜｰﾄﾞ (2)|新規ｷｰﾜｰﾄﾞ (3)|新規ｷｰﾜｰﾄﾞ (4)|新規ｷｰﾜｰﾄﾞ (5)|"
                "新規ｷｰﾜｰﾄﾞ (6)|新規ｷｰﾜｰﾄﾞ (7)|新規ｷｰﾜｰﾄﾞ (8)|新規ｷｰﾜｰﾄﾞ (9)|新規ｷｰﾜｰﾄﾞ (10)"}),
    testing_support::CaseName());

// A UTF-8 document gets the same name, as UTF-8.
TEST_F(ModelTest, AddInAUtf8DocumentWritesUtf8)
{
    const std::string path = LoadFile("花火\n温泉\n");
    ASSERT_EQ(m_model.AddKeyword().outcome, Outcome::Taken);
    ASSERT_TRUE(m_doc.OnSaveDocument(path));
    EXPECT_EQ(testing_support::ReadFileBytes(path), "花火\r\n温泉\r\n新規ｷｰﾜｰﾄﾞ\r\n");
}

} // namespace
} // namespace model_tests
