#pragma once

#include <string>

namespace platform {

// Lets one writer at a time, across threads and processes, read, change and replace a file.
// The lock is an advisory lock (flock) on a lock file beside the file, "." + name + ".lock":
// it cannot sit on the file itself, which each replacement renames away. The lock file is
// made on first use and left in place, since removing it would let a writer still waiting on
// the removed file and one that made a new file go ahead together. Readers take no lock: the
// file is only ever replaced whole.
class WriteLock
{
public:
    // Waits for the lock. A write that cannot make or open the lock file (a read-only
    // folder) does not get it.
    explicit WriteLock(const std::string& path);
    ~WriteLock();
    WriteLock(const WriteLock&) = delete;
    WriteLock& operator=(const WriteLock&) = delete;

    explicit operator bool() const { return m_fd >= 0; }
    // What failed, UTF-8; empty while the lock is held.
    const std::string& Error() const { return m_error; }

    // The lock file of path.
    static std::string LockPath(const std::string& path);

private:
    int m_fd = -1;
    std::string m_error;
};

} // namespace platform
