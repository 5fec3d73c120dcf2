#include "app/main_frame.h"

#include "app/command_ids.h"
#include "app/command_updater.h"
#include "app/doc_commands.h"
#include "app/frame_commands.h"
#include "app/frame_settings.h"
#include "app/native_path.h"
#include "app/prompts.h"
#include "app/query_bar.h"
#include "app/recent_files.h"
#include "app/run_commands.h"
#include "app/status_bar.h"
#include "config/config_store.h"
#include "keywords/keyword_model.h"
#include "keywords/view/vistrel_view.h"

#include <QAction>
#include <QCloseEvent>
#include <QMenuBar>
#include <QMimeData>
#include <QPushButton>
#include <QToolBar>
#include <QUrl>

using namespace app;

namespace {

QStringList LocalFiles(const QMimeData* mime)
{
    QStringList files;
    if (mime == nullptr)
        return files;
    for (const QUrl& url : mime->urls()) {
        if (url.isLocalFile())
            files << url.toLocalFile();
    }
    return files;
}

} // namespace

CMainFrame::CMainFrame(const Services& services, QWidget* parent)
    : QMainWindow(parent)
    , m_services(services)
{
    setObjectName(QStringLiteral("MainFrame"));
    setAcceptDrops(true);
}

CMainFrame::~CMainFrame()
{
    // A run under way ends before the bars and the list it marks go.
    m_runCommands = nullptr;
    m_run.reset();
}

void CMainFrame::OnCreate()
{
    // The model is the window's only writer of the keywords; the view shows and edits it.
    m_keywords = new keywords::KeywordModel(m_services.doc, this);
    m_view = new CVistrelView(this);
    m_view->SetKeywordModel(m_keywords);
    m_view->SetStopMessage([this](const QString& text) {
        m_services.prompts.MessageBox(text, MsgIcon::Stop, MsgButtons::Ok);
    });
    setCentralWidget(m_view);

    m_commands = std::make_unique<CFrameCommands>(*this);
    m_commands->BuildMenuBar(*menuBar());

    m_wndToolBar = new QToolBar(QStringLiteral("ToolBar"), this);
    m_wndToolBar->setObjectName(QStringLiteral("ToolBar"));
    m_wndToolBar->setIconSize(QSize(16, 16));
    m_commands->BuildToolBar(*m_wndToolBar);
    addToolBar(Qt::TopToolBarArea, m_wndToolBar);

    m_wndStatusBar = new StatusBar(this);
    setStatusBar(m_wndStatusBar);

    // The query bar lies under the toolbar, in a row of its own.
    m_wndQueryBar = new CQueryBar(this);
    addToolBarBreak(Qt::TopToolBarArea);
    addToolBar(Qt::TopToolBarArea, m_wndQueryBar);

    m_updater = new CCommandUpdater(this);
    ConnectCommands();
    SetEnablingRules();

    const config::Config& config = m_services.config;
    m_wndQueryBar->FillPlugins(m_services.plugins, config.ReadString(config::Key::DLLName));
    m_wndQueryBar->SelectArea(config.ReadInt(config::Key::Area));
    LoadWindowPos(*this, config);
    LoadBarState(*this, config);
    OnDocumentChanged(false);
    m_updater->Update();
}

QAction* CMainFrame::GetCommand(int id) const
{
    return m_commands ? m_commands->Get(id) : nullptr;
}

