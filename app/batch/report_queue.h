#pragma once

#include "download/download_messages.h"

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <mutex>
#include <optional>

namespace batch {

// Batch mode's stand-in for the window's message queue: workers post their reports from their
// own threads, and the main thread takes them in arrival order. The lock hands over whatever
// a worker wrote before its report.
class CReportQueue : public IDownloadNotify
{
public:
    void PostDownloadDone(std::uint32_t threadId) override;

    // The oldest report, waiting up to timeout for one; none when the time ran out.
    std::optional<std::uint32_t> Take(std::chrono::milliseconds timeout);

private:
    std::mutex m_mutex;
    std::condition_variable m_posted;
    std::deque<std::uint32_t> m_reports;
};

} // namespace batch
