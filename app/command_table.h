#pragma once

#include <QKeyCombination>

#include <span>

// What the menu, the toolbar and the keys offer, as data: one row per command, the menus in
// order, the toolbar buttons in order and the accelerator table.
namespace app {

struct CommandInfo
{
    int id;
    const char* menuText; // UTF-8; the text after "\t" is shown as the key, "&" marks the mnemonic
    const char* prompt;   // shown in the status bar's message pane while the item is highlighted
    const char* toolTip;
    const char* iconName;     // the desktop theme's icon; null for commands without a button
    const char* fallbackIcon; // the icon shipped with the program, for themes without it
};

// 0 stands for a separator in menus and on the toolbar.
inline constexpr int kSeparator = 0;

struct MenuInfo
{
    const char* title;
    std::span<const int> items;
};

struct Accelerator
{
    QKeyCombination key;
    int command;
};

std::span<const CommandInfo> AllCommands();
const CommandInfo* FindCommand(int id);
std::span<const MenuInfo> MenuBarLayout();
std::span<const int> ToolBarButtons();
std::span<const Accelerator> AcceleratorTable();

// The status-bar prompt of a recent-file entry.
inline constexpr const char* kRecentFilePrompt = "Open this document";
// Greyed stand-in in the "ファイル" menu while the recent-file list is empty.
inline constexpr const char* kRecentFilePlaceholder = "最近使ったファイル";

} // namespace app
