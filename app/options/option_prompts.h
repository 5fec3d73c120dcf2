#pragma once

#include <QString>

#include <functional>
#include <optional>

class QWidget;

namespace options {

// What the options sheet asks of the user, behind functions so that tests can answer.
struct COptionPrompts
{
    // A message box captioned "Vistrel" with an OK button, owned by parent.
    std::function<void(QWidget* parent, const QString& text)> message;
    // The folder browser: the chosen folder, or nothing when the user cancels.
    std::function<std::optional<QString>(QWidget* owner, const QString& title,
                                         const QString& startFolder)>
        browseFolder;
};

// Message boxes and the folder browser as Qt shows them.
COptionPrompts QtOptionPrompts();

} // namespace options
