#pragma once

#include "app/prompts.h"

#include <gtest/gtest.h>

#include <deque>
#include <vector>

namespace app_test {

// Answers for the user: every message is recorded; questions take the next queued answer and
// fail the test when none was queued; the file dialogs return queued names (empty = cancel).
class CFakePrompts : public app::IPrompts
{
public:
    struct Message
    {
        QString text;
        app::MsgIcon icon;
        app::MsgButtons buttons;
    };

    app::MsgAnswer MessageBox(const QString& text, app::MsgIcon icon,
                              app::MsgButtons buttons) override
    {
        messages.push_back({text, icon, buttons});
        if (buttons == app::MsgButtons::Ok)
            return app::MsgAnswer::Ok;
        if (answers.empty()) {
            ADD_FAILURE() << "unexpected question: " << text.toStdString();
            return app::MsgAnswer::Cancel;
        }
        const app::MsgAnswer answer = answers.front();
        answers.pop_front();
        return answer;
    }

    QString GetOpenFileName(const QString& filters) override
    {
        dialogFilters.push_back(filters);
        return Next(openNames);
    }

    QString GetSaveFileName(const QString& proposedName, const QString& filters) override
    {
        dialogFilters.push_back(filters);
        proposedNames.push_back(proposedName);
        return Next(saveNames);
    }

    std::vector<Message> messages;
    std::deque<app::MsgAnswer> answers;
    std::deque<QString> openNames;
    std::deque<QString> saveNames;
    std::vector<QString> proposedNames;
    std::vector<QString> dialogFilters;

private:
    static QString Next(std::deque<QString>& names)
    {
        if (names.empty())
            return {};
        QString name = names.front();
        names.pop_front();
        return name;
    }
};

} // namespace app_test
