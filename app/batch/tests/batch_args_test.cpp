#include "app/batch/batch_args.h"

#include <gtest/gtest.h>

namespace {

using Action = batch::CBatchArgs::Action;

struct CArgsCase
{
    const char* name;
    std::vector<std::string> args;
    std::optional<Action> action; // none: refused with error
    std::string fileAreaPlugin; // "file|area|plugin" for a search, the window's file, or the error
};

void PrintTo(const CArgsCase& c, std::ostream* os)
{
    *os << c.name;
}

class BatchArgs : public ::testing::TestWithParam<CArgsCase>
{
};

TEST_P(BatchArgs, Parse)
{
    const batch::CParseResult result = batch::ParseBatchArgs(GetParam().args);
    ASSERT_EQ(result.args.has_value(), GetParam().action.has_value()) << result.error;
    if (!result.args) {
        EXPECT_EQ(result.error, GetParam().fileAreaPlugin);
        return;
    }
    EXPECT_EQ(result.args->action, *GetParam().action);
    if (result.args->action == Action::Window) {
        EXPECT_EQ(result.args->windowFile, GetParam().fileAreaPlugin);
    }
    if (result.args->action == Action::Search) {
        EXPECT_EQ(result.args->keywordFile + "|" + result.args->area.value_or("-") + "|" +
                      result.args->plugin.value_or("-"),
                  GetParam().fileAreaPlugin);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Table, BatchArgs,
    ::testing::Values(
        CArgsCase{"Nothing", {}, Action::Window, ""},
        CArgsCase{"FileToOpen", {"list.txt"}, Action::Window, "list.txt"},
        // Qt's own options are Qt's: their values are no file, and the file still is one.
        CArgsCase{"QtOptionsAndAFile",
                  {"-platform", "offscreen", "-style=fusion", "-reverse", "list.txt", "-style",
                   "windows", "-qmljsdebugger=port:1234"},
                  Action::Window,
                  "list.txt"},
        CArgsCase{"QtValuesAreNoFile",
                  {"-qwindowtitle", "title", "-display", ":1", "-geometry", "9x9+0+0"},
                  Action::Window,
                  ""},
        CArgsCase{"UnknownOption", {"--bogus"}, {}, "unknown option: --bogus"},
        CArgsCase{"UnknownOptionAfterAFile", {"list.txt", "-x"}, {}, "unknown option: -x"},
        CArgsCase{"QtOptionTakesNoEquals",
                  {"-platform=offscreen"},
                  {},
                  "unknown option: -platform=offscreen"},
        CArgsCase{"QtOptionWithoutItsValue",
                  {"list.txt", "-platform"},
                  {},
                  "missing value for -platform"},
        CArgsCase{"QtOptionWithoutEquals",
                  {"-qmljsdebugger"},
                  {},
                  "missing value for -qmljsdebugger (give -qmljsdebugger=VALUE)"},
        CArgsCase{"TwoFiles", {"a.txt", "b.txt"}, {}, "unexpected argument: b.txt"},
        CArgsCase{
            "UnknownOptionInASearch", {"--search", "a", "--bogus"}, {}, "unknown option: --bogus"},
        CArgsCase{"QtOptionInASearch",
                  {"--search", "a", "-platform", "offscreen"},
                  {},
                  "unknown option: -platform"},
        CArgsCase{"HelpWins", {"--search", "a", "--bogus", "-h"}, Action::Help, ""},
        CArgsCase{"Version", {"--version"}, Action::Version, ""},
        CArgsCase{"Search", {"--search", "a b.txt"}, Action::Search, "a b.txt|-|-"},
        CArgsCase{"All",
                  {"--plugin", "medora", "--search", "a", "--area", "東京"},
                  Action::Search,
                  "a|東京|medora"},
        CArgsCase{
            "EqualsForm", {"--search=a", "--area=8", "--plugin=x=y"}, Action::Search, "a|8|x=y"},
        CArgsCase{"MissingValue", {"--search"}, {}, "missing value for --search"},
        CArgsCase{"EmptyValue", {"--search="}, {}, "empty value for --search"},
        CArgsCase{"Twice", {"--search", "a", "--search", "b"}, {}, "--search given twice"},
        CArgsCase{"Stray", {"list.txt", "--search", "a"}, {}, "unexpected argument: list.txt"},
        CArgsCase{"AreaAlone", {"--area", "8"}, {}, "--area and --plugin need --search FILE"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ResolveArea, IsANumberFromOneToFortySevenOrAPrefecturesShortOrFullName)
{
    const std::vector<std::pair<std::string, std::optional<int>>> table = {
        {"1", 1},
        {"8", 8},
        {"47", 47},
        {"0", {}},
        {"48", {}},
        {"-1", {}},
        {"8x", {}},
        {"", {}},
        {"東京", 8},
        {"沖縄", 47},
        {"Tokyo", {}},
        // Full names, each with its own suffix only.
        {"東京都", 8},
        {"北海道", 1},
        {"大阪府", 25},
        {"京都府", 26},
        {"神奈川県", 9},
        {"沖縄県", 47},
        {"東京県", {}},
        {"大阪県", {}},
        {"栃木都", {}},
        {"北海道県", {}},
        {"都", {}},
        {"県", {}}};
    for (const auto& [value, index] : table)
        EXPECT_EQ(batch::ResolveArea(value), index) << value;
}

} // namespace
