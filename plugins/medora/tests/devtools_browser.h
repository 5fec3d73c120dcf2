#pragma once

#include <QJsonObject>
#include <QJsonValue>

#include <optional>
#include <spawn.h>
#include <string>
#include <sys/types.h>
#include <vector>

namespace medora_test {

// The full path of an executable found on PATH.
std::optional<std::string> FindProgram(const std::string& name);

// The command line of a headless chromium that reaches nothing outside by itself (no proxy,
// no background traffic, no first-run work), with its profile in profile and extra last.
std::vector<std::string> HeadlessChromium(const std::string& chromium, const std::string& profile,
                                          const std::vector<std::string>& extra);
// Starts args[0] with args and this environment but HOME=home, its descriptors as actions say;
// the child's pid, or -1.
pid_t SpawnWithHome(std::vector<std::string> args, const std::string& home,
                    const posix_spawn_file_actions_t& actions);

// How a page is shown: the viewport in CSS pixels, as a phone (mobile) or a desktop window.
struct Viewport
{
    int width = 1280;
    int height = 900;
    bool mobile = false;
    bool scripts = true;
};

// A headless chromium of its own (fresh profile, no proxy), driven over its DevTools pipe so a
// test can read a page's layout and log without any script in the page.
class DevToolsBrowser
{
public:
    DevToolsBrowser(const std::string& chromium, const std::string& scratchFolder);
    ~DevToolsBrowser();
    DevToolsBrowser(const DevToolsBrowser&) = delete;
    DevToolsBrowser& operator=(const DevToolsBrowser&) = delete;

    // Opens url in a new tab shown as viewport says and waits for its load event. Errors() from
    // then on are the new page's.
    bool Load(const std::string& url, const Viewport& viewport);
    // The value of an expression evaluated in the loaded page (null when it failed).
    QJsonValue Evaluate(const std::string& expression);
    // The loaded page's document as it stands.
    std::string DocumentHtml();
    // What the page reported as going wrong: console errors, uncaught exceptions, refusals.
    const std::vector<std::string>& Errors() const { return m_errors; }

private:
    QJsonObject Call(const char* method, const QJsonObject& params, bool inPage = true);
    std::optional<QJsonObject> Read();
    void Note(const QJsonObject& event);

    pid_t m_pid = -1;
    int m_toBrowser = -1;
    int m_fromBrowser = -1;
    int m_nextId = 1;
    std::string m_buffer;
    QString m_session;
    bool m_navigated = false;
    bool m_loaded = false;
    std::vector<std::string> m_errors;
};

} // namespace medora_test
