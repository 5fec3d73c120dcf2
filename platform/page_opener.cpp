#include "platform/page_opener.h"

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <spawn.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <system_error>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace platform {
namespace {

std::string Quoted(const std::string& program)
{
    return "「" + program + "」";
}

// posix_spawn's settings for an opener: a session of its own, signals as a fresh program has
// them, no standard input, and its standard output on standard error, so that batch mode's
// output stays its own.
class SpawnSetup
{
public:
    SpawnSetup()
    {
        posix_spawnattr_init(&m_attr);
        sigset_t none, all;
        sigemptyset(&none);
        sigfillset(&all);
        posix_spawnattr_setsigmask(&m_attr, &none);
        posix_spawnattr_setsigdefault(&m_attr, &all);
        posix_spawnattr_setflags(&m_attr, POSIX_SPAWN_SETSID | POSIX_SPAWN_SETSIGMASK |
                                              POSIX_SPAWN_SETSIGDEF);
        posix_spawn_file_actions_init(&m_actions);
        posix_spawn_file_actions_addopen(&m_actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
        posix_spawn_file_actions_adddup2(&m_actions, STDERR_FILENO, STDOUT_FILENO);
    }
    ~SpawnSetup()
    {
        posix_spawn_file_actions_destroy(&m_actions);
        posix_spawnattr_destroy(&m_attr);
    }
    SpawnSetup(const SpawnSetup&) = delete;
    SpawnSetup& operator=(const SpawnSetup&) = delete;

    int Spawn(pid_t& pid, const std::string& program, const std::string& argument)
    {
        std::vector<char*> argv{const_cast<char*>(program.c_str()),
                                const_cast<char*>(argument.c_str()), nullptr};
        return posix_spawnp(&pid, program.c_str(), &m_actions, &m_attr, argv.data(), environ);
    }

private:
    posix_spawnattr_t m_attr;
    posix_spawn_file_actions_t m_actions;
};

} // namespace

OpenerProcess::OpenerProcess(std::string program, pid_t pid, int exitFd)
    : m_program(std::move(program))
    , m_pid(pid)
    , m_exitFd(exitFd)
{}

OpenerProcess::~OpenerProcess()
{
    if (m_exitFd >= 0)
        ::close(m_exitFd);
}

std::string OpenerProcess::Finish()
{
    if (m_finished)
        return {};
    m_finished = true;
    int status = 0;
    pid_t got;
    while ((got = ::waitpid(m_pid, &status, 0)) < 0 && errno == EINTR) {
    }
    if (got != m_pid)
        return {}; // reaped elsewhere: nothing to tell
    if (WIFEXITED(status) && WEXITSTATUS(status) == 0)
        return {};
    if (WIFSIGNALED(status))
        return Quoted(m_program) + "が異常終了しました (シグナル " +
               std::to_string(WTERMSIG(status)) + ")";
    return Quoted(m_program) + "が失敗しました (終了コード " + std::to_string(WEXITSTATUS(status)) +
           ")";
}

Result<std::unique_ptr<OpenerProcess>> StartOpener(const std::string& browserProgram,
                                                   const std::string& path)
{
    const std::string program = browserProgram.empty() ? "xdg-open" : browserProgram;
    pid_t pid = -1;
    SpawnSetup setup;
    if (const int err = setup.Spawn(pid, program, path); err != 0)
        return Failure{Quoted(program) + "を起動できません (" +
                           std::generic_category().message(err) + ")",
                       err};
    // The child is ours until reaped, so its ID cannot be taken by another process meanwhile.
    // glibc 2.36 declares pidfd_open without C linkage, so the system call is made directly.
    const int exitFd = static_cast<int>(::syscall(SYS_pidfd_open, pid, 0));
    return std::make_unique<OpenerProcess>(program, pid, exitFd);
}

std::string OpenFailureText(const std::string& path, const std::string& why)
{
    return "検索結果をブラウザで表示できませんでした。\n" + why + "\n" + path;
}

} // namespace platform
