#include "held_end_phase.h"

#include <gtest/gtest.h>

#include <utility>

namespace search_test {

void HeldEndPhase::Run(std::function<void()> step, std::function<void()> done)
{
    EXPECT_FALSE(Holding()) << "a step was handed over before the one before had ended";
    m_step = std::move(step);
    m_done = std::move(done);
}

void HeldEndPhase::Wait()
{
    if (m_log)
        m_log->push_back("wait");
    if (auto step = std::exchange(m_step, {}))
        step();
    m_done = {};
}

void HeldEndPhase::Release()
{
    ASSERT_TRUE(Holding()) << "no step is held";
    auto step = std::exchange(m_step, {});
    auto done = std::exchange(m_done, {});
    step();
    done();
}

} // namespace search_test
