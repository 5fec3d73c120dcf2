#include "app/batch/desktop_notifier.h"

#include "app/batch/notice_watcher.h"
#include "app/batch/notification_bus.h"
#include "app/batch/session_bus.h"
#include "platform/page_opener.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusReply>
#include <QEventLoop>
#include <QSocketNotifier>
#include <QTimer>

#include <memory>
#include <optional>

namespace batch {
namespace {

std::string OneLine(std::string text)
{
    for (char& c : text) {
        if (c == '\n' || c == '\r')
            c = ' ';
    }
    return text;
}

std::string ReplyFailure(const QDBusError& error)
{
    // No server owns the name and none could be started for it.
    if (error.type() == QDBusError::ServiceUnknown)
        return "通知サービスがありません";
    return OneLine("通知サービスがエラーを返しました (" + error.name().toStdString() + ": " +
                   error.message().toStdString() + ")");
}

// Batch mode runs no Qt application; the server's signals and the timer need one's event loop.
class EventLoopHost
{
public:
    EventLoopHost()
    {
        if (!QCoreApplication::instance())
            m_app = std::make_unique<QCoreApplication>(m_argc, m_argv);
    }

private:
    int m_argc = 1;
    char m_name[8] = "Vistrel";
    char* m_argv[2] = {m_name, nullptr};
    std::unique_ptr<QCoreApplication> m_app;
};

// A connection of our own, closed afterwards: Qt's shared session connection would keep what
// the first attempt found for the process's whole life.
class PrivateBus
{
public:
    explicit PrivateBus(const std::string& address)
        : m_bus(QDBusConnection::connectToBus(QString::fromStdString(address), Name()))
    {}
    ~PrivateBus() { QDBusConnection::disconnectFromBus(Name()); }
    PrivateBus(const PrivateBus&) = delete;
    PrivateBus& operator=(const PrivateBus&) = delete;

    QDBusConnection& Get() { return m_bus; }

private:
    static QString Name() { return QStringLiteral("vistrel-notify"); }
    QDBusConnection m_bus;
};

QDBusMessage Call(const QString& method)
{
    return QDBusMessage::createMethodCall(kNotificationService, kNotificationPath,
                                          kNotificationInterface, method);
}

// Runs loop until it quits or, with wakeFd given, that descriptor becomes readable.
void RunUnlessWoken(QEventLoop& loop, int wakeFd)
{
    std::unique_ptr<QSocketNotifier> wake;
    if (wakeFd >= 0) {
        wake = std::make_unique<QSocketNotifier>(wakeFd, QSocketNotifier::Read);
        QObject::connect(wake.get(), &QSocketNotifier::activated, &loop, &QEventLoop::quit);
    }
    loop.exec();
}

// The server's answer to call; none when wakeFd woke first, so that a server that hangs does not
// hold a stopped run for the bus's whole call timeout.
std::optional<QDBusMessage> Ask(QDBusConnection& bus, const QDBusMessage& call, int wakeFd)
{
    QDBusPendingCallWatcher answer(bus.asyncCall(call));
    if (!answer.isFinished()) {
        QEventLoop loop;
        QObject::connect(&answer, &QDBusPendingCallWatcher::finished, &loop, &QEventLoop::quit);
        RunUnlessWoken(loop, wakeFd);
        if (!answer.isFinished())
            return std::nullopt;
    }
    return answer.reply();
}

template <typename T>
platform::Result<T> AnswerOf(const std::optional<QDBusMessage>& answer)
{
    if (!answer)
        return platform::Failure{"中断しました"};
    const QDBusReply<T> reply(*answer);
    if (!reply.isValid())
        return platform::Failure{ReplyFailure(reply.error())};
    return reply.value();
}

platform::Result<QStringList> Capabilities(QDBusConnection& bus, int wakeFd)
{
    return AnswerOf<QStringList>(Ask(bus, Call(QStringLiteral("GetCapabilities")), wakeFd));
}

platform::Result<uint> Notify(QDBusConnection& bus, const NoticeText& text, bool withAction,
                              int wakeFd)
{
    QDBusMessage call = Call(QStringLiteral("Notify"));
    const QStringList actions =
        withAction ? QStringList{kOpenAction, QStringLiteral("結果ページを開く")} : QStringList{};
    // The installed desktop entry and icon are both named "vistrel".
    const QVariantMap hints{{QStringLiteral("desktop-entry"), QStringLiteral("vistrel")}};
    call << QStringLiteral("Vistrel") << 0u << QStringLiteral("vistrel")
         << QString::fromStdString(text.summary) << QString::fromStdString(text.body) << actions
         << hints << -1;
    return AnswerOf<uint>(Ask(bus, call, wakeFd));
}

// Whether the notification was clicked before it was closed, the time ran out or wakeFd woke.
bool WaitForClick(NoticeWatcher& watcher, uint id, int wakeFd, std::chrono::milliseconds limit)
{
    watcher.Watch(id);
    if (watcher.Of(id) == NoticeWatcher::Outcome::Open) {
        QEventLoop loop;
        QObject::connect(&watcher, &NoticeWatcher::Decided, &loop, &QEventLoop::quit);
        QTimer::singleShot(limit, &loop, &QEventLoop::quit);
        RunUnlessWoken(loop, wakeFd);
    }
    return watcher.Of(id) == NoticeWatcher::Outcome::Invoked;
}

// Starts the browser on the page and leaves it running: the run ends while the page is read
// (a scheduled run held by an open browser would miss its next turn), so only a browser that
// cannot start is told.
void OpenPage(const std::string& browserProgram, const std::string& path, std::ostream& err)
{
    const platform::Result<std::unique_ptr<platform::OpenerProcess>> opener =
        platform::StartOpener(browserProgram, path);
    if (!opener)
        err << platform::OpenFailureText(path, opener.error) << '\n';
}

} // namespace

std::string NotifyDesktop(const std::vector<KeywordNews>& news, const std::string& resultPath,
                          const std::string& browserProgram, int wakeFd, std::ostream& err,
                          std::chrono::milliseconds waitLimit)
{
    if (!HasNews(news))
        return {};
    const platform::Result<std::string> address = SessionBusAddress();
    if (!address)
        return address.error;
    const EventLoopHost host;
    PrivateBus bus(address.value);
    if (!bus.Get().isConnected())
        return OneLine("セッションバスに接続できません (" +
                       bus.Get().lastError().message().toStdString() + ")");
    const platform::Result<QStringList> capabilities = Capabilities(bus.Get(), wakeFd);
    if (!capabilities)
        return capabilities.error;
    // Listening starts before the notification exists, so that no quick click is missed.
    NoticeWatcher watcher;
    const bool withAction =
        capabilities.value.contains(QStringLiteral("actions")) && watcher.Subscribe(bus.Get());
    const NoticeText text =
        ComposeNotice(news, capabilities.value.contains(QStringLiteral("body-markup")));
    const platform::Result<uint> id = Notify(bus.Get(), text, withAction, wakeFd);
    if (!id)
        return id.error;
    if (withAction && WaitForClick(watcher, id.value, wakeFd, waitLimit))
        OpenPage(browserProgram, resultPath, err);
    return {};
}

} // namespace batch
