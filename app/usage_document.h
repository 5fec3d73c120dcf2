#pragma once

#include <string>

namespace app {

// The usage document shipped with the program, for "使い方": README.md beside the program (a
// portable copy, the build folder), else in the installed documentation folder found from the
// program folder. Empty when neither is there. programFolder ends in "/".
std::string UsageDocument(const std::string& programFolder);

} // namespace app
