#include "app/signal_close.h"

#include <QSocketNotifier>

namespace app {

SignalClose::SignalClose(std::function<void()> onSignal)
    : m_onSignal(std::move(onSignal))
{
    m_guard.emplace(std::initializer_list<int>{SIGHUP, SIGINT, SIGTERM},
                    std::initializer_list<int>{});
    if (m_guard->WakeFd() < 0) {
        m_guard.reset();
        return;
    }
    m_notifier = std::make_unique<QSocketNotifier>(m_guard->WakeFd(), QSocketNotifier::Read);
    QObject::connect(m_notifier.get(), &QSocketNotifier::activated, m_notifier.get(),
                     [this] { OnWake(); });
}

SignalClose::~SignalClose()
{
    m_notifier.reset(); // before the guard: nothing wakes any more
}

void SignalClose::OnWake()
{
    m_guard->Acknowledge();
    if (m_handling)
        return;
    m_handling = true;
    m_onSignal();
    m_handling = false;
}

} // namespace app
