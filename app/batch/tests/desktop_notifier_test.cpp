// --notify against a notification server of the test's own, on a session bus of its own.
#include "notify_bus.h"

#include "app/batch/desktop_notifier.h"
#include "platform/tests/scoped_env.h"
#include "platform/tests/temp_dir.h"

#include <gmock/gmock.h>

#include <algorithm>
#include <csignal>
#include <filesystem>
#include <sstream>
#include <sys/wait.h>

namespace batch_test {
namespace {

using News = std::vector<std::pair<std::string, std::string>>;
using ::testing::ElementsAre;
using ::testing::StartsWith;

const NotifyBusTest::Fields kCapabilitiesCall{"GetCapabilities"};

struct CallCase
{
    std::vector<std::string> serverOptions;
    News news;
    std::string summary, body, actions;
};

class NotifyCallTest : public NotifyBusTest, public ::testing::WithParamInterface<CallCase>
{
};

// Without actions the notifier must not wait, so these servers never answer a click either.
TEST_P(NotifyCallTest, SendsOneNotificationWithTheNews)
{
    StartServer(GetParam().serverOptions);
    EXPECT_EQ(Send(GetParam().news), "notified\n");
    EXPECT_THAT(ServerCalls(), ElementsAre(kCapabilitiesCall,
                                           NotifyBusTest::Fields{
                                               "Notify", "Vistrel", "0", "vistrel",
                                               GetParam().summary, GetParam().body,
                                               GetParam().actions, "desktop-entry=vistrel", "-1"}));
    EXPECT_FALSE(std::filesystem::exists(m_browserRecord));
}

const News kSeven{{"大河ドラマ", "3"}, {"ニュース", "1"}, {"映画", "2"}, {"将棋", "1"},
                  {"落語", "4"},       {"相撲", "1"},     {"紀行", "2"}};

INSTANTIATE_TEST_SUITE_P(
    Cases, NotifyCallTest,
    ::testing::Values(
        CallCase{{"--actions", "--then=close"},
                 {{"大河ドラマ", "3"}},
                 "Vistrel: 新着 3 件",
                 "大河ドラマ 3 件",
                 "default|結果ページを開く"},
        CallCase{{},
                 {{"大河ドラマ", "3"}, {"ニュース", "0"}, {"映画", "2"}},
                 "Vistrel: 新着 5 件",
                 "大河ドラマ 3 件\n映画 2 件",
                 ""},
        CallCase{
            {},
            kSeven,
            "Vistrel: 新着 14 件",
            "大河ドラマ 3 件\nニュース 1 件\n映画 2 件\n将棋 1 件\n落語 4 件\nほか 2 キーワード",
            ""},
        CallCase{{"--markup"},
                 {{"R&B <live>", "1"}},
                 "Vistrel: 新着 1 件",
                 "R&amp;B &lt;live&gt; 1 件",
                 ""},
        // The bus takes only valid UTF-8: a broken keyword arrives with its bad byte replaced.
        CallCase{{}, {{"ab\xff", "1"}}, "Vistrel: 新着 1 件", "ab\uFFFD 1 件", ""}));

struct ActionCase
{
    std::string then;   // what the server does after the notification
    std::string waitMs; // how long the notifier waits for it
    bool opened;
};

class NotifyActionTest : public NotifyBusTest, public ::testing::WithParamInterface<ActionCase>
{
};

TEST_P(NotifyActionTest, OpensThePageOnlyWhenItsOwnNotificationIsClicked)
{
    HoldBrowser();
    StartServer({"--actions", "--then=" + GetParam().then});
    // The notifier has ended while the browser stays.
    EXPECT_EQ(Send({{"大河ドラマ", "3"}}, GetParam().waitMs), "notified\n");
    if (GetParam().opened) {
        LetBrowserGo();
        // The configured browser, with the page's path as its one argument.
        EXPECT_THAT(testing_support::ReadFileBytes(m_browserRecord),
                    StartsWith("1|" + m_page + "|"));
    } else {
        EXPECT_FALSE(std::filesystem::exists(m_browserRecord));
    }
}

INSTANTIATE_TEST_SUITE_P(Cases, NotifyActionTest,
                         ::testing::Values(ActionCase{"click", "-", true},
                                           ActionCase{"close", "-", false},
                                           // another notification's click is not ours
                                           ActionCase{"click-other", "-", false},
                                           // nothing comes, and the wait is over at once
                                           ActionCase{"none", "0", false}));

struct SignalCase
{
    std::string then;    // what the server does after the notification
    std::string printed; // by the notifier, before the signal's number
};

class NotifySignalTest : public NotifyBusTest, public ::testing::WithParamInterface<SignalCase>
{
};

// A signal while the notifier waits, for the click or for a server that does not answer, ends
// the wait at once; the page stays closed.
TEST_P(NotifySignalTest, ASignalEndsTheWait)
{
    StartServer({"--actions", "--then=" + GetParam().then});
    SpawnedProgram sender({NOTIFY_SENDER_PATH, m_page, m_browser, "-", "大河ドラマ", "3"},
                          BusEnv());
    ASSERT_EQ(m_server->ReadLine(), "GetCapabilities");
    ASSERT_THAT(m_server->ReadLine().value_or(""), StartsWith("Notify\t"));
    if (GetParam().then == "ping") { // the wait for the click has begun, or is about to
        ASSERT_EQ(m_server->ReadLine(), "answered");
    }
    sender.Signal(SIGTERM);
    EXPECT_EQ(sender.ReadAll(), GetParam().printed + "\nsignal\t15\n");
    const int status = sender.Wait();
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
    EXPECT_FALSE(std::filesystem::exists(m_browserRecord));
}

INSTANTIATE_TEST_SUITE_P(Cases, NotifySignalTest,
                         ::testing::Values(SignalCase{"ping", "notified"},
                                           SignalCase{"hang", "failed\t中断しました"}));

// Nothing to tell: no bus is looked for and nothing is said.
TEST(NotifyNothingTest, NoNewsNeedsNoBus)
{
    const testing_support::CTempDir dir;
    const testing_support::CScopedEnv noBus{{"DBUS_SESSION_BUS_ADDRESS", "unix:path=/nonexistent"},
                                            {"XDG_RUNTIME_DIR", dir.Path().c_str()}};
    for (const std::vector<batch::KeywordNews>& news :
         {std::vector<batch::KeywordNews>{}, std::vector<batch::KeywordNews>{{"映画", 0}}}) {
        std::ostringstream err;
        EXPECT_EQ(batch::NotifyDesktop(news, dir.File("page.html"), "", -1, err), "");
        EXPECT_EQ(err.str(), "");
    }
}

class NotifyEmptyTest : public NotifyBusTest, public ::testing::WithParamInterface<News>
{
};

TEST_P(NotifyEmptyTest, NoNewsSendsNothing)
{
    StartServer({"--actions"});
    EXPECT_EQ(Send(GetParam()), "notified\n");
    EXPECT_THAT(ServerCalls(), ::testing::IsEmpty());
}

INSTANTIATE_TEST_SUITE_P(Cases, NotifyEmptyTest,
                         ::testing::Values(News{}, News{{"大河ドラマ", "0"}, {"映画", "0"}}));

enum class Fault { DeadSocket, NoAddress, BadAddress, NoServer, ErrorAnswer };

struct FaultCase
{
    Fault fault;
    std::string reason; // how the reason begins
};

class NotifyFaultTest : public NotifyBusTest, public ::testing::WithParamInterface<FaultCase>
{
};

TEST_P(NotifyFaultTest, TellsWhyTheDesktopCouldNotBeTold)
{
    Env env = BusEnv();
    switch (GetParam().fault) {
    case Fault::DeadSocket:
        env["DBUS_SESSION_BUS_ADDRESS"] = "unix:path=" + m_dir.File("gone");
        break;
    case Fault::NoAddress:
        env["DBUS_SESSION_BUS_ADDRESS"] = std::nullopt;
        break;
    case Fault::BadAddress:
        env["DBUS_SESSION_BUS_ADDRESS"] = "nonsense";
        break;
    case Fault::NoServer:
        break;
    case Fault::ErrorAnswer:
        StartServer({"--actions", "--then=fail"});
        break;
    }
    const std::string out = SendWith(env, {{"大河ドラマ", "3"}});
    EXPECT_THAT(out, StartsWith("failed\t" + GetParam().reason));
    EXPECT_EQ(std::count(out.begin(), out.end(), '\n'), 1) << out; // the reason is one line
    EXPECT_FALSE(std::filesystem::exists(m_browserRecord));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, NotifyFaultTest,
    ::testing::Values(FaultCase{Fault::DeadSocket, "セッションバスに接続できません ("},
                      FaultCase{Fault::NoAddress, "セッションバスがありません"},
                      FaultCase{Fault::BadAddress, "セッションバスに接続できません ("},
                      FaultCase{Fault::NoServer, "通知サービスがありません"},
                      FaultCase{Fault::ErrorAnswer,
                                "通知サービスがエラーを返しました "
                                "(org.freedesktop.DBus.Error.Failed: no room)"}));

class NotifyRuntimeFolderTest : public NotifyBusTest,
                                public ::testing::WithParamInterface<std::string>
{
};

// Under cron and in some user services only the runtime folder tells where the bus is. Its
// path goes into a bus address, where spaces and other bytes must be escaped.
TEST_P(NotifyRuntimeFolderTest, WithoutAnAddressTheBusInTheRuntimeFolderIsUsed)
{
    const std::string folder = m_dir.File(GetParam());
    if (!std::filesystem::exists(folder))
        std::filesystem::create_directory_symlink(RuntimeFolder(), folder);
    StartServer({});
    const std::string out =
        SendWith({{"DBUS_SESSION_BUS_ADDRESS", std::nullopt}, {"XDG_RUNTIME_DIR", folder}},
                 {{"大河ドラマ", "3"}});
    EXPECT_EQ(out, "notified\n");
    EXPECT_EQ(ServerCalls().size(), 2u);
}

INSTANTIATE_TEST_SUITE_P(Cases, NotifyRuntimeFolderTest,
                         ::testing::Values("runtime", "run time 東京", "a;b,c=d%e'f"));

} // namespace
} // namespace batch_test
