#pragma once

#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace medora_test {

// A web server on a free loopback port that stands for everything outside the result page:
// it notes the request line of every connection made to it ("" for one that sent nothing)
// and answers each request with a small page of its own, "AWAY".
class RecordingServer
{
public:
    RecordingServer();
    // Stops as Stop does.
    ~RecordingServer();
    RecordingServer(const RecordingServer&) = delete;
    RecordingServer& operator=(const RecordingServer&) = delete;

    // 0 when no port could be bound.
    int Port() const { return m_port; }
    // Takes the connections still waiting to be accepted, waits for every connection to end
    // and gives what was asked, in the order the connections ended. Call it once the client
    // has gone, so that every connection it made has ended.
    std::vector<std::string> Stop();

private:
    void Accept();
    void Serve(int fd);

    int m_listen = -1;
    int m_port = 0;
    int m_stop[2] = {-1, -1};
    std::thread m_acceptor;
    std::mutex m_mutex;
    std::vector<std::thread> m_connections;
    std::vector<std::string> m_requests;
};

} // namespace medora_test
