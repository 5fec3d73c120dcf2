#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace bench {

struct CPageSet
{
    std::vector<std::string> paths; // "~TV0000", "~TV0001", ... in the folder
    std::uintmax_t totalBytes = 0;
};

// Writes count result pages of the sample listing site into folder, each as the site would
// answer a search (one region per page in turn) and cut to about pageBytes by the number of
// hits it lists. Empty paths when a page cannot be written.
CPageSet WritePages(const std::string& folder, int count, std::size_t pageBytes, bool crlf);

} // namespace bench
