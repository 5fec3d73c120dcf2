#include "platform/tests/child_process.h"

#include "platform/file_bytes.h"

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <iostream>
#include <poll.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace testing_support {

ChildProcess::ChildProcess(const std::function<int()>& fn, Output output)
{
    int out[2], err[2];
    if (::pipe(out) != 0)
        return;
    if (::pipe(err) != 0) {
        ::close(out[0]);
        ::close(out[1]);
        return;
    }
    if (output == Output::Closed) { // before the fork: no reader exists at any time
        ::close(out[0]);
        out[0] = -1;
    }
    m_pid = ::fork();
    if (m_pid == 0) {
        if (::dup2(out[1], STDOUT_FILENO) < 0 || ::dup2(err[1], STDERR_FILENO) < 0)
            ::_exit(125);
        for (const int fd : {out[0], out[1], err[0], err[1]}) {
            if (fd > STDERR_FILENO)
                ::close(fd);
        }
        const int code = fn();
        std::fflush(nullptr);
        ::_exit(code);
    }
    ::close(out[1]);
    ::close(err[1]);
    m_outFd = out[0];
    m_errFd = err[0];
}

ChildProcess::~ChildProcess()
{
    for (const int fd : {m_outFd, m_errFd}) {
        if (fd >= 0)
            ::close(fd);
    }
    if (m_pid > 0) {
        ::kill(m_pid, SIGKILL);
        ::waitpid(m_pid, nullptr, 0);
    }
}

int ChildProcess::Finish()
{
    // One read from fd when poll found something: text grows, or the pipe has ended.
    auto readSome = [](int& fd, std::string& text, short revents) {
        if (fd < 0 || revents == 0)
            return;
        char buffer[4096];
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n > 0) {
            text.append(buffer, static_cast<std::size_t>(n));
        } else if (n == 0 || errno != EINTR) {
            ::close(fd);
            fd = -1;
        }
    };
    while (m_outFd >= 0 || m_errFd >= 0) {
        pollfd fds[2] = {{m_outFd, POLLIN, 0}, {m_errFd, POLLIN, 0}};
        if (::poll(fds, 2, -1) < 0 && errno != EINTR)
            break;
        readSome(m_outFd, m_out, fds[0].revents);
        readSome(m_errFd, m_err, fds[1].revents);
    }
    int status = -1;
    if (m_pid > 0 && ::waitpid(m_pid, &status, 0) == m_pid)
        m_pid = -1;
    return status;
}

std::optional<std::string> RunInChild(const std::function<std::string()>& fn)
{
    ChildProcess child([&fn] {
        // Standard output carries the text alone; what fn prints goes with its errors.
        const int report = ::dup(STDOUT_FILENO);
        if (report < 0 || ::dup2(STDERR_FILENO, STDOUT_FILENO) < 0)
            return 125;
        const std::string text = fn();
        std::fflush(nullptr);
        return platform::WriteAll(report, text) == 0 ? 0 : 3;
    });
    const int status = child.Finish();
    std::cerr << child.Err();
    if (status == -1 || !WIFEXITED(status) || WEXITSTATUS(status) != 0)
        return std::nullopt;
    return child.Out();
}

std::optional<std::string> RunWithFileSizeLimit(const std::function<std::string()>& fn,
                                                std::uintmax_t fileSize)
{
    return RunInChild([&]() -> std::string {
        const rlimit limit{fileSize, fileSize};
        // Without the signal's default action the write fails instead of ending the child.
        if (setrlimit(RLIMIT_FSIZE, &limit) != 0 || std::signal(SIGXFSZ, SIG_IGN) == SIG_ERR)
            _exit(2);
        return fn();
    });
}

StartGate::StartGate()
{
    int fds[2];
    if (pipe(fds) == 0) {
        m_read = fds[0];
        m_write = fds[1];
    }
}

StartGate::~StartGate()
{
    Open();
    if (m_read >= 0)
        close(m_read);
}

void StartGate::Wait()
{
    // The child's copy of the write end would keep its own read from ever ending.
    Open();
    char byte;
    for (;;) {
        const ssize_t n = read(m_read, &byte, 1);
        if (n == 0 || (n < 0 && errno != EINTR))
            return;
    }
}

void StartGate::Open()
{
    if (m_write >= 0) {
        close(m_write);
        m_write = -1;
    }
}

} // namespace testing_support
