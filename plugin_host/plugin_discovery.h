#pragma once

#include "plugin_host/plugin_module.h"

#include <memory>
#include <string>
#include <vector>

// The application's plug-in list, in discovery order; it owns its modules.
using CPluginList = std::vector<std::unique_ptr<CPluginModule>>;

// Releases the list, then loads every "*.so" file of folder (directories skipped) and keeps
// the libraries that answer with a non-empty display name. Libraries that cannot be loaded or
// have no name are skipped silently. A missing folder gives an empty list.
void DiscoverPlugins(const std::string& folder, CPluginList& list);

// Destroys every module in list order and empties the list.
void ReleasePlugins(CPluginList& list);
