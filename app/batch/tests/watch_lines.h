#pragma once

#include "notify_bus.h"

#include <string>
#include <vector>

// What a watched run printed, and what its page and its notification must then say.
namespace batch_test {

// One "OK" line: fresh is -1 for "-" (nothing to compare with).
struct Counted
{
    std::string keyword;
    int listings = -1;
    int fresh = -1;
};

// The exit code of a wait status; -1 when the program did not exit.
int ExitCode(int status);
std::vector<std::string> SplitFields(const std::string& line);
// lines must be a keyword's "OK" line each ("OK\t<keyword>\t<listings>\t<new|->").
std::vector<Counted> CountedLines(const std::vector<std::string>& lines);
int TotalNew(const std::vector<Counted>& counted);
// The notification the user should see for these lines, as the recording server prints it.
NotifyBusTest::Fields NotifyCall(const std::vector<Counted>& counted, bool actions);
// The page marks as many listings as the lines say are new, and the blocks with news say how
// many in the lines' order.
void ExpectPageAgrees(const std::string& path, const std::vector<Counted>& counted);

} // namespace batch_test
