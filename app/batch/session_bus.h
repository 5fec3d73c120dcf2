#pragma once

#include "platform/result.h"

#include <string>

namespace batch {

// The address of the user's session bus: DBUS_SESSION_BUS_ADDRESS, or else the socket "bus"
// in the user's runtime folder (XDG_RUNTIME_DIR, or /run/user/<uid> where that is unset, as
// under cron), where systemd's user manager keeps it. Fails when there is neither.
platform::Result<std::string> SessionBusAddress();

} // namespace batch
