#pragma once

#include "app/batch/batch_args.h"
#include "config/config_store.h"
#include "plugin_host/plugin_discovery.h"

#include <ostream>
#include <string>

class CVistrelDoc;

namespace platform {
struct UserFolders;
}

namespace batch {

// What a batch search runs with, found the way the window finds it at start-up.
struct CBatchSetup
{
    CPluginList plugins;                    // owns the module below
    const CPluginModule* pPlugin = nullptr; // the chosen one
    int nArea = 0;                          // 1..47
    std::string strAreaName;                // UTF-8
};

// Checks the arguments against the configuration and the program folder (where the plug-ins
// are): the region, the keyword file (opened into doc, with at least one non-empty keyword)
// and the plug-in; makes the default cache folder as start-up does; and that the result
// page's path will print as one line. False after a message on err when any is wrong.
bool PrepareSearch(const BatchArgs& args, const config::Config& config,
                   const platform::UserFolders& folders, const std::string& programFolder,
                   CVistrelDoc& doc, CBatchSetup& setup, std::ostream& err);

} // namespace batch
