#include "platform/tests/unprivileged.h"

#include "platform/tests/child_process.h"

#include <grp.h>
#include <unistd.h>

namespace testing_support {

std::optional<std::string> RunUnprivileged(const std::function<std::string()>& fn)
{
    if (geteuid() != 0)
        return fn();
    return RunInChild([&fn]() -> std::string {
        const uid_t nobody = 65534;
        if (setgroups(0, nullptr) != 0 || setgid(nobody) != 0 || setuid(nobody) != 0)
            _exit(2);
        return fn();
    });
}

} // namespace testing_support
