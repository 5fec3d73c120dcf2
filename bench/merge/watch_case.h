#pragma once

#include <cstddef>
#include <string>
#include <vector>

class CPluginModule;

// The merge of a daily search that finds yesterday's result page beside its own: the same
// listings but about one in 28 (a 28-day guide moves on by one day), so medora compares every
// listing and marks about one in 28.
namespace bench {

// Yesterday's page in folder: the merge of pages with about one listing in 28 told
// otherwise. Its path, or empty when it could not be written.
std::string WriteYesterdaysPage(const CPluginModule& medora, const std::string& folder,
                                const std::vector<std::string>& pages);

// Where today's page goes: it compares with the page above as long as no page of its own
// name is there (remove it before each run, or it becomes its own earlier page).
std::string TodaysPage(const std::string& folder);

// How many rows of the page at path carry the mark, and how many rows it has.
struct MarkTally
{
    std::size_t marked = 0;
    std::size_t rows = 0;
};
MarkTally TallyMarks(const std::string& path);

} // namespace bench

namespace bench {

// Merges the pages "~TV*" of folder, in name order, into output with the module and returns
// the exit status: one merge as a whole process, for timing from outside. fresh removes
// output first, so that the merge has no earlier page of its own name.
int MergeOnce(const std::string& module, const std::string& output, const std::string& folder,
              bool fresh);

} // namespace bench
