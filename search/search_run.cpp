#include "search/search_run.h"

#include "keywords/keyword_rows.h"
#include "keywords/vistrel_doc.h"
#include "platform/writable_folder.h"
#include "plugin_host/plugin_module.h"

#include <algorithm>

CSearchRun::CSearchRun(config::Config config, std::string dataFolder, search::IWorkerPool& pool,
                       search::IRunPrompts& prompts, search::IRunProgress* progress,
                       search::IEndPhaseRunner* endPhase)
    : m_config(std::move(config))
    , m_dataFolder(std::move(dataFolder))
    , m_pool(pool)
    , m_prompts(prompts)
    , m_progress(progress)
    , m_endPhase(endPhase ? *endPhase : m_inlineEndPhase)
{}

CSearchRun::~CSearchRun()
{
    if (m_ending) {
        // The step under way ends first: a merge cut off would leave no page at all.
        m_endPhase.Wait();
        m_ending.reset();
    }
    OnSearchStop(); // then the page files go, whichever step was under way
}

int CSearchRun::ReadWorkerLimit() const
{
    return std::clamp(m_config.ReadInt(config::Key::ConnectNum), kMinWorkers, kMaxWorkers);
}

void CSearchRun::OnSearchStart(CVistrelDoc* doc, keywords::IKeywordRows& rows, int area,
                               const std::string& areaName, const CPluginModule* plugin)
{
    if (m_pThreadList || m_pJobArray)
        return; // a second start never interrupts or joins a run
    if (!doc)
        return;
    const int workerLimit = ReadWorkerLimit();
    const std::string cacheFolder = config::CacheFolder(m_config, m_dataFolder);
    if (area < 1) {
        m_prompts.ShowRegionMissing();
        return;
    }
    if (!plugin)
        return;

    const std::string pluginTitle = plugin->GetFileTitle();
    const std::string server = plugin->GetServerName();
    const std::string referer = plugin->GetReferer();
    std::vector<CFailedJob> failedJobs;
    std::unique_ptr<CJobArray> jobArray = MakeJobs(rows, area, *plugin, failedJobs);
    if (jobArray->empty())
        return;
    doc->MakeResultPath(cacheFolder, pluginTitle, areaName);
    // A result that could never be written is found now, before any page is fetched for it.
    const platform::WritableResult writable = platform::CheckWritableFile(doc->GetResultPath());

    const int waiting = static_cast<int>(jobArray->size() - failedJobs.size());
    auto threadList = std::make_unique<CThreadList>();
    const int workers = writable ? std::min(workerLimit, waiting) : 0;
    for (int i = 0; i < workers; ++i) {
        if (std::unique_ptr<search::IDownloadWorker> worker = m_pool.CreateWorker(server, referer))
            threadList->push_back(std::move(worker));
    }

    // Stored before any worker runs, so that every report finds the run in place.
    m_pThreadList = std::move(threadList);
    m_pPlugin = plugin;
    m_pJobArray = std::move(jobArray);
    m_document = doc;
    m_rows = &rows;
    m_jobIndex = {};
    m_jobIndex.waiting = waiting;
    m_lastFailure.clear();
    if (m_progress)
        m_progress->ProgressChanged(CountProgress());
    for (const CFailedJob& failed : failedJobs)
        FailJob(*failed.job, failed.reason);
    BeginRun(writable, waiting);
}

void CSearchRun::BeginRun(const platform::WritableResult& writable, int waiting)
{
    if (!writable) {
        EndRun(writable.error);
    } else if (waiting > 0 && m_pThreadList->empty()) {
        // No worker could ever take a job: fail now rather than wait for ever.
        m_pool.WriteErrorLog("cannot start a download thread\r\n");
        EndRun("ダウンロードスレッドを開始できません");
    } else if (waiting == 0) {
        EndRun();
    } else {
        for (const auto& worker : *m_pThreadList)
            worker->Resume();
    }
}

std::unique_ptr<CSearchRun::CJobArray> CSearchRun::MakeJobs(keywords::IKeywordRows& rows, int area,
                                                            const CPluginModule& plugin,
                                                            std::vector<CFailedJob>& failed) const
{
    auto jobArray = std::make_unique<CJobArray>();
    // The count is read again after every row: it is the view's, not a copy.
    for (std::ptrdiff_t row = 0; row < rows.GetRowCount(); ++row) {
        std::string keyword = rows.GetRowText(row);
        if (!keyword.empty()) {
            auto job = std::make_unique<CDownloadJob>();
            const platform::Result<std::string> searchText = rows.GetRowSearchText(row);
            if (searchText)
                job->m_strSearchUrl = plugin.GetSearchUrl(searchText.value, area);
            else
                failed.push_back({job.get(), searchText.error});
            job->m_strKeyword = std::move(keyword);
            jobArray->push_back(std::move(job));
        }
        rows.SetRowMark(row, "", ""); // every row: the marks of an earlier run go
    }
    return jobArray;
}

void CSearchRun::OnSearchStop()
{
    if (m_ending)
        return;
    const bool underWay = m_pThreadList || m_pJobArray;
    if (m_pThreadList)
        DeleteThreadList(m_pThreadList, true);
    m_pPlugin = nullptr;
    if (m_pJobArray)
        DeleteJobArray(m_pJobArray);
    ForgetRun();
    if (underWay && m_progress)
        m_progress->RunEnded();
}

void CSearchRun::OnBrowse(const CVistrelDoc* doc)
{
    if (doc)
        OpenResultPage(doc->GetResultPath());
}

void CSearchRun::OpenResultPage(const std::string& path)
{
    if (!path.empty())
        m_prompts.OpenResult(m_config.ReadString(config::Key::Browser), path);
}

bool CSearchRun::OnUpdateSearchStart() const
{
    return !m_pJobArray && !m_pThreadList;
}

bool CSearchRun::OnUpdateSearchStop() const
{
    return m_pJobArray && m_pThreadList;
}

bool CSearchRun::OnUpdateBrowse(const CVistrelDoc* doc) const
{
    return !m_pJobArray && !m_pThreadList && doc && !doc->GetResultPath().empty();
}

void CSearchRun::ForgetRun()
{
    m_document = nullptr;
    m_rows = nullptr;
    m_jobIndex.running.clear();
    m_jobIndex.markedBy.clear();
}

search::CRunProgress CSearchRun::CountProgress() const
{
    search::CRunProgress progress;
    if (!m_pJobArray)
        return progress;
    progress.nTotal = static_cast<int>(m_pJobArray->size());
    progress.nEnded = m_jobIndex.done + m_jobIndex.failed;
    progress.nFailed = m_jobIndex.failed;
    return progress;
}

void CSearchRun::DeleteThreadList(std::unique_ptr<CThreadList>& threadList, bool abortTransfers)
{
    // All are told first and waited for afterwards, so their endings overlap.
    for (const auto& worker : *threadList) {
        if (abortTransfers)
            worker->Abort();
        worker->PostQuit();
    }
    for (const auto& worker : *threadList)
        worker->WaitForEnd();
    threadList.reset();
}
