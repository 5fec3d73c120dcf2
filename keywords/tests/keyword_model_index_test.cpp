// The row a run marks: FirstRowOf answers from the model's index what a walk over the rows
// from row 0 finds, whatever the user did to the list in between.
#include "model_fixture.h"

#include "case_name.h"

#include <gtest/gtest.h>

#include <random>

namespace model_tests {
namespace {

struct EditsCase
{
    const char* name;
    unsigned seed;
    int steps;
};

class FirstRowTest : public ModelTest, public testing::WithParamInterface<EditsCase>
{
protected:
    // The walk the rows port would do without an index.
    std::ptrdiff_t Walk(const std::string& text) const
    {
        for (std::ptrdiff_t row = 0; row < m_model.GetRowCount(); ++row) {
            if (m_model.IsRowText(row, text))
                return row;
        }
        return -1;
    }
};

TEST_P(FirstRowTest, AgreesWithAWalkThroughRandomEdits)
{
    std::mt19937 random(GetParam().seed);
    auto pick = [&random](int n) { return std::uniform_int_distribution<int>(0, n - 1)(random); };
    // A keyword file may hold a keyword twice; an edit may not make a second one (letter case
    // aside), so renames to these texts are now taken, now refused.
    const Texts texts = {"a", "A", "b", "c", "", "ab", "新規ｷｰﾜｰﾄﾞ"};
    Texts probes = texts;
    for (int n = 2; n < 6; ++n)
        probes.push_back("新規ｷｰﾜｰﾄﾞ (" + std::to_string(n) + ")");
    for (std::string& probe : probes)
        probe = Cp932(probe);
    LoadFile("a\r\nb\r\na\r\n\r\nc\r\nb\r\na\r\n");

    for (int step = 0; step < GetParam().steps; ++step) {
        const int rows = m_model.rowCount();
        const int row = rows > 0 ? pick(rows) : 0;
        switch (pick(rows > 0 ? 6 : 2)) {
        case 0:
            static_cast<void>(m_model.AddKeyword());
            break;
        case 1:
            if (pick(15) == 0)
                LoadFile("b\r\nb\r\na\r\nc\r\na\r\n");
            break;
        case 2:
            static_cast<void>(m_model.removeRows(row, 1 + pick(std::min(2, rows - row))));
            break;
        case 3:
            static_cast<void>(m_model.MoveRow(row, row + (pick(2) ? 1 : -1)));
            break;
        default:
            static_cast<void>(m_model.Rename(row, QString::fromStdString(texts[pick(7)])));
        }
        for (const std::string& probe : probes)
            ASSERT_EQ(m_model.FirstRowOf(probe), Walk(probe)) << "step " << step;
        ASSERT_EQ(Rows(), m_doc.GetKeywords()) << "step " << step;
    }
}

INSTANTIATE_TEST_SUITE_P(Random, FirstRowTest,
                         testing::Values(EditsCase{"Seed1", 1, 2000}, EditsCase{"Seed2", 2, 2000},
                                         EditsCase{"Seed3", 3, 2000}),
                         testing_support::CaseName());

} // namespace
} // namespace model_tests
