#include "app/batch/notice_watcher.h"

#include "app/batch/notification_bus.h"

#include <QDBusConnection>

namespace batch {

bool NoticeWatcher::Subscribe(QDBusConnection& bus)
{
    return bus.connect(kNotificationService, kNotificationPath, kNotificationInterface,
                       QStringLiteral("ActionInvoked"), this,
                       SLOT(OnActionInvoked(uint, QString))) &&
           bus.connect(kNotificationService, kNotificationPath, kNotificationInterface,
                       QStringLiteral("NotificationClosed"), this,
                       SLOT(OnNotificationClosed(uint, uint)));
}

void NoticeWatcher::Watch(uint id)
{
    m_watching = true;
    m_id = id;
}

NoticeWatcher::Outcome NoticeWatcher::Of(uint id) const
{
    for (const auto& [heardId, outcome] : m_heard) {
        if (heardId == id)
            return outcome;
    }
    return Outcome::Open;
}

void NoticeWatcher::OnActionInvoked(uint id, const QString& key)
{
    // "default" is the only action offered; servers send it for a click on the body as well.
    if (key == kOpenAction)
        Heard(id, Outcome::Invoked);
}

void NoticeWatcher::OnNotificationClosed(uint id, uint)
{
    Heard(id, Outcome::Closed);
}

void NoticeWatcher::Heard(uint id, Outcome outcome)
{
    // Others' notifications come and go for as long as the wait lasts: not kept.
    if ((m_watching && id != m_id) || Of(id) != Outcome::Open)
        return; // and the first word counts: a click is followed by a close
    m_heard.emplace_back(id, outcome);
    if (m_watching)
        emit Decided();
}

} // namespace batch
