#pragma once

#include <QString>

#include <array>
#include <map>
#include <string>
#include <vector>

class QAction;
class QMenuBar;
class QToolBar;
class QWidget;

namespace app {

// The main window's commands as QActions built from the command table: texts, prompts, tool
// tips, icons and keys, the menu bar and the toolbar buttons. Whoever owns the window connects
// the handlers and gives the command updater the enabling rules.
class CFrameCommands
{
public:
    static constexpr int kRecentFileSlots = 4;

    // The actions belong to owner, so their keys act anywhere inside it.
    explicit CFrameCommands(QWidget& owner);

    // The action of a command; null for a number that is not a command.
    QAction* Get(int id) const;

    void BuildMenuBar(QMenuBar& menuBar);
    void BuildToolBar(QToolBar& toolBar);

    // Shows the given paths (most recent first) as the recent-file entries of the "ファイル"
    // menu, or the greyed placeholder when there are none.
    void ShowRecentFiles(const std::vector<std::string>& paths);
    QAction* RecentFilePlaceholder() const { return m_recentPlaceholder; }

private:
    QAction* MakeAction(int id, const QString& text);

    QWidget& m_owner;
    std::map<int, QAction*> m_actions;
    QAction* m_recentPlaceholder = nullptr;
    std::array<QAction*, kRecentFileSlots> m_recent{};
};

} // namespace app
