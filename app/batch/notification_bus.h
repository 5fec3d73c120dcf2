#pragma once

#include <QString>

// Where the desktop's notification server listens, and the names its calls use.
namespace batch {

inline const QString kNotificationService = QStringLiteral("org.freedesktop.Notifications");
inline const QString kNotificationPath = QStringLiteral("/org/freedesktop/Notifications");
inline const QString kNotificationInterface = kNotificationService;
// The action a click on the notification reports.
inline const QString kOpenAction = QStringLiteral("default");

} // namespace batch
