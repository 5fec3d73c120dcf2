#include "platform/tests/scoped_env.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

namespace {

using testing_support::CScopedEnv;

std::optional<std::string> Get(const char* name)
{
    const char* value = std::getenv(name);
    return value ? std::optional<std::string>(value) : std::nullopt;
}

// Each row: what the variable held before (null: unset) and the values set in turn.
struct CScopeCase
{
    const char* before;
    std::vector<const char*> values;
};

TEST(ScopedEnv, HoldsTheLastValueSetAndPutsBackWhatWasThereBefore)
{
    const char* kName = "VISTREL_SCOPED_ENV_TEST";
    const CScopeCase table[] = {
        {nullptr, {"a"}},      {"old", {"a"}},      {"old", {nullptr}},
        {nullptr, {nullptr}},  {"old", {"a", "b"}}, {"old", {nullptr, "a", nullptr}},
        {nullptr, {"a", "a"}}, {"", {"a"}},         {"old", {""}},
    };
    for (const CScopeCase& c : table) {
        CScopedEnv outer{{kName, c.before}};
        {
            CScopedEnv scope;
            for (const char* value : c.values)
                scope.Set(kName, value);
            const char* last = c.values.back();
            EXPECT_EQ(Get(kName), last ? std::optional<std::string>(last) : std::nullopt);
        }
        EXPECT_EQ(Get(kName), c.before ? std::optional<std::string>(c.before) : std::nullopt)
            << "before: " << (c.before ? c.before : "(unset)") << ", " << c.values.size()
            << " values";
    }
    EXPECT_EQ(Get(kName), std::nullopt);
}

TEST(ScopedEnv, ChangesSeveralVariablesAtOnce)
{
    CScopedEnv outer{{"VISTREL_SCOPED_A", "1"}, {"VISTREL_SCOPED_B", nullptr}};
    {
        const CScopedEnv scope{{"VISTREL_SCOPED_A", nullptr}, {"VISTREL_SCOPED_B", "2"}};
        EXPECT_EQ(Get("VISTREL_SCOPED_A"), std::nullopt);
        EXPECT_EQ(Get("VISTREL_SCOPED_B"), "2");
    }
    EXPECT_EQ(Get("VISTREL_SCOPED_A"), "1");
    EXPECT_EQ(Get("VISTREL_SCOPED_B"), std::nullopt);
}

} // namespace
