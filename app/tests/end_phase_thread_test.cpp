// The window's end-phase runner: each step on a thread of its own, each done back on the main
// thread through its event loop, and a wait that lets a step finish but drops its done.
#include "app/end_phase_thread.h"

#include <QCoreApplication>

#include <gtest/gtest.h>

#include <atomic>
#include <future>
#include <thread>
#include <vector>

namespace app_test {
namespace {

// Lets the event loop run until pred holds; it sleeps only while no event is there.
template <typename Pred>
void ProcessEventsUntil(Pred pred)
{
    while (!pred())
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
}

TEST(EndPhaseThread, RunsStepsAwayAndBringsEachDoneBackInTurn)
{
    const std::thread::id main = std::this_thread::get_id();
    std::vector<std::string> events;
    std::vector<bool> stepAway, doneHere;
    app::EndPhaseThread runner;
    auto step = [&] { stepAway.push_back(std::this_thread::get_id() != main); };
    runner.Run(step, [&] {
        doneHere.push_back(std::this_thread::get_id() == main);
        events.emplace_back("first");
        // The next step is handed over from done, as the run does.
        runner.Run(step, [&] {
            doneHere.push_back(std::this_thread::get_id() == main);
            events.emplace_back("second");
        });
    });
    EXPECT_TRUE(events.empty()) << "done comes through the event loop, never at once";
    ProcessEventsUntil([&] { return events.size() == 2; });
    EXPECT_EQ(events, (std::vector<std::string>{"first", "second"}));
    EXPECT_EQ(stepAway, (std::vector<bool>{true, true}));
    EXPECT_EQ(doneHere, (std::vector<bool>{true, true}));
}

// Waiting (a window closing while its run ends) and destroying the runner both let the step
// under way return, and its done never comes afterwards.
class EndPhaseWait : public ::testing::TestWithParam<bool>
{
};

TEST_P(EndPhaseWait, LetsTheStepReturnAndDropsItsDone)
{
    const bool destroy = GetParam();
    std::promise<void> entered, release;
    std::atomic<bool> returned = false;
    bool done = false;
    auto runner = std::make_unique<app::EndPhaseThread>();
    runner->Run(
        [&] {
            entered.set_value();
            release.get_future().wait();
            returned = true;
        },
        [&] { done = true; });
    entered.get_future().wait();
    std::thread releaser([&] { release.set_value(); });
    if (destroy)
        runner.reset();
    else
        runner->Wait();
    EXPECT_TRUE(returned) << "the wait ended before the step";
    releaser.join();
    QCoreApplication::processEvents(); // the done the step queued, if any, comes now
    EXPECT_FALSE(done);
}

INSTANTIATE_TEST_SUITE_P(Ways, EndPhaseWait, ::testing::Bool(),
                         [](const auto& info) { return info.param ? "Destroyed" : "Wait"; });

} // namespace
} // namespace app_test
