#pragma once

#include <string>
#include <string_view>

namespace download {

// The proxy the system's own settings name for a plain-HTTP request to host, read from the
// environment as libcurl reads it: "http_proxy", else "all_proxy" or "ALL_PROXY" (never
// "HTTP_PROXY"), unless "no_proxy" (else "NO_PROXY") covers the host. Empty values count as
// unset. The result is empty when no proxy is to be used.
std::string SystemProxyFor(std::string_view host);

// True when a no_proxy list covers host. The list holds names, domains (a leading "." is
// optional), addresses and address/bits ranges, separated by commas or blanks; "*" covers
// every host. Names compare without regard to case; a host covers its sub-domains.
bool IsNoProxyHost(std::string_view host, std::string_view list);

} // namespace download
