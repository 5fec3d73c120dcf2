#pragma once

#include <QString>

// Message boxes and file dialogs, behind one small interface so that every command that asks
// the user something can be driven by a test that answers for the user.
namespace app {

enum class MsgIcon { None, Stop, Exclamation, Question, Information };
enum class MsgButtons { Ok, YesNo, YesNoCancel };
enum class MsgAnswer { Ok, Yes, No, Cancel };

class IPrompts
{
public:
    virtual ~IPrompts() = default;

    // A modal message box owned by the main window, captioned with the application title.
    virtual MsgAnswer MessageBox(const QString& text, MsgIcon icon, MsgButtons buttons) = 0;
    // The Open dialog with the given filters ("name (patterns)" separated by ";;"); the chosen
    // path, or empty when the user cancelled.
    virtual QString GetOpenFileName(const QString& filters) = 0;
    // The Save As dialog, proposing proposedName; the chosen path or empty.
    virtual QString GetSaveFileName(const QString& proposedName, const QString& filters) = 0;
};

} // namespace app
