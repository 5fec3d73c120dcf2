#pragma once

#include "app/doc_commands.h"
#include "app/recent_files.h"
#include "config/config_store.h"
#include "keywords/vistrel_doc.h"
#include "platform/user_folders.h"
#include "plugin_host/plugin_discovery.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

class CMainFrame;

namespace app {
class CQtPrompts;
class IPrompts;
class IRunCommands;
class ResultLauncher;
class SignalClose;
} // namespace app

// The application: where the configuration lives, the plug-ins, the one keyword document, the
// recent files and the main window, from start to exit.
class CVistrelApp
{
public:
    // programFolder ends in "/"; "Plugin" is found there, and Vistrel.ini and "Cache" in folders
    // (beside the program when portable). prompts answers every question; null means real
    // message boxes and file dialogs.
    CVistrelApp(std::string programFolder, platform::UserFolders folders,
                app::IPrompts* prompts = nullptr);
    // Portable: everything in programFolder.
    explicit CVistrelApp(const std::string& programFolder, app::IPrompts* prompts = nullptr);
    ~CVistrelApp();
    CVistrelApp(const CVistrelApp&) = delete;
    CVistrelApp& operator=(const CVistrelApp&) = delete;

    // Creates "Cache", loads the plug-ins and the recent files, creates the main window and
    // opens the file named by args (the command line without the program name), the last
    // file when "OpenAuto" asks for it, or a new document; then shows the window. False when
    // the file could not be opened (the error box has been shown): the program ends.
    bool InitInstance(const std::vector<std::string>& args);
    // Destroys the main window, releases the plug-ins and writes the recent-file list.
    void ExitInstance();
    // "バージョン情報 Vistrel".
    void OnAppAbout();
    // "使い方": opens the usage document shipped with the program, as result pages are opened.
    void OnHelpUsage();
    // Opens a document for the user; the desktop's handler unless replaced (tests record).
    using DocumentOpener = std::function<void(const std::string& path)>;
    void SetDocumentOpener(DocumentOpener open) { m_openDocument = std::move(open); }

    CMainFrame* GetMainFrame() const { return m_pMainWnd.get(); }
    CVistrelDoc& GetDocument() { return m_doc; }
    const CPluginList& GetPlugins() const { return m_arrPlugins; }
    const config::Config& GetConfig() const { return m_config; }
    const app::CRecentFileList& GetRecentFiles() const { return m_recentFiles; }
    app::DocCommands& GetDocCommands() { return m_docCommands; }

    // The keyword file the command line names: its first argument that is not an option.
    static std::string CommandLineFile(const std::vector<std::string>& args);

private:
    // The file to open at start, or empty for a new document.
    std::string FileToOpen(const std::vector<std::string>& args) const;
    // SIGTERM, SIGHUP or SIGINT: the run stops, then the window closes as "アプリケーションの終了"
    // closes it.
    void OnCloseSignal();
    // Says once, at start, that changes to the settings cannot be kept.
    void WarnIfSettingsLocked();

    std::string m_strProgramFolder;
    platform::UserFolders m_folders;
    config::Config m_config;
    std::unique_ptr<app::CQtPrompts> m_pQtPrompts;
    app::IPrompts& m_prompts;
    CPluginList m_arrPlugins;
    CVistrelDoc m_doc;
    app::CRecentFileList m_recentFiles;
    app::DocCommands m_docCommands;
    std::unique_ptr<CMainFrame> m_pMainWnd;
    app::IRunCommands* m_run = nullptr; // the window's run, owned by the window
    std::unique_ptr<app::SignalClose> m_signalClose;
    std::unique_ptr<app::ResultLauncher> m_docLauncher;
    DocumentOpener m_openDocument;
};
