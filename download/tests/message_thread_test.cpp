#include "download/message_thread.h"
#include "download/thread_message_queue.h"

#include <atomic>
#include <thread>
#include <unistd.h>
#include <vector>

#include <gtest/gtest.h>

namespace {

TEST(ThreadMessageQueue, KeepsEachPostersOrder)
{
    CThreadMessageQueue queue;
    constexpr int kPosters = 4;
    constexpr int kMessages = 500;
    std::vector<std::thread> posters;
    for (int p = 0; p < kPosters; ++p)
        posters.emplace_back([&queue, p] {
            for (int i = 0; i < kMessages; ++i)
                queue.Post({0x8003, static_cast<std::uintptr_t>(p), i});
        });
    std::vector<std::intptr_t> last(kPosters, -1);
    for (int n = 0; n < kPosters * kMessages; ++n) {
        const CThreadMessage msg = queue.Get();
        ASSERT_EQ(msg.lParam, last[msg.wParam] + 1);
        last[msg.wParam] = msg.lParam;
    }
    for (std::thread& poster : posters)
        poster.join();
}

// Records what its thread did, for the tests below.
class CProbeThread : public CMessageThread
{
public:
    // calls counts InitInstance and ExitInstance runs, also beyond the object's life.
    CProbeThread(bool initResult, std::atomic<int>& calls)
        : m_bInitResult(initResult)
        , m_calls(calls)
    {}
    ~CProbeThread() override { EndThread(); }

    std::atomic<std::uint32_t> m_nInitThreadId = 0;
    std::atomic<int> m_nExits = 0;
    std::vector<std::uint32_t> m_handled; // read only after the thread has ended

protected:
    bool InitInstance() override
    {
        ++m_calls;
        m_nInitThreadId = static_cast<std::uint32_t>(gettid());
        return m_bInitResult;
    }
    int ExitInstance() override
    {
        ++m_calls;
        ++m_nExits;
        return CMessageThread::ExitInstance();
    }
    void OnThreadMessage(const CThreadMessage& msg) override
    {
        m_handled.push_back(msg.message);
        if (msg.message == 0x8004)
            PostQuitMessage(7);
    }

private:
    bool m_bInitResult;
    std::atomic<int>& m_calls;
};

TEST(MessageThread, WaitsAtItsStartGateWithItsIdKnown)
{
    std::atomic<int> calls = 0;
    CProbeThread thread(true, calls);
    ASSERT_TRUE(thread.CreateThread());
    EXPECT_NE(thread.GetThreadID(), 0u);
    EXPECT_NE(thread.GetThreadID(), static_cast<std::uint32_t>(gettid()));
    thread.PostThreadMessage(0x8003);
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    EXPECT_EQ(thread.m_nInitThreadId, 0u) << "nothing runs before ResumeThread";

    thread.PostThreadMessage(0x8004);
    thread.PostThreadMessage(0x8003); // queued before the quit request that 0x8004 posts
    thread.ResumeThread();
    thread.WaitForEnd();
    EXPECT_EQ(thread.m_nInitThreadId, thread.GetThreadID());
    EXPECT_EQ(thread.m_handled, (std::vector<std::uint32_t>{0x8003, 0x8004, 0x8003}));
    EXPECT_EQ(thread.GetExitCode(), 7);
    EXPECT_EQ(thread.m_nExits, 1);
}

TEST(MessageThread, FailedInitSkipsTheLoopButRunsExitInstance)
{
    std::atomic<int> calls = 0;
    CProbeThread thread(false, calls);
    ASSERT_TRUE(thread.CreateThread());
    thread.PostThreadMessage(0x8003);
    thread.ResumeThread();
    thread.WaitForEnd();
    EXPECT_TRUE(thread.m_handled.empty());
    EXPECT_EQ(thread.m_nExits, 1);
}

TEST(MessageThread, DestroyingItUnresumedRunsNothing)
{
    std::atomic<int> calls = 0;
    {
        CProbeThread thread(true, calls);
        ASSERT_TRUE(thread.CreateThread());
        EXPECT_FALSE(thread.CreateThread()) << "one thread per object";
    }
    EXPECT_EQ(calls, 0);
}

} // namespace
