#include "app/window_run.h"

#include "app/main_frame.h"
#include "app/prompts.h"
#include "app/query_bar.h"
#include "app/status_bar.h"
#include "keywords/keyword_model.h"

#include <QLabel>

namespace app {

WindowRun::WindowRun(CMainFrame& frame, CVistrelDoc& doc, IPrompts& prompts,
                     const config::Config& config, const std::string& dataFolder,
                     search::IEndPhaseRunner* endPhase)
    : m_frame(frame)
    , m_doc(doc)
    , m_prompts(prompts)
    , m_launcher([this](const std::string& text) {
        m_prompts.MessageBox(QString::fromStdString(text), MsgIcon::Exclamation, MsgButtons::Ok);
    })
    , m_pool(frame.GetDownloadNotify(), config.GetPath())
    , m_run(config, dataFolder, m_pool, *this, this, endPhase ? endPhase : &m_endPhaseThread)
{
    m_frame.SetDownloadDoneHandler(
        [this](const search::WorkerReport& report) { m_run.OnDownloadDone(report); });
}

WindowRun::~WindowRun()
{
    // Reports still on their way find no handler and are dropped.
    m_frame.SetDownloadDoneHandler({});
}

bool WindowRun::CanStart() const
{
    return m_run.OnUpdateSearchStart();
}

bool WindowRun::CanStop() const
{
    return m_run.OnUpdateSearchStop();
}

bool WindowRun::CanBrowse() const
{
    return m_run.OnUpdateBrowse(&m_doc);
}

bool WindowRun::CanCallPlugin() const
{
    return !m_run.IsEnding(); // the merge is a call of the plug-in, and calls never overlap
}

void WindowRun::Start()
{
    keywords::KeywordModel* rows = m_frame.GetKeywordModel();
    const CQueryBar* bar = m_frame.GetQueryBar();
    if (rows == nullptr || bar == nullptr)
        return;
    if (!CanStart())
        return;
    m_run.OnSearchStart(&m_doc, *rows, bar->GetAreaIndex(), bar->GetAreaName(),
                        bar->GetSelectedPlugin());
    // A start with nothing to search does nothing; the status bar says why. A missing region
    // has had its own message.
    if (!CanStart() || bar->GetAreaIndex() < 1)
        return;
    if (bar->GetSelectedPlugin() == nullptr)
        ShowStatus(QStringLiteral("プラグインがありません"));
    else if (rows->GetRowCount() == 0)
        ShowStatus(QStringLiteral("キーワードがありません"));
}

void WindowRun::Stop()
{
    m_run.OnSearchStop();
}

void WindowRun::Browse()
{
    m_run.OnBrowse(&m_doc);
}

void WindowRun::ShowRegionMissing()
{
    m_prompts.MessageBox(QStringLiteral("地域を選択してください。"), MsgIcon::None, MsgButtons::Ok);
}

bool WindowRun::AskShowResult()
{
    return m_prompts.MessageBox(
               QStringLiteral("検索を完了しました。\n検索結果をブラウザで表示しますか？"),
               MsgIcon::Information, MsgButtons::YesNo) == MsgAnswer::Yes;
}

void WindowRun::ShowSearchFailed(const std::string& reason)
{
    QString text = QStringLiteral("検索に失敗しました。");
    if (!reason.empty())
        text += QLatin1Char('\n') + QString::fromStdString(reason);
    m_prompts.MessageBox(text, MsgIcon::Information, MsgButtons::Ok);
}

void WindowRun::OpenResult(const std::string& browserProgram, const std::string& path)
{
    m_launcher.Open(browserProgram, path);
}

void WindowRun::JobEnded(const std::string&, bool, const std::string&)
{
    // The row's mark and tool tip already say it; the status bar shows the counts.
}

void WindowRun::ProgressChanged(const search::CRunProgress& progress)
{
    ShowStatus(QString::fromStdString(search::FormatProgress(progress)));
}

void WindowRun::EndStepStarted(search::EndStep step)
{
    ShowStatus(QString::fromUtf8(step == search::EndStep::Merging ? StatusBar::kMergingMessage
                                                                  : StatusBar::kDeletingMessage));
}

void WindowRun::ListingsCounted(const std::vector<search::KeywordCount>& counts)
{
    m_fresh = search::TotalFresh(counts);
}

void WindowRun::RunEnded()
{
    // The rows' tool tips tell each keyword's share; the bar tells what is new in all.
    QString text = QString::fromUtf8(StatusBar::kIdleMessage);
    if (m_fresh)
        text += QStringLiteral("（新着 %1 件）").arg(*m_fresh);
    m_fresh.reset();
    ShowStatus(text);
}

void WindowRun::ShowStatus(const QString& text)
{
    if (StatusBar* bar = m_frame.GetStatusBar())
        bar->MessagePane()->setText(text);
}

} // namespace app
