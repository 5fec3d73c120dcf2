#include "download/proxy_settings.h"

#include "config/config_store.h"
#include "download/system_proxy.h"

#include <strings.h>

namespace download {

ProxySettings ReadProxySettings(const config::Config& config)
{
    const int ieSetting = config.ReadInt(config::Key::ProxyIESetting);
    const int enable = config.ReadInt(config::Key::ProxyEnable);
    const std::string host = config.ReadString(config::Key::ProxyHost);
    const int port = config.ReadInt(config::Key::ProxyPort);

    ProxySettings settings;
    settings.proxy = host + ":" + std::to_string(port);
    if (ieSetting != 0)
        settings.mode = ProxyMode::Preconfigured;
    else if (enable != 0)
        settings.mode = ProxyMode::Named;
    else
        settings.mode = ProxyMode::Direct;
    return settings;
}

std::string ProxyFor(const ProxySettings& settings, std::string_view host)
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
