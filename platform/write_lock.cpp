#include "platform/write_lock.h"

#include "platform/atomic_file.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <system_error>
#include <unistd.h>

namespace platform {

WriteLock::WriteLock(const std::string& path)
{
    const std::string lockPath = LockPath(path);
    // A link planted at the lock's name is refused rather than followed to make a file.
    m_fd = open(lockPath.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0666);
    // Another user's lock file may be open to read only; flock needs no more.
    if (m_fd < 0 && errno == EACCES)
        m_fd = open(lockPath.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW);
    int err = m_fd < 0 ? errno : 0;
    while (m_fd >= 0 && flock(m_fd, LOCK_EX) != 0) {
        if (errno == EINTR)
            continue;
        err = errno;
        close(m_fd);
        m_fd = -1;
    }
    if (m_fd < 0)
        m_error = "cannot lock " + lockPath + ": " + std::generic_category().message(err);
}

WriteLock::~WriteLock()
{
    if (m_fd >= 0)
        close(m_fd); // releases the lock
}

std::string WriteLock::LockPath(const std::string& path)
{
    return HiddenSibling(path, ".lock");
}

} // namespace platform
