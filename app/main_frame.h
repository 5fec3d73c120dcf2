#pragma once

#include "app/download_notify.h"
#include "plugin_host/plugin_discovery.h"

#include <QMainWindow>

#include <functional>
#include <memory>
#include <string>

class CVistrelDoc;
class CVistrelView;
class QToolBar;

namespace config {
class Config;
}

namespace app {
class CCommandUpdater;
class CDocCommands;
class CFrameCommands;
class CQueryBar;
class CRecentFileList;
class CStatusBar;
class IPrompts;
class IRunCommands;
} // namespace app

// The program's one top-level window: menu, toolbar, query bar, status bar and the keyword
// list view. It only wires these together; the bars, the command table, the enabling of
// commands and the document commands each live in a file of their own.
class CMainFrame : public QMainWindow
{
public:
    static constexpr const char* kNoPluginOption = "このプラグインにオプション設定はありません。";

    // Shows the options sheet; filled in by whoever provides it.
    using OptionsHook = std::function<void(QWidget* parent, const config::Config& config)>;

    // What the window works with; all of it outlives the window.
    struct Services
    {
        const config::Config& config;
        const CPluginList& plugins;
        CVistrelDoc& doc;
        app::CDocCommands& docCommands;
        const app::CRecentFileList& recentFiles;
        app::IPrompts& prompts;
    };

    explicit CMainFrame(const Services& services, QWidget* parent = nullptr);
    ~CMainFrame() override;

    // Builds the bars and the view, fills the plug-in list and restores the remembered region,
    // plug-in, window rectangle and bar layout.
    void OnCreate();

    // The module of the selected plug-in entry; null when none is selected.
    CPluginModule* GetSelectedPlugin() const;
    // The selected region's name (UTF-8); empty for the empty entry or no selection.
    std::string GetAreaName() const;
    // The "ｵﾌﾟｼｮﾝ" button of the query bar: the selected plug-in's own settings.
    void OnPluginOption();

    CVistrelView* GetActiveView() const { return m_pView; }
    app::CQueryBar* GetQueryBar() const { return m_wndQueryBar; }
    app::CStatusBar* GetStatusBar() const { return m_wndStatusBar; }
    QToolBar* GetToolBar() const { return m_wndToolBar; }
    QAction* GetCommand(int id) const;
    app::CCommandUpdater& GetCommandUpdater() const { return *m_pUpdater; }

    // The search run's seam: the three run commands call through run (null: disabled), and
    // the workers report to GetDownloadNotify(), whose reports reach handler on this thread.
    void SetRunCommands(app::IRunCommands* run) { m_pRunCommands = run; }
    // Gives the window its run for good: the window owns it and ends it when it closes.
    void AttachRun(std::unique_ptr<app::IRunCommands> run);
    search::IReportReceiver& GetDownloadNotify() { return m_downloadNotify; }
    void SetDownloadDoneHandler(app::QueuedDownloadNotify::Handler handler);

    // "ｵﾌﾟｼｮﾝ" (32772) is enabled once a hook is set.
    void SetOptionsHook(OptionsHook hook) { m_optionsHook = std::move(hook); }

    // After a document command: the view rebuilds its rows when the keywords were replaced;
    // the title and the recent-file entries follow the document.
    void OnDocumentChanged(bool replaced);

protected:
    void closeEvent(QCloseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    // Writes region, plug-in, window rectangle and bar layout, in that order.
    void OnClose();
    // Ends an open in-place edit as confirmed; false when its text was refused, and the
    // command that asked must not go on.
    bool EndLabelEdit();
    void ConnectCommands();
    void SetEnablingRules();

    Services m_services;
    app::CStatusBar* m_wndStatusBar = nullptr;
    QToolBar* m_wndToolBar = nullptr;
    app::CQueryBar* m_wndQueryBar = nullptr;
    CVistrelView* m_pView = nullptr;
    std::unique_ptr<app::CFrameCommands> m_pCommands;
    app::CCommandUpdater* m_pUpdater = nullptr;
    app::QueuedDownloadNotify m_downloadNotify;
    // Seam for the search run (search/ CSearchRun, which holds m_pThreadList, m_pPlugin and
    // m_pJobArray and which this window is to own). Until it is wired in, this stays null and
    // "検索開始", "検索中止" and "ﾌﾞﾗｳｻﾞで閲覧" are disabled.
    app::IRunCommands* m_pRunCommands = nullptr;
    OptionsHook m_optionsHook;
    // The run the window owns. Declared last so that it goes first: its workers end while the
    // report queue and the view they mark still exist.
    std::unique_ptr<app::IRunCommands> m_pRun;
};
