#pragma once

#include <cerrno>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <mutex>
#include <optional>
#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>
#include <utility>

namespace platform {

// An ordered queue between threads: any thread posts, one thread takes, in posting order.
// Post hands the item over under the queue's lock, so whatever the poster wrote before it is
// visible to the taker. The taker can also wait for an item or for another descriptor (a
// signal's self-pipe) at once; the queue's eventfd for that is made only when first needed.
template <typename T>
class BlockingQueue
{
public:
    BlockingQueue() = default;
    ~BlockingQueue()
    {
        if (m_postedFd >= 0)
            ::close(m_postedFd);
    }
    BlockingQueue(const BlockingQueue&) = delete;
    BlockingQueue& operator=(const BlockingQueue&) = delete;

    void Post(T item)
    {
        int postedFd = -1;
        {
            const std::lock_guard lock(m_mutex);
            if (m_items.empty())
                postedFd = m_postedFd; // a non-empty queue has woken its taker already
            m_items.push_back(std::move(item));
        }
        m_ready.notify_one();
        if (postedFd >= 0) {
            const std::uint64_t one = 1;
            [[maybe_unused]] const ssize_t written = ::write(postedFd, &one, sizeof one);
        }
    }

    // The oldest item, waiting for one as long as it takes.
    T Take()
    {
        std::unique_lock lock(m_mutex);
        m_ready.wait(lock, [this] { return !m_items.empty(); });
        return PopFront();
    }

    // The oldest item, or none when the queue is empty.
    std::optional<T> TryTake()
    {
        const std::lock_guard lock(m_mutex);
        if (m_items.empty())
            return std::nullopt;
        return PopFront();
    }

    // The oldest item, waiting as long as it takes; none when wakeFd became readable first.
    std::optional<T> TakeOrWake(int wakeFd)
    {
        for (;;) {
            int postedFd = -1;
            {
                const std::lock_guard lock(m_mutex);
                if (!m_items.empty())
                    return PopFront();
                if (m_postedFd < 0)
                    m_postedFd = ::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
                postedFd = m_postedFd;
            }
            // An item posted since the look above has left the eventfd readable.
            pollfd fds[2] = {{postedFd, POLLIN, 0}, {wakeFd, POLLIN, 0}};
            // Without an eventfd (out of descriptors) the queue is looked at now and then.
            if (::poll(fds, 2, postedFd < 0 ? kFallbackPollMs : -1) < 0 && errno == EINTR)
                continue;
            if (fds[1].revents != 0)
                return std::nullopt;
            if (fds[0].revents != 0) {
                std::uint64_t count = 0;
                [[maybe_unused]] const ssize_t got = ::read(postedFd, &count, sizeof count);
            }
        }
    }

private:
    static constexpr int kFallbackPollMs = 100;

    T PopFront()
    {
        T item = std::move(m_items.front());
        m_items.pop_front();
        return item;
    }

    std::mutex m_mutex;
    std::condition_variable m_ready;
    std::deque<T> m_items;
    int m_postedFd = -1;
};

} // namespace platform
