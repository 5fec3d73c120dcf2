#pragma once

#include <QDialog>

namespace app {

// "バージョン情報 Vistrel": the application icon, the program's name and version, a line
// saying what it is for, and OK.
class CAboutDlg : public QDialog
{
public:
    static constexpr const char* kCaption = "バージョン情報 Vistrel";

    explicit CAboutDlg(QWidget* parent = nullptr);
};

// The program's icon (window, About box).
QIcon AppIcon();

} // namespace app
