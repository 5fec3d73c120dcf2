#include "download/message_thread.h"

#include <system_error>
#include <unistd.h>

CMessageThread::~CMessageThread()
{
    EndThread();
}

bool CMessageThread::CreateThread()
{
    if (m_thread.joinable())
        return false;
    try {
        m_thread = std::thread([this] { ThreadMain(); });
    } catch (const std::system_error&) {
        return false;
    }
    std::unique_lock lock(m_gateMutex);
    m_gateChanged.wait(lock, [this] { return m_bIdKnown; });
    return true;
}

void CMessageThread::ResumeThread()
{
    {
        std::lock_guard lock(m_gateMutex);
        if (m_gate != Gate::Closed)
            return;
        m_gate = Gate::Open;
    }
    m_gateChanged.notify_all();
}

void CMessageThread::WaitForEnd()
{
    if (m_thread.joinable())
        m_thread.join();
}

void CMessageThread::PostThreadMessage(std::uint32_t message, std::uintptr_t wParam,
                                       std::intptr_t lParam)
{
    m_queue.Post({message, wParam, lParam});
}

int CMessageThread::RunMessageLoop()
{
    for (;;) {
        const CThreadMessage msg = m_queue.Get();
        if (msg.message == WM_QUIT)
            return static_cast<int>(msg.wParam);
        OnThreadMessage(msg);
    }
}

void CMessageThread::PostQuitMessage(int exitCode)
{
    PostThreadMessage(WM_QUIT, static_cast<std::uintptr_t>(exitCode));
}

void CMessageThread::EndThread()
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

void CMessageThread::ThreadMain()
{
    {
        std::unique_lock lock(m_gateMutex);
        m_nThreadID = static_cast<std::uint32_t>(gettid());
        m_bIdKnown = true;
        m_gateChanged.notify_all();
        m_gateChanged.wait(lock, [this] { return m_gate != Gate::Closed; });
        if (m_gate == Gate::Cancelled)
            return;
    }
    int exitCode = 0;
    if (InitInstance())
        exitCode = Run();
    m_nExitCode = exitCode;
    m_nExitCode = ExitInstance();
}
