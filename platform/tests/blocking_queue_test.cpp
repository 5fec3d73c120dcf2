#include "platform/blocking_queue.h"

#include <memory>
#include <string>
#include <thread>
#include <unistd.h>
#include <vector>

#include <gtest/gtest.h>

namespace {

using Queue = platform::BlockingQueue<std::unique_ptr<std::string>>;

// A pipe whose read end a test makes readable when it likes, as a signal handler would.
class WakePipe
{
public:
    WakePipe() { EXPECT_EQ(::pipe(m_fds), 0); }
    ~WakePipe()
    {
        ::close(m_fds[0]);
        ::close(m_fds[1]);
    }
    WakePipe(const WakePipe&) = delete;
    WakePipe& operator=(const WakePipe&) = delete;
    int ReadEnd() const { return m_fds[0]; }
    void Wake() { ASSERT_EQ(::write(m_fds[1], "x", 1), 1); }

private:
    int m_fds[2] = {-1, -1};
};

enum class Taking { Take, TakeOrWake };

class BlockingQueueTest : public ::testing::TestWithParam<Taking>
{
protected:
    std::string Next(Queue& queue, int wakeFd = -1)
    {
        std::unique_ptr<std::string> item;
        if (GetParam() == Taking::Take)
            item = queue.Take();
        else if (auto taken = queue.TakeOrWake(wakeFd))
            item = std::move(*taken);
        return item ? *item : "<none>";
    }
};

// Each poster's items come out in its order, none lost, whichever way the taker waits, also
// when the taker is already waiting as they are posted.
TEST_P(BlockingQueueTest, TakesEveryItemOfEveryPosterInItsOrder)
{
    constexpr int kPosters = 3;
    constexpr int kItems = 500;
    Queue queue;
    std::vector<std::thread> posters;
    for (int p = 0; p < kPosters; ++p) {
        posters.emplace_back([&queue, p] {
            for (int i = 0; i < kItems; ++i)
                queue.Post(
                    std::make_unique<std::string>(std::to_string(p) + " " + std::to_string(i)));
        });
    }
    std::vector<int> next(kPosters, 0);
    for (int n = 0; n < kPosters * kItems; ++n) {
        const std::string item = Next(queue);
        const int poster = item[0] - '0';
        ASSERT_EQ(item, std::to_string(poster) + " " + std::to_string(next[poster]));
        ++next[poster];
    }
    for (auto& poster : posters)
        poster.join();
    EXPECT_FALSE(queue.TryTake()) << "nothing more than was posted";
}

INSTANTIATE_TEST_SUITE_P(Ways, BlockingQueueTest,
                         ::testing::Values(Taking::Take, Taking::TakeOrWake));

TEST(BlockingQueue, TryTakeNeverWaits)
{
    Queue queue;
    EXPECT_FALSE(queue.TryTake());
    queue.Post(std::make_unique<std::string>("a"));
    const auto item = queue.TryTake();
    ASSERT_TRUE(item);
    EXPECT_EQ(**item, "a");
    EXPECT_FALSE(queue.TryTake());
}

TEST(BlockingQueue, AReadableWakeDescriptorEndsTheWaitButItemsComeFirst)
{
    Queue queue;
    WakePipe wake;
    queue.Post(std::make_unique<std::string>("a"));
    wake.Wake();
    const auto first = queue.TakeOrWake(wake.ReadEnd());
    ASSERT_TRUE(first);
    EXPECT_EQ(**first, "a");
    EXPECT_FALSE(queue.TakeOrWake(wake.ReadEnd()));
}

TEST(BlockingQueue, AWakeFromAnotherThreadEndsAWaitUnderWay)
{
    Queue queue;
    WakePipe wake;
    std::thread waker([&wake] { wake.Wake(); });
    EXPECT_FALSE(queue.TakeOrWake(wake.ReadEnd()));
    waker.join();
    // The queue still works once the wake has been seen.
    queue.Post(std::make_unique<std::string>("b"));
    EXPECT_EQ(*queue.Take(), "b");
}

} // namespace
