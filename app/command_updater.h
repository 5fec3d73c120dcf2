#pragma once

#include <QObject>
#include <QPointer>

#include <functional>
#include <utility>
#include <vector>

class QAction;
class QWidget;

namespace app {

// Decides whether each command is enabled. Every command has one enabling rule; all rules are
// evaluated whenever the event loop is about to wait, so menu items, tool buttons and keys
// always agree with the state, and no command handler ever enables or disables anything.
class CCommandUpdater : public QObject
{
public:
    using Rule = std::function<bool()>;

    explicit CCommandUpdater(QObject* parent = nullptr);

    // Gives action its enabling rule; a second call for the same action replaces the first.
    void SetRule(QAction* action, Rule rule);
    // The same for a control that carries no command (the query bar's "ｵﾌﾟｼｮﾝ" button).
    void SetRule(QWidget* control, Rule rule);
    // Gives a checkable action the rule for its check mark (the bars of the "表示" menu).
    void SetCheckRule(QAction* action, Rule rule);
    // Evaluates every rule now (also done each time the event loop is about to block).
    void Update();

private:
    struct Entry
    {
        QPointer<QAction> action;
        Rule rule;
        Rule checkRule;
    };
    Entry& EntryFor(QAction* action);
    std::vector<Entry> m_entries;
    std::vector<std::pair<QPointer<QWidget>, Rule>> m_controls;
};

} // namespace app
