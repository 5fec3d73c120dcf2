// Completion handling: each worker report ends the worker's job and hands it the next one or
// ends it; the last one ends the run.
#include "download/download_messages.h"
#include "keywords/keyword_rows.h"
#include "keywords/vistrel_doc.h"
#include "plugin_host/plugin_module.h"
#include "search/search_run.h"

#include <algorithm>

namespace {

// What the row's tool tip says when the worker gave no reason of its own.
std::string FallbackReason(std::int32_t nError)
{
    switch (nError) {
    case DLERR_INTERNET:
        return "通信エラー";
    case DLERR_STATUS:
        return "HTTP エラー";
    case DLERR_FILE:
        return "ファイルに書けません";
    default:
        return "ダウンロード失敗 (コード " + std::to_string(nError) + ")";
    }
}

} // namespace

void CSearchRun::OnDownloadDone(std::uint32_t nThreadID)
{
    if (!m_pThreadList || m_pThreadList->empty())
        return; // a late report after the run has ended
    const auto itWorker = std::find_if(
        m_pThreadList->begin(), m_pThreadList->end(),
        [nThreadID](const auto& pWorker) { return pWorker->GetThreadID() == nThreadID; });
    if (itWorker == m_pThreadList->end())
        return;
    search::IDownloadWorker& worker = **itWorker;
    const std::int32_t nStatus = worker.GetError();
    std::string reason; // of the finished job, or of a start that failed
    if (nStatus != DLERR_NONE) {
        reason = worker.GetReason();
        if (reason.empty())
            reason = FallbackReason(nStatus);
        m_lastFailure = reason;
    }

    bool bHandedOut = false;
    int nRemaining = 0;
    if (m_pJobArray && !m_pJobArray->empty()) {
        // The worker's finished job, the first waiting job and the count of jobs waiting or
        // running elsewhere, as one scan of the job array in row order would find them.
        CDownloadJob* pFinished = nullptr;
        if (const auto itRunning = m_jobIndex.running.find(nThreadID);
            itRunning != m_jobIndex.running.end()) {
            pFinished = itRunning->second;
            m_jobIndex.running.erase(itRunning);
        }
        nRemaining = m_jobIndex.nWaiting + static_cast<int>(m_jobIndex.running.size());
        if (pFinished) {
            pFinished->m_nThreadID = 0;
            const bool bSucceeded = nStatus == DLERR_NONE;
            pFinished->m_nState = bSucceeded ? JOB_DONE : JOB_FAILED;
            ++(bSucceeded ? m_jobIndex.nDone : m_jobIndex.nFailed);
            RecordOutcome(*pFinished, bSucceeded, reason);
        }
        // A job whose page file cannot be made fails; the worker then takes the next one.
        // A worker whose connection failed gets no further job.
        while (nStatus != DLERR_INTERNET && m_pJobArray &&
               m_jobIndex.nNextWaiting < m_pJobArray->size()) {
            CDownloadJob& next = *(*m_pJobArray)[m_jobIndex.nNextWaiting++];
            if (next.m_nState != JOB_WAITING)
                continue;
            --m_jobIndex.nWaiting;
            if (HandOut(next, worker)) {
                bHandedOut = true;
                break;
            }
            --nRemaining;
        }
    }
    if (!bHandedOut) {
        worker.PostQuit();
        worker.WaitForEnd();
        m_pThreadList->erase(itWorker);
    }
    if (nRemaining > 0 && !m_pThreadList->empty())
        return;
    EndRun();
}

bool CSearchRun::HandOut(CDownloadJob& job, search::IDownloadWorker& worker)
{
    platform::TempFileResult file = m_pool.MakePageFile();
    if (!file) {
        m_pool.WriteErrorLog(file.error + "\r\n");
        FailJob(job, "一時ファイルを作れません (" + file.error + ")");
        return false;
    }
    job.m_strTempFile = std::move(file.path);
    job.m_nThreadID = worker.GetThreadID();
    job.m_nState = JOB_RUNNING;
    m_jobIndex.anyHandedOut = true;
    m_jobIndex.running[job.m_nThreadID] = &job;
    worker.StartDownload(job.m_strSearchUrl, job.m_strTempFile);
    return true;
}

void CSearchRun::FailJob(CDownloadJob& job, const std::string& reason)
{
    job.m_nState = JOB_FAILED;
    ++m_jobIndex.nFailed;
    m_lastFailure = reason;
    RecordOutcome(job, false, reason);
}

void CSearchRun::RecordOutcome(CDownloadJob& job, bool bSucceeded, const std::string& reason)
{
    // Only the first row with the job's keyword is marked: a row edited or deleted meanwhile
    // gets nothing, and no other row is marked in its place.
    if (m_pRows) {
        for (std::ptrdiff_t nRow = 0; nRow < m_pRows->GetRowCount(); ++nRow) {
            if (m_pRows->IsRowText(nRow, job.m_strKeyword)) {
                m_pRows->SetRowMark(nRow, bSucceeded ? "OK" : "NG", reason);
                break;
            }
        }
    }
    if (m_pProgress) {
        const std::string keyword = m_pRows ? m_pRows->ToUtf8(job.m_strKeyword) : std::string();
        m_pProgress->JobEnded(keyword, bSucceeded, reason);
        m_pProgress->ProgressChanged(CountProgress());
    }
}
