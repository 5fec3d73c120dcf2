#include "download/proxy_settings.h"
#include "download/tests/worker_harness.h"

#include "platform/profile.h"

#include <cstdlib>
#include <filesystem>

namespace download_tests {
namespace {

struct CSettingsCase
{
    const char* name;
    const char* ini; // nullptr: no configuration file at all
    download::ProxyMode mode;
    const char* proxy;
};

// Names the case in test output.
void PrintTo(const CSettingsCase& c, std::ostream* os)
{
    *os << c.name;
}

class ProxySettingsTest : public ::testing::TestWithParam<CSettingsCase>
{
};

TEST_P(ProxySettingsTest, ChoosesTheModeFromTheKeys)
{
    testing_support::CTempDir dir;
    const std::string path = dir.File("Vistrel.ini");
    if (GetParam().ini)
        testing_support::WriteFileBytes(path, GetParam().ini);
    const download::CProxySettings settings = download::ReadProxySettings(platform::CProfile(path));
    EXPECT_EQ(settings.mode, GetParam().mode);
    if (settings.mode == download::ProxyMode::Named) {
        EXPECT_EQ(settings.proxy, GetParam().proxy);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Keys, ProxySettingsTest,
    ::testing::Values(
        CSettingsCase{"NoFile", nullptr, download::ProxyMode::Preconfigured, ""},
        CSettingsCase{"SystemWins", "[Settings\\Proxy]\nIESetting=1\nEnable=1\nHost=p\nPort=3128\n",
                      download::ProxyMode::Preconfigured, ""},
        CSettingsCase{"EmptyHost", "[Settings\\Proxy]\nIESetting=0\nEnable=1\n",
                      download::ProxyMode::Named, ":8080"},
        CSettingsCase{"AnyCase",
                      "[settings\\PROXY]\niesetting=0\nenable=1\nhost=proxy\nport=3128\n",
                      download::ProxyMode::Named, "proxy:3128"},
        CSettingsCase{"Direct", "[Settings\\Proxy]\nIESetting=0\nEnable=0\nHost=p\nPort=3128\n",
                      download::ProxyMode::Direct, ""}),
    [](const auto& info) { return std::string(info.param.name); });

// Sets an environment variable for as long as it lives.
class CEnvironmentVariable
{
public:
    CEnvironmentVariable(const char* name, const std::string& value)
        : m_name(name)
    {
        setenv(name, value.c_str(), 1);
    }
    ~CEnvironmentVariable() { unsetenv(m_name); }

private:
    const char* m_name;
};

struct CModeCase
{
    const char* name;
    int ieSetting;
    int enable;
    bool envProxy; // http_proxy names the proxy
    bool noProxy;  // no_proxy names the page's server
    bool viaProxy; // the request must go through the proxy
};

// Names the case in test output.
void PrintTo(const CModeCase& c, std::ostream* os)
{
    *os << c.name;
}

class ProxyModeTest : public CWorkerTest, public ::testing::WithParamInterface<CModeCase>
{
};

// The page's server is a closed port: a job can only succeed through the proxy, which the
// sample site plays by answering absolute-form targets itself.
TEST_P(ProxyModeTest, RoutesTheRequestAsConfigured)
{
    const CModeCase& mode = GetParam();
    const std::string proxy = StartSite();
    const std::string target = "127.0.0.1:" + std::to_string(ClosedPort());
    WriteProxyProfile(m_strProfile, mode.ieSetting, mode.enable, "127.0.0.1",
                      std::stoi(proxy.substr(proxy.find(':') + 1)));
    std::optional<CEnvironmentVariable> httpProxy;
    std::optional<CEnvironmentVariable> noProxy;
    if (mode.envProxy)
        httpProxy.emplace("http_proxy", "http://" + proxy);
    if (mode.noProxy)
        noProxy.emplace("no_proxy", "127.0.0.1,localhost");

    auto worker = StartWorker(target);
    // Later changes to the settings do not reach a worker that has started.
    WriteProxyProfile(m_strProfile, 0, mode.viaProxy ? 0 : 1, "127.0.0.1", 1);
    const std::string object = SearchObject("A");
    ASSERT_TRUE(RunJob(*worker, object, m_dir.File("page.html")));
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
                      CModeCase{"SystemUsesHttpProxy", 1, 0, true, false, true},
                      CModeCase{"SystemHonoursNoProxy", 1, 0, true, true, false},
                      CModeCase{"DirectIgnoresHttpProxy", 0, 0, true, false, false}),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace
} // namespace download_tests
