// The end of a run: keywords never tried are marked, the pages merged when any came in, and
// the user told how it went.
#include "keywords/vistrel_doc.h"
#include "plugin_host/plugin_module.h"
#include "search/search_run.h"

#include <utility>

namespace {

// Why jobs were never tried once the last worker has left after trying some.
constexpr const char* kNoWorkerLeft = "接続できるダウンロードスレッドがありません";
constexpr const char* kNoPage = "ダウンロードできたページがありません";

} // namespace

void CSearchRun::EndRun(const std::string& why)
{
    if (m_pThreadList)
        DeleteThreadList(m_pThreadList, false);
    CVistrelDoc* const pDoc = m_pDocument;
    if (!m_pJobArray) {
        ForgetRun();
        if (m_pProgress)
            m_pProgress->RunEnded();
        m_prompts.ShowSearchFailed(why);
        return;
    }
    // No worker took any job: what ended the workers is why none was tried.
    const bool bNoneTried = !m_jobIndex.anyHandedOut && !m_lastFailure.empty();
    FailWaitingJobs(!why.empty() ? why : bNoneTried ? m_lastFailure : kNoWorkerLeft);
    ForgetRun();
    std::string failure;
    const bool bMerged = Merge(pDoc, failure);
    DeleteJobArray(m_pJobArray); // every page file, failed ones too, once the merge is over
    if (m_pProgress)
        m_pProgress->RunEnded();
    if (!bMerged) {
        m_prompts.ShowSearchFailed(why.empty() ? failure : why);
        return;
    }
    if (m_prompts.AskShowResult())
        OnBrowse(pDoc);
}

void CSearchRun::FailWaitingJobs(const std::string& why)
{
    const std::string reason = "未実行 (" + why + ")";
    const std::string lastFailure = m_lastFailure; // a job not tried is no failure of its own
    for (std::size_t i = m_jobIndex.nNextWaiting; i < m_pJobArray->size(); ++i) {
        CDownloadJob& job = *(*m_pJobArray)[i];
        if (job.m_nState != JOB_WAITING)
            continue;
        --m_jobIndex.nWaiting;
        FailJob(job, reason);
    }
    m_jobIndex.nNextWaiting = m_pJobArray->size();
    m_lastFailure = lastFailure;
}

bool CSearchRun::Merge(const CVistrelDoc* pDoc, std::string& failure)
{
    const CPluginModule* const pPlugin = std::exchange(m_pPlugin, nullptr);
    if (!pPlugin)
        return false;
    std::vector<std::string> pageFiles;
    for (const auto& pJob : *m_pJobArray) {
        if (pJob->m_nState == JOB_DONE)
            pageFiles.push_back(pJob->m_strTempFile);
    }
    // A page made of no page would only hide that the search failed.
    if (pageFiles.empty()) {
        failure =
            m_lastFailure.empty() ? kNoPage : std::string(kNoPage) + " (" + m_lastFailure + ")";
        return false;
    }
    const std::string strResultPath = pDoc ? pDoc->GetResultPath() : std::string();
    if (strResultPath.empty())
        return false;
    if (!pPlugin->MergeDownloadFiles(strResultPath, pageFiles)) {
        failure = "プラグイン「" + pPlugin->GetFileTitle() + "」が結果ページを作れませんでした";
        return false;
    }
    return true;
}
