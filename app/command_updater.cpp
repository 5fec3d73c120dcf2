#include "app/command_updater.h"

#include <QAbstractEventDispatcher>
#include <QAction>

#include <algorithm>
#include <utility>

namespace app {

CCommandUpdater::CCommandUpdater(QObject* parent)
    : QObject(parent)
{
    if (auto* dispatcher = QAbstractEventDispatcher::instance(thread()))
        connect(dispatcher, &QAbstractEventDispatcher::aboutToBlock, this,
                &CCommandUpdater::Update);
}

CCommandUpdater::Entry& CCommandUpdater::EntryFor(QAction* action)
{
    auto it = std::find_if(m_entries.begin(), m_entries.end(),
                           [action](const Entry& e) { return e.action == action; });
    if (it != m_entries.end())
        return *it;
    return m_entries.emplace_back(Entry{action, {}, {}});
}

void CCommandUpdater::SetRule(QAction* action, Rule rule)
{
    EntryFor(action).rule = std::move(rule);
}

void CCommandUpdater::SetCheckRule(QAction* action, Rule rule)
{
    EntryFor(action).checkRule = std::move(rule);
}

void CCommandUpdater::Update()
{
    for (const Entry& entry : m_entries) {
        if (!entry.action)
            continue;
        if (entry.rule)
            entry.action->setEnabled(entry.rule());
        if (entry.checkRule)
            entry.action->setChecked(entry.checkRule());
    }
}

} // namespace app
