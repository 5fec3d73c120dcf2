#pragma once

#include "new_listing_marker.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// Pours the listings of downloaded result pages into the page template.
namespace medora {

// Writes outputPath from the template at templatePath: its lines up to the
// "<!-- template replace -->" line, then the listing of each page in pageFiles (a
// null-terminated list, in order), then the rest of the template. A page's listing is the
// lines between its start and end marker lines; unreadable pages and pages without a start
// marker add nothing. Listings are copied byte for byte but for their http-equiv attributes,
// which are made inert (http_equiv_guard.h).
//
// The page is written beside outputPath and renamed into place, so outputPath holds one
// run's whole page or what it held before; a link there is replaced, never followed. Returns
// 0 when the page is in place, 1 when the output path is null, the page cannot be made,
// written or put in place, or the template cannot be opened or read; outputPath is then left
// as it was.
//
// With markNew, the page is compared with its earlier result page (earlier_page.h): the rows
// of listings that page did not have get the class "new-listing", and a page file's listing
// with new ones is followed by a line saying how many. Without an earlier page (or with one
// that cannot be read, which is logged) nothing is marked, and the page is what it would be
// without markNew. counts, when given, gets each page file's counts after a merge that wrote
// the page; it is left empty when the listings could not be read as such (a zero byte or an
// over-long row).
std::int32_t MergeDownloadFiles(const char* outputPath, const char* const* pageFiles,
                                const std::string& templatePath, bool markNew = true,
                                std::optional<std::vector<PageCount>>* counts = nullptr);

} // namespace medora
