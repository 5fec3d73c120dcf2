#pragma once

#include <csignal>

namespace batch {

// While it lives, SIGINT and SIGTERM no longer end the process but are noted, so that batch
// mode can stop its run and delete its page files first. The old handlers come back after.
class CInterruptGuard
{
public:
    CInterruptGuard();
    ~CInterruptGuard();
    CInterruptGuard(const CInterruptGuard&) = delete;
    CInterruptGuard& operator=(const CInterruptGuard&) = delete;

    bool Requested() const;

private:
    struct sigaction m_oldInt;
    struct sigaction m_oldTerm;
};

} // namespace batch
