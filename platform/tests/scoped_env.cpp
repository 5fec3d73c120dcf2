#include "platform/tests/scoped_env.h"

#include <cstdlib>

namespace testing_support {

namespace {

void Put(const char* name, const char* value)
{
    // Callers change the environment only while no other thread of the test reads it.
    if (value != nullptr)
        ::setenv(name, value, 1); // NOLINT(concurrency-mt-unsafe)
    else
        ::unsetenv(name); // NOLINT(concurrency-mt-unsafe)
}

} // namespace

CScopedEnv::CScopedEnv(std::initializer_list<std::pair<const char*, const char*>> values)
{
    for (const auto& [name, value] : values)
        Set(name, value);
}

CScopedEnv::~CScopedEnv()
{
    for (auto it = m_saved.rbegin(); it != m_saved.rend(); ++it)
        Put(it->first.c_str(), it->second ? it->second->c_str() : nullptr);
}

void CScopedEnv::Set(const char* name, const char* value)
{
    const char* old = std::getenv(name);
    m_saved.emplace_back(name, old ? std::optional<std::string>(old) : std::nullopt);
    Put(name, value);
}

void CScopedEnv::ClearProxies()
{
    for (const char* name : {"http_proxy", "HTTP_PROXY", "https_proxy", "HTTPS_PROXY", "all_proxy",
                             "ALL_PROXY", "no_proxy", "NO_PROXY"})
        Set(name, nullptr);
}

} // namespace testing_support
