#include "tools/listing_site/search_query.h"

#include <algorithm>

namespace listing_site {

namespace {

int HexValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return -1;
}

bool AllDigits(std::string_view text)
{
    return !text.empty() &&
           std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// A number of at most maxDigits digits, or nothing.
std::optional<int> SmallNumber(std::string_view text, std::size_t maxDigits)
{
    if (!AllDigits(text) || text.size() > maxDigits)
        return std::nullopt;
    int value = 0;
    for (char c : text)
        value = value * 10 + (c - '0');
    return value;
}

std::string_view ValueOf(const std::map<std::string, std::string>& params, const char* name)
{
    const auto it = params.find(name);
    return it == params.end() ? std::string_view() : std::string_view(it->second);
}

std::optional<std::chrono::sys_days> ParseDate(std::string_view text)
{
    if (text.size() != 8 || !AllDigits(text))
        return std::nullopt;
    const int y = *SmallNumber(text.substr(0, 4), 4);
    const int m = *SmallNumber(text.substr(4, 2), 2);
    const int d = *SmallNumber(text.substr(6, 2), 2);
    const std::chrono::year_month_day date{std::chrono::year(y),
                                           std::chrono::month(static_cast<unsigned>(m)),
                                           std::chrono::day(static_cast<unsigned>(d))};
    if (!date.ok())
        return std::nullopt;
    return std::chrono::sys_days(date);
}

int HourOr(std::string_view text, int fallback)
{
    const std::optional<int> hour = SmallNumber(text, 2);
    return hour && *hour <= 29 ? *hour : fallback;
}

} // namespace

std::string DecodeQueryValue(std::string_view raw)
{
    std::string out;
    out.reserve(raw.size());
    for (std::size_t i = 0; i < raw.size(); ++i) {
        const char c = raw[i];
        if (c == '+') {
            out += ' ';
        } else if (c == '%' && i + 2 < raw.size() && HexValue(raw[i + 1]) >= 0 &&
                   HexValue(raw[i + 2]) >= 0) {
            out += static_cast<char>(HexValue(raw[i + 1]) * 16 + HexValue(raw[i + 2]));
            i += 2;
        } else {
            out += c;
        }
    }
    return out;
}

std::map<std::string, std::string> ParseQueryString(std::string_view raw)
{
    std::map<std::string, std::string> params;
    while (!raw.empty()) {
        const std::size_t amp = raw.find('&');
        const std::string_view pair = raw.substr(0, amp);
        raw = amp == std::string_view::npos ? std::string_view() : raw.substr(amp + 1);
        if (pair.empty())
            continue;
        const std::size_t eq = pair.find('=');
        const std::string name = DecodeQueryValue(pair.substr(0, eq));
        const std::string value =
            eq == std::string_view::npos ? std::string() : DecodeQueryValue(pair.substr(eq + 1));
        params.emplace(name, value);
    }
    return params;
}

CQueryResult ParseSearchQuery(std::string_view rawQuery, std::chrono::sys_days today)
{
    const std::map<std::string, std::string> params = ParseQueryString(rawQuery);
    CQueryResult result;
    CSearchQuery query;

    const std::string_view area = ValueOf(params, "area");
    const std::optional<int> areaNumber = area.size() == 3 ? SmallNumber(area, 3) : std::nullopt;
    if (!areaNumber || *areaNumber < 1 || *areaNumber > 47) {
        result.error = "area must be one of 001 to 047";
        return result;
    }
    query.area = *areaNumber;

    const std::string_view sdate = ValueOf(params, "sdate");
    if (sdate.empty()) {
        query.firstDay = today;
    } else if (const auto date = ParseDate(sdate)) {
        query.firstDay = *date;
    } else {
        result.error = "sdate must be a date written YYYYMMDD, or empty";
        return result;
    }

    const std::optional<int> days = SmallNumber(ValueOf(params, "ldate"), 9);
    query.days = !days || *days == 0 ? kDefaultDays : std::min(*days, kMaxDays);
    query.startHour = HourOr(ValueOf(params, "shour"), 5);
    query.endHour = HourOr(ValueOf(params, "lhour"), 29);
    query.key = std::string(ValueOf(params, "key"));
    result.query = std::move(query);
    return result;
}

} // namespace listing_site
