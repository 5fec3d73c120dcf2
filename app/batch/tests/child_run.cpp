#include "child_run.h"

#include <arpa/inet.h>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace batch_test {

std::optional<std::string> RunWithFileSizeLimit(const std::function<std::string()>& fn,
                                                std::uintmax_t fileSize)
{
    int fds[2];
    if (::pipe(fds) != 0)
        return std::nullopt;
    const pid_t pid = ::fork();
    if (pid < 0) {
        ::close(fds[0]);
        ::close(fds[1]);
        return std::nullopt;
    }
    if (pid == 0) {
        ::close(fds[0]);
        const rlimit limit{fileSize, fileSize};
        if (::setrlimit(RLIMIT_FSIZE, &limit) != 0 || std::signal(SIGXFSZ, SIG_IGN) == SIG_ERR)
            ::_exit(2);
        const std::string text = fn();
        for (std::size_t done = 0; done < text.size();) { // a pipe knows no size limit
            const ssize_t n = ::write(fds[1], text.data() + done, text.size() - done);
            if (n <= 0)
                ::_exit(3);
            done += static_cast<std::size_t>(n);
        }
        ::_exit(0);
    }
    ::close(fds[1]);
    std::string text;
    char buffer[4096];
    ssize_t n;
    while ((n = ::read(fds[0], buffer, sizeof buffer)) > 0)
        text.append(buffer, static_cast<std::size_t>(n));
    ::close(fds[0]);
    int status = 0;
    if (::waitpid(pid, &status, 0) != pid || !WIFEXITED(status) || WEXITSTATUS(status) != 0)
        return std::nullopt;
    return text;
}

int ClosedPort()
{
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    int port = -1;
    if (::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0 &&
        ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length) == 0)
        port = ntohs(address.sin_port);
    ::close(fd);
    return port;
}

RequestFeed::RequestFeed(std::string path)
    : m_path(std::move(path))
{
    if (::mkfifo(m_path.c_str(), 0600) == 0)
        m_fd = ::open(m_path.c_str(), O_RDWR | O_CLOEXEC);
}

RequestFeed::~RequestFeed()
{
    if (m_fd >= 0)
        ::close(m_fd);
}

bool RequestFeed::WaitForRequests(int count)
{
    for (;;) {
        int seen = 0; // each request's log starts with its request line
        for (std::size_t at = 0; (at = m_text.find("GET /", at)) != std::string::npos; ++at) {
            if (at == 0 || m_text[at - 1] == '\n')
                ++seen;
        }
        if (seen >= count)
            return true;
        char buffer[4096];
        const ssize_t n = m_fd < 0 ? -1 : ::read(m_fd, buffer, sizeof buffer);
        if (n > 0)
            m_text.append(buffer, static_cast<std::size_t>(n));
        else if (n == 0 || errno != EINTR)
            return false;
    }
}

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

} // namespace batch_test
