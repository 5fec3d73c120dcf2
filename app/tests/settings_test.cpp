#include "app/main_frame.h"
#include "app/query_bar.h"
#include "app/status_bar.h"
#include "app/tests/app_folder.h"
#include "plugin_host/plugin_module.h"

#include <QComboBox>
#include <QGuiApplication>
#include <QScreen>
#include <QToolBar>

#include <gtest/gtest.h>

namespace app_test {
namespace {

using config::Key;

std::string SelectedTitle(const CMainFrame& frame)
{
    const CPluginModule* plugin = frame.GetSelectedPlugin();
    return plugin ? plugin->GetFileTitle() : std::string("(none)");
}

void SelectPlugin(CMainFrame& frame, const std::string& title)
{
    QComboBox* list = frame.GetQueryBar()->PluginList();
    for (int i = 0; i < list->count(); ++i) {
        if (static_cast<CPluginModule*>(list->itemData(i).value<void*>())->GetFileTitle() == title)
            list->setCurrentIndex(i);
    }
}

TEST(Settings, RoundTripAcrossTwoStarts)
{
    CAppFolder folder{"medora", "zulu"};
    {
        CStartedApp first(folder);
        ASSERT_TRUE(first.Started());
        CMainFrame& frame = first.Frame();
        frame.GetQueryBar()->SelectArea(12);
        SelectPlugin(frame, "zulu");
        frame.move(100, 50);
        frame.resize(640, 480);
        frame.GetToolBar()->hide();
        frame.GetStatusBar()->hide();
        frame.addToolBar(Qt::BottomToolBarArea, frame.GetQueryBar());
        ASSERT_TRUE(first.Close());
    }
    const config::Config ini = folder.Config();
    EXPECT_EQ(ini.ReadInt(Key::Area), 12);
    EXPECT_EQ(ini.ReadString(Key::DLLName), "zulu");
    EXPECT_EQ(ini.ReadInt(Key::WindowLeft), 100);
    EXPECT_EQ(ini.ReadInt(Key::WindowTop), 50);
    EXPECT_EQ(ini.ReadInt(Key::WindowRight), 740);
    EXPECT_EQ(ini.ReadInt(Key::WindowBottom), 530);

    CStartedApp second(folder);
    ASSERT_TRUE(second.Started());
    CMainFrame& frame = second.Frame();
    EXPECT_EQ(frame.GetQueryBar()->GetAreaIndex(), 12);
    EXPECT_EQ(frame.GetAreaName(), "群馬");
    EXPECT_EQ(SelectedTitle(frame), "zulu");
    EXPECT_EQ(frame.pos(), QPoint(100, 50));
    EXPECT_EQ(frame.size(), QSize(640, 480));
    EXPECT_TRUE(frame.GetToolBar()->isHidden());
    EXPECT_TRUE(frame.GetStatusBar()->isHidden());
    EXPECT_EQ(frame.toolBarArea(frame.GetQueryBar()), Qt::BottomToolBarArea);
}

// A stored size that does not fit the screen is cut to its available area, each side alone;
// the position stays as stored.
TEST(Settings, StoredSizeIsCutToTheScreen)
{
    CAppFolder folder;
    const QSize screen = QGuiApplication::primaryScreen()->availableGeometry().size();
    ASSERT_FALSE(screen.isEmpty());
    const int wide = screen.width() * 2;
    const int tall = screen.height() * 2;
    // Each row: the stored rectangle and the size the window opens with.
    const struct
    {
        int left, top, right, bottom;
        QSize opened;
    } rows[] = {{0, 0, 500, 400, QSize(500, 400)},
                {0, 0, wide, tall, screen},
                {10, 20, 10 + wide, 320, QSize(screen.width(), 300)},
                {0, 0, 300, tall, QSize(300, screen.height())},
                {0, 0, screen.width(), screen.height(), screen}};
    for (const auto& row : rows) {
        const config::Config ini = folder.Config();
        ini.WriteInt(Key::WindowLeft, row.left);
        ini.WriteInt(Key::WindowTop, row.top);
        ini.WriteInt(Key::WindowRight, row.right);
        ini.WriteInt(Key::WindowBottom, row.bottom);
        CStartedApp started(folder);
        ASSERT_TRUE(started.Started());
        EXPECT_EQ(started.Frame().pos(), QPoint(row.left, row.top));
        EXPECT_EQ(started.Frame().size(), row.opened) << row.right << "x" << row.bottom;
        ASSERT_TRUE(started.Close());
    }
}

TEST(Settings, RectangleIsNotWrittenWhileMaximised)
{
    CAppFolder folder;
    {
        CStartedApp first(folder);
        first.Frame().move(30, 40);
        first.Frame().resize(500, 400);
        ASSERT_TRUE(first.Close());
    }
    {
        CStartedApp second(folder);
        second.Frame().move(300, 200); // a rectangle that must not be stored
        second.Frame().showMaximized();
        ASSERT_TRUE(second.Frame().isMaximized());
        second.Frame().GetQueryBar()->SelectArea(3);
        ASSERT_TRUE(second.Close());
    }
    const config::Config ini = folder.Config();
    EXPECT_EQ(ini.ReadInt(Key::Area), 3) << "the other settings are still written";
    EXPECT_EQ(ini.ReadInt(Key::WindowLeft), 30);
    EXPECT_EQ(ini.ReadInt(Key::WindowTop), 40);
    EXPECT_EQ(ini.ReadInt(Key::WindowRight), 530);
    EXPECT_EQ(ini.ReadInt(Key::WindowBottom), 440);
}

// The stored "Area" as read at start and written back at close.
struct AreaCase
{
    const char* stored;
    int selected; // -1: no region
    const char* name;
};

class AreaSetting : public testing::TestWithParam<AreaCase>
{
};

TEST_P(AreaSetting, SelectsAndWritesBack)
{
    const AreaCase& c = GetParam();
    CAppFolder folder;
    folder.Config().Profile().WriteString("Settings\\Query", "Area", c.stored);
    CStartedApp started(folder);
    EXPECT_EQ(started.Frame().GetQueryBar()->GetAreaIndex(), c.selected);
    EXPECT_EQ(started.Frame().GetAreaName(), c.name);
    ASSERT_TRUE(started.Close());
    EXPECT_EQ(folder.Config().ReadInt(Key::Area), c.selected);
}

INSTANTIATE_TEST_SUITE_P(Cases, AreaSetting,
                         testing::Values(AreaCase{"8", 8, "東京"}, AreaCase{"0", 0, ""},
                                         AreaCase{"1", 1, "北海道"}, AreaCase{"47", 47, "沖縄"},
                                         AreaCase{"-1", -1, ""}, AreaCase{"48", -1, ""},
                                         AreaCase{"x", 0, ""}));

TEST(Settings, EmptyDllNameIsWrittenAndSelectsNothingLater)
{
    CAppFolder folder; // no plug-in at all
    {
        CStartedApp first(folder);
        EXPECT_EQ(first.Frame().GetSelectedPlugin(), nullptr);
        ASSERT_TRUE(first.Close());
    }
    EXPECT_EQ(folder.Config().ReadString(Key::DLLName), "");
    EXPECT_TRUE(folder.Config().Profile().ReadString("Settings\\PlugIn", "DLLName", "?").empty());

    folder.AddPlugin("medora");
    CStartedApp second(folder);
    EXPECT_EQ(second.Frame().GetQueryBar()->PluginList()->count(), 1);
    EXPECT_EQ(second.Frame().GetSelectedPlugin(), nullptr);
}

TEST(Settings, CancelAtTheSavePromptAfterTheSettingsWereWritten)
{
    CAppFolder folder{"medora"};
    CStartedApp started(folder);
    started.Frame().GetQueryBar()->SelectArea(5);
    started.Frame().move(20, 20);
    started.Doc().AddKeyword("k");
    started.Doc().SetModifiedFlag();
    started.prompts.answers = {app::MsgAnswer::Cancel};

    EXPECT_FALSE(started.Close());
    EXPECT_TRUE(started.Frame().isVisible());
    ASSERT_EQ(started.prompts.messages.size(), 1u);
    EXPECT_EQ(started.prompts.messages[0].text, QStringLiteral("Save changes to Untitled?"));
    const config::Config ini = folder.Config();
    EXPECT_EQ(ini.ReadInt(Key::Area), 5);
    EXPECT_EQ(ini.ReadString(Key::DLLName), "medora");
    EXPECT_EQ(ini.ReadInt(Key::WindowLeft), 20);
    EXPECT_FALSE(ini.ReadString(Key::BarState).empty());
    EXPECT_TRUE(started.Doc().IsModified());

    started.prompts.answers = {app::MsgAnswer::No};
    EXPECT_TRUE(started.Close());
}

TEST(Settings, UnreadableBarStateLeavesTheDefaultLayout)
{
    CAppFolder folder;
    folder.Config().WriteString(Key::BarState, "not base64 of anything we wrote");
    CStartedApp started(folder);
    ASSERT_TRUE(started.Started());
    EXPECT_FALSE(started.Frame().GetToolBar()->isHidden());
    EXPECT_EQ(started.Frame().toolBarArea(started.Frame().GetQueryBar()), Qt::TopToolBarArea);
}

} // namespace
} // namespace app_test
