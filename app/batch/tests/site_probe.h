#pragma once

#include <string>

// Loopback helpers for tests that run searches against the sample site.
namespace batch_test {

// A loopback port nobody listens on: bound once, then released.
int ClosedPort();

// The sample site's request log as a named pipe, so that a test waits for requests as they
// come instead of looking again and again.
class RequestFeed
{
public:
    explicit RequestFeed(std::string path);
    ~RequestFeed();
    RequestFeed(const RequestFeed&) = delete;
    RequestFeed& operator=(const RequestFeed&) = delete;

    // For the site's logPath.
    const std::string& Path() const { return m_path; }
    // Blocks until count requests in all have come; false when the feed broke.
    bool WaitForRequests(int count);

private:
    std::string m_path;
    int m_fd = -1; // open for writing too, so that no read ever sees end-of-file
    std::string m_text;
};

} // namespace batch_test
