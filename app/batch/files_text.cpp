// SPDX-License-Identifier: MIT
#include "app/batch/files_text.h"

#include "config/config_store.h"
#include "platform/program_folder.h"

namespace batch {

std::string FilesText(const platform::Result<platform::UserFolders>& folders,
                      const std::string& programFolder)
{
    std::string text = "\nFiles (";
    if (!folders)
        return text + "none can be used): " + folders.error + "\n";
    const platform::UserFolders& in = folders.value;
    const bool portable = in.mode == platform::UserFolders::Mode::Portable;
    text += platform::ModeName(in.mode);
    text += portable ? ": the program folder " + programFolder + " is writable):\n"
                     : ": the program folder " + programFolder +
                           " is not writable, so the user's own folders are used):\n";
    const config::Config config(platform::SettingsFilePath(in));
    const std::string cache = config::CacheFolder(config, in.data);
    const bool stored = !config.ReadString(config::Key::CacheDirectory).empty();
    text += "  settings         " + config.GetPath() + "\n";
    text += "  plug-in settings " + platform::PluginSettingsFolder(in, "NAME") + "\n";
    text += "  cache folder     " + cache +
            (stored ? " (from \"Settings\\Cache\" \"Directory\")\n" : "\n");
    text += "  error log        " + platform::ErrorLogPath(in) +
            (in.state.empty() ? " in the current folder\n" : "\n");
    text += "  plug-ins         " + platform::PluginFolder(programFolder) + "\n";
    return text;
}

} // namespace batch
