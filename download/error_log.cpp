#include "download/error_log.h"

#include "platform/file_bytes.h"

#include <fcntl.h>
#include <mutex>
#include <unistd.h>

namespace download {

std::string FormatErrorLogEntry(std::time_t when, std::string_view message)
{
    char stamp[128] = {};
    std::tm local{};
    if (localtime_r(&when, &local) == nullptr ||
        std::strftime(stamp, sizeof stamp, "%Y/%m/%d %H:%M:%S", &local) == 0)
        stamp[0] = '\0';
    std::string entry(stamp);
    entry += ' ';
    entry += message.substr(0, kMaxLogMessageBytes);
    return entry;
}

namespace {

std::mutex& LogMutex()
{
    static std::mutex logMutex;
    return logMutex;
}

// Guarded by LogMutex().
std::string& LogPath()
{
    static std::string path = kErrorLogName;
    return path;
}

} // namespace

void SetErrorLogPath(std::string path)
{
    std::lock_guard lock(LogMutex());
    LogPath() = std::move(path);
}

void WriteErrorLog(std::string_view message)
{
    // Inside the process the lock keeps entries whole and in order; O_APPEND keeps each
    // write() whole against other processes appending to the same file.
    const std::string entry = FormatErrorLogEntry(std::time(nullptr), message);
    std::lock_guard lock(LogMutex());
    const int fd = ::open(LogPath().c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0666);
    if (fd < 0)
        return;
    // A log that cannot be written loses its entry; the run goes on.
    platform::WriteAll(fd, entry);
    ::close(fd);
}

} // namespace download
