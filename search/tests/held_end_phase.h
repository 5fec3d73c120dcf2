#pragma once

#include "search/run_ports.h"

#include <functional>
#include <string>
#include <vector>

namespace search_test {

// An end-phase runner that holds each step until the test lets it go, as a thread that has
// not got round to it yet would: the run is left in its ending state for as long as the test
// likes. Wait runs a held step to its end and drops its done, as waiting for a thread does.
class HeldEndPhase : public search::IEndPhaseRunner
{
public:
    // log, when given, gets "wait" for each wait.
    explicit HeldEndPhase(std::vector<std::string>* log = nullptr)
        : m_log(log)
    {}

    void Run(std::function<void()> step, std::function<void()> done) override;
    void Wait() override;

    bool Holding() const { return static_cast<bool>(m_step); }
    // Runs the held step, then its done (which may hand over the next step).
    void Release();

private:
    std::vector<std::string>* m_log;
    std::function<void()> m_step, m_done;
};

} // namespace search_test
