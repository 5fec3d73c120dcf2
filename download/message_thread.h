#pragma once

#include "download/thread_message_queue.h"

#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <thread>

// A thread with its own ordered message queue, begun suspended: CreateThread starts the thread
// at once, but it waits at a start gate until ResumeThread. Then it runs InitInstance; when
// that succeeds, Run (by default the message loop) until a quit request; ExitInstance runs in
// either case. The object never deletes itself; its creator destroys it.
//
// A derived class must call EndThread() first thing in its destructor, so that the thread is
// gone before the derived part it runs on is.
class CMessageThread
{
public:
    // The quit request that ends the message loop; wParam is the exit code.
    static constexpr std::uint32_t WM_QUIT = 0x0012;

    CMessageThread() = default;
    virtual ~CMessageThread();
    CMessageThread(const CMessageThread&) = delete;
    CMessageThread& operator=(const CMessageThread&) = delete;

    // Starts the thread held at its start gate and returns once m_nThreadID is known.
    // False when the system cannot start a thread or the thread was already created.
    bool CreateThread();
    void ResumeThread();
    // Waits, without a time limit, until the thread has ended. Returns at once when there is
    // no thread. After it, GetExitCode() holds the thread's result.
    void WaitForEnd();

    // Queues a message for the thread; its queue exists from construction, so posting before
    // the thread runs is safe.
    void PostThreadMessage(std::uint32_t message, std::uintptr_t wParam = 0,
                           std::intptr_t lParam = 0);

    std::uint32_t GetThreadID() const { return m_nThreadID; }
    int GetExitCode() const { return m_nExitCode; }

protected:
    virtual bool InitInstance() = 0;
    // The thread's main work after a successful InitInstance; the default runs the loop.
    virtual int Run() { return RunMessageLoop(); }
    virtual int ExitInstance() { return m_nExitCode; }
    // Handles one message of the loop other than the quit request.
    virtual void OnThreadMessage(const CThreadMessage& msg) = 0;

    int RunMessageLoop();
    // Asks the loop to end with the given exit code once it reaches this request.
    void PostQuitMessage(int exitCode);
    // Ends the thread for destruction: a thread that was never resumed leaves its start gate
    // without running anything; a running one gets a quit request. Then waits for it.
    void EndThread();

    // The system's ID of the thread (gettid); 0 until CreateThread has returned.
    std::uint32_t m_nThreadID = 0;
    int m_nExitCode = 0;

private:
    enum class Gate { Closed, Open, Cancelled };

    void ThreadMain();

    CThreadMessageQueue m_queue;
    std::mutex m_gateMutex;
    std::condition_variable m_gateChanged;
    Gate m_gate = Gate::Closed;
    bool m_bIdKnown = false;
    std::thread m_thread;
};
