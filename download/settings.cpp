#include "download/settings.h"

#include "download/page_limit.h"

namespace download {

Settings ReadSettings(const config::Config& config)
{
    Settings settings{ReadProxySettings(config), ReadPageLimitMiB(config)};
    return settings;
}

} // namespace download
