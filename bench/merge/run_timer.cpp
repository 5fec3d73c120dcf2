#include "run_timer.h"

#include <chrono>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace bench {
namespace {

using Clock = std::chrono::steady_clock;

double Seconds(Clock::time_point start)
{
    return std::chrono::duration<double>(Clock::now() - start).count();
}

double CpuSeconds(const rusage& usage)
{
    auto seconds = [](const timeval& t) {
        return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_usec) / 1e6;
    };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

} // namespace

std::optional<CTiming> TimeProgram(const std::vector<std::string>& argv,
                                   const std::string& outputPath)
{
    std::vector<char*> args;
    args.reserve(argv.size() + 1);
    for (const std::string& arg : argv)
        args.push_back(const_cast<char*>(arg.c_str()));
    args.push_back(nullptr);
    // Byte semantics for awk, as medora compares bytes.
    std::vector<std::string> env = {"LC_ALL=C"};
    for (char** var = environ; *var != nullptr; ++var) {
        if (std::string_view(*var).substr(0, 7) != "LC_ALL=")
            env.emplace_back(*var);
    }
    std::vector<char*> envp;
    envp.reserve(env.size() + 1);
    for (std::string& var : env)
        envp.push_back(var.data());
    envp.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, outputPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                     0644);
    const Clock::time_point start = Clock::now();
    pid_t pid = 0;
    const int spawned = posix_spawnp(&pid, args[0], &actions, nullptr, args.data(), envp.data());
    posix_spawn_file_actions_destroy(&actions);
    if (spawned != 0)
        return std::nullopt;
    int status = 0;
    rusage usage{};
    if (wait4(pid, &status, 0, &usage) != pid || !WIFEXITED(status) || WEXITSTATUS(status) != 0)
        return std::nullopt;
    return CTiming{Seconds(start), CpuSeconds(usage)};
}

std::optional<CTiming> TimeCall(const std::function<bool()>& call)
{
    rusage before{};
    rusage after{};
    getrusage(RUSAGE_THREAD, &before);
    const Clock::time_point start = Clock::now();
    if (!call())
        return std::nullopt;
    const double wall = Seconds(start);
    getrusage(RUSAGE_THREAD, &after);
    return CTiming{wall, CpuSeconds(after) - CpuSeconds(before)};
}

std::string ResolveProgram(const std::string& name)
{
    const char* path = std::getenv("PATH");
    std::string_view dirs = path ? path : "/usr/bin:/bin";
    while (!dirs.empty()) {
        const std::size_t colon = dirs.find(':');
        const std::filesystem::path candidate = std::filesystem::path(dirs.substr(0, colon)) / name;
        std::error_code error;
        if (access(candidate.c_str(), X_OK) == 0)
            return std::filesystem::canonical(candidate, error).string();
        dirs.remove_prefix(colon == std::string_view::npos ? dirs.size() : colon + 1);
    }
    return name;
}

} // namespace bench
