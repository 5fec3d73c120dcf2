#include "recording_server.h"

#include <arpa/inet.h>
#include <cerrno>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace medora_test {

RecordingServer::RecordingServer()
{
    m_listen = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    if (m_listen < 0 || pipe2(m_stop, O_CLOEXEC) != 0 ||
        bind(m_listen, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
        listen(m_listen, 64) != 0 ||
        getsockname(m_listen, reinterpret_cast<sockaddr*>(&address), &length) != 0)
        return;
    m_port = ntohs(address.sin_port);
    m_acceptor = std::thread([this] { Accept(); });
}

RecordingServer::~RecordingServer()
{
    Stop();
    for (int fd : {m_listen, m_stop[0], m_stop[1]}) {
        if (fd >= 0)
            close(fd);
    }
}

void RecordingServer::Accept()
{
    for (;;) {
        pollfd fds[2] = {{m_listen, POLLIN, 0}, {m_stop[0], POLLIN, 0}};
        if (poll(fds, 2, -1) < 0 && errno != EINTR)
            return;
        // Whatever is waiting is taken before a stop is obeyed: it was made before the stop.
        for (;;) {
            const int fd = accept4(m_listen, nullptr, nullptr, SOCK_CLOEXEC);
            if (fd < 0)
                break;
            const std::lock_guard<std::mutex> lock(m_mutex);
            m_connections.emplace_back([this, fd] { Serve(fd); });
        }
        if ((fds[1].revents & POLLIN) != 0)
            return;
    }
}

// Reads the request head (or up to the client's close) and answers it.
void RecordingServer::Serve(int fd)
{
    std::string head;
    char buffer[4096];
    while (head.find("\r\n\r\n") == std::string::npos) {
        const ssize_t n = read(fd, buffer, sizeof buffer);
        if (n > 0)
            head.append(buffer, static_cast<std::size_t>(n));
        else if (n == 0 || errno != EINTR)
            break;
    }
    if (!head.empty()) {
        const std::string_view answer = "HTTP/1.0 200 OK\r\nContent-Type: text/html\r\n"
                                        "Connection: close\r\n\r\n<p>AWAY</p>\n";
        (void)!write(fd, answer.data(), answer.size());
    }
    close(fd);
    const std::lock_guard<std::mutex> lock(m_mutex);
    m_requests.push_back(head.substr(0, head.find("\r\n")));
}

std::vector<std::string> RecordingServer::Stop()
{
    if (m_acceptor.joinable()) {
        (void)!write(m_stop[1], "x", 1);
        m_acceptor.join();
    }
    for (std::thread& connection : m_connections)
        connection.join();
    m_connections.clear();
    const std::lock_guard<std::mutex> lock(m_mutex);
    return m_requests;
}

} // namespace medora_test