void CMainFrame::ConnectCommands()
{
    DocCommands& doc = m_services.docCommands;
    auto on = [this](int id, auto handler) {
        connect(GetCommand(id), &QAction::triggered, this, handler);
    };
    // A keyword being typed belongs to the document before it is saved or replaced.
    on(ID_FILE_NEW, [this, &doc] {
        if (EndLabelEdit())
            doc.OnFileNew();
    });
    on(ID_FILE_OPEN, [this, &doc] {
        if (EndLabelEdit())
            doc.OnFileOpen();
    });
    on(ID_FILE_SAVE, [this, &doc] {
        if (EndLabelEdit())
            doc.OnFileSave();
    });
    on(ID_FILE_SAVE_AS, [this, &doc] {
        if (EndLabelEdit())
            doc.OnFileSaveAs();
    });
    for (int i = 0; i < CFrameCommands::kRecentFileSlots; ++i) {
        on(ID_FILE_MRU_FILE1 + i, [this, &doc, i] {
            if (EndLabelEdit())
                doc.OnOpenRecentFile(i);
        });
    }
    on(ID_APP_EXIT, [this] { close(); });

    on(ID_KEYWORD_ADD, [this] { m_view->OnAddKeyword(); });
    on(ID_KEYWORD_DELETE, [this] { m_view->OnDeleteKeyword(); });
    on(ID_KEYWORD_RENAME, [this] { m_view->OnRenameKeyword(); });
    on(ID_MOVE_UP, [this] { m_view->OnMoveUp(); });
    on(ID_MOVE_DOWN, [this] { m_view->OnMoveDown(); });

    on(ID_VIEW_TOOLBAR, [this](bool checked) { m_wndToolBar->setVisible(checked); });
    on(ID_VIEW_STATUS_BAR, [this](bool checked) { m_wndStatusBar->setVisible(checked); });

    on(ID_SEARCH_START, [this] {
        if (m_runCommands && EndLabelEdit())
            m_runCommands->Start();
    });
    on(ID_SEARCH_STOP, [this] {
        if (m_runCommands)
            m_runCommands->Stop();
    });
    on(ID_BROWSE, [this] {
        if (m_runCommands)
            m_runCommands->Browse();
    });
    on(ID_OPTION, [this] {
        if (m_optionsHook)
            m_optionsHook(this, m_services.config);
    });
    connect(m_wndQueryBar->OptionButton(), &QPushButton::clicked, this,
            &CMainFrame::OnPluginOption);
}

void CMainFrame::SetEnablingRules()
{
    CCommandUpdater& updater = *m_updater;
    auto rule = [this, &updater](int id, CCommandUpdater::Rule r) {
        updater.SetRule(GetCommand(id), std::move(r));
    };
    auto always = [] { return true; };
    for (int id :
         {ID_FILE_NEW, ID_FILE_OPEN, ID_FILE_SAVE, ID_FILE_SAVE_AS, ID_APP_EXIT, ID_KEYWORD_ADD,
          ID_VIEW_TOOLBAR, ID_VIEW_STATUS_BAR, ID_APP_ABOUT, ID_HELP_USAGE})
        rule(id, always);
    for (int i = 0; i < CFrameCommands::kRecentFileSlots; ++i)
        rule(ID_FILE_MRU_FILE1 + i, always);
    updater.SetRule(m_commands->RecentFilePlaceholder(), [] { return false; });

    rule(ID_KEYWORD_DELETE, [this] { return m_view->OnUpdateDeleteKeyword(); });
    rule(ID_KEYWORD_RENAME, [this] { return m_view->OnUpdateRenameKeyword(); });
    rule(ID_MOVE_UP, [this] { return m_view->OnUpdateMoveUp(); });
    rule(ID_MOVE_DOWN, [this] { return m_view->OnUpdateMoveDown(); });

    rule(ID_SEARCH_START, [this] { return m_runCommands && m_runCommands->CanStart(); });
    rule(ID_SEARCH_STOP, [this] { return m_runCommands && m_runCommands->CanStop(); });
    rule(ID_BROWSE, [this] { return m_runCommands && m_runCommands->CanBrowse(); });
    rule(ID_OPTION, [this] { return static_cast<bool>(m_optionsHook); });
    updater.SetRule(m_wndQueryBar->OptionButton(),
                    [this] { return !m_runCommands || m_runCommands->CanCallPlugin(); });

    updater.SetCheckRule(GetCommand(ID_VIEW_TOOLBAR), [this] { return !m_wndToolBar->isHidden(); });
    updater.SetCheckRule(GetCommand(ID_VIEW_STATUS_BAR),
                         [this] { return !m_wndStatusBar->isHidden(); });
}

