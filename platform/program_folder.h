#pragma once

#include <string>

namespace platform {

// The folder of the running program's executable (the process's main program, also when
// called from a plug-in library), ending in "/". Empty if the system cannot tell.
std::string ProgramFolder();

// The folder the plug-in libraries live in: the program folder followed by "Plugin/".
std::string PluginFolder(const std::string& programFolder);

} // namespace platform
