#pragma once

#include <functional>
#include <optional>
#include <string>

namespace testing_support {

// Runs fn where file permissions are enforced. Root passes every permission check, so as root
// fn runs in a child process switched to the user "nobody" (files it must reach have to be
// open to others); otherwise it runs here. Gives fn's text, or nothing when the switch failed.
std::optional<std::string> RunUnprivileged(const std::function<std::string()>& fn);

} // namespace testing_support
