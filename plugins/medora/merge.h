#pragma once

#include <cstdint>
#include <string>

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
std::int32_t MergeDownloadFiles(const char* outputPath, const char* const* pageFiles,
                                const std::string& templatePath);

} // namespace medora
