#pragma once

#include "platform/blocking_queue.h"
#include "search/run_ports.h"

#include <optional>

namespace batch {

// Batch mode's stand-in for the window's message queue: workers post their reports from their
// own threads, and the main thread takes them in arrival order.
class ReportQueue : public search::IReportReceiver
{
public:
    void PostDownloadDone(search::WorkerReport report) override
    {
        m_reports.Post(std::move(report));
    }

    // The oldest report, waiting for one as long as it takes; none when wakeFd (if not -1)
    // became readable first, e.g. from a signal.
    std::optional<search::WorkerReport> Take(int wakeFd = -1)
    {
        return m_reports.TakeOrWake(wakeFd);
    }

private:
    platform::BlockingQueue<search::WorkerReport> m_reports;
};

} // namespace batch
