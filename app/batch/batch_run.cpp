#include "app/batch/batch_run.h"

#include "app/batch/batch_setup.h"
#include "app/batch/desktop_notifier.h"
#include "app/batch/files_text.h"
#include "app/batch/interrupt.h"
#include "app/batch/report_queue.h"
#include "app/batch/terminal_ui.h"
#include "download/error_log.h"
#include "keywords/document_rows.h"
#include "keywords/vistrel_doc.h"
#include "platform/program_folder.h"
#include "platform/run_folder.h"
#include "platform/user_folders.h"
#include "platform/writable_folder.h"
#include "plugin_host/plugin_module.h"
#include "search/http_worker_pool.h"
#include "search/search_run.h"

#include <cstring>

namespace batch {
namespace {

// The signal that stops the run, or 0: one that came, else SIGPIPE once standard output has
// failed (its reader has gone; the signal itself is ignored meanwhile).
int StopSignal(const InterruptGuard& interrupt, const std::ostream& out)
{
    if (const int signal = interrupt.Received())
        return signal;
    return out ? 0 : SIGPIPE;
}

// A stopped run leaves its unfinished jobs unmarked; the output still names every keyword, so
// that a reader of it never has to wonder what became of one.
void ReportUnfinished(const CSearchRun& run, const keywords::IKeywordRows& rows, int signal,
                      search::IRunProgress& progress)
{
    const CSearchRun::CJobArray* jobs = run.GetJobArray();
    if (!jobs)
        return;
    const std::string reason = std::string("中止 (SIG") + sigabbrev_np(signal) + ")";
    for (const auto& job : *jobs) {
        if (job->m_nState == JOB_WAITING || job->m_nState == JOB_RUNNING)
            progress.JobEnded(rows.ToUtf8(job->m_strKeyword), false, reason);
    }
}

// The folders this run keeps its files in, made where missing, with the error log pointed
// there; a settings file that cannot be written is said once, as the window says it.
platform::Result<platform::UserFolders> UsableFolders(const std::string& programFolder,
                                                      std::ostream& err)
{
    platform::Result<platform::UserFolders> folders = platform::CurrentUserFolders(programFolder);
    if (!folders) {
        err << "Vistrel: " << folders.error << "\n";
        return folders;
    }
    if (platform::Result<> made = platform::MakeUserFolders(folders.value); !made) {
        err << "Vistrel: " << made.error << "\n";
        return made.AsFailure();
    }
    download::SetErrorLogPath(platform::ErrorLogPath(folders.value));
    const std::string settings = platform::SettingsFilePath(folders.value);
    if (!platform::CheckSettingsFile(settings))
        err << "Vistrel: 設定ファイルに書き込めません: " << settings << "\n";
    return folders;
}

} // namespace

std::optional<int> RunCommandLine(int argc, char** argv, std::ostream& out, std::ostream& err,
                                  std::string& windowFile)
{
    std::vector<std::string> args;
    for (int i = 1; i < argc; ++i)
        args.emplace_back(argv[i]);
    return RunCommandLine(args, platform::ProgramFolder(), out, err, &windowFile);
}

std::optional<int> RunCommandLine(const std::vector<std::string>& args,
                                  const std::string& programFolder, std::ostream& out,
                                  std::ostream& err, std::string* windowFile)
{
    const platform::Result<BatchArgs> parsed = ParseBatchArgs(args);
    if (!parsed) {
        err << "Vistrel: " << parsed.error << "\nTry 'Vistrel --help'.\n";
        return kExitBadInput;
    }
    switch (parsed.value.action) {
    case BatchArgs::Action::Window:
        if (windowFile)
            *windowFile = parsed.value.windowFile;
        return std::nullopt;
    case BatchArgs::Action::Help:
        out << BatchHelpText()
            << FilesText(platform::CurrentUserFolders(programFolder), programFolder);
        return kExitMerged;
    case BatchArgs::Action::Version:
        out << "Vistrel " << VISTREL_VERSION << "\n";
        return kExitMerged;
    case BatchArgs::Action::Search:
        break;
    }
    return RunBatchSearch(parsed.value, programFolder, out, err);
}

int RunBatchSearch(const BatchArgs& args, const std::string& programFolder, std::ostream& out,
                   std::ostream& err, BatchNews* news)
{
    platform::SweepDeadRunFolders(); // what runs that died left behind
    if (programFolder.empty()) {
        err << "Vistrel: cannot tell the program's folder\n";
        return kExitBadInput;
    }
    const platform::Result<platform::UserFolders> folders = UsableFolders(programFolder, err);
    if (!folders)
        return kExitBadInput;
    const config::Config config(platform::SettingsFilePath(folders.value));
    CVistrelDoc doc;
    CBatchSetup setup;
    if (!PrepareSearch(args, config, folders.value, programFolder, doc, setup, err))
        return kExitBadInput;

    ReportQueue reports;
    search::HttpWorkerPool pool(reports, config.GetPath());
    CTerminalPrompts prompts(err);
    const bool counts = setup.pPlugin->HasListingCounts();
    if ((args.newOnly || args.notify) && !counts) {
        err << "Vistrel: the plug-in \"" << setup.pPlugin->GetFileTitle()
            << "\" does not count new listings; "
            << (args.newOnly ? "--new-only prints none\n" : "--notify tells nothing\n");
    }
    CTerminalProgress progress(out, err, counts, args.newOnly);
    keywords::DocumentRows rows(doc);
    CSearchRun run(config, folders.value.data, pool, prompts, &progress);

    const InterruptGuard interrupt;
    run.OnSearchStart(&doc, rows, setup.nArea, setup.strAreaName, setup.pPlugin);
    while (!run.OnUpdateSearchStart()) {
        if (const int signal = StopSignal(interrupt, out)) {
            if (signal != SIGPIPE)
                ReportUnfinished(run, rows, signal, progress);
            run.OnSearchStop();
            if (signal == SIGPIPE)
                err << "Vistrel: standard output is closed; the search was stopped\n";
            else
                err << "Vistrel: interrupted by SIG" << sigabbrev_np(signal)
                    << "; the search was stopped\n";
            return ExitStatusFor(signal);
        }
        if (const std::optional<search::WorkerReport> report = reports.Take(interrupt.WakeFd()))
            run.OnDownloadDone(*report);
    }
    if (!prompts.HasMerged())
        return kExitFailed;
    if (news)
        *news = {progress.News(), doc.GetResultPath()};
    // A scheduled --new-only run with nothing new prints nothing at all.
    if (!args.newOnly || !progress.News().empty())
        out << doc.GetResultPath() << std::endl;
    if (!out) {
        err << "Vistrel: standard output is closed; the result page was written\n";
        return ExitStatusFor(SIGPIPE);
    }
    // The search is over and its page written: a desktop that cannot be told, or a signal while
    // waiting for the notification's click, changes nothing of that.
    if (args.notify) {
        const std::string why =
            NotifyDesktop(progress.News(), doc.GetResultPath(),
                          config.ReadString(config::Key::Browser), interrupt.WakeFd(), err);
        if (!why.empty())
            err << "デスクトップに通知できません: " << why << '\n';
    }
    // A scheduler must see that some keyword went unchecked although the page was written.
    return progress.AnyFailed() ? kExitPartial : kExitMerged;
}

} // namespace batch
