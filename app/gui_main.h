#pragma once

#include <string>

namespace app {

// The program with its window, opening file (none when empty); runs until the main window
// closes and gives the process's exit code. argv still holds Qt's own options, for Qt.
int RunGui(int argc, char* argv[], const std::string& file);

} // namespace app
