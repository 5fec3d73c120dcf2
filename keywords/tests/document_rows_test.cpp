#include "keywords/document_rows.h"
#include "keywords/vistrel_doc.h"

#include <gtest/gtest.h>

namespace {

TEST(DocumentRows, AreTheDocumentsKeywordsWithMarksBeside)
{
    CVistrelDoc doc;
    keywords::CDocumentRows rows(doc);
    EXPECT_EQ(rows.GetRowCount(), 0);
    EXPECT_EQ(rows.GetRowText(0), "");

    doc.AddKeyword("a");
    doc.AddKeyword("");
    doc.AddKeyword("\x83\x68"); // code page 932 bytes stay as they are
    ASSERT_EQ(rows.GetRowCount(), 3);
    EXPECT_EQ(rows.GetRowText(2), "\x83\x68");
    EXPECT_EQ(rows.GetRowText(3), "");
    EXPECT_EQ(rows.GetRowText(-1), "");

    rows.SetRowMark(2, "NG", "HTTP 404");
    rows.SetRowMark(0, "OK", "");
    rows.SetRowMark(3, "OK", "out of range");
    rows.SetRowMark(-1, "OK", "out of range");
    EXPECT_EQ(rows.GetRowMark(0).mark, "OK");
    EXPECT_EQ(rows.GetRowMark(1).mark, "");
    EXPECT_EQ(rows.GetRowMark(2).mark, "NG");
    EXPECT_EQ(rows.GetRowMark(2).reason, "HTTP 404");
    EXPECT_EQ(rows.GetRowMark(3).mark, "");

    // A mark is cleared like any other text, and follows the document's rows.
    rows.SetRowMark(2, "", "");
    EXPECT_EQ(rows.GetRowMark(2).reason, "");
    ASSERT_TRUE(doc.RemoveKeyword(0));
    EXPECT_EQ(rows.GetRowCount(), 2);
    EXPECT_EQ(rows.GetRowMark(2).mark, "") << "no row 2 any more";
}

} // namespace
