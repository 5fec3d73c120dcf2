#pragma once

#include <string>

namespace platform {
class CProfile;
}

namespace download {

// How a worker's session reaches the listing server.
enum class ProxyMode {
    Preconfigured, // the system's own settings: libcurl honours http_proxy / no_proxy
    Named,         // through the proxy "Host:Port", with no bypass list
    Direct,        // no proxy at all, whatever the environment says
};

struct CProxySettings
{
    ProxyMode mode = ProxyMode::Preconfigured;
    std::string proxy; // "%s:%d" of Host and Port; used in Named mode only
};

// The keys of "Settings\Proxy": "IESetting" (default 1) wins over "Enable" (default 0);
// "Host" (default empty) and "Port" (default 8080) are taken as they are, unchecked.
CProxySettings ReadProxySettings(const platform::CProfile& profile);

} // namespace download
