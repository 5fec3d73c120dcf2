#include "page_set.h"

#include "platform/cp932.h"
#include "tools/listing_site/programme_search.h"
#include "tools/listing_site/result_page.h"

#include <fstream>
#include <iomanip>
#include <sstream>

namespace bench {
namespace {

constexpr int kAreas = 47;
constexpr int kDays = 7;

// A week of one region's programmes whose description or title has "の": plenty to fill a
// page of any size the benchmark asks for.
listing_site::CSearchQuery WeekQuery(int area)
{
    listing_site::CSearchQuery query;
    query.area = area;
    query.firstDay = std::chrono::sys_days(std::chrono::year(2026) / 12 / 1);
    query.days = kDays;
    query.key = platform::Utf8ToCp932("の").value;
    return query;
}

std::string PageName(int index)
{
    std::ostringstream name;
    name << "~TV" << std::setw(4) << std::setfill('0') << index;
    return name.str();
}

} // namespace

CPageSet WritePages(const std::string& folder, int count, std::size_t pageBytes, bool crlf)
{
    std::vector<std::vector<listing_site::CProgramme>> weeks;
    for (int area = 1; area <= kAreas; ++area)
        weeks.push_back(listing_site::FindProgrammes(1, WeekQuery(area)));

    CPageSet set;
    std::size_t hits = 100; // adjusted page by page to come close to pageBytes
    for (int i = 0; i < count; ++i) {
        const int area = 1 + i % kAreas;
        const std::vector<listing_site::CProgramme>& week = weeks[area - 1];
        if (week.empty())
            return {};
        // Each round over the regions starts further into the week, so pages differ.
        const std::size_t first = static_cast<std::size_t>(i / kAreas) * 17 % week.size();
        auto render = [&](std::size_t n) {
            std::vector<listing_site::CProgramme> shown;
            for (std::size_t k = 0; k < n; ++k)
                shown.push_back(week[(first + k) % week.size()]);
            return listing_site::RenderResultPage(WeekQuery(area), shown, crlf).value_or("");
        };
        std::string page = render(hits);
        while (page.size() < pageBytes)
            page = render(++hits);
        while (hits > 1 && page.size() > pageBytes) {
            std::string smaller = render(hits - 1);
            if (smaller.size() < pageBytes)
                break;
            page = std::move(smaller);
            --hits;
        }

        set.paths.push_back(folder + "/" + PageName(i));
        std::ofstream file(set.paths.back(), std::ios::binary | std::ios::trunc);
        file.write(page.data(), static_cast<std::streamsize>(page.size()));
        if (!file.flush())
            return {};
        set.totalBytes += page.size();
    }
    return set;
}

} // namespace bench
