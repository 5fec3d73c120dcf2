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
    CVistrelDoc* const doc = m_document;
    if (!m_pJobArray) {
        ForgetRun();
        if (m_progress)
            m_progress->RunEnded();
        m_prompts.ShowSearchFailed(why);
        return;
    }
    // No worker took any job: what ended the workers is why none was tried.
    const bool noneTried = !m_jobIndex.anyHandedOut && !m_lastFailure.empty();
    FailWaitingJobs(!why.empty() ? why : noneTried ? m_lastFailure : kNoWorkerLeft);
    ForgetRun();
    std::string failure;
    const bool merged = Merge(doc, failure);
    DeleteJobArray(m_pJobArray); // every page file, failed ones too, once the merge is over
    if (m_progress)
        m_progress->RunEnded();
    if (!merged) {
        m_prompts.ShowSearchFailed(why.empty() ? failure : why);
        return;
    }
    if (m_prompts.AskShowResult())
        OnBrowse(doc);
}

void CSearchRun::FailWaitingJobs(const std::string& why)
{
    const std::string reason = "未実行 (" + why + ")";
    const std::string lastFailure = m_lastFailure; // a job not tried is no failure of its own
    for (std::size_t i = m_jobIndex.nextWaiting; i < m_pJobArray->size(); ++i) {
        CDownloadJob& job = *(*m_pJobArray)[i];
        if (job.m_nState != JOB_WAITING)
            continue;
        --m_jobIndex.waiting;
        FailJob(job, reason);
    }
    m_jobIndex.nextWaiting = m_pJobArray->size();
    m_lastFailure = lastFailure;
}

bool CSearchRun::Merge(const CVistrelDoc* doc, std::string& failure)
{
    const CPluginModule* const plugin = std::exchange(m_pPlugin, nullptr);
    if (!plugin)
        return false;
    std::vector<std::string> pageFiles;
    for (const auto& job : *m_pJobArray) {
        if (job->m_nState == JOB_DONE)
            pageFiles.push_back(job->m_strTempFile);
    }
    // A page made of no page would only hide that the search failed.
    if (pageFiles.empty()) {
        failure =
            m_lastFailure.empty() ? kNoPage : std::string(kNoPage) + " (" + m_lastFailure + ")";
        return false;
    }
    const std::string resultPath = doc ? doc->GetResultPath() : std::string();
    if (resultPath.empty())
        return false;
    if (!plugin->MergeDownloadFiles(resultPath, pageFiles)) {
        failure = "プラグイン「" + plugin->GetFileTitle() + "」が結果ページを作れませんでした";
        return false;
    }
    return true;
}
