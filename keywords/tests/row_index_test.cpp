// The first row holding a text, answered by the index, against a walk over the rows, through
// random inserts, erasures, replacements and resets.
#include "keywords/row_index.h"

#include "case_name.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

namespace {

using Texts = std::vector<std::string>;

int Walk(const Texts& rows, const std::string& text)
{
    for (std::size_t row = 0; row < rows.size(); ++row) {
        if (rows[row] == text)
            return static_cast<int>(row);
    }
    return -1;
}

struct IndexCase
{
    const char* name;
    unsigned seed;
    int alphabet; // distinct texts: few make many duplicates
    int steps;
};

class RowIndexTest : public testing::TestWithParam<IndexCase>
{
};

TEST_P(RowIndexTest, AgreesWithAWalkFromTheFirstRow)
{
    const IndexCase& c = GetParam();
    std::mt19937 random(c.seed);
    auto pick = [&random](int n) { return std::uniform_int_distribution<int>(0, n - 1)(random); };
    Texts alphabet;
    for (int i = 0; i < c.alphabet; ++i)
        alphabet.push_back(i == 0 ? std::string() : "k" + std::to_string(i));
    alphabet.push_back(std::string("k1\0", 3)); // differs from k1 only past its end

    Texts rows;
    keywords::RowIndex index;
    for (int step = 0; step < c.steps; ++step) {
        const int size = static_cast<int>(rows.size());
        const std::string& text = alphabet[pick(static_cast<int>(alphabet.size()))];
        switch (pick(size == 0 ? 2 : 6)) {
        case 0:
        case 1: {
            const int at = pick(size + 1);
            rows.insert(rows.begin() + at, text);
            index.Insert(at, text);
            break;
        }
        case 2:
        case 3: {
            const int first = pick(size);
            const int count = 1 + pick(std::min(3, size - first));
            const Texts gone(rows.begin() + first, rows.begin() + first + count);
            rows.erase(rows.begin() + first, rows.begin() + first + count);
            index.Erase(first, gone);
            break;
        }
        case 4: {
            const int at = pick(size);
            index.Replace(at, rows[at], text);
            rows[at] = text;
            break;
        }
        default:
            if (pick(20) == 0) { // now and then the whole list anew
                rows.resize(pick(30));
                for (std::string& row : rows)
                    row = alphabet[pick(static_cast<int>(alphabet.size()))];
                index.Reset(rows);
            }
        }
        ASSERT_EQ(index.GetRowCount(), static_cast<int>(rows.size()));
        for (const std::string& probe : alphabet)
            ASSERT_EQ(index.First(probe), Walk(rows, probe)) << "step " << step;
        ASSERT_EQ(index.First("absent"), -1);
    }
}

INSTANTIATE_TEST_SUITE_P(Random, RowIndexTest,
                         testing::Values(IndexCase{"ManyDuplicates", 1, 3, 3000},
                                         IndexCase{"SomeDuplicates", 2, 12, 3000},
                                         IndexCase{"MostlyDistinct", 3, 400, 3000},
                                         IndexCase{"OneText", 4, 1, 1000}),
                         testing_support::CaseName());

} // namespace
