#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

namespace batch_test {

// Runs fn in a forked child whose files may not grow beyond fileSize bytes; a write past the
// limit fails (EFBIG) instead of killing the child. Gives fn's text, or nothing when the child
// did not end normally.
std::optional<std::string> RunWithFileSizeLimit(const std::function<std::string()>& fn,
                                                std::uintmax_t fileSize);

// A loopback port nobody listens on: bound once, then released.
int ClosedPort();

} // namespace batch_test
