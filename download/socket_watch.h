#pragma once

#include "download/clock.h"

#include <chrono>
#include <optional>
#include <vector>

namespace download {

// The sockets a worker's easy handle has open, so that a job can ask the kernel when data last
// arrived. libcurl hands a header line over only once it is complete, so its callbacks alone
// would take a line that trickles in steadily for a silent connection.
//
// Used on the worker's thread only (and on the destroying thread once the worker has ended).
class SocketWatch
{
public:
    // Makes libcurl tell the watch about every socket it opens or closes for this easy handle;
    // false when libcurl refuses the options. The watch must outlive every connection the
    // handle (or a multi handle it joins) keeps.
    bool Attach(void* curl);

    // The latest moment any watched socket received data, counted back from now; nullopt when
    // none can tell.
    std::optional<Clock::TimePoint> LastReceived(Clock::TimePoint now) const;

    // For the libcurl callbacks.
    void Opened(int fd);
    void Closed(int fd);

private:
    std::vector<int> m_fds;
};

} // namespace download
