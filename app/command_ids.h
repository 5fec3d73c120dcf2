#pragma once

// Command numbers of the menu, the toolbar and the keys. They keep the numbers the program has
// always used, so a command is named the same way everywhere (tables, tests, the run).
namespace app {

// Document and frame commands with the numbers of the windowing framework's standard set.
inline constexpr int ID_FILE_NEW = 57600;
inline constexpr int ID_FILE_OPEN = 57601;
inline constexpr int ID_FILE_SAVE = 57603;
inline constexpr int ID_FILE_SAVE_AS = 57604;
inline constexpr int ID_FILE_MRU_FILE1 = 57616; // the recent files are 57616..57619
inline constexpr int ID_APP_ABOUT = 57664;
inline constexpr int ID_APP_EXIT = 57665;
inline constexpr int ID_VIEW_TOOLBAR = 59392;
inline constexpr int ID_VIEW_STATUS_BAR = 59393;

// The program's own commands.
inline constexpr int ID_OPTION = 32772;
inline constexpr int ID_KEYWORD_ADD = 32774;
inline constexpr int ID_KEYWORD_DELETE = 32777;
inline constexpr int ID_SEARCH_START = 32784;
inline constexpr int ID_SEARCH_STOP = 32789;
inline constexpr int ID_QUERYBAR = 32792; // the query bar's bar number, not a command
inline constexpr int ID_BROWSE = 32797;
inline constexpr int ID_MOVE_UP = 32798;
inline constexpr int ID_MOVE_DOWN = 32799;
inline constexpr int ID_KEYWORD_RENAME = 32800;
inline constexpr int ID_HELP_USAGE = 32801;

// Controls of the query bar.
inline constexpr int IDC_PLUGIN = 1003;
inline constexpr int IDC_OPTION = 1004;
inline constexpr int IDC_AREA = 1010;

} // namespace app
