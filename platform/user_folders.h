// SPDX-License-Identifier: MIT
#pragma once

#include "platform/result.h"

#include <optional>
#include <string>

// Where the program and its plug-ins keep the files they write. A program folder the user may
// write is a portable copy (the build folder, a copy in the home folder): everything stays
// beside the program, as it always has. An installed program (under /usr or /opt, not writable)
// writes only to the user's own folders, found by the XDG base directory rules. Plug-in
// libraries and their read-only data always come from the program folder.
namespace platform {

struct UserFolders
{
    enum class Mode { Portable, Installed };
    Mode mode = Mode::Portable;
    // Each ends in "/". config: Vistrel.ini and "Plugin/<name>/" for each plug-in's settings;
    // data: the default "Cache" folder's parent; state: error.log's folder, where empty means
    // the current folder.
    std::string config;
    std::string data;
    std::string state;
};

// The variables the rule reads; nullopt for one that is not set.
struct FolderEnvironment
{
    std::optional<std::string> home;
    std::optional<std::string> configHome; // XDG_CONFIG_HOME
    std::optional<std::string> dataHome;   // XDG_DATA_HOME
    std::optional<std::string> stateHome;  // XDG_STATE_HOME
};

// The rule, with no side effects. programFolder ends in "/". Installed: each XDG variable that
// holds an absolute path names its folder; an unset, empty or relative one is ignored and
// $HOME/.config, $HOME/.local/share or $HOME/.local/state takes its place; "vistrel/" is added.
// Fails when such a default is needed and HOME is unset, empty or relative.
Result<UserFolders> ResolveUserFolders(const std::string& programFolder, bool programFolderWritable,
                                       const FolderEnvironment& env);

// Everything beside the program, whatever the environment.
UserFolders PortableFolders(const std::string& programFolder);

// The rule for this process: the program folder's writability as this user (access(W_OK),
// which honours read-only mounts) and the real environment.
Result<UserFolders> CurrentUserFolders(const std::string& programFolder);

// Makes the folders of the installed mode that are missing, parents included, each new one with
// mode 0700; an existing folder keeps its mode. Portable mode makes nothing.
Result<> MakeUserFolders(const UserFolders& folders);

// The paths built on the folders.
std::string SettingsFilePath(const UserFolders& folders);      // config + "Vistrel.ini"
std::string DefaultCacheFolder(const UserFolders& folders);    // data + "Cache"
std::string DefaultCacheFolder(const std::string& dataFolder); // the same, from the data folder
std::string ErrorLogPath(const UserFolders& folders);          // state + "error.log"
std::string PluginSettingsFolder(const UserFolders& folders,   // config + "Plugin/<name>/"
                                 const std::string& pluginName);

// "portable" or "installed", for --help.
const char* ModeName(UserFolders::Mode mode);

} // namespace platform
