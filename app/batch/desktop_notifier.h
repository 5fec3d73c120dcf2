#pragma once

#include "app/batch/notice_text.h"

#include <chrono>
#include <ostream>
#include <string>
#include <vector>

namespace batch {

// How long a notification with an action keeps this process waiting for the click: the
// server can only tell a sender that still runs. Then the page is no longer opened.
inline constexpr std::chrono::milliseconds kActionWait = std::chrono::minutes(10);

// Tells the desktop about news through the session bus's notification service: one
// notification whose action, where the server offers actions, opens resultPath with
// browserProgram (empty: the desktop's handler, as for the window's results). With an action
// it waits until the notification is clicked or closed, waitLimit has passed, or wakeFd
// (-1 for none; an InterruptGuard's) becomes readable. A click starts the browser and
// leaves it running; one that cannot start is told on err. Empty news sends nothing. Call it from
// the program's main thread without a Qt application running, or from that application's thread.
// Returns why the desktop could not be told (UTF-8, one line), or empty when it was.
std::string NotifyDesktop(const std::vector<KeywordNews>& news, const std::string& resultPath,
                          const std::string& browserProgram, int wakeFd, std::ostream& err,
                          std::chrono::milliseconds waitLimit = kActionWait);

} // namespace batch
