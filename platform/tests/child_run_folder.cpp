#include "platform/tests/child_run_folder.h"

#include "platform/run_folder.h"

#include <cerrno>
#include <sys/wait.h>
#include <unistd.h>

namespace testing_support {

ChildRunFolder::ChildRunFolder(Child child)
{
    int pathPipe[2], lifeline[2];
    if (::pipe(pathPipe) != 0)
        return;
    if (::pipe(lifeline) != 0) {
        ::close(pathPipe[0]);
        ::close(pathPipe[1]);
        return;
    }
    m_pid = ::fork();
    if (m_pid == 0) {
        ::close(pathPipe[0]);
        ::close(lifeline[1]);
        platform::RunFolder folder;
        if (!folder.MakeFile() || !folder.MakeFile())
            ::_exit(1);
        const std::string& path = folder.Path();
        if (::write(pathPipe[1], path.data(), path.size()) != static_cast<ssize_t>(path.size()))
            ::_exit(1);
        ::close(pathPipe[1]);
        char byte;
        ssize_t n; // until the parent closes its end, or goes away
        while (child == Child::Alive &&
               ((n = ::read(lifeline[0], &byte, 1)) > 0 || (n < 0 && errno == EINTR))) {
        }
        ::_exit(0); // no destructor runs: the folder stays as a dead run leaves it
    }
    ::close(pathPipe[1]);
    ::close(lifeline[0]);
    m_lifeline = lifeline[1];
    char buffer[4096];
    ssize_t n;
    while ((n = ::read(pathPipe[0], buffer, sizeof buffer)) > 0)
        m_path.append(buffer, static_cast<std::size_t>(n));
    ::close(pathPipe[0]);
    if (child == Child::Ended && m_pid > 0) {
        ::close(m_lifeline);
        m_lifeline = -1;
        ::waitpid(m_pid, nullptr, 0);
        m_pid = -1;
    }
}

ChildRunFolder::~ChildRunFolder()
{
    if (m_lifeline >= 0)
        ::close(m_lifeline);
    if (m_pid > 0)
        ::waitpid(m_pid, nullptr, 0);
}

} // namespace testing_support
