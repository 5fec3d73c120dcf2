#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <sys/types.h>

namespace testing_support {

// A function run in a forked child process; the text it returns comes back through a pipe.
// The child must not use GoogleTest's assertions: it reports in its text. Several children
// may run at once. A thread-sanitized process cannot fork safely once it runs threads.
class ChildProcess
{
public:
    // Forks at once.
    explicit ChildProcess(const std::function<std::string()>& fn);
    // Waits for a child not yet waited for.
    ~ChildProcess();
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    // Waits for the child to end: its text, or nothing when it could not run or died.
    std::optional<std::string> Wait();

private:
    pid_t m_pid = -1;
    int m_pipe = -1;
};

// Runs fn in a child whose files may not grow past fileSize bytes: a write beyond fails
// with EFBIG, as on a full disk.
std::optional<std::string> RunWithFileSizeLimit(const std::function<std::string()>& fn,
                                                std::uintmax_t fileSize);

// Blocks each child that waits on it until the parent opens it. Make it before the children.
class StartGate
{
public:
    StartGate();
    ~StartGate();
    StartGate(const StartGate&) = delete;
    StartGate& operator=(const StartGate&) = delete;

    // In a child: returns once the parent has opened the gate.
    void Wait();
    // In the parent, once every child is forked.
    void Open();

private:
    int m_read = -1;
    int m_write = -1;
};

} // namespace testing_support