bool CMainFrame::EndLabelEdit()
{
    return m_view == nullptr || !m_view->IsEditingLabel() || m_view->FinishLabelEdit();
}

void CMainFrame::AttachRun(std::unique_ptr<app::IRunCommands> run)
{
    m_run = std::move(run);
    m_runCommands = m_run.get();
}

void CMainFrame::SetDownloadDoneHandler(QueuedDownloadNotify::Handler handler)
{
    m_downloadNotify.SetHandler(std::move(handler));
}

CPluginModule* CMainFrame::GetSelectedPlugin() const
{
    return m_wndQueryBar ? m_wndQueryBar->GetSelectedPlugin() : nullptr;
}

std::string CMainFrame::GetAreaName() const
{
    return m_wndQueryBar ? m_wndQueryBar->GetAreaName() : std::string();
}

void CMainFrame::OnPluginOption()
{
    const CPluginModule* plugin = GetSelectedPlugin();
    if (plugin == nullptr)
        return;
    if (plugin->HasSetupOption()) {
        plugin->SetupOption(static_cast<std::uintptr_t>(winId()));
        return;
    }
    m_services.prompts.MessageBox(QString::fromUtf8(kNoPluginOption), MsgIcon::None,
                                  MsgButtons::Ok);
}

void CMainFrame::OnDocumentChanged(bool replaced)
{
    if (replaced && m_view)
        m_view->OnInitialUpdate();
    // "[*]" is Qt's modified-mark placeholder; a file name holding it must show as written.
    QString title = m_services.docCommands.GetWindowTitle();
    title.replace(QStringLiteral("[*]"), QStringLiteral("[*][*]"));
    setWindowTitle(title);
    if (m_commands) {
        std::vector<std::string> paths;
        const CRecentFileList& recent = m_services.recentFiles;
        paths.reserve(recent.GetSize());
        for (int i = 0; i < recent.GetSize(); ++i)
            paths.push_back(recent.GetAt(i));
        m_commands->ShowRecentFiles(paths);
    }
}

void CMainFrame::OnClose()
{
    if (m_wndQueryBar == nullptr)
        return; // never created: nothing to remember
    const config::Config& config = m_services.config;
    config.WriteInt(config::Key::Area, m_wndQueryBar->GetAreaIndex());
    const CPluginModule* plugin = GetSelectedPlugin();
    config.WriteString(config::Key::DLLName, plugin ? plugin->GetFileTitle() : std::string());
    SaveWindowPos(*this, config);
    SaveBarState(*this, config);
}

void CMainFrame::closeEvent(QCloseEvent* event)
{
    // The remembered settings are written first, so they are kept even when the user then
    // cancels the save prompt and the window stays open.
    OnClose();
    if (!EndLabelEdit() || !m_services.docCommands.SaveModified()) {
        event->ignore();
        return;
    }
    event->accept();
    // A run under way ends as a stop ends it, without a question.
    if (m_runCommands && m_runCommands->CanStop())
        m_runCommands->Stop();
}

void CMainFrame::dragEnterEvent(QDragEnterEvent* event)
{
    if (!LocalFiles(event->mimeData()).isEmpty())
        event->acceptProposedAction();
}

void CMainFrame::dropEvent(QDropEvent* event)
{
    const QStringList files = LocalFiles(event->mimeData());
    if (files.isEmpty())
        return;
    event->acceptProposedAction();
    activateWindow();
    if (!EndLabelEdit())
        return;
    // Each file in turn, each with its own save prompt; the last one opened stays.
    for (const QString& file : files)
        m_services.docCommands.OpenDocumentFile(ToNativePath(file));
}
