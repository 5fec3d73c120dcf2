#pragma once

#include "download/download_messages.h"
#include "platform/blocking_queue.h"

#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <thread>
#include <variant>

namespace download {

// One posted thread message: its value, the two parameters, and what it carries. The queue
// moves the payload to the thread, so poster and thread never share it.
struct ThreadMessage
{
    std::uint32_t message = 0;
    std::uintptr_t wParam = 0;
    std::intptr_t lParam = 0;
    std::variant<std::monostate, Job> payload;
};

// A thread with its own ordered message queue, begun suspended: CreateThread starts the thread
// at once, but it waits at a start gate until ResumeThread. Then it runs InitInstance; when
// that succeeds, Run (by default the message loop) until a quit request; ExitInstance runs in
// either case. The object never deletes itself; its creator destroys it.
//
// A derived class must call EndThread() first thing in its destructor, so that the thread is
// gone before the derived part it runs on is.
class MessageThread
{
public:
    // The quit request that ends the message loop; wParam is the exit code.
    static constexpr std::uint32_t WM_QUIT = 0x0012;

    MessageThread() = default;
    virtual ~MessageThread();
    MessageThread(const MessageThread&) = delete;
    MessageThread& operator=(const MessageThread&) = delete;

    // Starts the thread held at its start gate and returns once its ID is known.
    // False when the system cannot start a thread or the thread was already created.
    bool CreateThread();
    void ResumeThread();
    // Waits, without a time limit, until the thread has ended. Returns at once when there is
    // no thread. After it, GetExitCode() holds the thread's result.
    void WaitForEnd();

    // Queues a message for the thread; its queue exists from construction, so posting before
    // the thread runs is safe.
    void PostThreadMessage(ThreadMessage message);
    void PostThreadMessage(std::uint32_t message) { PostThreadMessage({message, 0, 0, {}}); }

    // The system's ID of the thread (gettid); 0 until CreateThread has returned.
    std::uint32_t GetThreadID() const { return m_threadId; }
    int GetExitCode() const { return m_exitCode; }

protected:
    virtual bool InitInstance() = 0;
    // The thread's main work after a successful InitInstance; the default runs the loop.
    virtual int Run() { return RunMessageLoop(); }
    virtual int ExitInstance() { return m_exitCode; }
    // Handles one message of the loop other than the quit request.
    virtual void OnThreadMessage(ThreadMessage& message) = 0;

    int RunMessageLoop();
    // Asks the loop to end with the given exit code once it reaches this request.
    void PostQuitMessage(int exitCode);
    // Ends the thread for destruction: a thread that was never resumed leaves its start gate
    // without running anything; a running one gets a quit request. Then waits for it.
    void EndThread();

    int m_exitCode = 0;

private:
    enum class Gate { Closed, Open, Cancelled };

    void ThreadMain();

    std::uint32_t m_threadId = 0;
    platform::BlockingQueue<ThreadMessage> m_queue;
    std::mutex m_gateMutex;
    std::condition_variable m_gateChanged;
    Gate m_gate = Gate::Closed;
    bool m_idKnown = false;
    std::thread m_thread;
};

} // namespace download
