#pragma once

#include "config/config_store.h"
#include "search/download_job.h"
#include "search/run_ports.h"

#include <cstdint>
#include <list>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

class CPluginModule;
class CVistrelDoc;
namespace keywords {
class IKeywordRows;
}
namespace platform {
struct WritableResult;
}

// One search run at a time, owned by the main window (or by batch mode): the start, the
// completion handling of every worker report, the stop, the browse command and the enabling
// rules of the three run commands. Everything runs on the owner's thread; the workers only
// report, and their reports must reach OnDownloadDone on that thread, one after another. The
// end of a run (the merge, then deleting the page files) goes through an end-phase runner,
// which may do it on a thread of its own and hand back to the owner's thread when it is over.
//
// A run borrows its document, rows and plug-in: they must outlive it or be left behind by a
// stop first (the window stops a run before it destroys its view).
class CSearchRun
{
public:
    // A run has at least one worker (none could never progress) and not so many that the
    // site or the machine would suffer.
    static constexpr int kMinWorkers = 1;
    static constexpr int kMaxWorkers = 64;

    using CThreadList = std::list<std::unique_ptr<search::IDownloadWorker>>;
    using CJobArray = std::vector<std::unique_ptr<CDownloadJob>>;

    // dataFolder (ending in "/") holds the default cache folder, "Cache": the program folder
    // when it is writable, else the user's data folder. progress may be null; endPhase null:
    // the end of a run is done in place, before the last report returns. endPhase and pool
    // must outlive the run.
    CSearchRun(config::Config config, std::string dataFolder, search::IWorkerPool& pool,
               search::IRunPrompts& prompts, search::IRunProgress* progress = nullptr,
               search::IEndPhaseRunner* endPhase = nullptr);
    // Ends a run under way as a stop does, silently. A run that is ending first waits for its
    // step (a merge is never cut off half-way), then its page files go all the same.
    ~CSearchRun();
    CSearchRun(const CSearchRun&) = delete;
    CSearchRun& operator=(const CSearchRun&) = delete;

    // "検索開始": a search over every non-empty row of rows, in row order, for region area
    // (1 to 47; areaName its UTF-8 name) with plugin. doc names the result file.
    void OnSearchStart(CVistrelDoc* doc, keywords::IKeywordRows& rows, int area,
                       const std::string& areaName, const CPluginModule* plugin);
    // A worker's report: it is free, having just started or ended its job.
    void OnDownloadDone(const search::WorkerReport& report);
    // "検索中止": aborts the transfers in flight, ends the workers, deletes the page files.
    // A run that is ending is left to end: it has no worker left to stop, and a merge cannot
    // be interrupted.
    void OnSearchStop();
    // "ﾌﾞﾗｳｻﾞで閲覧": opens the result page of doc's latest run.
    void OnBrowse(const CVistrelDoc* doc);

    // The enabling rules of "検索開始", "検索中止" and "ﾌﾞﾗｳｻﾞで閲覧".
    bool OnUpdateSearchStart() const;
    bool OnUpdateSearchStop() const;
    bool OnUpdateBrowse(const CVistrelDoc* doc) const;

    // From the last report until the page files are gone: no worker is left and the job array
    // is still held, so none of the three commands is enabled. No other call of the plug-in
    // may overlap the merge meanwhile; the document and the rows may change.
    bool IsEnding() const { return m_ending.has_value(); }

    // The run's jobs and workers as they stand; null while no run is under way.
    const CJobArray* GetJobArray() const { return m_pJobArray.get(); }
    const CThreadList* GetThreadList() const { return m_pThreadList.get(); }

private:
    // A job failed before any worker saw it, and why.
    struct CFailedJob
    {
        CDownloadJob* job;
        std::string reason;
    };

