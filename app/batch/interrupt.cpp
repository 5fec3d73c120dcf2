#include "app/batch/interrupt.h"

#include <atomic>

namespace batch {
namespace {

std::atomic<bool> g_bInterrupted{false};
static_assert(std::atomic<bool>::is_always_lock_free, "set from a signal handler");

extern "C" void NoteInterrupt(int)
{
    g_bInterrupted.store(true);
}

} // namespace

CInterruptGuard::CInterruptGuard()
{
    g_bInterrupted.store(false);
    struct sigaction action = {};
    action.sa_handler = &NoteInterrupt;
    sigemptyset(&action.sa_mask);
    sigaction(SIGINT, &action, &m_oldInt);
    sigaction(SIGTERM, &action, &m_oldTerm);
}

CInterruptGuard::~CInterruptGuard()
{
    sigaction(SIGINT, &m_oldInt, nullptr);
    sigaction(SIGTERM, &m_oldTerm, nullptr);
}

bool CInterruptGuard::Requested() const
{
    return g_bInterrupted.load();
}

} // namespace batch
