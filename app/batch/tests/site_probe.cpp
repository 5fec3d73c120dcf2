#include "site_probe.h"

#include <arpa/inet.h>
#include <cerrno>
#include <fcntl.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

namespace batch_test {

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

} // namespace batch_test
