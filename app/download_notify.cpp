#include "app/download_notify.h"

#include <QMetaObject>

#include <utility>

namespace app {

void QueuedDownloadNotify::SetHandler(Handler handler)
{
    m_handler = std::move(handler);
}

void QueuedDownloadNotify::PostDownloadDone(search::WorkerReport report)
{
    QMetaObject::invokeMethod(
        &m_receiver,
        [this, report = std::move(report)] {
            if (m_handler)
                m_handler(report);
        },
        Qt::QueuedConnection);
}

} // namespace app
