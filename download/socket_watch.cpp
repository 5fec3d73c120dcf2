#include "download/socket_watch.h"

#include <algorithm>
#include <curl/curl.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>
#include <unistd.h>

namespace download {

namespace {

int OnSocketOption(void* clientp, curl_socket_t fd, curlsocktype)
{
    static_cast<SocketWatch*>(clientp)->Opened(fd);
    return CURL_SOCKOPT_OK;
}

int OnCloseSocket(void* clientp, curl_socket_t fd)
{
    static_cast<SocketWatch*>(clientp)->Closed(fd);
    return ::close(fd);
}

} // namespace

bool SocketWatch::Attach(void* curl)
{
    return curl_easy_setopt(curl, CURLOPT_SOCKOPTFUNCTION, &OnSocketOption) == CURLE_OK &&
           curl_easy_setopt(curl, CURLOPT_SOCKOPTDATA, this) == CURLE_OK &&
           curl_easy_setopt(curl, CURLOPT_CLOSESOCKETFUNCTION, &OnCloseSocket) == CURLE_OK &&
           curl_easy_setopt(curl, CURLOPT_CLOSESOCKETDATA, this) == CURLE_OK;
}

std::optional<Clock::TimePoint> SocketWatch::LastReceived(Clock::TimePoint now) const
{
    std::optional<Clock::TimePoint> latest;
    for (const int fd : m_fds) {
        tcp_info info = {};
        socklen_t size = sizeof info;
        if (::getsockopt(fd, IPPROTO_TCP, TCP_INFO, &info, &size) != 0 ||
            size < offsetof(tcp_info, tcpi_last_data_recv) + sizeof info.tcpi_last_data_recv)
            continue;
        // Milliseconds since the last data segment; before any, since the connection was made.
        const Clock::TimePoint at = now - std::chrono::milliseconds(info.tcpi_last_data_recv);
        if (!latest || at > *latest)
            latest = at;
    }
    return latest;
}

void SocketWatch::Opened(int fd)
{
    m_fds.push_back(fd);
}

void SocketWatch::Closed(int fd)
{
    m_fds.erase(std::remove(m_fds.begin(), m_fds.end(), fd), m_fds.end());
}

} // namespace download
