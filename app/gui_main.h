#pragma once

namespace app {

// The program with its window: runs until the main window closes; the process's exit code.
int RunGui(int argc, char* argv[]);

} // namespace app
