#pragma once

#include "platform/result.h"

#include <string>
#include <string_view>

namespace platform {

// The prefix of every page file a search run downloads into.
inline constexpr std::string_view kTempFilePrefix = "~TV";

// The path of the system's temporary folder: TMPDIR when it is set, else /tmp; Failed when it
// is no folder.
Result<std::string> TempFolder();

// Creates a new, empty file with a unique name that starts with prefix in folder and closes it
// again; its path. The caller owns the file and deletes it.
Result<std::string> MakeTempFile(const std::string& folder,
                                 std::string_view prefix = kTempFilePrefix);

} // namespace platform
