#pragma once

#include "platform/result.h"

#include <memory>
#include <string>
#include <sys/types.h>

// Shows a page as the user's desktop would, for the window and batch mode alike: a program is
// started with the page's path and watched for how it ends.
namespace platform {

// A program started to show a result page. It runs on its own (its own session, so that a
// Ctrl+C meant for the search does not end the browser); destroying this object leaves it
// running.
class OpenerProcess
{
public:
    OpenerProcess(std::string program, pid_t pid, int exitFd);
    ~OpenerProcess();
    OpenerProcess(const OpenerProcess&) = delete;
    OpenerProcess& operator=(const OpenerProcess&) = delete;

    // Becomes readable once the program has ended, for an event loop to watch; -1 when the
    // system offers no such descriptor (then only Finish can tell).
    int ExitFd() const { return m_exitFd; }
    // Waits for the program's end; why it failed (UTF-8), or empty when it exited with 0.
    std::string Finish();

private:
    std::string m_program;
    pid_t m_pid;
    int m_exitFd;
    bool m_finished = false;
};

// Starts browserProgram (found on PATH when it has no "/") with path as its one argument,
// unchanged; with browserProgram empty, the desktop's handler for the file, xdg-open. The
// failure's text says why it could not start.
Result<std::unique_ptr<OpenerProcess>> StartOpener(const std::string& browserProgram,
                                                   const std::string& path);

// What the user is told when a result page could not be shown: that, why, and the page's path
// so that they can open it themselves. UTF-8, in lines.
std::string OpenFailureText(const std::string& path, const std::string& why);

} // namespace platform
