#include "config/config_store.h"
#include "download/proxy_settings.h"
#include "download/tests/worker_harness.h"
#include "platform/tests/scoped_env.h"

#include <filesystem>

namespace download_tests {
namespace {

struct ModeCase
{
    const char* name;
    int ieSetting; // -1: no configuration file at all
    int enable;
    bool envProxy; // http_proxy names the proxy
    bool noProxy;  // no_proxy names the page's server
    bool viaProxy; // the request must go through the proxy
};

void PrintTo(const ModeCase& c, std::ostream* os)
{
    *os << c.name;
}

class ProxyModeTest : public WorkerTest, public ::testing::WithParamInterface<ModeCase>
{
};

struct SettingsCase
{
    const char* name;
    std::string ini; // "-": no configuration file at all
    download::ProxyMode mode;
    std::string proxy;
};

void PrintTo(const SettingsCase& c, std::ostream* os)
{
    *os << c.name;
}

class ProxySettingsTest : public ::testing::TestWithParam<SettingsCase>
{
};

TEST_P(ProxySettingsTest, ChooseTheModeAndFormTheProxyString)
{
    testing_support::CTempDir dir;
    const std::string path = dir.File("Vistrel.ini");
    if (GetParam().ini != "-")
        testing_support::WriteFileBytes(path, GetParam().ini);
    const download::ProxySettings settings = download::ReadProxySettings(config::Config(path));
    EXPECT_EQ(settings.mode, GetParam().mode);
    EXPECT_EQ(settings.proxy, GetParam().proxy);
}

using download::ProxyMode;
INSTANTIATE_TEST_SUITE_P(
    Keys, ProxySettingsTest,
    ::testing::Values(
        SettingsCase{"NoFile", "-", ProxyMode::Preconfigured, ":8080"},
        SettingsCase{"NoSection", "[Settings\\DownLoad]\nConnectNum=4\n", ProxyMode::Preconfigured,
                     ":8080"},
        SettingsCase{"SystemWinsOverEnable",
                     "[Settings\\Proxy]\nIESetting=1\nEnable=1\nHost=proxy\nPort=3128\n",
                     ProxyMode::Preconfigured, "proxy:3128"},
        SettingsCase{"NamedWithEmptyHost", "[Settings\\Proxy]\nIESetting=0\nEnable=1\n",
                     ProxyMode::Named, ":8080"},
        SettingsCase{"NamedAnyNonZero", "[Settings\\Proxy]\nIESetting=0\nEnable=-1\nHost=proxy\n",
                     ProxyMode::Named, "proxy:8080"},
        SettingsCase{"NamedTakesValuesUnchecked",
                     "[settings\\proxy]\niesetting=0\nenable=1\nhost=a b\nport=-5\n",
                     ProxyMode::Named, "a b:-5"},
        SettingsCase{"DirectIgnoresHostAndPort",
                     "[Settings\\Proxy]\nIESetting=0\nEnable=0\nHost=proxy\nPort=3128\n",
                     ProxyMode::Direct, "proxy:3128"}),
    [](const auto& info) { return std::string(info.param.name); });

// The page's server is a closed port, so a job can only succeed through the proxy, which the
// sample site plays by answering absolute-form targets itself.
TEST_P(ProxyModeTest, RoutesTheRequestAsConfiguredAtTheWorkersStart)
{
    const ModeCase& mode = GetParam();
    const std::string proxy = StartSite();
    const std::string proxyPort = proxy.substr(proxy.find(':') + 1);
    const std::string target = ClosedAddress();
    // With the system's settings chosen, Host and Port must not matter: they name a closed
    // port, so only the environment's proxy can make the job succeed.
    const std::string closedPort = target.substr(target.find(':') + 1);
    if (mode.ieSetting < 0)
        std::filesystem::remove(m_profile);
    else
        WriteProxyProfile(mode.ieSetting, mode.enable, "127.0.0.1",
                          std::stoi(mode.ieSetting != 0 ? closedPort : proxyPort));
    const std::string proxyUrl = "http://" + proxy;
    const testing_support::CScopedEnv env{
        {"http_proxy", mode.envProxy ? proxyUrl.c_str() : nullptr},
        {"no_proxy", mode.noProxy ? "127.0.0.1,localhost" : nullptr}};

    auto worker = StartWorker(target);
    WriteProxyProfile(0, mode.viaProxy ? 0 : 1, "127.0.0.1", 1); // too late for this worker
    const std::string object = SearchObject("A");
    ASSERT_TRUE(RunJob(*worker, object, m_page));
    const auto requests = m_site->GetRequests();
    if (mode.viaProxy) {
        EXPECT_EQ(m_report.error, DLERR_NONE);
        ASSERT_EQ(requests.size(), 1u);
        EXPECT_EQ(requests[0].requestLine, "GET http://" + target + object + " HTTP/1.0");
    } else {
        EXPECT_EQ(m_report.error, DLERR_INTERNET);
        EXPECT_TRUE(requests.empty());
    }
}

INSTANTIATE_TEST_SUITE_P(
    Modes, ProxyModeTest,
    ::testing::Values(ModeCase{"Named", 0, 1, false, false, true},
                      ModeCase{"NamedHasNoBypassList", 0, 1, false, true, true},
                      ModeCase{"SystemUsesHttpProxy", 1, 1, true, false, true},
                      ModeCase{"SystemByDefault", -1, 0, true, false, true},
                      ModeCase{"SystemHonoursNoProxy", 1, 0, true, true, false},
                      ModeCase{"DirectIgnoresHttpProxy", 0, 0, true, false, false}),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace
} // namespace download_tests
