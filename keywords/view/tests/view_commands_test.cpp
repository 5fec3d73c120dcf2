#include "view_fixture.h"

#include "platform/cp932.h"

#include <gtest/gtest.h>

namespace view_tests {
namespace {

std::string Cp932(const char* utf8)
{
    return platform::Utf8ToCp932(utf8).text.value();
}

TEST_F(ViewTest, AddAppendsTheDefaultNameInEdit)
{
    Load({"a", Cp932("新規ｷｰﾜｰﾄﾞ")});
    m_view->OnAddKeyword();
    EXPECT_EQ(Rows(), (Texts{"a", Cp932("新規ｷｰﾜｰﾄﾞ"), Cp932("新規ｷｰﾜｰﾄﾞ (2)")}));
    ExpectRowsEqualDocument();
    EXPECT_TRUE(m_doc.IsModified());
    EXPECT_EQ(EditedRow(), 2);
}

} // namespace
} // namespace view_tests
