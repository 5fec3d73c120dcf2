// The listing counts a plug-in may tell after a merge: passed on as told, or not at all when
// the answer cannot be trusted.
#include "platform/tests/scoped_env.h"
#include "platform/tests/temp_dir.h"
#include "plugin_host/plugin_module.h"

#include <gtest/gtest.h>

namespace {

using plugin_host::ListingCount;

std::string TestPlugin(const char* name)
{
    return std::string(TEST_PLUGIN_DIR) + "/" + name + ".so";
}

struct CountsCase
{
    const char* name;
    const char* counts;       // what the plug-in writes, pair by pair
    const char* answer;       // what it returns; null: the page count of its merge
    bool askForTheMergedPage; // false: for another path, which it has no counts for
    std::optional<std::vector<ListingCount>> expected; // of the merge's two pages
};

void PrintTo(const CountsCase& c, std::ostream* os)
{
    *os << c.name;
}

class ListingCounts : public ::testing::TestWithParam<CountsCase>
{
};

TEST_P(ListingCounts, AreTakenOnlyWhenTheyFitTheMerge)
{
    const CountsCase& c = GetParam();
    testing_support::CTempDir dir;
    testing_support::CScopedEnv env{{"VISTREL_TEST_COUNTS", c.counts},
                                    {"VISTREL_TEST_COUNTS_RETURN", c.answer}};
    CPluginModule module;
    ASSERT_TRUE(module.Load(TestPlugin("counting")));
    EXPECT_TRUE(module.HasListingCounts());
    const std::string page = dir.File("page.html");
    ASSERT_TRUE(module.MergeDownloadFiles(page, {"/tmp/~TV1", "/tmp/~TV2"}));
    EXPECT_EQ(module.GetListingCounts(c.askForTheMergedPage ? page : dir.File("other.html"), 2),
              c.expected);
}

const std::vector<ListingCount> kFortyTwoAndSeven = {{42, 3}, {7, 0}};

INSTANTIATE_TEST_SUITE_P(
    Table, ListingCounts,
    ::testing::Values(CountsCase{"Compared", "42,3,7,0", nullptr, true, kFortyTwoAndSeven},
                      CountsCase{"NotCompared", "5,-1,0,-1", nullptr, true,
                                 std::vector<ListingCount>{{5, std::nullopt}, {0, std::nullopt}}},
                      CountsCase{"OneCompared", "5,-1,9,9", nullptr, true,
                                 std::vector<ListingCount>{{5, std::nullopt}, {9, 9}}},
                      CountsCase{"SaysAnotherPageCount", "42,3,7,0", "3", true, std::nullopt},
                      CountsCase{"SaysFewerPages", "42,3,7,0", "1", true, std::nullopt},
                      CountsCase{"LeavesAPairUnwritten", "42,3", nullptr, true, std::nullopt},
                      CountsCase{"NegativeListings", "42,3,-1,-1", nullptr, true, std::nullopt},
                      CountsCase{"NewBelowMinusOne", "42,-2,7,0", nullptr, true, std::nullopt},
                      CountsCase{"MoreNewThanListings", "42,3,7,8", nullptr, true, std::nullopt},
                      CountsCase{"HasNoCountsForThePath", "42,3,7,0", nullptr, false, std::nullopt},
                      CountsCase{"Refuses", "42,3,7,0", "-1", true, std::nullopt}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ListingCounts, AbsentWithoutTheExportOrAMerge)
{
    testing_support::CTempDir dir;
    testing_support::CScopedEnv env{{"VISTREL_TEST_COUNTS", "1,1"}};
    CPluginModule module;
    EXPECT_FALSE(module.HasListingCounts());
    EXPECT_EQ(module.GetListingCounts(dir.File("page.html"), 1), std::nullopt) << "not loaded";
    ASSERT_TRUE(module.Load(TestPlugin("good")));
    ASSERT_TRUE(module.MergeDownloadFiles(dir.File("page.html"), {"/tmp/~TV1"}));
    EXPECT_FALSE(module.HasListingCounts());
    EXPECT_EQ(module.GetListingCounts(dir.File("page.html"), 1), std::nullopt);
    ASSERT_TRUE(module.Load(TestPlugin("counting")));
    EXPECT_EQ(module.GetListingCounts(dir.File("page.html"), 1), std::nullopt)
        << "this library merged nothing yet";
    EXPECT_EQ(module.GetListingCounts("", 1), std::nullopt);
}

} // namespace
