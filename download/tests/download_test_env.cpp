// Process-wide set-up for the download tests: libcurl's global state, and no proxy from the
// caller's environment, so every request of the suite stays on loopback.
#include "download/curl_global.h"
#include "platform/tests/scoped_env.h"

#include <optional>

#include <gtest/gtest.h>

namespace {

class DownloadEnvironment : public ::testing::Environment
{
public:
    void SetUp() override
    {
        m_noProxy.emplace();
        m_noProxy->ClearProxies();
        m_curl.emplace();
        ASSERT_TRUE(m_curl->IsReady());
    }
    void TearDown() override
    {
        m_curl.reset();
        m_noProxy.reset();
    }

private:
    std::optional<testing_support::CScopedEnv> m_noProxy;
    std::optional<download::CurlGlobal> m_curl;
};

[[maybe_unused]] const ::testing::Environment* const kEnvironment =
    ::testing::AddGlobalTestEnvironment(new DownloadEnvironment);

} // namespace
