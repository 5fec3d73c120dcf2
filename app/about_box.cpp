#include "app/about_box.h"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QIcon>
#include <QLabel>
#include <QPushButton>

#ifndef VISTREL_VERSION
#error "VISTREL_VERSION must name the program's version"
#endif

namespace app {

QIcon AppIcon()
{
    // The sizes the desktop's icon theme gets too, so that the window, the task bar and the
    // menu entry show the same picture at every size.
    QIcon icon;
    for (const int size : {16, 22, 24, 32, 48, 64, 128, 256})
        icon.addFile(QStringLiteral(":/appicon/vistrel-%1.png").arg(size), QSize(size, size));
    return icon;
}

CAboutDlg::CAboutDlg(QWidget* parent)
    : QDialog(parent)
{
    setWindowTitle(QString::fromUtf8(kCaption));
    auto* icon = new QLabel(this);
    icon->setObjectName(QStringLiteral("icon"));
    icon->setPixmap(AppIcon().pixmap(32, 32));
    auto* version =
        new QLabel(QStringLiteral("Vistrel Version %1").arg(QStringLiteral(VISTREL_VERSION)), this);
    version->setObjectName(QStringLiteral("version"));
    auto* purpose = new QLabel(QStringLiteral("テレビ番組表のキーワード検索"), this);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, Qt::Vertical, this);
    buttons->button(QDialogButtonBox::Ok)->setDefault(true);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);

    auto* layout = new QGridLayout(this);
    layout->addWidget(icon, 0, 0, 2, 1, Qt::AlignTop);
    layout->addWidget(version, 0, 1);
    layout->addWidget(purpose, 1, 1);
    layout->addWidget(buttons, 0, 2, 2, 1, Qt::AlignTop);
    layout->setColumnStretch(1, 1);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

} // namespace app
