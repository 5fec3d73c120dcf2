#include "app/window_run.h"

#include "app/main_frame.h"
#include "app/prompts.h"
#include "app/query_bar.h"
#include "app/status_bar.h"
#include "keywords/view/vistrel_view.h"

#include <QLabel>

namespace app {

CWindowRun::CWindowRun(CMainFrame& frame, CVistrelDoc& doc, IPrompts& prompts,
                       const config::Config& config, const std::string& programFolder)
    : m_frame(frame)
    , m_doc(doc)
    , m_prompts(prompts)
    , m_launcher([this](const std::string& text) {
        m_prompts.MessageBox(QString::fromStdString(text), MsgIcon::Exclamation, MsgButtons::Ok);
    })
    , m_pool(frame.GetDownloadNotify(), config.GetPath())
    , m_run(config, programFolder, m_pool, *this, this)
{
    m_frame.SetDownloadDoneHandler(
        [this](const search::WorkerReport& report) { m_run.OnDownloadDone(report); });
}

CWindowRun::~CWindowRun()
{
    // Reports still on their way find no handler and are dropped.
    m_frame.SetDownloadDoneHandler({});
}

bool CWindowRun::CanStart() const
{
    return m_run.OnUpdateSearchStart();
}

bool CWindowRun::CanStop() const
{
    return m_run.OnUpdateSearchStop();
}

bool CWindowRun::CanBrowse() const
{
    return m_run.OnUpdateBrowse(&m_doc);
}

void CWindowRun::Start()
{
    CVistrelView* view = m_frame.GetActiveView();
    const CQueryBar* bar = m_frame.GetQueryBar();
    if (view == nullptr || bar == nullptr)
        return;
    m_run.OnSearchStart(&m_doc, *view, bar->GetAreaIndex(), bar->GetAreaName(),
                        bar->GetSelectedPlugin());
}

void CWindowRun::Stop()
{
    m_run.OnSearchStop();
}

void CWindowRun::Browse()
{
    m_run.OnBrowse(&m_doc);
}

void CWindowRun::ShowRegionMissing()
{
    m_prompts.MessageBox(QStringLiteral("地域を選択してください。"), MsgIcon::None, MsgButtons::Ok);
}

bool CWindowRun::AskShowResult()
{
    return m_prompts.MessageBox(
               QStringLiteral("検索を完了しました。\n検索結果をブラウザで表示しますか？"),
               MsgIcon::Information, MsgButtons::YesNo) == MsgAnswer::Yes;
}

void CWindowRun::ShowSearchFailed(const std::string& reason)
{
    QString text = QStringLiteral("検索に失敗しました。");
    if (!reason.empty())
        text += QLatin1Char('\n') + QString::fromStdString(reason);
    m_prompts.MessageBox(text, MsgIcon::Information, MsgButtons::Ok);
}

void CWindowRun::OpenResult(const std::string& browserProgram, const std::string& path)
{
    m_launcher.Open(browserProgram, path);
}

void CWindowRun::JobEnded(const std::string&, bool, const std::string&)
{
    // The row's mark and tool tip already say it; the status bar shows the counts.
}

void CWindowRun::ProgressChanged(const search::CRunProgress& progress)
{
    if (CStatusBar* bar = m_frame.GetStatusBar())
        bar->MessagePane()->setText(QString::fromStdString(search::FormatProgress(progress)));
}

void CWindowRun::RunEnded()
{
    if (CStatusBar* bar = m_frame.GetStatusBar())
        bar->MessagePane()->setText(QString::fromUtf8(CStatusBar::kIdleMessage));
}

} // namespace app
