#include "download/page_limit.h"

#include "config/config_store.h"

#include <algorithm>

namespace download {

int ReadPageLimitMiB(const config::Config& config)
{
    const int stored = config.ReadInt(config::Key::MaxPageSize);
    // No page could be stored under a limit of nothing: 0 or less means "not set".
    if (stored < 1)
        return DefaultPageLimitMiB();
    return std::min(stored, kMaxPageLimitMiB);
}

int DefaultPageLimitMiB()
{
    return config::Info(config::Key::MaxPageSize).intDefault;
}

} // namespace download
