#pragma once

#include "app/prompts.h"

#include <QPointer>
#include <QWidget>

namespace app {

// The prompts as the user sees them: QMessageBox and Qt's own file dialog (not the desktop's,
// so the filter texts and the default extension behave the same everywhere).
class CQtPrompts : public IPrompts
{
public:
    // The window that owns every box and dialog; null until the main window exists.
    void SetOwner(QWidget* owner) { m_owner = owner; }

    MsgAnswer MessageBox(const QString& text, MsgIcon icon, MsgButtons buttons) override;
    QString GetOpenFileName(const QString& filters) override;
    QString GetSaveFileName(const QString& proposedName, const QString& filters) override;

private:
    QPointer<QWidget> m_owner;
};

} // namespace app
