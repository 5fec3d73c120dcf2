#include "devtools_browser.h"

#include <QJsonDocument>

#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

using namespace Qt::StringLiterals;

namespace medora_test {

std::optional<std::string> FindProgram(const std::string& name)
{
    const char* path = std::getenv("PATH");
    std::string folders = path != nullptr ? path : "/usr/bin:/bin";
    for (std::size_t at = 0; at <= folders.size();) {
        std::size_t end = folders.find(':', at);
        if (end == std::string::npos)
            end = folders.size();
        const std::string candidate = folders.substr(at, end - at) + "/" + name;
        if (access(candidate.c_str(), X_OK) == 0)
            return candidate;
        at = end + 1;
    }
    return std::nullopt;
}

namespace {

// A pipe end moved above the descriptors the browser is to get, so that giving it 3 and 4
// never overwrites another end.
int HighDescriptor(int fd)
{
    const int high = fcntl(fd, F_DUPFD_CLOEXEC, 10);
    close(fd);
    return high;
}

} // namespace

std::vector<std::string> HeadlessChromium(const std::string& chromium, const std::string& profile,
                                          const std::vector<std::string>& extra)
{
    std::vector<std::string> args = {chromium,
                                     "--headless",
                                     "--no-sandbox",
                                     "--disable-gpu",
                                     "--no-first-run",
                                     "--disable-background-networking",
                                     "--disable-component-update",
                                     "--disable-sync",
                                     "--no-proxy-server",
                                     "--user-data-dir=" + profile};
    args.insert(args.end(), extra.begin(), extra.end());
    return args;
}

pid_t SpawnWithHome(std::vector<std::string> args, const std::string& home,
                    const posix_spawn_file_actions_t& actions)
{
    std::vector<char*> argv;
    argv.reserve(args.size() + 1);
    for (std::string& arg : args)
        argv.push_back(arg.data());
    argv.push_back(nullptr);
    std::string homeVariable = "HOME=" + home;
    std::vector<char*> envp;
    for (char** variable = environ; *variable != nullptr; ++variable) {
        if (std::string_view(*variable).substr(0, 5) != "HOME=")
            envp.push_back(*variable);
    }
    envp.push_back(homeVariable.data());
    envp.push_back(nullptr);
    pid_t pid = -1;
    if (posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), envp.data()) != 0)
        return -1;
    return pid;
}

DevToolsBrowser::DevToolsBrowser(const std::string& chromium, const std::string& scratchFolder)
{
    // A browser that died must fail the test, not kill it on the next write.
    std::signal(SIGPIPE, SIG_IGN);
    int toBrowser[2];
    int fromBrowser[2];
    if (pipe(toBrowser) != 0 || pipe(fromBrowser) != 0)
        return;
    for (int* fd : {&toBrowser[0], &toBrowser[1], &fromBrowser[0], &fromBrowser[1]})
        *fd = HighDescriptor(*fd);

    const std::string log = scratchFolder + "/devtools-browser.log";
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, toBrowser[0], 3);
    posix_spawn_file_actions_adddup2(&actions, fromBrowser[1], 4);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, log.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    m_pid = SpawnWithHome(
        HeadlessChromium(chromium, scratchFolder + "/devtools-profile",
                         {"--hide-scrollbars", "--remote-debugging-pipe", "about:blank"}),
        scratchFolder, actions);
    posix_spawn_file_actions_destroy(&actions);
    close(toBrowser[0]);
    close(fromBrowser[1]);
    m_toBrowser = toBrowser[1];
    m_fromBrowser = fromBrowser[0];
}

DevToolsBrowser::~DevToolsBrowser()
{
    if (m_pid > 0)
        Call("Browser.close", {}, false);
    close(m_toBrowser);
    close(m_fromBrowser);
    int status = 0;
    if (m_pid > 0)
        waitpid(m_pid, &status, 0);
}

