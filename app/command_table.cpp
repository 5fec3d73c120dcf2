#include "app/command_table.h"

#include "app/command_ids.h"

#include <algorithm>
#include <array>

namespace app {
namespace {

// Prompts of the framework's own commands in the framework's words; the program's own commands
// use the same text for prompt and tool tip.
constexpr std::array kCommands{
    CommandInfo{ID_FILE_NEW, "新規作成\tCtrl+N(&N)", "Create a new document", "New", "document-new",
                ":/icons/new.png"},
    CommandInfo{ID_FILE_OPEN, "開く...\tCtrl+O(&O)", "Open an existing document", "Open",
                "document-open", ":/icons/open.png"},
    CommandInfo{ID_FILE_SAVE, "上書き保存\tCtrl+S(&S)", "Save the active document", "Save",
                "document-save", ":/icons/save.png"},
    CommandInfo{ID_FILE_SAVE_AS, "名前を付けて保存(&A)...",
                "Save the active document with a new name", "Save As", nullptr, nullptr},
    CommandInfo{ID_APP_EXIT, "アプリケーションの終了(&X)",
                "Quit the application; prompts to save documents", "Exit", nullptr, nullptr},
    CommandInfo{ID_KEYWORD_ADD, "ｷｰﾜｰﾄﾞ追加\tCtrl+A(&A)", "ｷｰﾜｰﾄﾞ追加", "ｷｰﾜｰﾄﾞ追加", "list-add",
                ":/icons/add.png"},
    CommandInfo{ID_KEYWORD_DELETE, "ｷｰﾜｰﾄﾞ削除\tDel(&R)", "ｷｰﾜｰﾄﾞ削除", "ｷｰﾜｰﾄﾞ削除", "list-remove",
                ":/icons/delete.png"},
    CommandInfo{ID_KEYWORD_RENAME, "ｷｰﾜｰﾄﾞ変更\tF2(&E)", "ｷｰﾜｰﾄﾞ変更", "ｷｰﾜｰﾄﾞ変更", nullptr,
                nullptr},
    CommandInfo{ID_MOVE_UP, "上へ移動\tShift+↑(&U)", "上へ移動", "上へ移動", "go-up",
                ":/icons/up.png"},
    CommandInfo{ID_MOVE_DOWN, "下へ移動\tShift+↓(&D)", "下へ移動", "下へ移動", "go-down",
                ":/icons/down.png"},
    CommandInfo{ID_VIEW_TOOLBAR, "ツール バー(&T)", "Show or hide the toolbar", "Toggle ToolBar",
                nullptr, nullptr},
    CommandInfo{ID_VIEW_STATUS_BAR, "ステータス バー(&S)", "Show or hide the status bar",
                "Toggle StatusBar", nullptr, nullptr},
    CommandInfo{ID_SEARCH_START, "検索開始\tF5(&S)", "検索開始", "検索開始", "edit-find",
                ":/icons/search.png"},
    CommandInfo{ID_SEARCH_STOP, "検索中止\tEsc(&A)", "検索中止", "検索中止", "process-stop",
                ":/icons/stop.png"},
    CommandInfo{ID_BROWSE, "ﾌﾞﾗｳｻﾞで閲覧\tF6(&B)", "ﾌﾞﾗｳｻﾞで閲覧", "ﾌﾞﾗｳｻﾞで閲覧",
                "internet-web-browser", ":/icons/browse.png"},
    CommandInfo{ID_OPTION, "ｵﾌﾟｼｮﾝ\t(&O)", "ｵﾌﾟｼｮﾝ", "ｵﾌﾟｼｮﾝ", "preferences-system",
                ":/icons/options.png"},
    CommandInfo{ID_HELP_USAGE, "使い方(&H)", "使い方", "使い方", nullptr, nullptr},
    CommandInfo{ID_APP_ABOUT, "バージョン情報 Vistrel(&A)...",
                "Display program information, version number and copyright", "About", "help-about",
                ":/icons/about.png"},
};

// ID_FILE_MRU_FILE1 marks where the recent files stand.
constexpr std::array kFileMenu{ID_FILE_NEW, ID_FILE_OPEN,      ID_FILE_SAVE, ID_FILE_SAVE_AS,
                               kSeparator,  ID_FILE_MRU_FILE1, kSeparator,   ID_APP_EXIT};
constexpr std::array kEditMenu{ID_KEYWORD_ADD, ID_KEYWORD_DELETE, ID_KEYWORD_RENAME, ID_MOVE_UP,
                               ID_MOVE_DOWN};
constexpr std::array kViewMenu{ID_VIEW_TOOLBAR, ID_VIEW_STATUS_BAR};
constexpr std::array kToolMenu{ID_SEARCH_START, ID_SEARCH_STOP, ID_BROWSE, kSeparator, ID_OPTION};
constexpr std::array kHelpMenu{ID_HELP_USAGE, ID_APP_ABOUT};

constexpr std::array kMenus{
    MenuInfo{"ファイル(&F)", kFileMenu}, MenuInfo{"編集(&E)", kEditMenu},
    MenuInfo{"表示(&V)", kViewMenu},     MenuInfo{"ﾂｰﾙ", kToolMenu},
    MenuInfo{"ヘルプ(&H)", kHelpMenu},
};

constexpr std::array kToolBar{
    ID_FILE_NEW,    ID_FILE_OPEN, ID_FILE_SAVE, kSeparator,     ID_SEARCH_START,
    ID_SEARCH_STOP, ID_BROWSE,    kSeparator,   ID_KEYWORD_ADD, ID_KEYWORD_DELETE,
    ID_MOVE_UP,     ID_MOVE_DOWN, kSeparator,   ID_OPTION,      ID_APP_ABOUT,
};

// Enter is both the main Return key and the keypad's Enter.
constexpr std::array kAccelerators{
    Accelerator{Qt::CTRL | Qt::Key_A, ID_KEYWORD_ADD},
    Accelerator{QKeyCombination(Qt::Key_Return), ID_KEYWORD_ADD},
    Accelerator{Qt::KeypadModifier | Qt::Key_Enter, ID_KEYWORD_ADD},
    Accelerator{QKeyCombination(Qt::Key_Delete), ID_KEYWORD_DELETE},
    Accelerator{QKeyCombination(Qt::Key_F2), ID_KEYWORD_RENAME},
    Accelerator{Qt::SHIFT | Qt::Key_Down, ID_MOVE_DOWN},
    Accelerator{Qt::SHIFT | Qt::Key_Up, ID_MOVE_UP},
    Accelerator{Qt::CTRL | Qt::Key_N, ID_FILE_NEW},
    Accelerator{Qt::CTRL | Qt::Key_O, ID_FILE_OPEN},
    Accelerator{Qt::CTRL | Qt::Key_S, ID_FILE_SAVE},
    Accelerator{QKeyCombination(Qt::Key_Escape), ID_SEARCH_STOP},
    Accelerator{QKeyCombination(Qt::Key_F6), ID_BROWSE},
    Accelerator{QKeyCombination(Qt::Key_F5), ID_SEARCH_START},
};

} // namespace

std::span<const CommandInfo> AllCommands()
{
    return kCommands;
}

const CommandInfo* FindCommand(int id)
{
    auto it = std::find_if(kCommands.begin(), kCommands.end(),
                           [id](const CommandInfo& c) { return c.id == id; });
    return it == kCommands.end() ? nullptr : &*it;
}

std::span<const MenuInfo> MenuBarLayout()
{
    return kMenus;
}

std::span<const int> ToolBarButtons()
{
    return kToolBar;
}

std::span<const Accelerator> AcceleratorTable()
{
    return kAccelerators;
}

} // namespace app
