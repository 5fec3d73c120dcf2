#include "download/thread_message_queue.h"

void CThreadMessageQueue::Post(const CThreadMessage& msg)
{
    {
        std::lock_guard lock(m_mutex);
        m_messages.push_back(msg);
    }
    m_ready.notify_one();
}

CThreadMessage CThreadMessageQueue::Get()
{
    std::unique_lock lock(m_mutex);
    m_ready.wait(lock, [this] { return !m_messages.empty(); });
    CThreadMessage msg = m_messages.front();
    m_messages.pop_front();
    return msg;
}
