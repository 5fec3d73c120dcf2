#pragma once

#include "plugin_host/listing_count.h"

#include <cstdint>
#include <optional>
#include <string>

// The states of a job; they only move forward: waiting, running, then done or failed.
inline constexpr std::int32_t JOB_WAITING = 0; // not yet handed to a worker
inline constexpr std::int32_t JOB_RUNNING = 1; // handed to the worker m_nThreadID
inline constexpr std::int32_t JOB_DONE = 2;    // downloaded; its file takes part in the merge
inline constexpr std::int32_t JOB_FAILED = 3;  // not downloaded; its file is left out

// One keyword's job in a search run. The job never deletes its temporary file: whoever
// destroys the run's job array does, after the merge has read it.
class CDownloadJob
{
public:
    CDownloadJob() = default;
    virtual ~CDownloadJob() = default;

    std::string m_strKeyword; // column-0 text of a row, never empty
    std::int32_t m_nState = JOB_WAITING;
    std::string m_strSearchUrl;    // the plug-in's request target; may be empty
    std::string m_strTempFile;     // the page file; empty until the job is handed out
    std::uint32_t m_nThreadID = 0; // the worker running it; 0 when none
    // What the plug-in told of the listings its page gave the result page; none until the
    // merge has returned, and for good when the plug-in tells nothing.
    std::optional<plugin_host::ListingCount> m_listingCount;
};
