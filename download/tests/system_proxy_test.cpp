#include "download/proxy_settings.h"
#include "download/system_proxy.h"
#include "platform/tests/scoped_env.h"

#include <optional>

#include <gtest/gtest.h>

namespace {

struct NoProxyCase
{
    const char* host;
    const char* list;
    bool covered;
};

TEST(NoProxyList, CoversNamesDomainsAndAddresses)
{
    const NoProxyCase table[] = {
        {"listing.example.jp", "", false},
        {"listing.example.jp", "*", true},
        {"listing.example.jp", "other.jp, *", true},
        {"listing.example.jp", "example.jp", true},
        {"listing.example.jp", ".example.jp", true},
        {"LISTING.Example.JP", "example.jp", true},
        {"listing.example.jp.", "listing.example.jp", true},
        {"example.jp", ".example.jp", true},
        {"badexample.jp", "example.jp", false},
        {"example.jp", "listing.example.jp", false},
        {"listing.example.jp", "a.jp,,  b.jp\texample.jp", true},
        {"127.0.0.1", "127.0.0.1", true},
        {"127.0.0.1", "127.0.0.2", false},
        {"127.0.0.1", "localhost", false},
        {"127.0.0.1", "127.0.0.0/8", true},
        {"127.0.0.1", "10.0.0.0/8", false},
        {"192.168.1.77", "192.168.1.64/26", true},
        {"192.168.1.128", "192.168.1.64/26", false},
        {"127.0.0.1", "127.0.0.1/33", false},
        {"[::1]", "::1", true},
        {"[::1]", "[::1]", true},
        {"[2001:db8::5]", "2001:db8::/32", true},
        {"[2001:db9::5]", "2001:db8::/32", false},
        {"127.0.0.1", "::1", false},
    };
    for (const NoProxyCase& c : table)
        EXPECT_EQ(download::IsNoProxyHost(c.host, c.list), c.covered)
            << c.host << " in \"" << c.list << "\"";
}

// Sets or clears the proxy variables for as long as it lives.
class ProxyEnvironment
{
public:
    ProxyEnvironment(std::initializer_list<std::pair<const char*, const char*>> values)
    {
        m_env.ClearProxies();
        for (const auto& [name, value] : values)
            m_env.Set(name, value);
    }

private:
    testing_support::CScopedEnv m_env;
};

TEST(SystemProxy, ReadsTheEnvironmentAsLibcurlDoes)
{
    struct Case
    {
        std::initializer_list<std::pair<const char*, const char*>> env;
        const char* proxy;
    };
    const Case table[] = {
        {{}, ""},
        {{{"http_proxy", "http://p:1"}}, "http://p:1"},
        {{{"HTTP_PROXY", "http://p:1"}}, ""},
        {{{"all_proxy", "p:2"}}, "p:2"},
        {{{"ALL_PROXY", "p:3"}}, "p:3"},
        {{{"http_proxy", ""}, {"all_proxy", "p:2"}}, "p:2"},
        {{{"http_proxy", "p:1"}, {"all_proxy", "p:2"}}, "p:1"},
        {{{"http_proxy", "p:1"}, {"no_proxy", "example.jp"}}, ""},
        {{{"http_proxy", "p:1"}, {"NO_PROXY", "example.jp"}}, ""},
        {{{"http_proxy", "p:1"}, {"no_proxy", "other.jp"}, {"NO_PROXY", "example.jp"}}, "p:1"},
    };
    for (const Case& c : table) {
        const ProxyEnvironment env(c.env);
        EXPECT_EQ(download::SystemProxyFor("listing.example.jp"), c.proxy)
            << (c.env.size() ? c.env.begin()->first : "(none)");
    }
}

TEST(SystemProxy, OnlyAnHttpProxyGetsTheWholeAddress)
{
    EXPECT_TRUE(download::IsHttpProxy("proxy:8080"));
    EXPECT_TRUE(download::IsHttpProxy("http://proxy:8080"));
    EXPECT_TRUE(download::IsHttpProxy("https://proxy"));
    EXPECT_FALSE(download::IsHttpProxy("socks5://proxy:1080"));
    EXPECT_FALSE(download::IsHttpProxy("SOCKS4a://proxy"));
    EXPECT_FALSE(download::IsHttpProxy(""));
}

} // namespace
