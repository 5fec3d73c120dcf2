#include "app/batch/batch_args.h"

#include <gtest/gtest.h>

namespace {

using Action = batch::CBatchArgs::Action;

struct CArgsCase
{
    const char* name;
    std::vector<std::string> args;
    std::optional<Action> action; // none: refused
    std::string file;
    std::optional<std::string> area;
    std::optional<std::string> plugin;
    std::string error;
};

class BatchArgs : public ::testing::TestWithParam<CArgsCase>
{
};

TEST_P(BatchArgs, Parse)
{
    const CArgsCase& c = GetParam();
    const batch::CParseResult result = batch::ParseBatchArgs(c.args);
    ASSERT_EQ(result.args.has_value(), c.action.has_value()) << result.error;
    if (!c.action) {
        EXPECT_EQ(result.error, c.error);
        return;
    }
    EXPECT_EQ(result.args->action, *c.action);
    EXPECT_EQ(result.args->keywordFile, c.file);
    EXPECT_EQ(result.args->area, c.area);
    EXPECT_EQ(result.args->plugin, c.plugin);
}

INSTANTIATE_TEST_SUITE_P(
    Table, BatchArgs,
    ::testing::Values(
        CArgsCase{"Nothing", {}, Action::Window, "", {}, {}, ""},
        CArgsCase{"FileToOpen", {"list.txt"}, Action::Window, "", {}, {}, ""},
        CArgsCase{"Help", {"--help"}, Action::Help, "", {}, {}, ""},
        CArgsCase{"ShortHelp", {"-h"}, Action::Help, "", {}, {}, ""},
        CArgsCase{
            "HelpWins", {"--search", "a.txt", "--bogus", "--help"}, Action::Help, "", {}, {}, ""},
        CArgsCase{"Version", {"--version"}, Action::Version, "", {}, {}, ""},
        CArgsCase{"Search", {"--search", "a b.txt"}, Action::Search, "a b.txt", {}, {}, ""},
        CArgsCase{"All",
                  {"--plugin", "medora", "--search", "a.txt", "--area", "東京"},
                  Action::Search,
                  "a.txt",
                  "東京",
                  "medora",
                  ""},
        CArgsCase{"EqualsForm",
                  {"--search=a.txt", "--area=8", "--plugin=x=y"},
                  Action::Search,
                  "a.txt",
                  "8",
                  "x=y",
                  ""},
        CArgsCase{"DashValue", {"--search", "--area"}, Action::Search, "--area", {}, {}, ""},
        CArgsCase{"MissingValue", {"--search"}, {}, "", {}, {}, "missing value for --search"},
        CArgsCase{"EmptyValue", {"--search", ""}, {}, "", {}, {}, "empty value for --search"},
        CArgsCase{
            "Twice", {"--search", "a", "--search", "b"}, {}, "", {}, {}, "--search given twice"},
        CArgsCase{
            "Stray", {"--search", "a", "b.txt"}, {}, "", {}, {}, "unexpected argument: b.txt"},
        CArgsCase{"Unknown",
                  {"--search", "a", "--areas", "8"},
                  {},
                  "",
                  {},
                  {},
                  "unexpected argument: --areas"},
        CArgsCase{
            "AreaAlone", {"--area", "8"}, {}, "", {}, {}, "--area and --plugin need --search FILE"},
        CArgsCase{"FileWithArea",
                  {"list.txt", "--area", "8"},
                  {},
                  "",
                  {},
                  {},
                  "unexpected argument: list.txt"}),
    [](const auto& info) { return std::string(info.param.name); });

struct CAreaCase
{
    const char* name;
    std::string value;
    std::optional<int> index;
};

class ResolveArea : public ::testing::TestWithParam<CAreaCase>
{
};

TEST_P(ResolveArea, NumberOrPrefectureName)
{
    EXPECT_EQ(batch::ResolveArea(GetParam().value), GetParam().index);
}

INSTANTIATE_TEST_SUITE_P(
    Table, ResolveArea,
    ::testing::Values(CAreaCase{"One", "1", 1}, CAreaCase{"Tokyo", "8", 8},
                      CAreaCase{"Last", "47", 47}, CAreaCase{"Zero", "0", {}},
                      CAreaCase{"PastTheEnd", "48", {}}, CAreaCase{"Negative", "-1", {}},
                      CAreaCase{"Trailing", "8x", {}}, CAreaCase{"Empty", "", {}},
                      CAreaCase{"Name", "東京", 8}, CAreaCase{"FirstName", "北海道", 1},
                      CAreaCase{"LastName", "沖縄", 47}, CAreaCase{"LongName", "東京都", {}},
                      CAreaCase{"Romaji", "Tokyo", {}}),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace
