#include "platform/program_folder.h"

#include <climits>
#include <unistd.h>

namespace platform {

std::string ProgramFolder()
{
    // /proc/self/exe names the process's main program even when a plug-in library asks.
    std::string path(PATH_MAX, '\0');
    ssize_t length = readlink("/proc/self/exe", path.data(), path.size());
    if (length <= 0 || static_cast<std::size_t>(length) >= path.size())
        return {};
    path.resize(static_cast<std::size_t>(length));
    std::string::size_type slash = path.rfind('/');
    if (slash == std::string::npos)
        return {};
    path.resize(slash + 1);
    return path;
}

std::string PluginFolder(const std::string& programFolder)
{
    return programFolder + "Plugin/";
}

} // namespace platform
