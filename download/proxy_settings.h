#pragma once

#include <string>
#include <string_view>

namespace config {
class Config;
}

namespace download {

// How a worker's session reaches the listing server.
enum class ProxyMode {
    Preconfigured, // the system's own settings: libcurl honours http_proxy / no_proxy
    Named,         // through the proxy "Host:Port", with no bypass list
    Direct,        // no proxy at all, whatever the environment says
};

struct ProxySettings
{
    ProxyMode mode = ProxyMode::Preconfigured;
    std::string proxy; // "%s:%d" of Host and Port; used in Named mode only
};

// The keys of "Settings\Proxy": "IESetting" (default 1) wins over "Enable" (default 0);
// "Host" (default empty) and "Port" (default 8080) are taken as they are, unchecked.
ProxySettings ReadProxySettings(const config::Config& config);

// The proxy a worker's session uses to reach host: the named one, the system's own for that
// host, or empty for none.
std::string ProxyFor(const ProxySettings& settings, std::string_view host);

// True when requests sent through proxy carry the whole address in their request line, as an
// HTTP or HTTPS proxy needs; a SOCKS proxy only relays the connection.
bool IsHttpProxy(std::string_view proxy);

} // namespace download
