#include "config/config_store.h"

#include "platform/user_folders.h"

#include <cassert>

namespace config {

int Config::ReadInt(Key key) const
{
    const KeyInfo& info = Info(key);
    assert(info.type == ValueType::Int);
    return m_profile.ReadInt(info.section, info.name, info.intDefault);
}

std::string Config::ReadString(Key key) const
{
    const KeyInfo& info = Info(key);
    assert(info.type == ValueType::String);
    return m_profile.ReadString(info.section, info.name, info.textDefault);
}

bool Config::WriteInt(Key key, int value) const
{
    const KeyInfo& info = Info(key);
    assert(info.type == ValueType::Int);
    return m_profile.WriteInt(info.section, info.name, value);
}

bool Config::WriteString(Key key, std::string_view value) const
{
    const KeyInfo& info = Info(key);
    assert(info.type == ValueType::String);
    return m_profile.WriteString(info.section, info.name, value);
}

std::string VistrelIniPath(const std::string& programFolder)
{
    return platform::SettingsFilePath(platform::PortableFolders(programFolder));
}

std::string CacheFolder(const Config& config, const std::string& dataFolder)
{
    std::string folder = config.ReadString(Key::CacheDirectory);
    if (folder.empty())
        folder = platform::DefaultCacheFolder(dataFolder);
    if (folder.back() != '/')
        folder += '/';
    return folder;
}

} // namespace config
