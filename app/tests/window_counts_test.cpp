// A window search with a plug-in that counts listings: an "OK" row's tool tip adds what its
// page gave, and the status bar tells the new listings in all once the run is over. Without
// counts both read as they always have.
#include "app/command_ids.h"
#include "app/status_bar.h"
#include "app/tests/window_fixture.h"
#include "platform/tests/scoped_env.h"

#include <QLabel>

#include <gtest/gtest.h>

namespace {

using namespace app;

struct CWindowCountsCase
{
    const char* name;
    const char* plugin;
    const char* counts; // what the plug-in tells, pair by pair, for ドラマ and ニュース
    std::vector<std::string> tips; // of the rows ドラマ, 欠番 (answered with 404), ニュース
    const char* status;
};

void PrintTo(const CWindowCountsCase& c, std::ostream* os)
{
    *os << c.name;
}

class WindowCounts : public app_test::CWindowRunTest,
                     public ::testing::WithParamInterface<CWindowCountsCase>
{
};

TEST_P(WindowCounts, ShowInTheTipsAndTheStatusBar)
{
    const CWindowCountsCase& c = GetParam();
    listing_site::CSiteOptions options;
    options.statusByKey[batch_test::Cp932("欠番")] = 404;
    StartSite(options);
    const std::string server = AddTestPlugins();
    testing_support::CScopedEnv env{{"VISTREL_TEST_SERVER", server.c_str()},
                                    {"VISTREL_TEST_COUNTS", c.counts}};
    ASSERT_TRUE(m_config.WriteString(config::Key::DLLName, c.plugin));
    Open({"ドラマ", "欠番", "ニュース"});
    m_prompts.answers.push_back(MsgAnswer::No);

    Press(ID_SEARCH_START);
    ASSERT_TRUE(PumpUntil([&] { return !m_prompts.messages.empty(); }));

    EXPECT_EQ(Marks(), (std::vector<std::string>{"OK", "NG", "OK"}));
    EXPECT_EQ((std::vector<std::string>{Tip(0), Tip(1), Tip(2)}), c.tips);
    EXPECT_EQ(Frame().GetStatusBar()->MessagePane()->text().toStdString(), c.status);
}

INSTANTIATE_TEST_SUITE_P(
    Table, WindowCounts,
    ::testing::Values(
        CWindowCountsCase{"Compared",
                          "counting",
                          "42,3,7,2",
                          {"ドラマ\n42 件 (新着 3 件)", "HTTP 404", "ニュース\n7 件 (新着 2 件)"},
                          "レディ（新着 5 件）"},
        CWindowCountsCase{"PartlyCompared",
                          "counting",
                          "42,0,7,-1",
                          {"ドラマ\n42 件 (新着 0 件)", "HTTP 404", "ニュース\n7 件"},
                          "レディ（新着 0 件）"},
        CWindowCountsCase{"NotCompared",
                          "counting",
                          "42,-1,7,-1",
                          {"ドラマ\n42 件", "HTTP 404", "ニュース\n7 件"},
                          "レディ"},
        CWindowCountsCase{
            "NotToBeTrusted", "counting", "42,3", {"ドラマ", "HTTP 404", "ニュース"}, "レディ"},
        CWindowCountsCase{"PluginWithoutCounts",
                          "plain",
                          "42,3,7,2",
                          {"ドラマ", "HTTP 404", "ニュース"},
                          "レディ"}),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace
