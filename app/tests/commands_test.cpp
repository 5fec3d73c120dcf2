#include "app/command_ids.h"
#include "app/command_updater.h"
#include "app/main_frame.h"
#include "app/run_commands.h"
#include "app/status_bar.h"
#include "app/tests/app_folder.h"
#include "keywords/keyword_model.h"
#include "keywords/view/vistrel_view.h"

#include <QAction>
#include <QEventLoop>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <QToolBar>

#include <gtest/gtest.h>

#include <functional>

namespace app_test {
namespace {

using namespace app;

// The search run as the commands see it: each rule answers on its own.
struct CFakeRun : IRunCommands
{
    bool canStart = false, canStop = false, canBrowse = false;
    int starts = 0, stops = 0, browses = 0;
    bool CanStart() const override { return canStart; }
    bool CanStop() const override { return canStop; }
    bool CanBrowse() const override { return canBrowse; }
    void Start() override { ++starts; }
    void Stop() override { ++stops; }
    void Browse() override { ++browses; }
};

// A started program with the keywords a, b, c open.
class Window
{
public:
    Window()
        : started(folder, {folder.WriteKeywordFile("abc.txt", "a\r\nb\r\nc\r\n")})
    {
        EXPECT_TRUE(started.Started());
    }
    CMainFrame& Frame() { return started.Frame(); }
    CVistrelView& View() { return *Frame().GetActiveView(); }
    void Select(const std::vector<int>& rows)
    {
        View().clearSelection();
        // As Ctrl+clicks would: each row becomes the current one too.
        for (int row : rows) {
            const QModelIndex index = Frame().GetKeywordModel()->index(row, 0);
            View().selectionModel()->setCurrentIndex(index, QItemSelectionModel::NoUpdate);
            View().selectionModel()->select(index, QItemSelectionModel::Select |
                                                       QItemSelectionModel::Rows);
        }
    }
    bool Enabled(int id)
    {
        Frame().GetCommandUpdater().Update();
        return Frame().GetCommand(id)->isEnabled();
    }

