// Completion handling: each worker report ends the worker's job and hands it the next one or
// ends it; the last one ends the run.
#include "keywords/keyword_rows.h"
#include "keywords/vistrel_doc.h"
#include "plugin_host/plugin_module.h"
#include "search/search_run.h"

#include <algorithm>

void CSearchRun::OnDownloadDone(const search::WorkerReport& report)
{
    const std::uint32_t threadId = report.threadId;
    if (!m_pThreadList || m_pThreadList->empty())
        return; // a late report after the run has ended
    const auto workerIt =
        std::find_if(m_pThreadList->begin(), m_pThreadList->end(),
                     [threadId](const auto& worker) { return worker->GetThreadID() == threadId; });
    if (workerIt == m_pThreadList->end())
        return;
    search::IDownloadWorker& worker = **workerIt;
    const bool succeeded =
        report.outcome == search::Outcome::Ready || report.outcome == search::Outcome::Done;
    const std::string reason = succeeded ? std::string() : report.reason; // of its job or start
    if (!reason.empty())
        m_lastFailure = reason;

    bool handedOut = false;
    int remaining = 0;
    if (m_pJobArray && !m_pJobArray->empty()) {
        // The worker's finished job, the first waiting job and the count of jobs waiting or
        // running elsewhere, as one scan of the job array in row order would find them.
        CDownloadJob* finished = nullptr;
        if (const auto runningIt = m_jobIndex.running.find(threadId);
            runningIt != m_jobIndex.running.end()) {
            finished = runningIt->second;
            m_jobIndex.running.erase(runningIt);
        }
        remaining = m_jobIndex.waiting + static_cast<int>(m_jobIndex.running.size());
        if (finished) {
            finished->m_nThreadID = 0;
            finished->m_nState = succeeded ? JOB_DONE : JOB_FAILED;
            ++(succeeded ? m_jobIndex.done : m_jobIndex.failed);
            RecordOutcome(*finished, succeeded, reason);
        }
        // A job whose page file cannot be made fails; the worker then takes the next one.
        // A worker whose connection failed gets no further job.
        while (report.outcome != search::Outcome::Retired && m_pJobArray &&
               m_jobIndex.nextWaiting < m_pJobArray->size()) {
            CDownloadJob& next = *(*m_pJobArray)[m_jobIndex.nextWaiting++];
            if (next.m_nState != JOB_WAITING)
                continue;
            --m_jobIndex.waiting;
            if (HandOut(next, worker)) {
                handedOut = true;
                break;
            }
            --remaining;
        }
    }
    if (!handedOut) {
        worker.PostQuit();
        worker.WaitForEnd();
        m_pThreadList->erase(workerIt);
    }
    if (remaining > 0 && !m_pThreadList->empty())
        return;
    EndRun();
}

bool CSearchRun::HandOut(CDownloadJob& job, search::IDownloadWorker& worker)
{
    platform::Result<std::string> file = m_pool.MakePageFile();
    if (!file) {
        m_pool.WriteErrorLog(file.error + "\r\n");
        FailJob(job, "一時ファイルを作れません (" + file.error + ")");
        return false;
    }
    job.m_strTempFile = std::move(file.value);
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
    ++m_jobIndex.failed;
    m_lastFailure = reason;
    RecordOutcome(job, false, reason);
}

void CSearchRun::RecordOutcome(CDownloadJob& job, bool succeeded, const std::string& reason)
{
    // Only the first row with the job's keyword is marked: a row edited or deleted meanwhile
    // gets nothing, and no other row is marked in its place.
    if (m_rows) {
        if (const std::ptrdiff_t row = m_rows->FirstRowOf(job.m_strKeyword); row >= 0) {
            m_rows->SetRowMark(row, succeeded ? "OK" : "NG", reason);
            m_jobIndex.markedBy[job.m_strKeyword] = &job;
        }
    }
    if (m_progress) {
        const std::string keyword = m_rows ? m_rows->ToUtf8(job.m_strKeyword) : std::string();
        m_progress->JobEnded(keyword, succeeded, reason);
        m_progress->ProgressChanged(CountProgress());
    }
}
