#include "search/search_run.h"

#include "keywords/keyword_rows.h"
#include "keywords/vistrel_doc.h"
#include "platform/writable_folder.h"
#include "plugin_host/plugin_module.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

CSearchRun::CSearchRun(config::CConfig config, std::string programFolder, search::IWorkerPool& pool,
                       search::IRunPrompts& prompts, search::IRunProgress* progress)
    : m_config(std::move(config))
    , m_strProgramFolder(std::move(programFolder))
    , m_pool(pool)
    , m_prompts(prompts)
    , m_pProgress(progress)
{}

CSearchRun::~CSearchRun()
{
    OnSearchStop();
}

int CSearchRun::ReadWorkerLimit() const
{
    return std::clamp(m_config.ReadInt(config::Key::ConnectNum), kMinWorkers, kMaxWorkers);
}

void CSearchRun::OnSearchStart(CVistrelDoc* pDoc, keywords::IKeywordRows& rows, int nArea,
                               const std::string& strAreaName, const CPluginModule* pPlugin)
{
    if (m_pThreadList || m_pJobArray)
        return; // a second start never interrupts or joins a run
    if (!pDoc)
        return;
    const int nWorkerLimit = ReadWorkerLimit();
    const std::string strCacheFolder = config::CacheFolder(m_config, m_strProgramFolder);
    if (nArea < 1) {
        m_prompts.ShowRegionMissing();
        return;
    }
    if (!pPlugin)
        return;

    const std::string strPluginTitle = pPlugin->GetFileTitle();
    const std::string strServer = pPlugin->GetServerName();
    const std::string strReferer = pPlugin->GetReferer();
    std::vector<CFailedJob> failedJobs;
    std::unique_ptr<CJobArray> pJobArray = MakeJobs(rows, nArea, *pPlugin, failedJobs);
    if (pJobArray->empty())
        return;
    pDoc->MakeResultPath(strCacheFolder, strPluginTitle, strAreaName);
    // A result that could never be written is found now, before any page is fetched for it.
    const platform::WritableResult writable = platform::CheckWritableFile(pDoc->GetResultPath());

    const int nWaiting = static_cast<int>(pJobArray->size() - failedJobs.size());
    auto pThreadList = std::make_unique<CThreadList>();
    const int nWorkers = writable ? std::min(nWorkerLimit, nWaiting) : 0;
    for (int i = 0; i < nWorkers; ++i) {
        if (std::unique_ptr<search::IDownloadWorker> pWorker =
                m_pool.CreateWorker(strServer, strReferer))
            pThreadList->push_back(std::move(pWorker));
    }

    // Stored before any worker runs, so that every report finds the run in place.
    m_pThreadList = std::move(pThreadList);
    m_pPlugin = pPlugin;
    m_pJobArray = std::move(pJobArray);
    m_pDocument = pDoc;
    m_pRows = &rows;
    m_jobIndex = {};
    m_jobIndex.nWaiting = nWaiting;
    m_lastFailure.clear();
    if (m_pProgress)
        m_pProgress->ProgressChanged(CountProgress());
    for (const CFailedJob& failed : failedJobs)
        FailJob(*failed.job, failed.reason);

    if (!writable) {
        EndRun(writable.error);
    } else if (nWaiting > 0 && m_pThreadList->empty()) {
        // No worker could ever take a job: fail now rather than wait for ever.
        m_pool.WriteErrorLog("cannot start a download thread\r\n");
        EndRun("ダウンロードスレッドを開始できません");
    } else if (nWaiting == 0) {
        EndRun();
    } else {
        for (const auto& pWorker : *m_pThreadList)
            pWorker->Resume();
    }
}

std::unique_ptr<CSearchRun::CJobArray> CSearchRun::MakeJobs(keywords::IKeywordRows& rows, int nArea,
                                                            const CPluginModule& plugin,
                                                            std::vector<CFailedJob>& failed) const
{
    auto pJobArray = std::make_unique<CJobArray>();
    // The count is read again after every row: it is the view's, not a copy.
    for (std::ptrdiff_t nRow = 0; nRow < rows.GetRowCount(); ++nRow) {
        std::string strKeyword = rows.GetRowText(nRow);
        if (!strKeyword.empty()) {
            auto pJob = std::make_unique<CDownloadJob>();
            const platform::Cp932Result searchText = rows.GetRowSearchText(nRow);
            if (searchText.text)
                pJob->m_strSearchUrl = plugin.GetSearchUrl(*searchText.text, nArea);
            else
                failed.push_back({pJob.get(), searchText.error});
            pJob->m_strKeyword = std::move(strKeyword);
            pJobArray->push_back(std::move(pJob));
        }
        rows.SetRowMark(nRow, "", ""); // every row: the marks of an earlier run go
    }
    return pJobArray;
}

void CSearchRun::OnSearchStop()
{
    const bool bUnderWay = m_pThreadList || m_pJobArray;
    if (m_pThreadList)
        DeleteThreadList(m_pThreadList, true);
    m_pPlugin = nullptr;
    if (m_pJobArray)
        DeleteJobArray(m_pJobArray);
    ForgetRun();
    if (bUnderWay && m_pProgress)
        m_pProgress->RunEnded();
}

void CSearchRun::OnBrowse(const CVistrelDoc* pDoc)
{
    if (!pDoc)
        return;
    const std::string strPath = pDoc->GetResultPath();
    if (strPath.empty())
        return;
    m_prompts.OpenResult(m_config.ReadString(config::Key::Browser), strPath);
}

bool CSearchRun::OnUpdateSearchStart() const
{
    return !m_pJobArray && !m_pThreadList;
}

bool CSearchRun::OnUpdateSearchStop() const
{
    return m_pJobArray && m_pThreadList;
}

bool CSearchRun::OnUpdateBrowse(const CVistrelDoc* pDoc) const
{
    return !m_pJobArray && !m_pThreadList && pDoc && !pDoc->GetResultPath().empty();
}

void CSearchRun::ForgetRun()
{
    m_pDocument = nullptr;
    m_pRows = nullptr;
    m_jobIndex.running.clear();
}

search::CRunProgress CSearchRun::CountProgress() const
{
    search::CRunProgress progress;
    if (!m_pJobArray)
        return progress;
    progress.nTotal = static_cast<int>(m_pJobArray->size());
    progress.nEnded = m_jobIndex.nDone + m_jobIndex.nFailed;
    progress.nFailed = m_jobIndex.nFailed;
    return progress;
}

void CSearchRun::DeleteThreadList(std::unique_ptr<CThreadList>& pThreadList, bool bAbort)
{
    // All are told first and waited for afterwards, so their endings overlap.
    for (const auto& pWorker : *pThreadList) {
        if (bAbort)
            pWorker->Abort();
        pWorker->PostQuit();
    }
    for (const auto& pWorker : *pThreadList)
        pWorker->WaitForEnd();
    pThreadList.reset();
}

void CSearchRun::DeleteJobArray(std::unique_ptr<CJobArray>& pJobArray)
{
    for (const auto& pJob : *pJobArray) {
        std::error_code ec; // a file that is already gone is no concern
        if (!pJob->m_strTempFile.empty())
            std::filesystem::remove(pJob->m_strTempFile, ec);
    }
    pJobArray.reset();
}
