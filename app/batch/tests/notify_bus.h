#pragma once

#include "platform/tests/temp_dir.h"
#include "spawned_program.h"

#include <gtest/gtest.h>

#include <memory>

namespace batch_test {

// A session bus of the test's own (never the machine's), a recording notification server on
// it, and the notifier run as batch mode runs it: in a process of its own.
class NotifyBusTest : public ::testing::Test
{
public:
    using Env = std::map<std::string, std::optional<std::string>>;
    using Fields = std::vector<std::string>;

protected:
    NotifyBusTest();
    ~NotifyBusTest() override;

    // The folder where the bus's socket is, named "bus".
    std::string RuntimeFolder() const { return m_dir.File("runtime"); }
    // Points the notifier at the test's bus only; no runtime folder to fall back to.
    Env BusEnv() const;
    // Starts the recording server with its options and waits until it owns its name.
    void StartServer(const std::vector<std::string>& options);
    // Runs the notifier to its end: what it printed.
    std::string Send(const std::vector<std::pair<std::string, std::string>>& news,
                     const std::string& waitMs = "-");
    std::string SendWith(const Env& env,
                         const std::vector<std::pair<std::string, std::string>>& news,
                         const std::string& waitMs = "-");
    // Ends the server: every call it had, as fields with escapes undone.
    std::vector<Fields> ServerCalls();
    // From now on the browser records how it was started and then stays, as a browser does,
    // until LetBrowserGo.
    void HoldBrowser();
    // Returns once the held browser has recorded its start, and ends it.
    void LetBrowserGo();

    testing_support::CTempDir m_dir;
    std::string m_address;
    std::string m_page = m_dir.File("my results/drama_東京_20261209_medora.html");
    std::string m_browser = m_dir.File("fake browser.sh");
    std::string m_browserRecord = m_dir.File("browser record.txt");
    std::string m_browserGate = m_dir.File("browser gate");
    std::unique_ptr<SpawnedProgram> m_daemon, m_server;
};

} // namespace batch_test
