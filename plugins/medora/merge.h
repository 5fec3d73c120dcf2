#pragma once

#include <cstdint>
#include <string>

// Pours the listings of downloaded result pages into the page template.
namespace medora {

// Writes outputPath (created or emptied) from the template at templatePath: its lines up to
// the "<!-- template replace -->" line, then the listing of each page in pageFiles (a
// null-terminated list, in order), then the rest of the template. A page's listing is the
// lines between its start and end marker lines; unreadable pages and pages without a start
// marker add nothing. Returns 0 when the whole page was written, 1 when the output path is
// null, the output cannot be created or written, or the template cannot be opened or read.
std::int32_t MergeDownloadFiles(const char* outputPath, const char* const* pageFiles,
                                const std::string& templatePath);

} // namespace medora
