#include "tools/listing_site/programme_search.h"

#include "platform/cp932.h"

namespace listing_site {

std::vector<CProgramme> FindProgrammes(std::uint64_t seed, const CSearchQuery& query)
{
    std::vector<CProgramme> hits;
    const std::string key = platform::Cp932ToUtf8(query.key);
    if (key.empty())
        return hits;
    const int from = query.startHour * 60;
    const int to = query.endHour * 60;
    for (int i = 0; i < query.days; ++i) {
        for (CProgramme& programme :
             GuideDay(seed, query.area, query.firstDay + std::chrono::days(i))) {
            if (programme.start < from || programme.start >= to)
                continue;
            if (programme.title.find(key) != std::string::npos ||
                programme.description.find(key) != std::string::npos)
                hits.push_back(std::move(programme));
        }
    }
    return hits;
}

} // namespace listing_site
