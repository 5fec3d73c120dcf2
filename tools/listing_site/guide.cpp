#include "tools/listing_site/guide.h"

#include "tools/listing_site/programme_maker.h"
#include "tools/listing_site/random.h"
#include "tools/listing_site/regions.h"

#include <algorithm>
#include <ctime>

namespace listing_site {

std::vector<CProgramme> GuideDay(std::uint64_t seed, int area, std::chrono::sys_days day)
{
    std::vector<CProgramme> programmes;
    const std::vector<std::string> channels = ChannelsOf(area);
    const auto dayNumber = static_cast<std::uint64_t>(day.time_since_epoch().count());
    for (std::size_t channel = 0; channel < channels.size(); ++channel) {
        CRandom random(MixSeed(seed, static_cast<std::uint64_t>(area), dayNumber, channel));
        int start = kDayStartMinute;
        while (start < kDayEndMinute) {
            CProgrammeText text = MakeProgramme(random, RegionName(area), kDayEndMinute - start);
            CProgramme programme;
            programme.day = day;
            programme.channel = static_cast<int>(channel);
            programme.channelName = channels[channel];
            programme.start = start;
            programme.end = start + text.minutes;
            programme.title = std::move(text.title);
            programme.description = std::move(text.description);
            start = programme.end;
            programmes.push_back(std::move(programme));
        }
    }
    std::stable_sort(programmes.begin(), programmes.end(),
                     [](const CProgramme& a, const CProgramme& b) { return a.start < b.start; });
    return programmes;
}

std::chrono::sys_days TodayLocal()
{
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    return std::chrono::sys_days(std::chrono::year(local.tm_year + 1900) /
                                 std::chrono::month(static_cast<unsigned>(local.tm_mon + 1)) /
                                 std::chrono::day(static_cast<unsigned>(local.tm_mday)));
}

} // namespace listing_site
