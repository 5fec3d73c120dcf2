#include "download/clock.h"

namespace download {
namespace {

class SystemSteadyClock : public Clock
{
public:
    TimePoint Now() const override { return std::chrono::steady_clock::now(); }
};

} // namespace

const Clock& SteadyClock()
{
    static const SystemSteadyClock clock;
    return clock;
}

} // namespace download
