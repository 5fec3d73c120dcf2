#pragma once

#include "app/end_phase_thread.h"
#include "app/result_launcher.h"
#include "app/run_commands.h"
#include "search/http_worker_pool.h"
#include "search/run_ports.h"
#include "search/search_run.h"

#include <optional>
#include <string>
#include <vector>

class CMainFrame;
class CVistrelDoc;

namespace app {
class IPrompts;

// The window's search run: the three run commands of the "ﾂｰﾙ" menu over CSearchRun, with the
// download workers reporting onto the main thread, the run's questions as message boxes and
// its progress in the status bar. The end of a run (merge, then deleting the page files) runs
// off the main thread, so the window stays live meanwhile. Owned by the main window;
// destroying it stops a run under way, silently, as closing the window must (a run that is
// ending is waited for first).
class WindowRun : public IRunCommands, private search::IRunPrompts, private search::IRunProgress
{
public:
    // dataFolder holds the default cache folder (see CSearchRun); endPhase: where the end of a
    // run is done (null: on a thread of its own); it must outlive this object.
    WindowRun(CMainFrame& frame, CVistrelDoc& doc, IPrompts& prompts, const config::Config& config,
              const std::string& dataFolder, search::IEndPhaseRunner* endPhase = nullptr);
    ~WindowRun() override;

    bool CanStart() const override;
    bool CanStop() const override;
    bool CanBrowse() const override;
    bool CanCallPlugin() const override;
    void Start() override;
    void Stop() override;
    void Browse() override;

    const CSearchRun& Run() const { return m_run; }
    const ResultLauncher& Launcher() const { return m_launcher; }

private:
    // search::IRunPrompts
    void ShowRegionMissing() override;
    bool AskShowResult() override;
    void ShowSearchFailed(const std::string& reason) override;
    void OpenResult(const std::string& browserProgram, const std::string& path) override;
    // search::IRunProgress
    void JobEnded(const std::string& keyword, bool succeeded, const std::string& reason) override;
    void ProgressChanged(const search::CRunProgress& progress) override;
    void EndStepStarted(search::EndStep step) override;
    void ListingsCounted(const std::vector<search::KeywordCount>& counts) override;
    void RunEnded() override;

    void ShowStatus(const QString& text);

    CMainFrame& m_frame;
    CVistrelDoc& m_doc;
    IPrompts& m_prompts;
    ResultLauncher m_launcher;
    search::HttpWorkerPool m_pool;
    EndPhaseThread m_endPhaseThread;
    // The new listings of the run that is ending, for the status bar once it is over.
    std::optional<long long> m_fresh;
    // Declared last: it goes first, ending its workers while the pool and the frame still exist.
    CSearchRun m_run;
};

} // namespace app
