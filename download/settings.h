#pragma once

#include "download/page_limit.h"
#include "download/proxy_settings.h"

#include <chrono>

namespace config {
class Config;
}

namespace download {

// Everything a worker takes from the configuration, read once on the run's thread and handed
// to each worker before it starts: a worker never reads the configuration file itself, and a
// change in the Options dialog reaches the next run only.
struct Settings
{
    static constexpr std::chrono::milliseconds kConnectTimeout{30000};
    static constexpr std::chrono::seconds kStallTimeout{60};
    static constexpr std::chrono::milliseconds kJobTimeout{std::chrono::minutes(10)};

    ProxySettings proxy;
    int pageLimitMiB = DefaultPageLimitMiB(); // the largest page body stored, in MiB
    // A job fails when connecting takes longer than connectTimeout, when nothing arrives on
    // the connection for stallTimeout (header bytes count as they arrive), or when the whole
    // job, every redirect included, takes longer than jobTimeout.
    std::chrono::milliseconds connectTimeout = kConnectTimeout;
    std::chrono::seconds stallTimeout = kStallTimeout;
    std::chrono::milliseconds jobTimeout = kJobTimeout;
};

// The proxy keys and the page limit as stored, with the default time limits.
Settings ReadSettings(const config::Config& config);

} // namespace download
