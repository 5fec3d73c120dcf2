#pragma once

#include <cstdint>

namespace config {
class Config;
}

namespace download {

// No listing page comes near this; it keeps a mistyped setting from lifting the limit.
inline constexpr int kMaxPageLimitMiB = 1024;

// The largest page body a worker stores, in MiB: "Settings\DownLoad" "MaxPageSize", where a
// value below 1 reads as the default and one above kMaxPageLimitMiB as that ceiling.
int ReadPageLimitMiB(const config::Config& config);
// The limit when nothing is stored.
int DefaultPageLimitMiB();

inline std::uint64_t MiBToBytes(int mebibytes)
{
    return static_cast<std::uint64_t>(mebibytes) << 20;
}

} // namespace download
