#pragma once

#include "app/batch/interrupt.h"

#include <functional>
#include <memory>
#include <optional>

class QSocketNotifier;

namespace app {

// SIGTERM, SIGHUP and SIGINT (logout, the terminal closed, Ctrl+C in it) as a request to close:
// the handler only wakes the main thread, where onSignal runs as any other event does. A
// signal that comes while onSignal is still running (say, in its save question) adds nothing.
// Without the means to wake the main thread the signals keep their usual effect.
class SignalClose
{
public:
    explicit SignalClose(std::function<void()> onSignal);
    ~SignalClose();
    SignalClose(const SignalClose&) = delete;
    SignalClose& operator=(const SignalClose&) = delete;

private:
    void OnWake();

    std::function<void()> m_onSignal;
    std::optional<batch::InterruptGuard> m_guard;
    std::unique_ptr<QSocketNotifier> m_notifier;
    bool m_handling = false;
};

} // namespace app
