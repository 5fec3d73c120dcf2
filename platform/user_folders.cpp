// SPDX-License-Identifier: MIT
#include "platform/user_folders.h"

#include <cerrno>
#include <cstdlib>
#include <sys/stat.h>
#include <system_error>
#include <unistd.h>

namespace platform {
namespace {

constexpr char kFolderName[] = "vistrel/";

bool IsAbsolute(const std::optional<std::string>& value)
{
    return value && !value->empty() && value->front() == '/';
}

std::string WithSlash(std::string folder)
{
    if (folder.back() != '/')
        folder += '/';
    return folder;
}

// The XDG variable when it holds an absolute path, else HOME + fallback; empty when neither
// can be used.
std::string BaseFolder(const std::optional<std::string>& xdg, const FolderEnvironment& env,
                       const char* fallback)
{
    if (IsAbsolute(xdg))
        return WithSlash(*xdg);
    if (!IsAbsolute(env.home))
        return {};
    return WithSlash(*env.home) + fallback;
}

std::optional<std::string> Variable(const char* name)
{
    const char* value = std::getenv(name);
    return value ? std::optional<std::string>(value) : std::nullopt;
}

// mkdir -p with 0700 for every folder it makes.
int MakeFolderPath(const std::string& folder)
{
    for (std::size_t slash = folder.find('/', 1); slash != std::string::npos;
         slash = folder.find('/', slash + 1)) {
        const std::string part = folder.substr(0, slash);
        if (::mkdir(part.c_str(), 0700) != 0 && errno != EEXIST)
            return errno;
    }
    struct stat info = {};
    if (::stat(folder.c_str(), &info) != 0)
        return errno;
    return S_ISDIR(info.st_mode) ? 0 : ENOTDIR;
}

} // namespace

Result<UserFolders> ResolveUserFolders(const std::string& programFolder, bool programFolderWritable,
                                       const FolderEnvironment& env)
{
    if (programFolderWritable)
        return PortableFolders(programFolder);
    UserFolders folders;
    folders.mode = UserFolders::Mode::Installed;
    folders.config = BaseFolder(env.configHome, env, ".config/");
    folders.data = BaseFolder(env.dataHome, env, ".local/share/");
    folders.state = BaseFolder(env.stateHome, env, ".local/state/");
    if (folders.config.empty() || folders.data.empty() || folders.state.empty())
        return Failure{"HOME is not set to an absolute folder, so the per-user folders for "
                       "settings and results cannot be found (the program folder " +
                       programFolder + " is not writable)"};
    folders.config += kFolderName;
    folders.data += kFolderName;
    folders.state += kFolderName;
    return folders;
}

UserFolders PortableFolders(const std::string& programFolder)
{
    return {UserFolders::Mode::Portable, programFolder, programFolder, {}};
}

Result<UserFolders> CurrentUserFolders(const std::string& programFolder)
{
    FolderEnvironment env;
    env.home = Variable("HOME");
    env.configHome = Variable("XDG_CONFIG_HOME");
    env.dataHome = Variable("XDG_DATA_HOME");
    env.stateHome = Variable("XDG_STATE_HOME");
    const bool writable = !programFolder.empty() && ::access(programFolder.c_str(), W_OK) == 0;
    return ResolveUserFolders(programFolder, writable, env);
}

Result<> MakeUserFolders(const UserFolders& folders)
{
    if (folders.mode == UserFolders::Mode::Portable)
        return {};
    for (const std::string* folder : {&folders.config, &folders.data, &folders.state}) {
        if (const int err = MakeFolderPath(*folder); err != 0)
            return Failure{"cannot make the folder " + *folder + ": " +
                               std::generic_category().message(err),
                           err};
    }
    return {};
}

std::string SettingsFilePath(const UserFolders& folders)
{
    return folders.config + "Vistrel.ini";
}

std::string DefaultCacheFolder(const UserFolders& folders)
{
    return DefaultCacheFolder(folders.data);
}

std::string DefaultCacheFolder(const std::string& dataFolder)
{
    return dataFolder + "Cache";
}

std::string ErrorLogPath(const UserFolders& folders)
{
    return folders.state + "error.log";
}

std::string PluginSettingsFolder(const UserFolders& folders, const std::string& pluginName)
{
    return folders.config + "Plugin/" + pluginName + "/";
}

const char* ModeName(UserFolders::Mode mode)
{
    return mode == UserFolders::Mode::Installed ? "installed" : "portable";
}

} // namespace platform
