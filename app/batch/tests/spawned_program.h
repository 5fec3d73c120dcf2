#pragma once

#include <cstdio>
#include <map>
#include <optional>
#include <string>
#include <sys/types.h>
#include <vector>

namespace batch_test {

// A program the test runs, with its standard output on a pipe the test reads; its standard
// error is the test's, or goes to the file errPath names. env changes the test's environment
// for it: a name mapped to nothing is removed. It starts in workFolder, else in the test's
// current folder. Killed and waited for when the object goes, if still running.
class SpawnedProgram
{
public:
    SpawnedProgram(const std::vector<std::string>& argv,
                   const std::map<std::string, std::optional<std::string>>& env,
                   const std::string& errPath = {}, const std::string& workFolder = {});
    ~SpawnedProgram();
    SpawnedProgram(const SpawnedProgram&) = delete;
    SpawnedProgram& operator=(const SpawnedProgram&) = delete;

    bool Started() const { return m_pid > 0; }
    // The next line of its output without the line break; none at the end of its output.
    std::optional<std::string> ReadLine();
    // The rest of its output.
    std::string ReadAll();
    void Signal(int signal);
    // Waits for its end: the wait status.
    int Wait();

private:
    pid_t m_pid = -1;
    std::FILE* m_out = nullptr;
};

} // namespace batch_test
