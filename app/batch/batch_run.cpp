#include "app/batch/batch_run.h"

#include "app/batch/batch_setup.h"
#include "app/batch/interrupt.h"
#include "app/batch/report_queue.h"
#include "app/batch/terminal_ui.h"
#include "keywords/document_rows.h"
#include "keywords/vistrel_doc.h"
#include "platform/program_folder.h"
#include "search/http_worker_pool.h"
#include "search/search_run.h"

namespace batch {
namespace {

// How often the wait for a report looks for an interrupt.
constexpr std::chrono::milliseconds kInterruptPoll{100};

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
    const CParseResult parsed = ParseBatchArgs(args);
    if (!parsed.args) {
        err << "Vistrel: " << parsed.error << "\nTry 'Vistrel --help'.\n";
        return kExitBadInput;
    }
    switch (parsed.args->action) {
    case CBatchArgs::Action::Window:
        if (windowFile)
            *windowFile = parsed.args->windowFile;
        return std::nullopt;
    case CBatchArgs::Action::Help:
        out << BatchHelpText();
        return kExitMerged;
    case CBatchArgs::Action::Version:
        out << "Vistrel " << VISTREL_VERSION << "\n";
        return kExitMerged;
    case CBatchArgs::Action::Search:
        break;
    }
    return RunBatchSearch(*parsed.args, programFolder, out, err);
}

int RunBatchSearch(const CBatchArgs& args, const std::string& programFolder, std::ostream& out,
                   std::ostream& err)
{
    if (programFolder.empty()) {
        err << "Vistrel: cannot tell the program's folder\n";
        return kExitBadInput;
    }
    const config::CConfig config(config::VistrelIniPath(programFolder));
    CVistrelDoc doc;
    CBatchSetup setup;
    if (!PrepareSearch(args, config, programFolder, doc, setup, err))
        return kExitBadInput;

    CReportQueue reports;
    search::CHttpWorkerPool pool(reports, config.GetPath());
    CTerminalPrompts prompts(err);
    CTerminalProgress progress(out, err);
    keywords::CDocumentRows rows(doc);
    CSearchRun run(config, programFolder, pool, prompts, &progress);

    const CInterruptGuard interrupt;
    run.OnSearchStart(&doc, rows, setup.nArea, setup.strAreaName, setup.pPlugin);
    while (!run.OnUpdateSearchStart()) {
        if (interrupt.Requested()) {
            run.OnSearchStop();
            err << "Vistrel: interrupted; the search was stopped\n";
            return kExitInterrupted;
        }
        if (const std::optional<std::uint32_t> threadId = reports.Take(kInterruptPoll))
            run.OnDownloadDone(*threadId);
    }
    if (!prompts.HasMerged())
        return kExitFailed;
    out << doc.GetResultPath() << std::endl;
    // A scheduler must see that some keyword went unchecked although the page was written.
    return progress.AnyFailed() ? kExitPartial : kExitMerged;
}

} // namespace batch
