#pragma once

#include <initializer_list>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace testing_support {

// Sets or clears environment variables for as long as it lives, then puts back what each held
// before. Changing the environment races with any other thread reading it, so a test changes
// it only while none of its workers or servers is running a request.
class CScopedEnv
{
public:
    // A null value clears the variable; with a name given twice, the later value wins.
    CScopedEnv(std::initializer_list<std::pair<const char*, const char*>> values = {});
    ~CScopedEnv();
    CScopedEnv(const CScopedEnv&) = delete;
    CScopedEnv& operator=(const CScopedEnv&) = delete;

    void Set(const char* name, const char* value);
    // Clears every variable from which libcurl or the program would take a proxy, so that
    // requests stay on loopback whatever the caller's environment holds.
    void ClearProxies();

private:
    // Each name with its value before this object changed it, in the order changed.
    std::vector<std::pair<std::string, std::optional<std::string>>> m_saved;
};

} // namespace testing_support
