// The window's search as a user runs it, for timing against batch mode: the real application
// and main window under the offscreen platform, in this program's own folder (as Vistrel
// finds its settings and plug-ins beside itself). Opens FILE, presses F5, answers No to the
// completion question and quits. Prints how long the search took, how long the F5 handler
// kept the event loop, and the longest gap between the ticks of a 10 ms timer from then on.
#include "gap_meter.h"

#include "app/command_ids.h"
#include "app/command_updater.h"
#include "app/main_frame.h"
#include "app/prompts.h"
#include "app/status_bar.h"
#include "app/vistrel_app.h"
#include "keywords/view/vistrel_view.h"
#include "platform/program_folder.h"

#include <QAbstractItemView>
#include <QAction>
#include <QApplication>
#include <QLabel>

#include <cstdio>
#include <string>

namespace {

// Answers No to every question and ends the event loop at the run's outcome message.
class AnsweringPrompts : public app::IPrompts
{
public:
    app::MsgAnswer MessageBox(const QString& text, app::MsgIcon, app::MsgButtons buttons) override
    {
        outcome = text;
        QCoreApplication::quit();
        return buttons == app::MsgButtons::Ok ? app::MsgAnswer::Ok : app::MsgAnswer::No;
    }
    QString GetOpenFileName(const QString&) override { return {}; }
    QString GetSaveFileName(const QString&, const QString&) override { return {}; }

    QString outcome;
};

// The rows whose status column says "OK", as the list shows them.
int RowsOk(CMainFrame& frame)
{
    const QAbstractItemModel* model = frame.GetActiveView()->model();
    int ok = 0;
    for (int row = 0; row < model->rowCount(); ++row)
        ok += model->index(row, 1).data().toString() == QLatin1String("OK") ? 1 : 0;
    return ok;
}

double Ms(qint64 ns)
{
    return static_cast<double>(ns) / 1e6;
}

// When each step of the run's end was first shown (from F5's return), and the longest gap
// next to one.
void PrintEndPhase(const bench::GapMeter& meter, const QStringList& steps, qint64 outcomeNs)
{
    for (const QString& step : steps) {
        const auto seen = meter.FirstSeen().find(step);
        if (seen != meter.FirstSeen().end())
            std::printf("\"%s\" from %.3f s\n", step.toStdString().c_str(),
                        Ms(seen->second) / 1000);
    }
    std::printf("outcome at %.3f s\n", Ms(outcomeNs) / 1000);
    const bench::GapMeter::Gap& gap = meter.LongestWatched();
    std::printf("longest gap in the end phase: %.1f ms (from \"%s\" to \"%s\")\n", Ms(gap.ns),
                gap.before.toStdString().c_str(), gap.after.toStdString().c_str());
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2 || argv[1][0] == '-') {
        std::fputs("usage: window-bench KEYWORD-FILE  (in a program folder with Plugin/medora)\n",
                   stderr);
        return 2;
    }
    const std::string file = argv[1];
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication qtApp(argc, argv);
    AnsweringPrompts prompts;
    CVistrelApp app(platform::ProgramFolder(), &prompts);
    if (!app.InitInstance({file}))
        return 1;
    CMainFrame& frame = *app.GetMainFrame();
    const QString merging = QString::fromUtf8(app::StatusBar::kMergingMessage);
    const QString deleting = QString::fromUtf8(app::StatusBar::kDeletingMessage);
    bench::GapMeter meter([&frame] { return frame.GetStatusBar()->MessagePane()->text(); },
                          {merging, deleting});

    QElapsedTimer clock;
    qint64 startNs = 0;
    QTimer::singleShot(0, &frame, [&] {
        frame.GetCommandUpdater().Update();
        clock.start();
        frame.GetCommand(app::ID_SEARCH_START)->trigger();
        startNs = clock.nsecsElapsed();
        meter.Start();
    });
    QApplication::exec();
    meter.Stop();
    const qint64 searchNs = clock.nsecsElapsed();

    const int rows = frame.GetActiveView()->model()->rowCount();
    const int ok = RowsOk(frame);
    const bench::GapMeter::Gap& gap = meter.Longest();
    std::printf("outcome: %s\n", QString(prompts.outcome)
                                     .replace(QLatin1Char('\n'), QLatin1String("\\n"))
                                     .toStdString()
                                     .c_str());
    std::printf("rows OK: %d of %d\n", ok, rows);
    std::printf("search: %.3f s (F5 to the outcome)\n", Ms(searchNs) / 1000);
    std::printf("F5 handler: %.1f ms\n", Ms(startNs));
    std::printf("longest gap: %.1f ms (from \"%s\" to \"%s\"; %ld ticks)\n", Ms(gap.ns),
                gap.before.toStdString().c_str(), gap.after.toStdString().c_str(), meter.Ticks());
    PrintEndPhase(meter, {merging, deleting}, searchNs - startNs); // times from F5's return
    app.ExitInstance();
    return ok == rows && rows > 0 ? 0 : 1;
}
