#include "config/config_keys.h"

#include <array>
#include <cassert>

namespace config {
namespace {

constexpr std::string_view kCache = "Settings\\Cache";
constexpr std::string_view kDownload = "Settings\\DownLoad";
constexpr std::string_view kProxy = "Settings\\Proxy";
constexpr std::string_view kEtc = "Settings\\etc";
constexpr std::string_view kPlugin = "Settings\\PlugIn";
constexpr std::string_view kQuery = "Settings\\Query";
constexpr std::string_view kWindowPos = "MainFrame\\WindowPos";
constexpr std::string_view kRecent = "Recent File List";

constexpr KeyInfo Int(Key key, std::string_view section, std::string_view name, int value)
{
    return {key, section, name, ValueType::Int, value, {}};
}

constexpr KeyInfo Text(Key key, std::string_view section, std::string_view name,
                       std::string_view value)
{
    return {key, section, name, ValueType::String, 0, value};
}

constexpr std::array kKeys{
    Text(Key::CacheDirectory, kCache, "Directory", ""),
    Int(Key::ConnectNum, kDownload, "ConnectNum", 5),
    // The largest page a worker stores, in MiB; a larger one fails its job.
    Int(Key::MaxPageSize, kDownload, "MaxPageSize", 16),
    Int(Key::ProxyIESetting, kProxy, "IESetting", 1),
    Int(Key::ProxyEnable, kProxy, "Enable", 0),
    Text(Key::ProxyHost, kProxy, "Host", ""),
    Int(Key::ProxyPort, kProxy, "Port", 8080),
    Int(Key::OpenAuto, kEtc, "OpenAuto", 0),
    Text(Key::Browser, kEtc, "Browser", ""),
    Text(Key::DLLName, kPlugin, "DLLName", "medora"),
    Int(Key::Area, kQuery, "Area", 8),
    Int(Key::WindowLeft, kWindowPos, "Left", 0),
    Int(Key::WindowTop, kWindowPos, "Top", 0),
    Int(Key::WindowRight, kWindowPos, "Right", 800),
    Int(Key::WindowBottom, kWindowPos, "Bottom", 600),
    // The toolkit's own layout of the bars, base64 text.
    Text(Key::BarState, "ControlBar\\State", "Layout", ""),
    Text(Key::RecentFile1, kRecent, "File1", ""),
    Text(Key::RecentFile2, kRecent, "File2", ""),
    Text(Key::RecentFile3, kRecent, "File3", ""),
    Text(Key::RecentFile4, kRecent, "File4", ""),
};

constexpr bool InEnumOrder()
{
    for (std::size_t i = 0; i < kKeys.size(); ++i) {
        if (static_cast<std::size_t>(kKeys[i].key) != i)
            return false;
    }
    return true;
}
static_assert(InEnumOrder(), "the key table must follow the order of config::Key");

} // namespace

std::span<const KeyInfo> AllKeys()
{
    return kKeys;
}

const KeyInfo& Info(Key key)
{
    return kKeys[static_cast<std::size_t>(key)];
}

Key RecentFileKey(int index)
{
    assert(index >= 0 && index < kRecentFileCount);
    return static_cast<Key>(static_cast<int>(Key::RecentFile1) + index);
}

} // namespace config
