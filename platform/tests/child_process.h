#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <sys/types.h>

namespace testing_support {

// A function run in a forked child process, whose return value is the child's exit status.
// Its standard output and error go to pipes that Finish reads; with Output::Closed nobody ever
// reads standard output, so that the child's first write to it fails (EPIPE, or SIGPIPE when
// not ignored). Before it ends, the child flushes its streams as exit() would. The child must
// not use GoogleTest's assertions. Several children may run at once. A thread-sanitized
// process cannot fork safely once it runs threads.
class ChildProcess
{
public:
    enum class Output { Read, Closed };

    // Forks at once.
    explicit ChildProcess(const std::function<int()>& fn, Output output = Output::Read);
    // Kills and waits for a child still running.
    ~ChildProcess();
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    pid_t Pid() const { return m_pid; }
    // Reads both pipes to their end, then waits for the child: its wait status, or -1 when
    // there was no child.
    int Finish();
    const std::string& Out() const { return m_out; }
    const std::string& Err() const { return m_err; }

private:
    pid_t m_pid = -1;
    int m_outFd = -1, m_errFd = -1;
    std::string m_out, m_err;
};

// Runs fn in a child process and waits for it: the text fn returns, or nothing when the child
// could not run or did not end normally. What fn prints goes to this process's standard error.
std::optional<std::string> RunInChild(const std::function<std::string()>& fn);

// RunInChild where files may not grow past fileSize bytes: a write beyond fails with EFBIG,
// as on a full disk.
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
