#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace bench {

// Wall-clock seconds, and the processor seconds (user and system) spent in that time: on a
// busy machine the second tells more about the contender's own cost.
struct CTiming
{
    double wall = 0;
    double cpu = 0;
};

// Runs a program found on PATH with the given arguments (argv[0] included), its standard
// output going to outputPath and LC_ALL=C in its environment. Its time from start to exit, or
// nothing when it could not start or exited with a failure.
std::optional<CTiming> TimeProgram(const std::vector<std::string>& argv,
                                   const std::string& outputPath);

// The time a call on this thread took, or nothing when it returned false.
std::optional<CTiming> TimeCall(const std::function<bool()>& call);

// The program that a name on PATH resolves to, links followed ("/usr/bin/mawk" for awk).
std::string ResolveProgram(const std::string& name);

} // namespace bench
