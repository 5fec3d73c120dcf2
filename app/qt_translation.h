#pragma once

#include <QLocale>

class QCoreApplication;

namespace app {

// Qt's own texts (standard buttons, file dialogs, edit menus) in the user's language, from the
// translations the system ships for Qt. False, and Qt's English, where none is there for
// the locale. The program's own texts are not translated.
bool InstallQtTranslation(QCoreApplication& qtApp, const QLocale& locale);

} // namespace app
