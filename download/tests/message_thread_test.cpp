#include "download/message_thread.h"

#include <atomic>
#include <string>
#include <thread>
#include <unistd.h>
#include <vector>

#include <gtest/gtest.h>

namespace {

// Records what its thread does; calls counts InitInstance and ExitInstance runs and outlives
// the object.
class ProbeThread : public download::MessageThread
{
public:
    ProbeThread(bool initResult, std::atomic<int>& calls, const std::atomic<bool>& resumed)
        : m_initResult(initResult)
        , m_calls(calls)
        , m_resumed(resumed)
    {}
    ~ProbeThread() override { EndThread(); }

    std::atomic<std::uint32_t> m_initThreadId = 0;
    std::atomic<bool> m_ranBeforeResume = false;
    // Read only after the thread has ended.
    std::vector<std::uint32_t> m_handled;
    std::vector<std::string> m_targets; // of the jobs the messages carried

protected:
    bool InitInstance() override
    {
        ++m_calls;
        m_ranBeforeResume = !m_resumed.load();
        m_initThreadId = static_cast<std::uint32_t>(gettid());
        return m_initResult;
    }
    int ExitInstance() override
    {
        ++m_calls;
        return MessageThread::ExitInstance();
    }
    void OnThreadMessage(download::ThreadMessage& message) override
    {
        m_handled.push_back(message.message);
        if (const auto* job = std::get_if<download::Job>(&message.payload))
            m_targets.push_back(job->target + "|" + job->saveFile);
        if (message.message == 0x8004)
            PostQuitMessage(7);
    }

private:
    bool m_initResult;
    std::atomic<int>& m_calls;
    const std::atomic<bool>& m_resumed;
};

TEST(MessageThread, WaitsAtItsStartGateWithItsIdKnownThenHandlesMessagesInOrder)
{
    std::atomic<int> calls = 0;
    std::atomic<bool> resumed = false;
    ProbeThread thread(true, calls, resumed);
    ASSERT_TRUE(thread.CreateThread());
    EXPECT_FALSE(thread.CreateThread()) << "one thread per object";
    EXPECT_NE(thread.GetThreadID(), 0u);
    EXPECT_NE(thread.GetThreadID(), static_cast<std::uint32_t>(gettid()));
    thread.PostThreadMessage(0x8003);
    thread.PostThreadMessage({0x8001, 0, 0, download::Job{"/a?b", "/tmp/page"}});
    for (std::uint32_t message : {0x8004u, 0x8003u})
        thread.PostThreadMessage(message);

    resumed = true;
    thread.ResumeThread();
    thread.WaitForEnd();
    EXPECT_FALSE(thread.m_ranBeforeResume) << "nothing runs before ResumeThread";
    EXPECT_EQ(thread.m_initThreadId, thread.GetThreadID());
    // The quit request queues behind the messages posted before it.
    EXPECT_EQ(thread.m_handled, (std::vector<std::uint32_t>{0x8003, 0x8001, 0x8004, 0x8003}));
    EXPECT_EQ(thread.m_targets, std::vector<std::string>{"/a?b|/tmp/page"});
    EXPECT_EQ(thread.GetExitCode(), 7);
    EXPECT_EQ(calls, 2);
}

TEST(MessageThread, FailedInitSkipsTheLoopButRunsExitInstance)
{
    std::atomic<int> calls = 0;
    const std::atomic<bool> resumed = true;
    ProbeThread thread(false, calls, resumed);
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
    const std::atomic<bool> resumed = false;
    {
        ProbeThread thread(true, calls, resumed);
        ASSERT_TRUE(thread.CreateThread());
    }
    EXPECT_EQ(calls, 0);
}

} // namespace
