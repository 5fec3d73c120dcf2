#pragma once

#include <chrono>
#include <map>
#include <optional>
#include <string>
#include <string_view>

namespace listing_site {

// A query value as sent: "%XX" is the byte XX, "+" is a space, every other byte stands for
// itself (raw code page 932 bytes included). A "%" without two hexadecimal digits is kept.
std::string DecodeQueryValue(std::string_view raw);

// The decoded name=value pairs of a raw query (the part after "?"). A name given twice keeps
// its first value.
std::map<std::string, std::string> ParseQueryString(std::string_view raw);

inline constexpr int kDefaultDays = 28;
inline constexpr int kMaxDays = 62;

// What one keyword search asks for. "mode", "site", "sort", "template" and "category" are
// accepted and ignored: the site has one result layout, sorted by date.
struct CSearchQuery
{
    int area = 0;                   // "area": "001".."047"
    std::chrono::sys_days firstDay; // "sdate": YYYYMMDD, empty for today
    int days = kDefaultDays;        // "ldate": 1..62 days; empty, 0 or not a number: 28
    int startHour = 5;              // "shour": broadcast hours 0..29, else 5
    int endHour = 29;               // "lhour": broadcast hours 0..29, else 29
    std::string key;                // "key": code page 932 bytes
};

struct CQueryResult
{
    std::optional<CSearchQuery> query;
    std::string error; // why the query was refused (a bad area or start date)
};

CQueryResult ParseSearchQuery(std::string_view rawQuery, std::chrono::sys_days today);

} // namespace listing_site
