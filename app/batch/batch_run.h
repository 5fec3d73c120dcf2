#pragma once

#include "app/batch/batch_args.h"

#include <optional>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

namespace batch {

inline constexpr int kExitMerged = 0;   // the result page was written, every keyword OK
inline constexpr int kExitFailed = 1;   // the search failed: no result page
inline constexpr int kExitBadInput = 2; // bad arguments, area, plug-in or keyword file
inline constexpr int kExitPartial = 3;  // the result page was written, some keyword NG
// A run stopped by a signal exits with 128 + its number (ExitStatusFor), as a shell reports a
// process the signal ended: 129 SIGHUP, 130 SIGINT, 131 SIGQUIT, 143 SIGTERM, and 141 (SIGPIPE)
// when standard output has lost its reader.
inline constexpr int kExitInterrupted = 130; // stopped by Ctrl+C

// Handles --search, --help, --version and a command line that is wrong; none for the window's
// command line, whose keyword file (empty for none) goes to windowFile. Runs on the program's
// main thread, which holds libcurl's global set-up (download::CurlGlobal) meanwhile.
std::optional<int> RunCommandLine(int argc, char** argv, std::ostream& out, std::ostream& err,
                                  std::string& windowFile);

// The same for a given program folder (ending in "/"): its Vistrel.ini, Cache and Plugin.
std::optional<int> RunCommandLine(const std::vector<std::string>& args,
                                  const std::string& programFolder, std::ostream& out,
                                  std::ostream& err, std::string* windowFile = nullptr);

// What a search found new, for telling the user after it: each keyword (UTF-8) whose page has
// new listings, with their number (> 0), in row order, and the result page. Empty unless the
// result page was written and the plug-in counts listings.
struct BatchNews
{
    std::vector<std::pair<std::string, int>> keywords;
    std::string pagePath;
};

// One search without a window, through the same run as the window's. news (if not null) gets
// what was new.
int RunBatchSearch(const BatchArgs& args, const std::string& programFolder, std::ostream& out,
                   std::ostream& err, BatchNews* news = nullptr);

} // namespace batch
