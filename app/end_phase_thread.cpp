#include "app/end_phase_thread.h"

#include <QMetaObject>

#include <memory>
#include <system_error>
#include <utility>

namespace app {
namespace {

struct Work
{
    std::function<void()> step, done;
};

} // namespace

EndPhaseThread::~EndPhaseThread()
{
    Wait();
}

void EndPhaseThread::Run(std::function<void()> step, std::function<void()> done)
{
    Join(); // the step before has returned already: its done is what hands over this one
    const std::uint64_t ticket = ++m_ticket;
    auto work = std::make_shared<Work>(Work{std::move(step), std::move(done)});
    try {
        m_thread = std::thread([this, work, ticket] {
            work->step();
            QMetaObject::invokeMethod(
                &m_receiver,
                [this, work, ticket] {
                    if (ticket != m_ticket)
                        return; // waited for: the run has gone on without this done
                    Join();
                    work->done();
                },
                Qt::QueuedConnection);
        });
    } catch (const std::system_error&) {
        // No thread to be had: the step runs here, as batch mode runs it, rather than never.
        work->step();
        work->done();
    }
}

void EndPhaseThread::Wait()
{
    ++m_ticket;
    Join();
}

void EndPhaseThread::Join()
{
    if (m_thread.joinable())
        m_thread.join();
}

} // namespace app
