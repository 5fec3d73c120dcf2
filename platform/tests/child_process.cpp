#include "platform/tests/child_process.h"

#include <cerrno>
#include <csignal>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace testing_support {

ChildProcess::ChildProcess(const std::function<std::string()>& fn)
{
    int fds[2];
    if (pipe(fds) != 0)
        return;
    m_pid = fork();
    if (m_pid < 0) {
        close(fds[0]);
        close(fds[1]);
        return;
    }
    if (m_pid == 0) {
        close(fds[0]);
        const std::string text = fn();
        for (std::size_t done = 0; done < text.size();) {
            const ssize_t n = write(fds[1], text.data() + done, text.size() - done);
            if (n <= 0)
                _exit(3);
            done += static_cast<std::size_t>(n);
        }
        _exit(0);
    }
    close(fds[1]);
    m_pipe = fds[0];
}

ChildProcess::~ChildProcess()
{
    Wait();
}

std::optional<std::string> ChildProcess::Wait()
{
    if (m_pid < 0)
        return std::nullopt;
    std::string text;
    char buffer[4096];
    ssize_t n;
    while ((n = read(m_pipe, buffer, sizeof buffer)) > 0)
        text.append(buffer, static_cast<std::size_t>(n));
    close(m_pipe);
    m_pipe = -1;
    int status = 0;
    const bool ended = waitpid(m_pid, &status, 0) == m_pid;
    m_pid = -1;
    if (!ended || !WIFEXITED(status) || WEXITSTATUS(status) != 0)
        return std::nullopt;
    return text;
}

std::optional<std::string> RunWithFileSizeLimit(const std::function<std::string()>& fn,
                                                std::uintmax_t fileSize)
{
    ChildProcess child([&]() -> std::string {
        const rlimit limit{fileSize, fileSize};
        // Without the signal's default action the write fails instead of ending the child.
        if (setrlimit(RLIMIT_FSIZE, &limit) != 0 || std::signal(SIGXFSZ, SIG_IGN) == SIG_ERR)
            _exit(2);
        return fn();
    });
    return child.Wait();
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
