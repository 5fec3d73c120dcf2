#pragma once

#include "download/download_messages.h"

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
    CReportQueue();
    ~CReportQueue() override;
    CReportQueue(const CReportQueue&) = delete;
    CReportQueue& operator=(const CReportQueue&) = delete;

    void PostDownloadDone(std::uint32_t threadId) override;

    // The oldest report, waiting for one as long as it takes; none when wakeFd (if not -1)
    // became readable first, e.g. from a signal.
    std::optional<std::uint32_t> Take(int wakeFd = -1);

private:
    std::mutex m_mutex;
    std::deque<std::uint32_t> m_reports;
    int m_postedFd; // an eventfd, readable while a report may be waiting; -1 if none was given
};

} // namespace batch
