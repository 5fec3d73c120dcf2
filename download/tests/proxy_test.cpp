#include "config/config_store.h"
#include "download/proxy_settings.h"
#include "download/tests/worker_harness.h"
#include "platform/tests/scoped_env.h"

#include <filesystem>

namespace download_tests {
namespace {

struct CModeCase
{
    const char* name;
    int ieSetting; // -1: no configuration file at all
    int enable;
    bool envProxy; // http_proxy names the proxy
    bool noProxy;  // no_proxy names the page's server
    bool viaProxy; // the request must go through the proxy
};

void PrintTo(const CModeCase& c, std::ostream* os)
{
    *os << c.name;
}

class ProxyModeTest : public CWorkerTest, public ::testing::WithParamInterface<CModeCase>
{
};

struct CSettingsCase
{
    const char* name;
    std::string ini; // "-": no configuration file at all
    download::ProxyMode mode;
    std::string proxy;
};

void PrintTo(const CSettingsCase& c, std::ostream* os)
{
    *os << c.name;
}

class ProxySettingsTest : public ::testing::TestWithParam<CSettingsCase>
{
};

TEST_P(ProxySettingsTest, ChooseTheModeAndFormTheProxyString)
{
    testing_support::CTempDir dir;
    const std::string path = dir.File("Vistrel.ini");
    if (GetParam().ini != "-")
        testing_support::WriteFileBytes(path, GetParam().ini);
    const download::CProxySettings settings = download::ReadProxySettings(config::Config(path));
    EXPECT_EQ(settings.mode, GetParam().mode);
    EXPECT_EQ(settings.proxy, GetParam().proxy);
}

using download::ProxyMode;
INSTANTIATE_TEST_SUITE_P(
    Keys, ProxySettingsTest,
    ::testing::Values(
        CSettingsCase{"NoFile", "-", ProxyMode::Preconfigured, ":8080"},
        CSettingsCase{"NoSection", "[Settings\\DownLoad]\nConnectNum=4\n", ProxyMode::Preconfigured,
                      ":8080"},
        CSettingsCase{"SystemWinsOverEnable",
                      "[Settings\\Proxy]\nIESetting=1\nEnable=1\nHost=proxy\nPort=3128\n",
                      ProxyMode::Preconfigured, "proxy:3128"},
        CSettingsCase{"NamedWithEmptyHost", "[Settings\\Proxy]\nIESetting=0\nEnable=1\n",
                      ProxyMode::Named, ":8080"},
        CSettingsCase{"NamedAnyNonZero", "[Settings\\Proxy]\nIESetting=0\nEnable=-1\nHost=proxy\n",
                      ProxyMode::Named, "proxy:8080"},
        CSettingsCase{"NamedTakesValuesUnchecked",
                      "[settings\\proxy]\niesetting=0\nenable=1\nhost=a b\nport=-5\n",
                      ProxyMode::Named, "a b:-5"},
        CSettingsCase{"DirectIgnoresHostAndPort",
                      "[Settings\\Proxy]\nIESetting=0\nEnable=0\nHost=proxy\nPort=3128\n",
                      ProxyMode::Direct, "proxy:3128"}),
    [](const auto& info) { return std::string(info.param.name); });

// The page's server is a closed port, so a job can only succeed through the proxy, which the
// sample site plays by answering absolute-form targets itself.
TEST_P(ProxyModeTest, RoutesTheRequestAsConfiguredAtTheWorkersStart)
{
    const CModeCase& mode = GetParam();
    const std::string proxy = StartSite();
    const std::string proxyPort = proxy.substr(proxy.find(':') + 1);
    const std::string target = ClosedAddress();
    // With the system's settings chosen, Host and Port must not matter: they name a closed
    // port, so only the environment's proxy can make the job succeed.
    const std::string closedPort = target.substr(target.find(':') + 1);
    if (mode.ieSetting < 0)
        std::filesystem::remove(m_strProfile);
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
    ASSERT_TRUE(RunJob(*worker, object, m_strPage));
    const auto requests = m_pSite->GetRequests();
    if (mode.viaProxy) {
        EXPECT_EQ(worker->m_nError, DLERR_NONE);
        ASSERT_EQ(requests.size(), 1u);
        EXPECT_EQ(requests[0].requestLine, "GET http://" + target + object + " HTTP/1.0");
    } else {
        EXPECT_EQ(worker->m_nError, DLERR_INTERNET);
        EXPECT_TRUE(requests.empty());
    }
}

INSTANTIATE_TEST_SUITE_P(
    Modes, ProxyModeTest,
    ::testing::Values(CModeCase{"Named", 0, 1, false, false, true},
                      CModeCase{"NamedHasNoBypassList", 0, 1, false, true, true},
                      CModeCase{"SystemUsesHttpProxy", 1, 1, true, false, true},
                      CModeCase{"SystemByDefault", -1, 0, true, false, true},
                      CModeCase{"SystemHonoursNoProxy", 1, 0, true, true, false},
                      CModeCase{"DirectIgnoresHttpProxy", 0, 0, true, false, false}),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace
} // namespace download_tests
