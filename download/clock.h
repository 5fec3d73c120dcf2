#pragma once

#include <chrono>

namespace download {

// Where a job's time limits read the time, so that a test can hold time still or move it on.
class Clock
{
public:
    using TimePoint = std::chrono::steady_clock::time_point;

    virtual ~Clock() = default;
    virtual TimePoint Now() const = 0;
};

// The monotonic clock of the system; lives as long as the process.
const Clock& SteadyClock();

} // namespace download
