#pragma once

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace download_tests {

// A loopback listener (127.0.0.1, a free port) for responses and timings the listing site
// never produces. It takes one connection at a time, reads what the client sends until the
// request head is complete (or the client goes quiet), then plays its script: each step waits
// its delay, then sends its bytes. Then it closes the connection. A client that goes away ends
// the script; destroying the server ends it at once.
class RawServer
{
public:
    struct Step
    {
        std::chrono::milliseconds delay;
        std::string bytes;
        bool endless = false; // sent again and again until the client goes away
    };
    using Script = std::vector<Step>;

    explicit RawServer(Script script);
    // The first connection plays the first script, the next the second, and so on; the last
    // script plays for every connection after that.
    explicit RawServer(std::vector<Script> scripts);
    ~RawServer();
    RawServer(const RawServer&) = delete;
    RawServer& operator=(const RawServer&) = delete;

    std::string Address() const { return "127.0.0.1:" + std::to_string(m_port); }
    int Port() const { return m_port; }
    // What each connection sent before the script began, in order: a request head, or
    // whatever a client sent that never formed one (a TLS hello, say).
    std::vector<std::string> Received() const;
    // Waits until count connections have been read.
    bool WaitReceived(std::size_t count, std::chrono::milliseconds timeout);

private:
    void Serve();
    void Play(int client, const Script& script);
    bool Pause(std::chrono::milliseconds delay); // false when the server is being destroyed
    void SendForEver(int client, const std::string& bytes);

    std::vector<Script> m_scripts;
    int m_port = 0; // before m_listenFd, which sets it
    int m_listenFd = -1;
    int m_stopPipe[2] = {-1, -1};
    mutable std::mutex m_mutex;
    std::condition_variable m_received;
    std::vector<std::string> m_requests;
    std::thread m_thread;
};

// Answers every connection at once with the same bytes.
class CannedServer : public RawServer
{
public:
    explicit CannedServer(std::string response)
        : RawServer({{std::chrono::milliseconds(0), std::move(response)}})
    {}
};

// "127.0.0.1:port" with nobody listening on the port.
std::string ClosedAddress();

} // namespace download_tests
