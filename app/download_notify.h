#pragma once

#include "search/run_ports.h"

#include <QObject>

#include <functional>

namespace app {

// The workers' reports, carried onto the thread that created this object (the main window's)
// by a queued call: PostDownloadDone returns at once on the worker's thread, and the handler
// runs later on the main thread with the report, in the order the reports were posted.
// Reports still queued when this object is destroyed are dropped.
class QueuedDownloadNotify : public search::IReportReceiver
{
public:
    using Handler = std::function<void(const search::WorkerReport& report)>;

    QueuedDownloadNotify() = default;

    // Set on the main thread, before any worker can post.
    void SetHandler(Handler handler);

    void PostDownloadDone(search::WorkerReport report) override;

private:
    QObject m_receiver; // lives on the creating thread; its queue carries the reports
    Handler m_handler;
};

} // namespace app
