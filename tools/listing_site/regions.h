#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace listing_site {

inline constexpr int kRegionCount = 47;

// The prefecture of an area code 1..47, in UTF-8 ("008" is 東京); empty outside that range.
std::string_view RegionName(int area);

// The channels an area receives, in their listing order (UTF-8). Every area has between five
// and seven.
std::vector<std::string> ChannelsOf(int area);

} // namespace listing_site
