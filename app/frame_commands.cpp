#include "app/frame_commands.h"

#include "app/command_ids.h"
#include "app/command_table.h"
#include "app/native_path.h"

#include <QAction>
#include <QIcon>
#include <QMenu>
#include <QMenuBar>
#include <QToolBar>

namespace app {

CFrameCommands::CFrameCommands(QWidget& owner)
    : m_owner(owner)
{
    for (const CommandInfo& info : AllCommands()) {
        QAction* action = MakeAction(info.id, QString::fromUtf8(info.menuText));
        action->setStatusTip(QString::fromUtf8(info.prompt));
        action->setToolTip(QString::fromUtf8(info.toolTip));
        if (info.iconName != nullptr)
            action->setIcon(QIcon::fromTheme(QString::fromUtf8(info.iconName),
                                             QIcon(QString::fromUtf8(info.fallbackIcon))));
    }
    for (const Accelerator& accel : AcceleratorTable()) {
        QAction* action = Get(accel.command);
        action->setShortcuts(action->shortcuts() << QKeySequence(accel.key));
    }
    Get(ID_VIEW_TOOLBAR)->setCheckable(true);
    Get(ID_VIEW_STATUS_BAR)->setCheckable(true);

    m_recentPlaceholder = new QAction(QString::fromUtf8(kRecentFilePlaceholder), &m_owner);
    for (int i = 0; i < kRecentFileSlots; ++i) {
        m_recent[static_cast<size_t>(i)] = MakeAction(ID_FILE_MRU_FILE1 + i, QString());
        m_recent[static_cast<size_t>(i)]->setStatusTip(QString::fromUtf8(kRecentFilePrompt));
    }
    ShowRecentFiles({});
}

QAction* CFrameCommands::MakeAction(int id, const QString& text)
{
    auto* action = new QAction(text, &m_owner);
    action->setData(id);
    // Window-wide keys: they work wherever the focus is inside the main window.
    action->setShortcutContext(Qt::WindowShortcut);
    m_owner.addAction(action);
    m_actions[id] = action;
    return action;
}

QAction* CFrameCommands::Get(int id) const
{
    auto it = m_actions.find(id);
    return it == m_actions.end() ? nullptr : it->second;
}

void CFrameCommands::BuildMenuBar(QMenuBar& menuBar)
{
    for (const MenuInfo& info : MenuBarLayout()) {
        QMenu* menu = menuBar.addMenu(QString::fromUtf8(info.title));
        for (int id : info.items) {
            if (id == kSeparator) {
                menu->addSeparator();
            } else if (id == ID_FILE_MRU_FILE1) {
                menu->addAction(m_recentPlaceholder);
                for (QAction* action : m_recent)
                    menu->addAction(action);
            } else {
                menu->addAction(Get(id));
            }
        }
    }
}

void CFrameCommands::BuildToolBar(QToolBar& toolBar)
{
    for (int id : ToolBarButtons()) {
        if (id == kSeparator)
            toolBar.addSeparator();
        else
            toolBar.addAction(Get(id));
    }
}

void CFrameCommands::ShowRecentFiles(const std::vector<std::string>& paths)
{
    m_recentPlaceholder->setVisible(paths.empty());
    for (int i = 0; i < kRecentFileSlots; ++i) {
        QAction* action = m_recent[static_cast<size_t>(i)];
        const bool used = i < static_cast<int>(paths.size());
        action->setVisible(used);
        if (used) {
            QString path = FromNativePath(paths[static_cast<size_t>(i)]);
            path.replace(QLatin1Char('&'), QStringLiteral("&&"));
            action->setText(QStringLiteral("&%1 %2").arg(QString::number(i + 1), path));
        }
    }
}

} // namespace app
