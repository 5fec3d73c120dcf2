#pragma once

#include <optional>

namespace plugin_host {

// What a plug-in tells of the listings one downloaded page gave the merged result page.
struct ListingCount
{
    int listings = 0;
    // Of them, the ones absent from the plug-in's earlier result of the same search; none when
    // the page was not compared with one (there was none, or comparing is off).
    std::optional<int> fresh;

    bool operator==(const ListingCount&) const = default;
};

} // namespace plugin_host
