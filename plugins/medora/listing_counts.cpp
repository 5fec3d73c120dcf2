#include "listing_counts.h"

#include <algorithm>
#include <map>
#include <mutex>

namespace medora {
namespace {

// Calls never overlap, but the merge runs on a thread of the program's and the question may
// come on another one.
std::mutex& CountsMutex()
{
    static std::mutex mutex;
    return mutex;
}

std::map<std::string, std::vector<PageCount>>& CountsByPath()
{
    static std::map<std::string, std::vector<PageCount>> counts;
    return counts;
}

} // namespace

void RememberCounts(const std::string& outputPath, std::vector<PageCount> counts)
{
    const std::lock_guard lock(CountsMutex());
    CountsByPath()[outputPath] = std::move(counts);
}

void ForgetCounts(const std::string& outputPath)
{
    const std::lock_guard lock(CountsMutex());
    CountsByPath().erase(outputPath);
}

std::int32_t CopyCounts(const char* outputPath, std::int32_t* counts, std::int32_t size)
{
    if (outputPath == nullptr || (counts == nullptr && size > 0))
        return -1;
    const std::lock_guard lock(CountsMutex());
    const auto found = CountsByPath().find(outputPath);
    if (found == CountsByPath().end())
        return -1;
    const std::vector<PageCount>& pages = found->second;
    const std::size_t pairs =
        std::min(pages.size(), static_cast<std::size_t>(std::max(size, 0) / 2));
    for (std::size_t i = 0; i < pairs; ++i) {
        counts[2 * i] = pages[i].listings;
        counts[2 * i + 1] = pages[i].newListings;
    }
    return static_cast<std::int32_t>(pages.size());
}

} // namespace medora