    CAppFolder folder;
    CStartedApp started;
    CFakeRun run;
};

struct RuleCase
{
    const char* name;
    int command;
    std::function<void(Window&)> setUp;
    bool enabled;
};

class EnablingRule : public testing::TestWithParam<RuleCase>
{
};

TEST_P(EnablingRule, FollowsTheState)
{
    Window window;
    if (GetParam().setUp)
        GetParam().setUp(window);
    EXPECT_EQ(window.Enabled(GetParam().command), GetParam().enabled);
}

void Nothing(Window&) {}
void NoRun(Window& w)
{
    w.Frame().SetRunCommands(nullptr);
}
auto Rows(std::initializer_list<int> rows)
{
    return [rows = std::vector<int>(rows)](Window& w) { w.Select(rows); };
}
auto Run(bool start, bool stop, bool browse)
{
    return [=](Window& w) {
        w.run.canStart = start;
        w.run.canStop = stop;
        w.run.canBrowse = browse;
        w.Frame().SetRunCommands(&w.run);
    };
}

INSTANTIATE_TEST_SUITE_P(
    Rules, EnablingRule,
    testing::Values(
        RuleCase{"New", ID_FILE_NEW, Nothing, true}, RuleCase{"Open", ID_FILE_OPEN, Nothing, true},
        RuleCase{"Save", ID_FILE_SAVE, Nothing, true},
        RuleCase{"SaveAs", ID_FILE_SAVE_AS, Nothing, true},
        RuleCase{"Exit", ID_APP_EXIT, Nothing, true},
        RuleCase{"About", ID_APP_ABOUT, Nothing, true},
        RuleCase{"Add", ID_KEYWORD_ADD, Nothing, true},
        RuleCase{"Recent", ID_FILE_MRU_FILE1, Nothing, true},
        RuleCase{"DeleteNoSelection", ID_KEYWORD_DELETE, Nothing, false},
        RuleCase{"DeleteOneRow", ID_KEYWORD_DELETE, Rows({2}), true},
        RuleCase{"DeleteTwoRows", ID_KEYWORD_DELETE, Rows({0, 2}), true},
        RuleCase{"UpSecondRow", ID_MOVE_UP, Rows({1}), true},
        RuleCase{"UpFirstRow", ID_MOVE_UP, Rows({0}), false},
        RuleCase{"UpTwoRows", ID_MOVE_UP, Rows({1, 2}), false},
        RuleCase{"UpNoSelection", ID_MOVE_UP, Nothing, false},
        RuleCase{"DownSecondRow", ID_MOVE_DOWN, Rows({1}), true},
        RuleCase{"DownLastRow", ID_MOVE_DOWN, Rows({2}), false},
        RuleCase{"DownTwoRows", ID_MOVE_DOWN, Rows({0, 1}), false},
        RuleCase{"RenameNoSelection", ID_KEYWORD_RENAME, Nothing, false},
        RuleCase{"RenameOneRow", ID_KEYWORD_RENAME, Rows({2}), true},
        RuleCase{"RenameTwoRows", ID_KEYWORD_RENAME, Rows({0, 2}), true},
        RuleCase{"StartWithoutRun", ID_SEARCH_START, NoRun, false},
        RuleCase{"StartAllowed", ID_SEARCH_START, Run(true, false, false), true},
        RuleCase{"StartRefused", ID_SEARCH_START, Run(false, true, true), false},
        RuleCase{"StopWithoutRun", ID_SEARCH_STOP, NoRun, false},
        RuleCase{"StopAllowed", ID_SEARCH_STOP, Run(false, true, false), true},
        RuleCase{"StopRefused", ID_SEARCH_STOP, Run(true, false, true), false},
        RuleCase{"BrowseWithoutRun", ID_BROWSE, NoRun, false},
        RuleCase{"BrowseAllowed", ID_BROWSE, Run(false, false, true), true},
        RuleCase{"BrowseRefused", ID_BROWSE, Run(true, true, false), false},
        RuleCase{"OptionsWithoutSheet", ID_OPTION, [](Window& w) { w.Frame().SetOptionsHook({}); },
                 false},
        RuleCase{"OptionsWithSheet", ID_OPTION,
                 [](Window& w) { w.Frame().SetOptionsHook([](QWidget*, const auto&) {}); }, true}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(Commands, RulesAreEvaluatedWhenTheEventLoopWaits)
{
    Window window;
    window.Frame().SetRunCommands(&window.run);
    QAction* start = window.Frame().GetCommand(ID_SEARCH_START);
    window.Frame().GetCommandUpdater().Update();
    ASSERT_FALSE(start->isEnabled());
    window.run.canStart = true;
    // No explicit update: the event loop's wait does it.
    QEventLoop loop;
    QTimer::singleShot(20, &loop, &QEventLoop::quit);
    loop.exec();
    EXPECT_TRUE(start->isEnabled());
}

TEST(Commands, RunAndOptionCommandsCallTheirHandlers)
{
    Window window;
    window.run.canStart = window.run.canStop = window.run.canBrowse = true;
    window.Frame().SetRunCommands(&window.run);
    std::string iniSeen;
    QWidget* parentSeen = nullptr;
    window.Frame().SetOptionsHook([&](QWidget* parent, const config::Config& config) {
        parentSeen = parent;
        iniSeen = config.GetPath();
    });
    window.Frame().GetCommandUpdater().Update();
    for (int id : {ID_SEARCH_START, ID_SEARCH_STOP, ID_BROWSE, ID_OPTION})
        window.Frame().GetCommand(id)->trigger();
    EXPECT_EQ(window.run.starts, 1);
    EXPECT_EQ(window.run.stops, 1);
    EXPECT_EQ(window.run.browses, 1);
    EXPECT_EQ(parentSeen, &window.Frame());
    EXPECT_EQ(iniSeen, window.folder.File("Vistrel.ini"));
}

// The accelerator table: each key reaches its command wherever the focus is in the window.
struct KeyCase
{
    const char* name;
    Qt::Key key;
    Qt::KeyboardModifiers modifiers;
    int command;
};

class Accelerator : public testing::TestWithParam<KeyCase>
{
};

TEST_P(Accelerator, TriggersItsCommand)
{
    Window window;
    window.run.canStart = window.run.canStop = window.run.canBrowse = true;
    window.Frame().SetRunCommands(&window.run);
    window.Select({1});
    window.Frame().GetCommandUpdater().Update();
    window.Frame().activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window.Frame()));
    window.View().setFocus();
    QSignalSpy spy(window.Frame().GetCommand(GetParam().command), &QAction::triggered);
    QTest::keyClick(&window.View(), GetParam().key, GetParam().modifiers);
    EXPECT_EQ(spy.count(), 1);
}

INSTANTIATE_TEST_SUITE_P(
    Keys, Accelerator,
    testing::Values(KeyCase{"CtrlA", Qt::Key_A, Qt::ControlModifier, ID_KEYWORD_ADD},
                    KeyCase{"Enter", Qt::Key_Return, Qt::NoModifier, ID_KEYWORD_ADD},
                    KeyCase{"Delete", Qt::Key_Delete, Qt::NoModifier, ID_KEYWORD_DELETE},
                    KeyCase{"F2", Qt::Key_F2, Qt::NoModifier, ID_KEYWORD_RENAME},
                    KeyCase{"ShiftDown", Qt::Key_Down, Qt::ShiftModifier, ID_MOVE_DOWN},
                    KeyCase{"ShiftUp", Qt::Key_Up, Qt::ShiftModifier, ID_MOVE_UP},
                    KeyCase{"CtrlN", Qt::Key_N, Qt::ControlModifier, ID_FILE_NEW},
                    KeyCase{"CtrlO", Qt::Key_O, Qt::ControlModifier, ID_FILE_OPEN},
                    KeyCase{"CtrlS", Qt::Key_S, Qt::ControlModifier, ID_FILE_SAVE},
                    KeyCase{"Esc", Qt::Key_Escape, Qt::NoModifier, ID_SEARCH_STOP},
                    KeyCase{"F6", Qt::Key_F6, Qt::NoModifier, ID_BROWSE},
                    KeyCase{"F5", Qt::Key_F5, Qt::NoModifier, ID_SEARCH_START}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(Commands, StatusBarShowsReadyAndEachPrompt)
{
    Window window;
    StatusBar* status = window.Frame().GetStatusBar();
    EXPECT_EQ(status->MessagePane()->text(), QStringLiteral("レディ"));
    for (int id : {ID_SEARCH_START, ID_KEYWORD_ADD, ID_OPTION}) {
        QAction* action = window.Frame().GetCommand(id);
        action->showStatusText(&window.Frame());
        EXPECT_EQ(status->currentMessage(), action->statusTip());
    }
    QStatusTipEvent leave{QString()};
    QCoreApplication::sendEvent(&window.Frame(), &leave);
    EXPECT_TRUE(status->currentMessage().isEmpty());
}

TEST(Commands, ViewMenuTogglesAndTicksTheBars)
{
    Window window;
    QAction* toolbar = window.Frame().GetCommand(ID_VIEW_TOOLBAR);
    window.Frame().GetCommandUpdater().Update();
    EXPECT_TRUE(toolbar->isChecked());
    toolbar->trigger();
    EXPECT_TRUE(window.Frame().GetToolBar()->isHidden());
    window.Frame().GetCommandUpdater().Update();
    EXPECT_FALSE(toolbar->isChecked());
    window.Frame().GetToolBar()->show(); // shown another way: the tick follows
    window.Frame().GetCommandUpdater().Update();
    EXPECT_TRUE(toolbar->isChecked());
}

} // namespace
} // namespace app_test
