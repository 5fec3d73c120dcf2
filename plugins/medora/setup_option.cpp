// PIN_SetupOption: medora's search-period dialog, shown with the host's own QApplication.
#include "option_dialog.h"

#include "vistrel_plugin.h"

#include <QApplication>
#include <QPointer>
#include <QThread>

namespace {

// The host's top-level window whose native id is ownerWindow; none for an unknown id.
QWidget* OwnerOf(uintptr_t ownerWindow)
{
    if (ownerWindow == 0)
        return nullptr;
    const auto id = static_cast<WId>(ownerWindow);
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (widget->internalWinId() == id)
            return widget;
    }
    return nullptr;
}

} // namespace

// Returns 0 once the dialog has closed, whatever the user chose; non-zero when it cannot be
// shown: a host without a widget application, or a call from any thread but the GUI thread.
VISTREL_PLUGIN_EXPORT int32_t PIN_SetupOption(uintptr_t ownerWindow)
{
    try {
        if (qobject_cast<QApplication*>(QCoreApplication::instance()) == nullptr)
            return 1;
        if (QThread::currentThread() != QCoreApplication::instance()->thread())
            return 1;
        // Held by a guard: the owner may take the dialog with it if it is destroyed while
        // the dialog is open.
        QPointer<medora::COptionDialog> dialog = new medora::COptionDialog(OwnerOf(ownerWindow));
        dialog->exec();
        delete dialog.data();
        return 0;
    } catch (...) {
        return 1;
    }
}
