#pragma once

#include <string>
#include <sys/types.h>

namespace testing_support {

// A run folder with two page files, made by a child process in the temporary folder of the
// moment (TMPDIR). Ended: the child has ended and been waited for, as a run that died leaves
// its folder. Alive: the child waits until this object goes, as a run still under way.
// Make it before the test starts threads of its own: the child allocates after the fork.
class ChildRunFolder
{
public:
    enum class Child { Ended, Alive };

    explicit ChildRunFolder(Child child);
    ~ChildRunFolder();
    ChildRunFolder(const ChildRunFolder&) = delete;
    ChildRunFolder& operator=(const ChildRunFolder&) = delete;

    // Empty when the child could not make it.
    const std::string& Path() const { return m_path; }

private:
    std::string m_path;
    pid_t m_pid = -1;
    int m_lifeline = -1; // the child's end reads end-of-file when this object goes
};

} // namespace testing_support
