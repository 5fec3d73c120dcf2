#include "download/proxy_settings.h"

#include "download/system_proxy.h"
#include "platform/profile.h"

#include <strings.h>

namespace download {

CProxySettings ReadProxySettings(const platform::CProfile& profile)
{
    static constexpr const char* kSection = "Settings\\Proxy";
    const int ieSetting = profile.ReadInt(kSection, "IESetting", 1);
    const int enable = profile.ReadInt(kSection, "Enable", 0);
    const std::string host = profile.ReadString(kSection, "Host", "");
    const int port = profile.ReadInt(kSection, "Port", 8080);

    CProxySettings settings;
    settings.proxy = host + ":" + std::to_string(port);
    if (ieSetting != 0)
        settings.mode = ProxyMode::Preconfigured;
    else if (enable != 0)
        settings.mode = ProxyMode::Named;
    else
        settings.mode = ProxyMode::Direct;
    return settings;
}

std::string ProxyFor(const CProxySettings& settings, std::string_view host)
{
    switch (settings.mode) {
    case ProxyMode::Preconfigured:
        return SystemProxyFor(host);
    case ProxyMode::Named:
        return settings.proxy;
    case ProxyMode::Direct:
        break;
    }
    return {};
}

bool IsHttpProxy(std::string_view proxy)
{
    const bool socks = proxy.size() >= 5 && strncasecmp(proxy.data(), "socks", 5) == 0;
    return !proxy.empty() && !socks;
}

} // namespace download
