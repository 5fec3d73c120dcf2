#include "spawned_program.h"

#include <csignal>
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace batch_test {
namespace {

std::vector<std::string> Environment(const std::map<std::string, std::optional<std::string>>& env)
{
    std::vector<std::string> entries;
    for (char** entry = environ; *entry; ++entry) {
        const std::string text = *entry;
        if (!env.contains(text.substr(0, text.find('='))))
            entries.push_back(text);
    }
    for (const auto& [name, value] : env) {
        if (value)
            entries.push_back(name + "=" + *value);
    }
    return entries;
}

std::vector<char*> Pointers(std::vector<std::string>& texts)
{
    std::vector<char*> pointers;
    pointers.reserve(texts.size() + 1);
    for (std::string& text : texts)
        pointers.push_back(text.data());
    pointers.push_back(nullptr);
    return pointers;
}

} // namespace

SpawnedProgram::SpawnedProgram(const std::vector<std::string>& argv,
                               const std::map<std::string, std::optional<std::string>>& env,
                               const std::string& errPath, const std::string& workFolder)
{
    int fds[2];
    if (::pipe2(fds, O_CLOEXEC) != 0)
        return;
    std::vector<std::string> args = argv;
    std::vector<std::string> envTexts = Environment(env);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, fds[1], STDOUT_FILENO);
    if (!errPath.empty())
        posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, errPath.c_str(),
                                         O_WRONLY | O_CREAT | O_TRUNC, 0600);
    if (!workFolder.empty())
        posix_spawn_file_actions_addchdir_np(&actions, workFolder.c_str());
    if (::posix_spawnp(&m_pid, args[0].c_str(), &actions, nullptr, Pointers(args).data(),
                       Pointers(envTexts).data()) != 0)
        m_pid = -1;
    posix_spawn_file_actions_destroy(&actions);
    ::close(fds[1]);
    m_out = ::fdopen(fds[0], "r");
}

SpawnedProgram::~SpawnedProgram()
{
    if (m_pid > 0) {
        Signal(SIGKILL);
        Wait();
    }
    if (m_out)
        std::fclose(m_out);
}

std::optional<std::string> SpawnedProgram::ReadLine()
{
    std::string line;
    int c;
    while (m_out && (c = std::fgetc(m_out)) != EOF) {
        if (c == '\n')
            return line;
        line += static_cast<char>(c);
    }
    if (line.empty())
        return std::nullopt;
    return line;
}

std::string SpawnedProgram::ReadAll()
{
    std::string all;
    while (const std::optional<std::string> line = ReadLine())
        all += *line + "\n";
    return all;
}

void SpawnedProgram::Signal(int signal)
{
    if (m_pid > 0)
        ::kill(m_pid, signal);
}

int SpawnedProgram::Wait()
{
    int status = -1;
    if (m_pid > 0 && ::waitpid(m_pid, &status, 0) == m_pid)
        m_pid = -1;
    return status;
}

} // namespace batch_test
