#pragma once

#include "download/download_messages.h"

#include <QObject>

#include <cstdint>
#include <functional>

namespace app {

// The workers' reports, carried onto the thread that created this object (the main window's)
// by a queued call: PostDownloadDone returns at once on the worker's thread, and the handler
// runs later on the main thread, in the order the reports were posted. Qt's event queue hands
// over under its lock, so whatever the worker wrote before posting is visible to the handler.
// Reports still queued when this object is destroyed are dropped.
class CQueuedDownloadNotify : public IDownloadNotify
{
public:
    using Handler = std::function<void(std::uint32_t threadId)>;

    CQueuedDownloadNotify() = default;

    // Set on the main thread, before any worker can post.
    void SetHandler(Handler handler);

    void PostDownloadDone(std::uint32_t threadId) override;

private:
    QObject m_receiver; // lives on the creating thread; its queue carries the reports
    Handler m_handler;
};

} // namespace app
