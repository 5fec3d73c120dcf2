#pragma once

#include "tools/listing_site/guide.h"
#include "tools/listing_site/search_query.h"

#include <cstdint>
#include <vector>

namespace listing_site {

// The programmes of the query's area and days that start at or after startHour:00 and before
// endHour:00 of their broadcast day and whose title or description contains the keyword.
// The keyword is compared as text (code page 932 decoded), so it never matches across
// character boundaries; a keyword with bytes that are not code page 932 matches nothing, and
// so does an empty one. Ordered by day, start time and channel.
std::vector<CProgramme> FindProgrammes(std::uint64_t seed, const CSearchQuery& query);

} // namespace listing_site