    int ReadWorkerLimit() const;
    // A job per non-empty row, in row order, clearing every row's mark. A keyword that the
    // plug-in cannot be given makes a job that has failed already; those go to failed.
    std::unique_ptr<CJobArray> MakeJobs(keywords::IKeywordRows& rows, int area,
                                        const CPluginModule& plugin,
                                        std::vector<CFailedJob>& failed) const;
    // Lets the stored run's workers go, or ends the run at once when it cannot succeed.
    void BeginRun(const platform::WritableResult& writable, int waiting);
    void RecordOutcome(CDownloadJob& job, bool succeeded, const std::string& reason);
    // Fails a job that no worker runs: counted, marked and remembered as the latest failure.
    void FailJob(CDownloadJob& job, const std::string& reason);
    bool HandOut(CDownloadJob& job, search::IDownloadWorker& worker);
    // The end of a run: jobs still waiting end as never tried, because of why (or, when why is
    // empty, because no worker is left), then the pages are merged when there is any, the page
    // files deleted and the user told.
    void EndRun(const std::string& why = {});
    void FailWaitingJobs(const std::string& why);
    // The steps of the end, each begun by the one before: merge, delete the pages, finish.
    void BeginMerge();
    // Keeps what the plug-in told of each page on its job (the jobs downloaded, in row order),
    // adds it to the rows' marks and reports it.
    void TakeListingCounts(const std::vector<plugin_host::ListingCount>& counts);
    void BeginDeletingPages();
    void FinishRun();
    void OpenResultPage(const std::string& path);
    void ForgetRun();
    search::CRunProgress CountProgress() const;
    static void DeleteThreadList(std::unique_ptr<CThreadList>& threadList, bool abortTransfers);
    void DeleteJobArray(std::unique_ptr<CJobArray>& jobArray);
    // The page file of every job handed out (doneOnly: of every job downloaded), in row order.
    static std::vector<std::string> PageFiles(const CJobArray& jobArray, bool doneOnly);

    const config::Config m_config;
    const std::string m_dataFolder;
    search::IWorkerPool& m_pool;
    search::IRunPrompts& m_prompts;
    search::IRunProgress* m_progress;
    search::InlineEndPhase m_inlineEndPhase;
    search::IEndPhaseRunner& m_endPhase;

    // The run state: all null while no run is under way, set together when one starts.
    std::unique_ptr<CThreadList> m_pThreadList; // the workers, in creation order
    const CPluginModule* m_pPlugin = nullptr;   // borrowed from the plug-in list
    std::unique_ptr<CJobArray> m_pJobArray;     // the jobs, in row order
    // Borrowed for the run's marks and its result path.
    CVistrelDoc* m_document = nullptr;
    keywords::IKeywordRows* m_rows = nullptr;

    // What a scan of the job array would find, kept up to date as jobs change state, so that
    // a report costs the same at the end of a long run as at its start. Jobs only move
    // forward and are handed out in row order, so the first waiting job is never behind
    // nextWaiting; a worker runs one job at a time.
    struct CJobIndex
    {
        std::size_t nextWaiting = 0;
        int waiting = 0;
        int done = 0;
        int failed = 0;
        std::unordered_map<std::uint32_t, CDownloadJob*> running; // by worker thread ID
        bool anyHandedOut = false;
        // The job whose outcome a keyword's row shows: the latest of the jobs with its text.
        std::unordered_map<std::string_view, const CDownloadJob*> markedBy;
    };
    CJobIndex m_jobIndex;
    // Why the latest job failed or a worker left; what the user is told when no page came in.
    std::string m_lastFailure;

    // What the end of a run carries from one step to the next; set while the run is ending.
    struct Ending
    {
        std::string resultPath; // taken as the run ended: the document may change meanwhile
        std::string why;        // what ended the run before its jobs, if anything
        bool merged = false;
        std::string failure; // why no page was written, when there is something to say
        // For the counts the merge may bring: the rows still get them, on the jobs' rows.
        keywords::IKeywordRows* rows = nullptr;
        std::unordered_map<std::string_view, const CDownloadJob*> markedBy;
    };
    std::optional<Ending> m_ending;
};
