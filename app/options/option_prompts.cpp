#include "app/options/option_prompts.h"

#include <QFileDialog>
#include <QMessageBox>

namespace options {

COptionPrompts QtOptionPrompts()
{
    COptionPrompts prompts;
    prompts.message = [](QWidget* parent, const QString& text) {
        QMessageBox::warning(parent, QStringLiteral("Vistrel"), text);
    };
    prompts.browseFolder = [](QWidget* owner, const QString& title,
                              const QString& startFolder) -> std::optional<QString> {
        const QString folder =
            QFileDialog::getExistingDirectory(owner, title, startFolder, QFileDialog::ShowDirsOnly);
        if (folder.isEmpty())
            return std::nullopt;
        return folder;
    };
    return prompts;
}

} // namespace options
