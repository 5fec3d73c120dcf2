#include "app/vistrel_app.h"

#include "app/about_box.h"
#include "app/command_ids.h"
#include "app/main_frame.h"
#include "app/native_path.h"
#include "app/options/options_sheet.h"
#include "app/qt_prompts.h"
#include "app/result_launcher.h"
#include "app/signal_close.h"
#include "app/usage_document.h"
#include "app/window_run.h"
#include "platform/program_folder.h"
#include "platform/run_folder.h"
#include "platform/writable_folder.h"

#include <QAction>

#include <filesystem>
#include <system_error>

CVistrelApp::CVistrelApp(const std::string& programFolder, app::IPrompts* prompts)
    : CVistrelApp(programFolder, platform::PortableFolders(programFolder), prompts)
{}

CVistrelApp::CVistrelApp(std::string programFolder, platform::UserFolders folders,
                         app::IPrompts* prompts)
    : m_strProgramFolder(std::move(programFolder))
    , m_folders(std::move(folders))
    , m_config(platform::SettingsFilePath(m_folders))
    , m_pQtPrompts(prompts ? nullptr : std::make_unique<app::CQtPrompts>())
    , m_prompts(prompts ? *prompts : *m_pQtPrompts)
    , m_recentFiles(m_config)
    , m_docCommands(m_doc, m_prompts, m_recentFiles)
    , m_docLauncher(std::make_unique<app::ResultLauncher>([this](const std::string& text) {
        m_prompts.MessageBox(QString::fromStdString(text), app::MsgIcon::Exclamation,
                             app::MsgButtons::Ok);
    }))
    , m_openDocument([this](const std::string& path) { m_docLauncher->Open({}, path); })
{}

CVistrelApp::~CVistrelApp()
{
    // The window goes before the plug-ins it lists, and nothing reaches it once it has gone.
    m_signalClose.reset();
    m_pMainWnd.reset();
    ReleasePlugins(m_arrPlugins);
}

bool CVistrelApp::InitInstance(const std::vector<std::string>& args)
{
    platform::SweepDeadRunFolders(); // what runs that died left behind
    // Only the default cache folder is made, and a failure here only shows when a run
    // downloads into it.
    std::error_code ignored;
    std::filesystem::create_directory(platform::DefaultCacheFolder(m_folders), ignored);

    m_recentFiles.ReadList();
    DiscoverPlugins(platform::PluginFolder(m_strProgramFolder), m_arrPlugins);

    m_pMainWnd = std::make_unique<CMainFrame>(CMainFrame::Services{
        m_config, m_arrPlugins, m_doc, m_docCommands, m_recentFiles, m_prompts});
    m_pMainWnd->OnCreate();
    m_pMainWnd->SetOptionsHook([this](QWidget* parent, const config::Config& config) {
        ShowOptionsSheet(parent, config,
                         app::FromNativePath(platform::DefaultCacheFolder(m_folders)));
    });
    auto run =
        std::make_unique<app::WindowRun>(*m_pMainWnd, m_doc, m_prompts, m_config, m_folders.data);
    m_run = run.get();
    m_pMainWnd->AttachRun(std::move(run));
    if (m_pQtPrompts)
        m_pQtPrompts->SetOwner(m_pMainWnd.get());
    m_docCommands.SetOnChanged([this](bool replaced) { m_pMainWnd->OnDocumentChanged(replaced); });
    QObject::connect(m_pMainWnd->GetCommand(app::ID_APP_ABOUT), &QAction::triggered,
                     m_pMainWnd.get(), [this] { OnAppAbout(); });
    QObject::connect(m_pMainWnd->GetCommand(app::ID_HELP_USAGE), &QAction::triggered,
                     m_pMainWnd.get(), [this] { OnHelpUsage(); });

    const std::string file = FileToOpen(args);
    if (file.empty())
        m_docCommands.NewDocument();
    else if (m_docCommands.OpenDocumentFile(file) != app::DocCommands::OpenResult::Opened)
        return false;

    m_signalClose = std::make_unique<app::SignalClose>([this] { OnCloseSignal(); });
    m_pMainWnd->show();
    WarnIfSettingsLocked();
    return true;
}

void CVistrelApp::WarnIfSettingsLocked()
{
    if (platform::CheckSettingsFile(m_config.GetPath()))
        return;
    m_prompts.MessageBox(QStringLiteral("設定ファイルに書き込めません: %1")
                             .arg(app::FromNativePath(m_config.GetPath())),
                         app::MsgIcon::Exclamation, app::MsgButtons::Ok);
}

void CVistrelApp::OnCloseSignal()
{
    // The pages go first, so that none is left even when the save question keeps the window.
    if (m_run != nullptr && m_run->CanStop())
        m_run->Stop();
    m_pMainWnd->close();
}

std::string CVistrelApp::FileToOpen(const std::vector<std::string>& args) const
{
    const std::string named = CommandLineFile(args);
    if (!named.empty()) {
        std::error_code ec;
        const std::filesystem::path full = std::filesystem::absolute(named, ec);
        return ec ? named : full.string();
    }
    if (m_config.ReadInt(config::Key::OpenAuto) == 0)
        return {};
    // A last file that has gone away is no error: the program starts with a new document.
    std::string last = m_config.ReadString(config::Key::RecentFile1);
    std::error_code ec;
    if (last.empty() || !std::filesystem::is_regular_file(last, ec))
        return {};
    return last;
}

std::string CVistrelApp::CommandLineFile(const std::vector<std::string>& args)
{
    for (const std::string& arg : args) {
        if (!arg.empty() && arg[0] != '-')
            return arg;
    }
    return {};
}

void CVistrelApp::ExitInstance()
{
    m_signalClose.reset();
    m_run = nullptr;
    m_pMainWnd.reset();
    ReleasePlugins(m_arrPlugins);
    m_recentFiles.WriteList();
}

void CVistrelApp::OnAppAbout()
{
    app::CAboutDlg dialog(m_pMainWnd.get());
    dialog.exec();
}

void CVistrelApp::OnHelpUsage()
{
    const std::string path = app::UsageDocument(m_strProgramFolder);
    if (path.empty()) {
        m_prompts.MessageBox(QStringLiteral("使い方のファイルが見つかりません。"),
                             app::MsgIcon::Exclamation, app::MsgButtons::Ok);
        return;
    }
    m_openDocument(path);
}
