#include "tools/listing_site/programme_search.h"

#include "platform/cp932.h"

#include <map>
#include <memory>
#include <mutex>
#include <tuple>

namespace listing_site {

namespace {

using CGuideDayPtr = std::shared_ptr<const std::vector<CProgramme>>;

// Making a day's guide costs far more than searching it, and every search reads the same few
// weeks: days once made are kept, up to a bound, for all searches of the process.
CGuideDayPtr CachedGuideDay(std::uint64_t seed, int area, std::chrono::sys_days day)
{
    constexpr std::size_t kMaxDays = 2048;
    static std::mutex mutex;
    static std::map<std::tuple<std::uint64_t, int, std::chrono::sys_days>, CGuideDayPtr> days;
    const auto key = std::make_tuple(seed, area, day);
    {
        const std::lock_guard lock(mutex);
        if (const auto found = days.find(key); found != days.end())
            return found->second;
    }
    // Made outside the lock; two searches making the same day at once make the same guide.
    auto made = std::make_shared<const std::vector<CProgramme>>(GuideDay(seed, area, day));
    const std::lock_guard lock(mutex);
    if (days.size() >= kMaxDays)
        days.clear();
    return days.emplace(key, std::move(made)).first->second;
}

} // namespace

std::vector<CProgramme> FindProgrammes(std::uint64_t seed, const CSearchQuery& query)
{
    std::vector<CProgramme> hits;
    const std::string key = platform::Cp932ToUtf8(query.key);
    if (key.empty())
        return hits;
    const int from = query.startHour * 60;
    const int to = query.endHour * 60;
    for (int i = 0; i < query.days; ++i) {
        const CGuideDayPtr guide =
            CachedGuideDay(seed, query.area, query.firstDay + std::chrono::days(i));
        for (const CProgramme& programme : *guide) {
            if (programme.start < from || programme.start >= to)
                continue;
            if (programme.title.find(key) != std::string::npos ||
                programme.description.find(key) != std::string::npos)
                hits.push_back(programme);
        }
    }
    return hits;
}

} // namespace listing_site
