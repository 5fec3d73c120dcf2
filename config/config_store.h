#pragma once

#include "config/config_keys.h"
#include "platform/profile.h"

#include <string>
#include <string_view>

namespace config {

// Typed reads and writes of Vistrel.ini by key. Nothing is cached: every read goes to the file
// and every write replaces it at once, so any number of these may exist side by side (the
// workers read the proxy keys from their own threads).
class Config
{
public:
    explicit Config(std::string iniPath)
        : m_profile(std::move(iniPath))
    {}

    const std::string& GetPath() const { return m_profile.GetPath(); }
    const platform::Profile& Profile() const { return m_profile; }

    // The stored value, or the key's default when the file, section or key is missing.
    // Reading an Int key as text (or the reverse) is a programming error.
    int ReadInt(Key key) const;
    std::string ReadString(Key key) const;

    // False when the file could not be written; it is then left as it was.
    bool WriteInt(Key key, int value) const;
    bool WriteString(Key key, std::string_view value) const;

private:
    platform::Profile m_profile;
};

// "Vistrel.ini" in the program folder (which ends in "/").
std::string VistrelIniPath(const std::string& programFolder);

// The folder a run's result file goes to, ending in "/": the configured "Directory", or
// "Cache" in dataFolder when it is empty. dataFolder is platform::UserFolders' data folder: the
// program folder in portable use.
std::string CacheFolder(const Config& config, const std::string& dataFolder);

} // namespace config
