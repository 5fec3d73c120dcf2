#pragma once

#include <optional>
#include <string_view>

// The region list of the query bar: index 0 is the empty entry (no region), 1 to 47 the
// prefectures in the listing site's order. The index is what a search hands the plug-in and
// what "Settings\Query" "Area" stores.
namespace config {

inline constexpr int kRegionCount = 48;

// UTF-8 name of the region at index (0..47); empty for index 0 and for any index out of range.
std::string_view RegionName(int index);

// The index of a prefecture by its UTF-8 name ("東京" → 8); none for the empty name or a name
// that is not in the list.
std::optional<int> FindRegion(std::string_view name);

} // namespace config