bool DevToolsBrowser::Load(const std::string& url, const Viewport& viewport)
{
    const QJsonObject target = Call("Target.createTarget", {{u"url"_s, u"about:blank"_s}}, false);
    const QJsonObject attached =
        Call("Target.attachToTarget",
             {{u"targetId"_s, target[u"targetId"_s]}, {u"flatten"_s, true}}, false);
    m_session = attached[u"sessionId"_s].toString();
    if (m_session.isEmpty())
        return false;
    Call("Page.enable", {});
    Call("Runtime.enable", {});
    Call("Log.enable", {});
    Call("Emulation.setDeviceMetricsOverride", {{u"width"_s, viewport.width},
                                                {u"height"_s, viewport.height},
                                                {u"deviceScaleFactor"_s, 1},
                                                {u"mobile"_s, viewport.mobile}});
    Call("Emulation.setScriptExecutionDisabled", {{u"value"_s, !viewport.scripts}});
    m_navigated = m_loaded = false;
    m_errors.clear();
    const QJsonObject navigated = Call("Page.navigate", {{u"url"_s, QString::fromStdString(url)}});
    if (navigated.contains(u"errorText"_s))
        return false;
    while (!m_loaded) {
        const std::optional<QJsonObject> message = Read();
        if (!message)
            return false;
        Note(*message);
    }
    return true;
}

QJsonValue DevToolsBrowser::Evaluate(const std::string& expression)
{
    const QJsonObject answer =
        Call("Runtime.evaluate",
             {{u"expression"_s, QString::fromStdString(expression)}, {u"returnByValue"_s, true}});
    if (answer.contains(u"exceptionDetails"_s))
        return QJsonValue::Null;
    return answer[u"result"_s].toObject()[u"value"_s];
}

std::string DevToolsBrowser::DocumentHtml()
{
    const QJsonObject document = Call("DOM.getDocument", {{u"depth"_s, 0}});
    const QJsonObject html =
        Call("DOM.getOuterHTML", {{u"nodeId"_s, document[u"root"_s].toObject()[u"nodeId"_s]}});
    return html[u"outerHTML"_s].toString().toStdString();
}

// Sends one command and waits for its answer, noting the events that arrive meanwhile. An
// empty object when the browser is gone or refused the command.
QJsonObject DevToolsBrowser::Call(const char* method, const QJsonObject& params, bool inPage)
{
    const int id = m_nextId++;
    QJsonObject command{{u"id"_s, id}, {u"method"_s, QLatin1String(method)}, {u"params"_s, params}};
    if (inPage)
        command[u"sessionId"_s] = m_session;
    QByteArray bytes = QJsonDocument(command).toJson(QJsonDocument::Compact);
    bytes.append('\0');
    for (qsizetype sent = 0; sent < bytes.size();) {
        const ssize_t written = write(m_toBrowser, bytes.data() + sent, bytes.size() - sent);
        if (written <= 0)
            return {};
        sent += written;
    }
    for (;;) {
        const std::optional<QJsonObject> message = Read();
        if (!message)
            return {};
        if ((*message)[u"id"_s].toInt() == id)
            return (*message)[u"result"_s].toObject();
        Note(*message);
    }
}

// The next message from the browser; messages end in a NUL byte.
std::optional<QJsonObject> DevToolsBrowser::Read()
{
    for (;;) {
        const std::size_t end = m_buffer.find('\0');
        if (end != std::string::npos) {
            const QByteArray text(m_buffer.data(), static_cast<qsizetype>(end));
            m_buffer.erase(0, end + 1);
            return QJsonDocument::fromJson(text).object();
        }
        char chunk[65536];
        const ssize_t got = read(m_fromBrowser, chunk, sizeof chunk);
        if (got <= 0)
            return std::nullopt;
        m_buffer.append(chunk, static_cast<std::size_t>(got));
    }
}

void DevToolsBrowser::Note(const QJsonObject& event)
{
    const QString method = event[u"method"_s].toString();
    const QJsonObject params = event[u"params"_s].toObject();
    // The blank page the tab opened with may still report its own load.
    if (method == u"Page.frameNavigated"_s &&
        !params[u"frame"_s].toObject().contains(u"parentId"_s))
        m_navigated = params[u"frame"_s].toObject()[u"url"_s].toString() != u"about:blank"_s;
    else if (method == u"Page.loadEventFired"_s)
        m_loaded = m_navigated;
    else if (method == u"Runtime.exceptionThrown"_s || (method == u"Runtime.consoleAPICalled"_s &&
                                                        params[u"type"_s].toString() == u"error"_s))
        m_errors.push_back(QJsonDocument(params).toJson(QJsonDocument::Compact).toStdString());
    else if (method == u"Log.entryAdded"_s &&
             params[u"entry"_s].toObject()[u"level"_s].toString() == u"error"_s)
        m_errors.push_back(params[u"entry"_s].toObject()[u"text"_s].toString().toStdString());
}

} // namespace medora_test
