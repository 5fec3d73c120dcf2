#pragma once

#include <string>

namespace batch {

// Opens a result page: with browserProgram empty, with the desktop's handler for the file;
// otherwise by starting that program, detached, with path as its one argument, unchanged.
// The outcome is not examined. Used by the window's prompts as well as batch mode's.
void OpenResultPage(const std::string& browserProgram, const std::string& path);

} // namespace batch
