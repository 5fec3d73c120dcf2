#include "download/tests/raw_server.h"

#include <algorithm>
#include <arpa/inet.h>
#include <cerrno>
#include <fcntl.h>
#include <poll.h>
#include <stdexcept>
#include <sys/socket.h>
#include <unistd.h>

namespace download_tests {

namespace {

int ListenOnLoopback(int& port)
{
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof addr;
    if (::bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0 || ::listen(fd, 16) != 0 ||
        ::getsockname(fd, reinterpret_cast<sockaddr*>(&addr), &length) != 0)
        throw std::runtime_error("cannot listen on loopback");
    port = ntohs(addr.sin_port);
    return fd;
}

// The request head, or what arrived before the client fell silent for a moment.
std::string ReadRequest(int client)
{
    std::string request;
    char buffer[1024];
    pollfd in = {client, POLLIN, 0};
    while (request.find("\r\n\r\n") == std::string::npos &&
           ::poll(&in, 1, request.empty() ? 5000 : 300) > 0) {
        const ssize_t n = ::recv(client, buffer, sizeof buffer, 0);
        if (n <= 0)
            break;
        request.append(buffer, static_cast<std::size_t>(n));
    }
    return request;
}

} // namespace

RawServer::RawServer(Script script)
    : RawServer(std::vector<Script>{std::move(script)})
{}

RawServer::RawServer(std::vector<Script> scripts)
    : m_scripts(std::move(scripts))
    , m_listenFd(ListenOnLoopback(m_port))
{
    if (m_scripts.empty())
        m_scripts.emplace_back();
    if (::pipe2(m_stopPipe, O_CLOEXEC) != 0)
        throw std::runtime_error("pipe2 failed");
    m_thread = std::thread([this] { Serve(); });
}

RawServer::~RawServer()
{
    [[maybe_unused]] const ssize_t n = ::write(m_stopPipe[1], "x", 1);
    m_thread.join();
    ::close(m_listenFd);
    ::close(m_stopPipe[0]);
    ::close(m_stopPipe[1]);
}

std::vector<std::string> RawServer::Received() const
{
    std::lock_guard lock(m_mutex);
    return m_requests;
}

bool RawServer::WaitReceived(std::size_t count, std::chrono::milliseconds timeout)
{
    std::unique_lock lock(m_mutex);
    return m_received.wait_for(lock, timeout, [&] { return m_requests.size() >= count; });
}

void RawServer::Serve()
{
    pollfd fds[2] = {{m_listenFd, POLLIN, 0}, {m_stopPipe[0], POLLIN, 0}};
    while (::poll(fds, 2, -1) > 0 && !(fds[1].revents & POLLIN)) {
        const int client = ::accept4(m_listenFd, nullptr, nullptr, SOCK_CLOEXEC);
        if (client < 0)
            continue;
        const std::string request = ReadRequest(client);
        std::size_t index = 0;
        {
            std::lock_guard lock(m_mutex);
            index = std::min(m_requests.size(), m_scripts.size() - 1);
            m_requests.push_back(request);
        }
        m_received.notify_all();
        Play(client, m_scripts[index]);
        ::close(client);
    }
}

void RawServer::Play(int client, const Script& script)
{
    for (const Step& step : script) {
        if (!Pause(step.delay))
            return;
        if (step.endless) {
            SendForEver(client, step.bytes);
            return;
        }
        if (::send(client, step.bytes.data(), step.bytes.size(), MSG_NOSIGNAL) < 0)
            return;
    }
}

void RawServer::SendForEver(int client, const std::string& bytes)
{
    // Never blocked in a send: the server's destruction must end it at once.
    pollfd fds[2] = {{client, POLLOUT, 0}, {m_stopPipe[0], POLLIN, 0}};
    std::size_t offset = 0;
    while (!bytes.empty() && ::poll(fds, 2, -1) > 0 && !(fds[1].revents & POLLIN)) {
        const ssize_t n = ::send(client, bytes.data() + offset, bytes.size() - offset,
                                 MSG_NOSIGNAL | MSG_DONTWAIT);
        if (n < 0 && errno != EAGAIN && errno != EWOULDBLOCK && errno != EINTR)
            return; // the client went away
        if (n > 0)
            offset = (offset + static_cast<std::size_t>(n)) % bytes.size();
    }
}

bool RawServer::Pause(std::chrono::milliseconds delay)
{
    pollfd stop = {m_stopPipe[0], POLLIN, 0};
    return delay.count() <= 0 || ::poll(&stop, 1, static_cast<int>(delay.count())) == 0;
}

std::string ClosedAddress()
{
    int port = 0;
    ::close(ListenOnLoopback(port));
    return "127.0.0.1:" + std::to_string(port);
}

} // namespace download_tests
