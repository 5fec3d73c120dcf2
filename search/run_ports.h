#pragma once

#include "platform/temp_file.h"
#include "plugin_host/listing_count.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// What a search run needs from the world around it, so that the run itself draws nothing,
// starts no thread and can be driven step by step by a test.
namespace search {

// What a worker's report says, in the run's terms.
enum class Outcome {
    Ready,   // the worker has started; it ran no job yet
    Done,    // its job's page is stored
    Failed,  // its job failed; the worker can take the next one
    Retired, // its start or its connection failed: it takes no further job
};

// One report of a worker, a value of its own: the run reads nothing of the worker after it.
struct WorkerReport
{
    std::uint32_t threadId = 0;
    Outcome outcome = Outcome::Ready;
    std::string reason; // UTF-8, why the job (or the start) failed; empty when nothing did
};

// Carries the workers' reports to the run's thread. PostDownloadDone is called on a worker's
// own thread and only queues the report: the worker goes on at once. The run must get the
// reports on its own thread, one after another, in the order they were posted.
class IReportReceiver
{
public:
    virtual ~IReportReceiver() = default;
    virtual void PostDownloadDone(WorkerReport report) = 0;
};

// One download worker as the run sees it. Its jobs go to it as values, and its outcomes come
// back in its reports. Destroying a worker whose thread still runs aborts it and waits for
// its end.
class IDownloadWorker
{
public:
    virtual ~IDownloadWorker() = default;

    // The system thread ID the worker's reports carry; never 0.
    virtual std::uint32_t GetThreadID() const = 0;
    // Lets a worker created suspended run: it reports once when ready.
    virtual void Resume() = 0;
    // Hands over one job: the request target and the page file, which the worker creates and
    // fills; it reports when the job has ended.
    virtual void StartDownload(const std::string& object, const std::string& saveFile) = 0;
    // Ends the transfer in flight at once (as a failed job) and fails any later one at once.
    // Safe from any state.
    virtual void Abort() = 0;
    // Asks the worker's loop to end after what it is doing; then waits, without a time limit,
    // until its thread has ended.
    virtual void PostQuit() = 0;
    virtual void WaitForEnd() = 0;
};

// Makes the run's workers and names their page files, and keeps the workers' log.
class IWorkerPool
{
public:
    virtual ~IWorkerPool() = default;

    // A new worker, begun suspended, that will ask server with referer (empty: none) for every
    // job; null when the system cannot start one.
    virtual std::unique_ptr<IDownloadWorker> CreateWorker(const std::string& server,
                                                          const std::string& referer) = 0;
    // A new "~TV" name for one job's page, in a folder of the run's own under the system's
    // temporary folder (made with the first name). The run deletes the page when it is over.
    virtual platform::Result<std::string> MakePageFile() = 0;
    // The run has deleted its page files: their folder goes too, and the next page file
    // starts a new one.
    virtual void DeletePageFolder() = 0;
    // Appends a failure the run noticed itself to the workers' error log.
    virtual void WriteErrorLog(std::string_view text) = 0;
};

// The questions and messages of a run (message boxes in the window, the terminal in batch mode).
class IRunPrompts
{
public:
    virtual ~IRunPrompts() = default;

    // "地域を選択してください。": OK only, no icon.
    virtual void ShowRegionMissing() = 0;
    // "検索を完了しました。\n検索結果をブラウザで表示しますか？": Yes/No, information icon;
    // true for Yes.
    virtual bool AskShowResult() = 0;
    // "検索に失敗しました。": OK, information icon; reason (UTF-8) says why, when it is not
    // empty.
    virtual void ShowSearchFailed(const std::string& reason) = 0;
    // Opens the result page: with the desktop's handler for the file when browserProgram is
    // empty, else by starting that program with path as its one argument, unchanged. When the
    // page cannot be shown the user is told so, with its path, so that they can open it
    // themselves; the run does not wait for that.
    virtual void OpenResult(const std::string& browserProgram, const std::string& path) = 0;
};

// Where the end of a run is done: the merge, then the deletion of the page files. Each is one
// step that uses only what it was given, never the run, so it may run on a thread of its own
// while the owner's event loop goes on (the window), or in place where there is none to keep
// (batch mode, tests).
class IEndPhaseRunner
{
public:
    virtual ~IEndPhaseRunner() = default;

    // Runs step, then done on the run's thread after step has returned; an inline runner calls
    // both before it returns. The run hands over one step at a time, the next one from done.
    virtual void Run(std::function<void()> step, std::function<void()> done) = 0;
    // Returns once the step handed over has returned, and its done then never comes. A step
    // is never cut off: a merge half written would leave neither the old page nor a new one.
    virtual void Wait() = 0;
};

// Runs each step and its done at once, on the caller's thread.
class InlineEndPhase final : public IEndPhaseRunner
{
public:
    void Run(std::function<void()> step, std::function<void()> done) override
    {
        step();
        done();
    }
    void Wait() override {}
};

// What the end of a run is doing, one step after the other.
enum class EndStep {
    Merging,      // the plug-in makes the result page
    DeletingPages // the page files and their folder go
};

// How far a run has got.
struct CRunProgress
{
    int nEnded = 0;  // jobs done or failed (never tried counts as failed)
    int nFailed = 0; // of them, failed
    int nTotal = 0;  // jobs of the run
};

// One keyword's share of the result page.
struct KeywordCount
{
    std::string keyword; // UTF-8
    plugin_host::ListingCount count;
};

// Follows a run as it goes: the status bar in the window, standard output and error in batch mode.
class IRunProgress
{
public:
    virtual ~IRunProgress() = default;

    // A job has ended, also one that was never tried. keyword and reason: UTF-8; reason is
    // empty when it succeeded.
    virtual void JobEnded(const std::string& keyword, bool bSucceeded,
                          const std::string& reason) = 0;
    // The counts after a start or a job's end.
    virtual void ProgressChanged(const CRunProgress& progress) = 0;
    // The end of the run has begun step; the counts stay as they were. Nothing to show in
    // batch mode, where the steps run in place and the next line is the outcome.
    virtual void EndStepStarted(EndStep /*step*/) {}
    // The result page is written and the plug-in has told what it holds: an entry for every
    // keyword whose page went into it, in row order. Not called when the plug-in tells nothing.
    virtual void ListingsCounted(const std::vector<KeywordCount>& /*counts*/) {}
    // The run is over (ended, stopped or torn down): no run is under way any more.
    virtual void RunEnded() = 0;
};

// The status bar's text for a run under way, e.g. "検索中… 3/12 件終了（失敗 1 件）".
std::string FormatProgress(const CRunProgress& progress);
// What a keyword's page gave, for people: "42 件 (新着 3 件)", or "42 件" when not compared.
std::string FormatListingCount(const plugin_host::ListingCount& count);
// The new listings of all keywords together; none when no page was compared.
std::optional<long long> TotalFresh(const std::vector<KeywordCount>& counts);

} // namespace search
