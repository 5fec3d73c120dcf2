#pragma once

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <mutex>

// One posted thread message: the message value and its two parameters.
struct CThreadMessage
{
    std::uint32_t message = 0;
    std::uintptr_t wParam = 0;
    std::intptr_t lParam = 0;
};

// The ordered message queue of one worker thread. Any thread may post; only the owning thread
// takes. Messages come out in the order they were posted. The lock makes everything the
// poster wrote before Post visible to the thread that takes the message.
class CThreadMessageQueue
{
public:
    void Post(const CThreadMessage& msg);

    // Blocks until a message is there, then removes and returns the oldest.
    CThreadMessage Get();

private:
    std::mutex m_mutex;
    std::condition_variable m_ready;
    std::deque<CThreadMessage> m_messages;
};
