#include "app/lock_keys.h"

namespace app {

// Built where the X11 keyboard extension is not available: the indicators stay blank.
std::optional<LockKeyState> ReadLockKeys()
{
    return std::nullopt;
}

} // namespace app
