#pragma once

#include "tools/listing_site/site_options.h"

#include <memory>
#include <string>
#include <vector>

namespace listing_site {

// One request as the site received it.
struct CLoggedRequest
{
    std::string requestLine;          // "GET /tv.php?... HTTP/1.0"
    std::vector<std::string> headers; // "Name: value"
};

// The sample listing site, served on 127.0.0.1 only from a thread of its own. It answers
// searches, redirects under /moved/, and absolute-form (proxy) targets itself: it never
// forwards a request anywhere.
class CListingServer
{
public:
    explicit CListingServer(CSiteOptions options);
    ~CListingServer();
    CListingServer(const CListingServer&) = delete;
    CListingServer& operator=(const CListingServer&) = delete;

    // Binds 127.0.0.1 on the configured port (0: a free one) and starts serving. Returns the
    // bound port, or -1 when the port cannot be bound or the site already runs.
    int Start();
    // Ends serving, also for requests held by --stall, and waits until the site has stopped.
    void Stop();

    int GetPort() const;
    // Every request received so far, in arrival order.
    std::vector<CLoggedRequest> GetRequests() const;

private:
    struct CImpl;
    std::unique_ptr<CImpl> m_pImpl;
};

} // namespace listing_site
