// F5 with nothing to search: no run starts, and the status bar says why.
#include "app/command_ids.h"
#include "app/command_updater.h"
#include "app/main_frame.h"
#include "app/query_bar.h"
#include "app/status_bar.h"
#include "app/tests/app_folder.h"

#include <QAction>
#include <QLabel>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace app_test {
namespace {

struct RefusalCase
{
    const char* name;
    bool plugin;   // the medora test plug-in is in the Plugin folder
    bool keywords; // the document opened holds a keyword
    int area;
    const char* status;  // the message pane after F5
    const char* message; // the message box shown, or empty
};

class StartRefusal : public testing::TestWithParam<RefusalCase>
{
};

TEST_P(StartRefusal, StatusBarSaysWhy)
{
    const RefusalCase& c = GetParam();
    CAppFolder folder;
    if (c.plugin)
        folder.AddPlugin("medora");
    std::vector<std::string> args;
    if (c.keywords)
        args.push_back(folder.WriteKeywordFile("k.txt", "news\r\n"));
    CStartedApp started(folder, args);
    ASSERT_TRUE(started.Started());
    CMainFrame& frame = started.Frame();
    frame.GetQueryBar()->SelectArea(c.area);
    frame.GetCommandUpdater().Update();
    QAction* start = frame.GetCommand(app::ID_SEARCH_START);
    ASSERT_TRUE(start->isEnabled()) << "F5 stays on: it says why it does nothing";
    start->trigger();

    EXPECT_EQ(frame.GetStatusBar()->MessagePane()->text(), QString::fromUtf8(c.status));
    ASSERT_EQ(started.prompts.messages.size(), *c.message == '\0' ? 0U : 1U);
    if (*c.message != '\0') {
        EXPECT_EQ(started.prompts.messages[0].text, QString::fromUtf8(c.message));
    }
    frame.GetCommandUpdater().Update();
    EXPECT_TRUE(start->isEnabled()) << "no run was started";
}

INSTANTIATE_TEST_SUITE_P(
    Cases, StartRefusal,
    testing::Values(RefusalCase{"NoPluginNoKeyword", false, false, 8, "プラグインがありません", ""},
                    RefusalCase{"NoPluginWithKeyword", false, true, 8, "プラグインがありません",
                                ""},
                    RefusalCase{"PluginNoKeyword", true, false, 8, "キーワードがありません", ""},
                    // The missing region has its own message and the status bar is left as it was.
                    RefusalCase{"NoRegion", true, false, 0, "レディ", "地域を選択してください。"}),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace
} // namespace app_test
