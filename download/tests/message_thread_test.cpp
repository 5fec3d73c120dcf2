#include "download/message_thread.h"

#include <atomic>
#include <thread>
#include <unistd.h>
#include <vector>

#include <gtest/gtest.h>

namespace {

// Records what its thread does; calls counts InitInstance and ExitInstance runs and outlives
// the object.
class CProbeThread : public CMessageThread
{
public:
    CProbeThread(bool initResult, std::atomic<int>& calls)
        : m_bInitResult(initResult)
        , m_calls(calls)
    {}
    ~CProbeThread() override { EndThread(); }

    std::atomic<std::uint32_t> m_nInitThreadId = 0;
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

TEST(MessageThread, WaitsAtItsStartGateWithItsIdKnownThenHandlesMessagesInOrder)
{
    std::atomic<int> calls = 0;
    CProbeThread thread(true, calls);
    ASSERT_TRUE(thread.CreateThread());
    EXPECT_FALSE(thread.CreateThread()) << "one thread per object";
    EXPECT_NE(thread.GetThreadID(), 0u);
    EXPECT_NE(thread.GetThreadID(), static_cast<std::uint32_t>(gettid()));
    for (std::uint32_t message : {0x8003u, 0x8001u, 0x8004u, 0x8003u})
        thread.PostThreadMessage(message);
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    EXPECT_EQ(calls, 0) << "nothing runs before ResumeThread";

    thread.ResumeThread();
    thread.WaitForEnd();
    EXPECT_EQ(thread.m_nInitThreadId, thread.GetThreadID());
    // The quit request queues behind the messages posted before it.
    EXPECT_EQ(thread.m_handled, (std::vector<std::uint32_t>{0x8003, 0x8001, 0x8004, 0x8003}));
    EXPECT_EQ(thread.GetExitCode(), 7);
    EXPECT_EQ(calls, 2);
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
    EXPECT_EQ(calls, 2);
}

TEST(MessageThread, DestroyedUnresumedItRunsNothing)
{
    std::atomic<int> calls = 0;
    {
        CProbeThread thread(true, calls);
        ASSERT_TRUE(thread.CreateThread());
    }
    EXPECT_EQ(calls, 0);
}

} // namespace
