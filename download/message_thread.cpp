#include "download/message_thread.h"

#include <system_error>
#include <unistd.h>

namespace download {

MessageThread::~MessageThread()
{
    EndThread();
}

bool MessageThread::CreateThread()
{
    if (m_thread.joinable())
        return false;
    try {
        m_thread = std::thread([this] { ThreadMain(); });
    } catch (const std::system_error&) {
        return false;
    }
    std::unique_lock lock(m_gateMutex);
    m_gateChanged.wait(lock, [this] { return m_idKnown; });
    return true;
}

void MessageThread::ResumeThread()
{
    {
        std::lock_guard lock(m_gateMutex);
        if (m_gate != Gate::Closed)
            return;
        m_gate = Gate::Open;
    }
    m_gateChanged.notify_all();
}

void MessageThread::WaitForEnd()
{
    if (m_thread.joinable())
        m_thread.join();
}

void MessageThread::PostThreadMessage(ThreadMessage message)
{
    m_queue.Post(std::move(message));
}

int MessageThread::RunMessageLoop()
{
    for (;;) {
        ThreadMessage message = m_queue.Take();
        if (message.message == WM_QUIT)
            return static_cast<int>(message.wParam);
        OnThreadMessage(message);
    }
}

void MessageThread::PostQuitMessage(int exitCode)
{
    PostThreadMessage({WM_QUIT, static_cast<std::uintptr_t>(exitCode), 0, {}});
}

void MessageThread::EndThread()
{
    if (!m_thread.joinable())
        return;
    bool running = false;
    {
        std::lock_guard lock(m_gateMutex);
        if (m_gate == Gate::Closed)
            m_gate = Gate::Cancelled;
        else
            running = true;
    }
    m_gateChanged.notify_all();
    if (running)
        PostQuitMessage(0);
    m_thread.join();
}

void MessageThread::ThreadMain()
{
    {
        std::unique_lock lock(m_gateMutex);
        m_threadId = static_cast<std::uint32_t>(gettid());
        m_idKnown = true;
        m_gateChanged.notify_all();
        m_gateChanged.wait(lock, [this] { return m_gate != Gate::Closed; });
        if (m_gate == Gate::Cancelled)
            return;
    }
    int exitCode = 0;
    if (InitInstance())
        exitCode = Run();
    m_exitCode = exitCode;
    m_exitCode = ExitInstance();
}

} // namespace download
