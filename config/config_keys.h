#pragma once

#include <span>
#include <string_view>

// Every key of Vistrel.ini, one row each: the only place that names a section, a key or a
// default. Readers and writers name the key by its enumerator.
namespace config {

enum class Key {
    CacheDirectory,
    ConnectNum,
    MaxPageSize,
    ProxyIESetting,
    ProxyEnable,
    ProxyHost,
    ProxyPort,
    OpenAuto,
    Browser,
    DLLName,
    Area,
    WindowLeft,
    WindowTop,
    WindowRight,
    WindowBottom,
    BarState,
    RecentFile1,
    RecentFile2,
    RecentFile3,
    RecentFile4,
};

enum class ValueType { Int, String };

struct KeyInfo
{
    Key key;
    std::string_view section;
    std::string_view name;
    ValueType type;
    int intDefault;               // for Int keys
    std::string_view textDefault; // for String keys
};

// The whole table, in the order of the enumeration.
std::span<const KeyInfo> AllKeys();
const KeyInfo& Info(Key key);

// "Recent File List" holds this many entries, "File1" the most recent.
inline constexpr int kRecentFileCount = 4;
Key RecentFileKey(int index); // index 0..kRecentFileCount-1

} // namespace config
