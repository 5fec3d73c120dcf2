#include "keywords/document_rows.h"
#include "keywords/vistrel_doc.h"

#include "case_name.h"
#include "doc_keywords.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <string>
#include <vector>

namespace {

using Keywords = std::vector<std::string>;

// A run compares rows with IsRowText: it must agree with comparing GetRowText's copy, for
// every row, rows out of range and texts that differ only slightly, also after the document
// changed under the rows.
TEST(DocumentRowsTest, IsRowTextAgreesWithTheRowsText)
{
    CVistrelDoc doc;
    testing_support::SetKeywords(doc,
                                 {"Abc", "", "\x83\x68\x83\x89", std::string("a\0b", 3), "\x81"});
    const keywords::DocumentRows rows(doc);
    const Keywords texts = {
        "Abc", "abc",  "Ab", "Abcd", "", "\x83\x68", "\x83\x68\x83\x89", std::string("a\0b", 3),
        "a",   "\x81", "z"};
    for (int round = 0; round < 2; ++round) {
        for (std::ptrdiff_t row = -1; row <= rows.GetRowCount(); ++row) {
            for (const std::string& text : texts)
                EXPECT_EQ(rows.IsRowText(row, text), rows.GetRowText(row) == text)
                    << "row " << row << " text " << text << " round " << round;
        }
        testing_support::SetKeywords(doc, {"z", "abc"});
    }
    EXPECT_TRUE(rows.IsRowText(1, "abc"));
    EXPECT_FALSE(rows.IsRowText(0, "Z")) << "bytes compare exactly";
}

TEST(DocKeywordListTest, OperationsEditTheListInPlace)
{
    CVistrelDoc doc;
    doc.AddKeyword("x");
    doc.AddKeyword("");
    doc.AddKeyword("x");
    EXPECT_EQ(doc.GetKeywords(), (Keywords{"x", "", "x"}));

    ASSERT_TRUE(doc.InsertKeyword(0, "first"));
    ASSERT_TRUE(doc.InsertKeyword(2, "mid"));
    ASSERT_TRUE(doc.InsertKeyword(doc.GetKeywordCount(), "last"));
    EXPECT_EQ(doc.GetKeywords(), (Keywords{"first", "x", "mid", "", "x", "last"}));

    ASSERT_TRUE(doc.SetKeyword(3, "filled"));
    ASSERT_TRUE(doc.RemoveKeyword(0));
    ASSERT_TRUE(doc.RemoveKeyword(doc.GetKeywordCount() - 1));
    EXPECT_EQ(doc.GetKeywords(), (Keywords{"x", "mid", "filled", "x"}));
    EXPECT_EQ(doc.GetKeywordCount(), 4);
    EXPECT_EQ(doc.GetKeyword(2), "filled");

    // Marking the document is the view's part, not the list's.
    EXPECT_FALSE(doc.IsModified());
}

enum class Operation { Get, Set, Remove, Insert };

struct BadIndexCase
{
    const char* name;
    Operation operation;
    std::ptrdiff_t index;
};

class DocBadIndexTest : public testing::TestWithParam<BadIndexCase>
{
};

TEST_P(DocBadIndexTest, IsRefusedAndLeavesTheListAlone)
{
    CVistrelDoc doc;
    testing_support::SetKeywords(doc, {"a", "b", "c"});
    const std::ptrdiff_t index = GetParam().index;
    bool accepted = true;
    switch (GetParam().operation) {
    case Operation::Get:
        accepted = doc.GetKeyword(index).has_value();
        break;
    case Operation::Set:
        accepted = doc.SetKeyword(index, "z");
        break;
    case Operation::Remove:
        accepted = doc.RemoveKeyword(index);
        break;
    case Operation::Insert:
        accepted = doc.InsertKeyword(index, "z");
        break;
    }
    EXPECT_FALSE(accepted);
    EXPECT_EQ(doc.GetKeywords(), (Keywords{"a", "b", "c"}));
    EXPECT_FALSE(doc.IsModified());
}

constexpr std::ptrdiff_t kLowest = std::numeric_limits<std::ptrdiff_t>::min();

INSTANTIATE_TEST_SUITE_P(Indices, DocBadIndexTest,
                         testing::Values(BadIndexCase{"GetNegative", Operation::Get, -1},
                                         BadIndexCase{"GetCount", Operation::Get, 3},
                                         BadIndexCase{"SetNegative", Operation::Set, -1},
                                         BadIndexCase{"SetCount", Operation::Set, 3},
                                         BadIndexCase{"SetLowest", Operation::Set, kLowest},
                                         BadIndexCase{"RemoveNegative", Operation::Remove, -1},
                                         BadIndexCase{"RemoveCount", Operation::Remove, 3},
                                         BadIndexCase{"InsertNegative", Operation::Insert, -1},
                                         BadIndexCase{"InsertPastCount", Operation::Insert, 4},
                                         BadIndexCase{"InsertLowest", Operation::Insert, kLowest}),
                         testing_support::CaseName());

} // namespace
