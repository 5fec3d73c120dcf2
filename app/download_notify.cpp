#include "app/download_notify.h"

#include <QMetaObject>

#include <utility>

namespace app {

void CQueuedDownloadNotify::SetHandler(Handler handler)
{
    m_handler = std::move(handler);
}

void CQueuedDownloadNotify::PostDownloadDone(std::uint32_t threadId)
{
    QMetaObject::invokeMethod(
        &m_receiver,
        [this, threadId] {
            if (m_handler)
                m_handler(threadId);
        },
        Qt::QueuedConnection);
}

} // namespace app
