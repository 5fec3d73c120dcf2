#include "app/batch/batch_args.h"

#include <gtest/gtest.h>

namespace {

using Action = batch::BatchArgs::Action;

struct ArgsCase
{
    const char* name;
    std::vector<std::string> args;
    std::optional<Action> action; // none: refused with error
    std::string fileAreaPlugin; // "file|area|plugin" for a search, the window's file, or the error
};

void PrintTo(const ArgsCase& c, std::ostream* os)
{
    *os << c.name;
}

class ParseArgs : public ::testing::TestWithParam<ArgsCase>
{
};

TEST_P(ParseArgs, Parse)
{
    const platform::Result<batch::BatchArgs> result = batch::ParseBatchArgs(GetParam().args);
    ASSERT_EQ(static_cast<bool>(result), GetParam().action.has_value()) << result.error;
    if (!result) {
        EXPECT_EQ(result.error, GetParam().fileAreaPlugin);
        return;
    }
    EXPECT_EQ(result.value.action, *GetParam().action);
    if (result.value.action == Action::Window) {
        EXPECT_EQ(result.value.windowFile, GetParam().fileAreaPlugin);
    }
    if (result.value.action == Action::Search) {
        EXPECT_EQ(result.value.keywordFile + "|" + result.value.area.value_or("-") + "|" +
                      result.value.plugin.value_or("-") + (result.value.newOnly ? "|new" : "") +
                      (result.value.notify ? "|notify" : ""),
                  GetParam().fileAreaPlugin);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Table, ParseArgs,
    ::testing::Values(
        ArgsCase{"Nothing", {}, Action::Window, ""},
        ArgsCase{"FileToOpen", {"list.txt"}, Action::Window, "list.txt"},
        // Qt's own options are Qt's: their values are no file, and the file still is one.
        ArgsCase{"QtOptionsAndAFile",
                 {"-platform", "offscreen", "-style=fusion", "-reverse", "list.txt", "-style",
                  "windows", "-qmljsdebugger=port:1234"},
                 Action::Window,
                 "list.txt"},
        ArgsCase{"QtValuesAreNoFile",
                 {"-qwindowtitle", "title", "-display", ":1", "-geometry", "9x9+0+0"},
                 Action::Window,
                 ""},
        ArgsCase{"UnknownOption", {"--bogus"}, {}, "unknown option: --bogus"},
        ArgsCase{"UnknownOptionAfterAFile", {"list.txt", "-x"}, {}, "unknown option: -x"},
        ArgsCase{"QtOptionTakesNoEquals",
                 {"-platform=offscreen"},
                 {},
                 "unknown option: -platform=offscreen"},
        ArgsCase{"QtOptionWithoutItsValue",
                 {"list.txt", "-platform"},
                 {},
                 "missing value for -platform"},
        ArgsCase{"QtOptionWithoutEquals",
                 {"-qmljsdebugger"},
                 {},
                 "missing value for -qmljsdebugger (give -qmljsdebugger=VALUE)"},
        ArgsCase{"TwoFiles", {"a.txt", "b.txt"}, {}, "unexpected argument: b.txt"},
        ArgsCase{
            "UnknownOptionInASearch", {"--search", "a", "--bogus"}, {}, "unknown option: --bogus"},
        ArgsCase{"QtOptionInASearch",
                 {"--search", "a", "-platform", "offscreen"},
                 {},
                 "unknown option: -platform"},
        ArgsCase{"HelpWins", {"--search", "a", "--bogus", "-h"}, Action::Help, ""},
        ArgsCase{"Version", {"--version"}, Action::Version, ""},
        ArgsCase{"Search", {"--search", "a b.txt"}, Action::Search, "a b.txt|-|-"},
        ArgsCase{"All",
                 {"--plugin", "medora", "--search", "a", "--area", "東京"},
                 Action::Search,
                 "a|東京|medora"},
        ArgsCase{
            "EqualsForm", {"--search=a", "--area=8", "--plugin=x=y"}, Action::Search, "a|8|x=y"},
        ArgsCase{"MissingValue", {"--search"}, {}, "missing value for --search"},
        ArgsCase{"EmptyValue", {"--search="}, {}, "empty value for --search"},
        ArgsCase{"Twice", {"--search", "a", "--search", "b"}, {}, "--search given twice"},
        ArgsCase{"Stray", {"list.txt", "--search", "a"}, {}, "unexpected argument: list.txt"},
        ArgsCase{"AreaAlone",
                 {"--area", "8"},
                 {},
                 "--area, --plugin, --new-only and --notify need --search FILE"},
        ArgsCase{"NewOnly", {"--new-only", "--search", "a"}, Action::Search, "a|-|-|new"},
        ArgsCase{"NewOnlyAlone",
                 {"--new-only"},
                 {},
                 "--area, --plugin, --new-only and --notify need --search FILE"},
        ArgsCase{"NewOnlyWithAValue",
                 {"--search", "a", "--new-only=yes"},
                 {},
                 "--new-only takes no value"},
        ArgsCase{"NewOnlyTwice",
                 {"--search", "a", "--new-only", "--new-only"},
                 {},
                 "--new-only given twice"},
        ArgsCase{"Notify", {"--search", "a", "--notify"}, Action::Search, "a|-|-|notify"},
        ArgsCase{"NotifyAndNewOnly",
                 {"--notify", "--new-only", "--search=a"},
                 Action::Search,
                 "a|-|-|new|notify"},
        ArgsCase{"NotifyAlone",
                 {"--notify"},
                 {},
                 "--area, --plugin, --new-only and --notify need --search FILE"},
        ArgsCase{"NotifyWithAValue", {"--search", "a", "--notify="}, {}, "--notify takes no value"},
        ArgsCase{
            "NotifyTwice", {"--search", "a", "--notify", "--notify"}, {}, "--notify given twice"}),
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
