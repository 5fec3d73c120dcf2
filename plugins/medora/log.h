#pragma once

#include <string_view>

// medora has no window of its own to tell things in: what it gives up on goes to standard
// error, where a terminal or the systemd journal shows it.
namespace medora {

// Writes "medora: " + text + LF as one write, so lines of two threads never mix.
void LogLine(std::string_view text);

} // namespace medora
