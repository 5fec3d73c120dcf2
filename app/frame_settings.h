#pragma once

class QMainWindow;
class QWidget;

namespace config {
class Config;
}

// What the main window remembers from one start to the next besides the query bar:
// its normal-state rectangle and the layout of its bars.
namespace app {

// Applies "MainFrame\WindowPos" as the window's rectangle, in the normal show state; a size
// larger than the available area of the screen the window opens on is cut to it.
void LoadWindowPos(QWidget& window, const config::Config& config);
// Writes the rectangle, but only while the window is neither minimised nor maximised (nor
// full screen): otherwise the rectangle of the last normal-state close stays.
void SaveWindowPos(const QWidget& window, const config::Config& config);

// The bars' docking, order, floating and visibility (the status bar's too), under
// "ControlBar\State". A missing or unreadable entry leaves the default layout.
void LoadBarState(QMainWindow& window, const config::Config& config);
void SaveBarState(const QMainWindow& window, const config::Config& config);

} // namespace app
