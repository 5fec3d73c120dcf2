#include "notify_bus.h"

#include "platform/tests/recording_program.h"

#include <csignal>
#include <fcntl.h>
#include <filesystem>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace batch_test {
namespace {

// Only what a session bus needs: no service folders, so that nothing of the machine's can be
// started on it.
std::string BusConfig(const std::string& socket)
{
    return "<!DOCTYPE busconfig PUBLIC \"-//freedesktop//DTD D-Bus Bus Configuration 1.0//EN\"\n"
           " \"http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd\">\n"
           "<busconfig>\n"
           "  <type>session</type>\n"
           "  <listen>unix:path=" +
           socket +
           "</listen>\n"
           "  <auth>EXTERNAL</auth>\n"
           "  <policy context=\"default\">\n"
           "    <allow send_destination=\"*\" eavesdrop=\"true\"/>\n"
           "    <allow eavesdrop=\"true\"/>\n"
           "    <allow own=\"*\"/>\n"
           "  </policy>\n"
           "</busconfig>\n";
}

std::string Unescaped(const std::string& field)
{
    std::string text;
    for (std::size_t i = 0; i < field.size(); ++i) {
        if (field[i] == '\\' && i + 1 < field.size()) {
            const char next = field[++i];
            text += next == 'n' ? '\n' : next == 't' ? '\t' : next;
        } else {
            text += field[i];
        }
    }
    return text;
}

} // namespace

NotifyBusTest::NotifyBusTest()
{
    std::filesystem::create_directory(RuntimeFolder());
    std::filesystem::create_directory(m_dir.File("my results"));
    testing_support::WriteRecordingProgram(m_browser, m_browserRecord);
    const std::string config = m_dir.File("bus.conf");
    testing_support::WriteFileBytes(config, BusConfig(RuntimeFolder() + "/bus"));
    m_daemon = std::make_unique<SpawnedProgram>(
        std::vector<std::string>{"dbus-daemon", "--config-file=" + config, "--print-address",
                                 "--nofork"},
        Env{});
    m_address = m_daemon->ReadLine().value_or("");
    EXPECT_FALSE(m_address.empty()) << "dbus-daemon gave no address";
}

NotifyBusTest::~NotifyBusTest()
{
    // A browser still held (a test that failed half way) is let go rather than left behind.
    const int gate = ::open(m_browserGate.c_str(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
    if (gate >= 0) {
        [[maybe_unused]] const ssize_t written = ::write(gate, "go\n", 3);
        ::close(gate);
    }
}

void NotifyBusTest::HoldBrowser()
{
    ASSERT_EQ(::mkfifo(m_browserGate.c_str(), 0600), 0);
    testing_support::WriteRecordingProgram(m_browser, m_browserRecord,
                                           "read line < '" + m_browserGate + "'");
}

void NotifyBusTest::LetBrowserGo()
{
    // Opening waits for the browser to open its end, which it does after recording.
    const int gate = ::open(m_browserGate.c_str(), O_WRONLY | O_CLOEXEC);
    ASSERT_GE(gate, 0);
    EXPECT_EQ(::write(gate, "go\n", 3), 3);
    ::close(gate);
}

NotifyBusTest::Env NotifyBusTest::BusEnv() const
{
    return {{"DBUS_SESSION_BUS_ADDRESS", m_address}, {"XDG_RUNTIME_DIR", m_dir.File("nowhere")}};
}

void NotifyBusTest::StartServer(const std::vector<std::string>& options)
{
    std::vector<std::string> argv{NOTIFICATION_SERVER_PATH};
    argv.insert(argv.end(), options.begin(), options.end());
    m_server = std::make_unique<SpawnedProgram>(argv, BusEnv());
    ASSERT_EQ(m_server->ReadLine(), "ready");
}

std::string NotifyBusTest::Send(const std::vector<std::pair<std::string, std::string>>& news,
                                const std::string& waitMs)
{
    return SendWith(BusEnv(), news, waitMs);
}

std::string NotifyBusTest::SendWith(const Env& env,
                                    const std::vector<std::pair<std::string, std::string>>& news,
                                    const std::string& waitMs)
{
    std::vector<std::string> argv{NOTIFY_SENDER_PATH, m_page, m_browser, waitMs};
    for (const auto& [keyword, count] : news) {
        argv.push_back(keyword);
        argv.push_back(count);
    }
    SpawnedProgram sender(argv, env);
    std::string out = sender.ReadAll();
    const int status = sender.Wait();
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
    return out;
}

std::vector<NotifyBusTest::Fields> NotifyBusTest::ServerCalls()
{
    std::vector<Fields> calls;
    if (!m_server)
        return calls;
    m_server->Signal(SIGTERM);
    while (const std::optional<std::string> line = m_server->ReadLine()) {
        Fields fields;
        std::size_t start = 0;
        for (std::size_t tab; (tab = line->find('\t', start)) != std::string::npos; start = tab + 1)
            fields.push_back(Unescaped(line->substr(start, tab - start)));
        fields.push_back(Unescaped(line->substr(start)));
        calls.push_back(fields);
    }
    m_server->Wait();
    return calls;
}

} // namespace batch_test
