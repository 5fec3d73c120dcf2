// The end of a run: keywords never tried are marked, the pages merged when any came in, the
// page files deleted and the user told how it went. The merge and the deletion are steps of
// the end-phase runner: they take copies of what they need, so the rows and the document may
// change while they run. What the plug-in tells of the page comes back with the merge and
// reaches the rows on the run's thread.
#include "keywords/keyword_rows.h"
#include "keywords/vistrel_doc.h"
#include "plugin_host/plugin_module.h"
#include "search/search_run.h"

#include <filesystem>
#include <memory>
#include <optional>
#include <system_error>
#include <utility>

namespace {

// Why jobs were never tried once the last worker has left after trying some.
constexpr const char* kNoWorkerLeft = "接続できるダウンロードスレッドがありません";
constexpr const char* kNoPage = "ダウンロードできたページがありません";

// What the merge step hands back to the run's thread.
struct MergeOutcome
{
    bool written = false;
    std::optional<std::vector<plugin_host::ListingCount>> counts;
};

// Deletes every page file, then their folder.
void DeletePages(const std::vector<std::string>& pageFiles, search::IWorkerPool& pool)
{
    for (const std::string& file : pageFiles) {
        std::error_code ignored; // a file that is already gone is no concern
        std::filesystem::remove(file, ignored);
    }
    pool.DeletePageFolder();
}

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
    keywords::IKeywordRows* const rows = m_rows;
    auto markedBy = std::move(m_jobIndex.markedBy);
    ForgetRun();
    // Built whole: clang cannot default-construct a nested struct with member initialisers here.
    m_ending.emplace(Ending{.resultPath = doc ? doc->GetResultPath() : std::string(),
                            .why = why,
                            .merged = false,
                            .failure = {},
                            .rows = rows,
                            .markedBy = std::move(markedBy)});
    BeginMerge();
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

void CSearchRun::BeginMerge()
{
    std::vector<std::string> pageFiles = PageFiles(*m_pJobArray, true);
    // A page made of no page would only hide that the search failed.
    if (m_pPlugin && pageFiles.empty()) {
        m_ending->failure =
            m_lastFailure.empty() ? kNoPage : std::string(kNoPage) + " (" + m_lastFailure + ")";
    }
    if (!m_pPlugin || pageFiles.empty() || m_ending->resultPath.empty()) {
        BeginDeletingPages();
        return;
    }
    if (m_progress)
        m_progress->EndStepStarted(search::EndStep::Merging);
    // The counts are asked for at once, in the same step: no other call may come in between.
    auto merged = std::make_shared<MergeOutcome>();
    m_endPhase.Run(
        [plugin = m_pPlugin, path = m_ending->resultPath, pages = std::move(pageFiles), merged] {
            merged->written = plugin->MergeDownloadFiles(path, pages);
            if (merged->written)
                merged->counts = plugin->GetListingCounts(path, pages.size());
        },
        [this, merged] {
            m_ending->merged = merged->written;
            if (!merged->written)
                m_ending->failure =
                    "プラグイン「" + m_pPlugin->GetFileTitle() + "」が結果ページを作れませんでした";
            else if (merged->counts)
                TakeListingCounts(*merged->counts);
            BeginDeletingPages();
        });
}

void CSearchRun::TakeListingCounts(const std::vector<plugin_host::ListingCount>& counts)
{
    std::vector<search::KeywordCount> reported;
    auto count = counts.begin();
    for (const auto& job : *m_pJobArray) {
        if (job->m_nState != JOB_DONE || count == counts.end())
            continue;
        job->m_listingCount = *count++;
        keywords::IKeywordRows* const rows = m_ending->rows;
        // A row shows the outcome of the latest job with its text; another job's counts would
        // sit beside a mark they do not belong to.
        if (const auto marked = m_ending->markedBy.find(job->m_strKeyword);
            rows && marked != m_ending->markedBy.end() && marked->second == job.get()) {
            if (const std::ptrdiff_t row = rows->FirstRowOf(job->m_strKeyword); row >= 0)
                rows->SetRowMark(row, "OK", search::FormatListingCount(*job->m_listingCount));
        }
        reported.push_back(
            {rows ? rows->ToUtf8(job->m_strKeyword) : std::string(), *job->m_listingCount});
    }
    if (m_progress)
        m_progress->ListingsCounted(reported);
}

void CSearchRun::BeginDeletingPages()
{
    m_pPlugin = nullptr;
    if (m_progress)
        m_progress->EndStepStarted(search::EndStep::DeletingPages);
    // Every page file, failed ones too, once the merge is over. The pool is the step's alone
    // meanwhile: no worker is left to ask it for anything.
    m_endPhase.Run(
        [pages = PageFiles(*m_pJobArray, false), &pool = m_pool] { DeletePages(pages, pool); },
        [this] { FinishRun(); });
}

void CSearchRun::FinishRun()
{
    const Ending ending = std::move(*m_ending);
    m_ending.reset();
    m_pJobArray.reset();
    if (m_progress)
        m_progress->RunEnded();
    if (!ending.merged) {
        m_prompts.ShowSearchFailed(ending.why.empty() ? ending.failure : ending.why);
        return;
    }
    // The page just made, even when the document has been renewed while it was being made.
    if (m_prompts.AskShowResult())
        OpenResultPage(ending.resultPath);
}

std::vector<std::string> CSearchRun::PageFiles(const CJobArray& jobArray, bool doneOnly)
{
    std::vector<std::string> files;
    for (const auto& job : jobArray) {
        if (doneOnly ? job->m_nState == JOB_DONE : !job->m_strTempFile.empty())
            files.push_back(job->m_strTempFile);
    }
    return files;
}

void CSearchRun::DeleteJobArray(std::unique_ptr<CJobArray>& jobArray)
{
    DeletePages(PageFiles(*jobArray, false), m_pool);
    jobArray.reset();
}
