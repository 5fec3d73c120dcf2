#pragma once

#include <functional>
#include <list>
#include <memory>
#include <string>

namespace app {

// Opens result pages for the window without ever blocking it. A program that cannot be
// started is reported at once; one that fails (a desktop handler with no browser behind it)
// when it exits, from the event loop. A program still running when the launcher goes keeps
// running.
class ResultLauncher
{
public:
    // Called with the text for the user (UTF-8, in lines, the page's path last).
    using FailureHandler = std::function<void(const std::string& text)>;

    explicit ResultLauncher(FailureHandler onFailure);
    ~ResultLauncher();
    ResultLauncher(const ResultLauncher&) = delete;
    ResultLauncher& operator=(const ResultLauncher&) = delete;

    // browserProgram empty: the desktop's handler.
    void Open(const std::string& browserProgram, const std::string& path);
    // The programs started and not yet ended.
    std::size_t Running() const { return m_watches.size(); }

private:
    struct Watch;
    void OnEnded(Watch* watch);

    FailureHandler m_onFailure;
    std::list<std::unique_ptr<Watch>> m_watches;
};

} // namespace app
