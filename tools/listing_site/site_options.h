#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace listing_site {

// How the site behaves; every fault it can inject is off by default.
struct CSiteOptions
{
    int port = 0;                           // 0: any free port
    std::uint64_t seed = 1;                 // the programme guide is fixed by it
    int latencyMs = 0;                      // wait before every answer
    bool crlf = false;                      // result pages with CR LF line ends instead of LF
    bool stall = false;                     // result pages stop after their first half and hang
    std::optional<std::size_t> resetAfter;  // result pages are cut after this many bytes
    bool redirectLoop = false;              // searches go to /moved/, which sends them back
    std::map<std::string, int> statusByKey; // code page 932 keyword -> status to answer
    std::size_t pageBytes = 0;              // result pages padded to this size (0: not padded)
    bool endless = false;                   // result pages never end (sent without a length)
    std::string contentEncoding;            // result pages carry this Content-Encoding label
    std::string logPath;                    // each request line and its headers are appended here
    std::optional<std::chrono::sys_days>
        today; // the day taken as today (empty sdate); unset: the clock's
};

// The command line without the program name. On a bad option the result is empty and error
// says why; "--help" gives an empty result with an empty error.
std::optional<CSiteOptions> ParseSiteOptions(const std::vector<std::string>& args,
                                             std::string& error);

// The text "--help" prints.
const char* SiteHelpText();

} // namespace listing_site
