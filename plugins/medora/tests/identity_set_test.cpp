#include "medora_test.h"
#include "plugins/medora/identity_set.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

using medora_test::RowName;

namespace {

std::uint64_t SameHashForAll(std::string_view)
{
    return 42;
}

// Two hashes for many texts: neighbours in the table that are not the text looked for.
std::uint64_t FirstByteHash(std::string_view text)
{
    return text.empty() ? 0 : static_cast<unsigned char>(text.front()) % 2;
}

struct SetCase
{
    const char* name;
    medora::IdentitySet::Hasher hasher;
};

void PrintTo(const SetCase& row, std::ostream* os)
{
    *os << row.name;
}

class IdentitySet : public ::testing::TestWithParam<SetCase>
{
};

// Whatever the hashes, the set holds exactly the texts put in: a text that only shares a hash
// with one in the set is not in it, so a new listing is never taken for an old one.
TEST_P(IdentitySet, HoldsExactlyTheTextsPutIn)
{
    medora::IdentitySet set(GetParam().hasher);
    std::set<std::string> expected;
    for (int i = 0; i < 300; ++i) {
        const std::string text = "12/0" + std::to_string(i % 9) + " " + std::to_string(i * 7 % 251);
        EXPECT_EQ(set.insert(text), expected.insert(text).second) << text;
    }
    EXPECT_TRUE(set.insert("")); // the empty text is a text too
    expected.insert("");
    EXPECT_EQ(set.size(), expected.size());
    EXPECT_EQ(std::set<std::string>(set.begin(), set.end()), expected);
    for (const std::string& text : expected)
        EXPECT_TRUE(set.contains(text)) << text;
    for (const std::string absent : {"12/0", "12/00 7 ", "x", "12/09 1"})
        EXPECT_FALSE(set.contains(absent)) << absent;
}

TEST_P(IdentitySet, EqualWhateverTheOrder)
{
    medora::IdentitySet forward(GetParam().hasher);
    medora::IdentitySet backward(GetParam().hasher);
    const std::vector<std::string> texts = {"a", "b c", "\x83\x5C", "d", "b c"};
    for (auto it = texts.begin(); it != texts.end(); ++it)
        forward.insert(*it);
    for (auto it = texts.rbegin(); it != texts.rend(); ++it)
        backward.insert(*it);
    EXPECT_EQ(forward, backward);
    backward.insert("e");
    EXPECT_NE(forward, backward);
    backward.clear();
    EXPECT_TRUE(backward.empty());
    EXPECT_FALSE(backward.contains("a"));
    EXPECT_EQ(backward.begin(), backward.end());
}

const SetCase kSetCases[] = {
    {"StandardHash", nullptr},
    {"EveryTextOneHash", SameHashForAll},
    {"TwoHashes", FirstByteHash},
};

INSTANTIATE_TEST_SUITE_P(Hashes, IdentitySet, ::testing::ValuesIn(kSetCases), RowName<SetCase>);

} // namespace
