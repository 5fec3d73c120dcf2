#include "log.h"

#include <cerrno>
#include <string>
#include <unistd.h>

namespace medora {

void LogLine(std::string_view text)
{
    const std::string line = "medora: " + std::string(text) + "\n";
    std::size_t done = 0;
    while (done < line.size()) {
        const ssize_t wrote = ::write(STDERR_FILENO, line.data() + done, line.size() - done);
        if (wrote < 0 && errno == EINTR)
            continue;
        if (wrote <= 0)
            return; // nowhere to tell it
        done += static_cast<std::size_t>(wrote);
    }
}

} // namespace medora
