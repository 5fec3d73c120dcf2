#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <sys/types.h>

namespace batch_test {

// Runs fn in a forked child whose files may not grow beyond fileSize bytes; a write past the
// limit fails (EFBIG) instead of killing the child. Gives fn's text, or nothing when the child
// did not end normally.
std::optional<std::string> RunWithFileSizeLimit(const std::function<std::string()>& fn,
                                                std::uintmax_t fileSize);

// A loopback port nobody listens on: bound once, then released.
int ClosedPort();

// The sample site's request log as a named pipe, so that a test waits for requests as they
// come instead of looking again and again.
class RequestFeed
{
public:
    explicit RequestFeed(std::string path);
    ~RequestFeed();
    RequestFeed(const RequestFeed&) = delete;
    RequestFeed& operator=(const RequestFeed&) = delete;

    // For the site's logPath.
    const std::string& Path() const { return m_path; }
    // Blocks until count requests in all have come; false when the feed broke.
    bool WaitForRequests(int count);

private:
    std::string m_path;
    int m_fd = -1; // open for writing too, so that no read ever sees end-of-file
    std::string m_text;
};

// fn in a forked child whose standard output and error go to pipes: its result is the exit
// status. With Output::Closed nobody ever reads standard output, so that the child's first
// write to it fails (EPIPE, or SIGPIPE when not ignored). Before it ends, the child flushes
// its streams as exit() would.
class ChildProcess
{
public:
    enum class Output { Read, Closed };

    ChildProcess(const std::function<int()>& fn, Output output);
    // Kills and waits for a child still running.
    ~ChildProcess();
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    pid_t Pid() const { return m_pid; }
    // Reads both pipes to their end, then waits for the child: its wait status.
    int Finish();
    const std::string& Out() const { return m_out; }
    const std::string& Err() const { return m_err; }

private:
    pid_t m_pid = -1;
    int m_outFd = -1, m_errFd = -1;
    std::string m_out, m_err;
};

} // namespace batch_test
