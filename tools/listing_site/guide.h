#pragma once

#include <chrono>
#include <cstdint>
#include <string>
#include <vector>

namespace listing_site {

// A broadcast day runs from 05:00 to 29:00 (05:00 of the next calendar day); times from 24:00
// on are after midnight but belong to the day they follow, as Japanese listings print them.
inline constexpr int kDayStartMinute = 5 * 60;
inline constexpr int kDayEndMinute = 29 * 60;

struct CProgramme
{
    std::chrono::sys_days day; // broadcast day
    int channel = 0;           // index into ChannelsOf(area), also the listing order
    std::string channelName;
    int start = 0; // minutes from the broadcast day's midnight
    int end = 0;
    std::string title; // UTF-8
    std::string description;
};

// The programme guide of one area (1..47) on one broadcast day: every channel filled without
// gaps from 05:00 to 29:00, ordered by start time, then channel. The same seed, area and day
// always give the same programmes, whichever other days are asked for.
std::vector<CProgramme> GuideDay(std::uint64_t seed, int area, std::chrono::sys_days day);

// Today's date on the local clock.
std::chrono::sys_days TodayLocal();

} // namespace listing_site
