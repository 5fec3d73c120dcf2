// A notification server for the tests: it owns org.freedesktop.Notifications on the bus that
// DBUS_SESSION_BUS_ADDRESS names and prints each call on standard output, a line each, before it
// answers. Options: --actions and --markup add those capabilities; --then=WHAT says what follows
// a notification: none, click (its action), close, click-other (another notification's action,
// then this one closed), fail (an error answer instead), hang (no answer at all), ping
// (nothing, but "answered" is printed once the sender has surely had the answer).
#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusContext>
#include <QDBusMessage>
#include <QTimer>

#include <cstdio>

namespace {

// A field on one line: tabs, line breaks and backslashes escaped.
QString Field(const QString& text)
{
    QString out;
    for (const QChar c : text) {
        if (c == u'\\')
            out += QStringLiteral("\\\\");
        else if (c == u'\n')
            out += QStringLiteral("\\n");
        else if (c == u'\t')
            out += QStringLiteral("\\t");
        else
            out += c;
    }
    return out;
}

void Print(const QStringList& fields)
{
    std::printf("%s\n", fields.join(u'\t').toUtf8().constData());
    std::fflush(stdout);
}

class Server : public QObject, protected QDBusContext
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.Notifications")
public:
    Server(QStringList capabilities, QString then)
        : m_capabilities(std::move(capabilities))
        , m_then(std::move(then))
    {}

public slots:
    QStringList GetCapabilities()
    {
        Print({QStringLiteral("GetCapabilities")});
        return m_capabilities;
    }

    uint Notify(const QString& app, uint replaces, const QString& icon, const QString& summary,
                const QString& body, const QStringList& actions, const QVariantMap& hints,
                int timeout)
    {
        QStringList hintTexts;
        for (auto it = hints.begin(); it != hints.end(); ++it)
            hintTexts << it.key() + u'=' + it.value().toString();
        Print({QStringLiteral("Notify"), Field(app), QString::number(replaces), Field(icon),
               Field(summary), Field(body), Field(actions.join(u'|')), Field(hintTexts.join(u';')),
               QString::number(timeout)});
        if (m_then == u"hang") {
            setDelayedReply(true); // and never answered
            return 0;
        }
        if (m_then == u"fail") {
            sendErrorReply(QDBusError::Failed, QStringLiteral("no room"));
            return 0;
        }
        const uint id = ++m_lastId;
        // After the answer, as a real server would tell of a click.
        QTimer::singleShot(0, this,
                           [this, id, sender = message().service()] { Follow(id, sender); });
        return id;
    }

    void CloseNotification(uint id)
    {
        Print({QStringLiteral("CloseNotification"), QString::number(id)});
    }

private:
    void Follow(uint id, const QString& sender)
    {
        if (m_then == u"ping") {
            // The bus keeps order: once the sender's connection has answered this, it has taken
            // the notification's answer too.
            QDBusConnection::sessionBus().call(QDBusMessage::createMethodCall(
                sender, QStringLiteral("/"), QStringLiteral("org.freedesktop.DBus.Peer"),
                QStringLiteral("Ping")));
            Print({QStringLiteral("answered")});
        } else if (m_then == u"click") {
            Emit(QStringLiteral("ActionInvoked"), {id, QStringLiteral("default")});
        } else if (m_then == u"close") {
            Emit(QStringLiteral("NotificationClosed"), {id, 2u});
        } else if (m_then == u"click-other") {
            Emit(QStringLiteral("ActionInvoked"), {id + 100, QStringLiteral("default")});
            Emit(QStringLiteral("NotificationClosed"), {id, 2u});
        }
    }

    void Emit(const QString& name, const QVariantList& arguments)
    {
        QDBusMessage signal =
            QDBusMessage::createSignal(QStringLiteral("/org/freedesktop/Notifications"),
                                       QStringLiteral("org.freedesktop.Notifications"), name);
        signal.setArguments(arguments);
        QDBusConnection::sessionBus().send(signal);
    }

    QStringList m_capabilities;
    QString m_then;
    uint m_lastId = 40; // not 0, which means "none" in the protocol
};

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QStringList capabilities{QStringLiteral("body")};
    QString then = QStringLiteral("none");
    for (const QString& argument : app.arguments().mid(1)) {
        if (argument == u"--actions")
            capabilities << QStringLiteral("actions");
        else if (argument == u"--markup")
            capabilities << QStringLiteral("body-markup");
        else if (argument.startsWith(u"--then="))
            then = argument.mid(7);
    }
    Server server(capabilities, then);
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.registerObject(QStringLiteral("/org/freedesktop/Notifications"), &server,
                            QDBusConnection::ExportAllSlots) ||
        !bus.registerService(QStringLiteral("org.freedesktop.Notifications"))) {
        Print({QStringLiteral("failed"), bus.lastError().message()});
        return 1;
    }
    Print({QStringLiteral("ready")});
    return app.exec();
}

#include "recording_notification_server.moc"
