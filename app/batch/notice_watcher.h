#pragma once

#include <QObject>
#include <QString>

#include <vector>

class QDBusConnection;

namespace batch {

// Hears what the notification server says about its notifications: one clicked, one closed.
// The server tells every listener about every notification, so only the watched one counts.
class NoticeWatcher : public QObject
{
    Q_OBJECT
public:
    enum class Outcome { Open, Invoked, Closed };

    // Listens on bus; false when the bus would not deliver the server's signals.
    bool Subscribe(QDBusConnection& bus);
    // Watches id from now on; what was heard of it before counts as well.
    void Watch(uint id);
    Outcome Of(uint id) const;

signals:
    // The watched notification was clicked or closed.
    void Decided();

private slots:
    void OnActionInvoked(uint id, const QString& key);
    void OnNotificationClosed(uint id, uint reason);

private:
    void Heard(uint id, Outcome outcome);

    std::vector<std::pair<uint, Outcome>> m_heard;
    bool m_watching = false;
    uint m_id = 0;
};

} // namespace batch
