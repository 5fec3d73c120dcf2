#pragma once

#include <optional>

namespace app {

struct LockKeyState
{
    bool capsLock = false;
    bool numLock = false;
    bool scrollLock = false;
};

// The keyboard's lock-key indicators, where the platform lets a program read them (an X11
// display with the keyboard extension); none elsewhere (Wayland, offscreen).
std::optional<LockKeyState> ReadLockKeys();

} // namespace app
