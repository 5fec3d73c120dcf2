#include "app/command_updater.h"
#include "app/main_frame.h"
#include "app/run_commands.h"
#include "app/tests/app_folder.h"
#include "keywords/view/vistrel_view.h"

#include <QApplication>
#include <QTest>

#include <gtest/gtest.h>

namespace app_test {
namespace {

// A run that can be stopped, counting the stops.
struct CStoppableRun : app::IRunCommands
{
    int stops = 0;
    bool CanStart() const override { return false; }
    bool CanStop() const override { return true; }
    bool CanBrowse() const override { return false; }
    void Start() override {}
    void Stop() override { ++stops; }
    void Browse() override {}
};

// The run keys act inside the in-place editor too: Esc there stops a run under way.
TEST(EditorKeys, EscInTheLabelEditorStopsTheRun)
{
    CAppFolder folder;
    CStartedApp started(folder, {folder.WriteKeywordFile("abc.txt", "a\r\nb\r\n")});
    ASSERT_TRUE(started.Started());
    CMainFrame& frame = started.Frame();
    CStoppableRun run;
    frame.SetRunCommands(&run);
    frame.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&frame));
    CVistrelView& view = *frame.GetActiveView();
    view.editItem(view.topLevelItem(1), 0);
    ASSERT_TRUE(view.IsEditingLabel());
    frame.GetCommandUpdater().Update();
    QWidget* editor = QApplication::focusWidget();
    ASSERT_NE(editor, nullptr);
    ASSERT_NE(editor, &view);

    QTest::keyClick(editor, Qt::Key_Escape);
    EXPECT_EQ(run.stops, 1);
    frame.SetRunCommands(nullptr);
}

} // namespace
} // namespace app_test
