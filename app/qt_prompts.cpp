#include "app/qt_prompts.h"

#include <QFileDialog>
#include <QFileSystemModel>
#include <QMessageBox>

namespace app {
namespace {

QMessageBox::Icon ToQt(MsgIcon icon)
{
    switch (icon) {
    case MsgIcon::Stop:
        return QMessageBox::Critical;
    case MsgIcon::Exclamation:
        return QMessageBox::Warning;
    case MsgIcon::Question:
        return QMessageBox::Question;
    case MsgIcon::Information:
        return QMessageBox::Information;
    case MsgIcon::None:
        break;
    }
    return QMessageBox::NoIcon;
}

QMessageBox::StandardButtons ToQt(MsgButtons buttons)
{
    switch (buttons) {
    case MsgButtons::YesNo:
        return QMessageBox::Yes | QMessageBox::No;
    case MsgButtons::YesNoCancel:
        return QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
    case MsgButtons::Ok:
        break;
    }
    return QMessageBox::Ok;
}

// On this platform "*.*" matches only names with a dot; "All Files" must show every file.
void ShowEveryFileForAllFiles(QFileDialog& dialog)
{
    QObject::connect(&dialog, &QFileDialog::filterSelected, &dialog, [&dialog](const QString& f) {
        if (!f.endsWith(QStringLiteral("(*.*)")))
            return;
        if (auto* model = dialog.findChild<QFileSystemModel*>())
            model->setNameFilters({QStringLiteral("*")});
    });
}

QString RunFileDialog(QWidget* owner, QFileDialog::AcceptMode mode, const QString& filters,
                      const QString& proposedName)
{
    QFileDialog dialog(owner);
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setAcceptMode(mode);
    dialog.setFileMode(mode == QFileDialog::AcceptOpen ? QFileDialog::ExistingFile
                                                       : QFileDialog::AnyFile);
    dialog.setNameFilter(filters);
    // The dialog adds the extension itself, so its overwrite question sees the real name.
    dialog.setDefaultSuffix(QStringLiteral("txt"));
    ShowEveryFileForAllFiles(dialog);
    if (!proposedName.isEmpty())
        dialog.selectFile(proposedName);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return dialog.selectedFiles().constFirst();
}

} // namespace

MsgAnswer CQtPrompts::MessageBox(const QString& text, MsgIcon icon, MsgButtons buttons)
{
    QMessageBox box(ToQt(icon), QStringLiteral("Vistrel"), text, ToQt(buttons), m_owner);
    switch (box.exec()) {
    case QMessageBox::Yes:
        return MsgAnswer::Yes;
    case QMessageBox::No:
        return MsgAnswer::No;
    case QMessageBox::Ok:
        return MsgAnswer::Ok;
    default:
        return MsgAnswer::Cancel;
    }
}

QString CQtPrompts::GetOpenFileName(const QString& filters)
{
    return RunFileDialog(m_owner, QFileDialog::AcceptOpen, filters, {});
}

QString CQtPrompts::GetSaveFileName(const QString& proposedName, const QString& filters)
{
    return RunFileDialog(m_owner, QFileDialog::AcceptSave, filters, proposedName);
}

} // namespace app
