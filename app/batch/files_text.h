// SPDX-License-Identifier: MIT
#pragma once

#include "platform/result.h"
#include "platform/user_folders.h"

#include <string>

namespace batch {

// The "Files" part of --help: whether the program runs portable or installed, and the settings
// file, plug-in settings, cache folder and error log it uses; or why the per-user folders cannot
// be found. programFolder ends in "/".
std::string FilesText(const platform::Result<platform::UserFolders>& folders,
                      const std::string& programFolder);

} // namespace batch
