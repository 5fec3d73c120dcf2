#include "app/command_updater.h"

#include <QAbstractEventDispatcher>
#include <QAction>
#include <QWidget>

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

void CCommandUpdater::SetRule(QWidget* control, Rule rule)
{
    auto it = std::find_if(m_controls.begin(), m_controls.end(),
                           [control](const auto& entry) { return entry.first == control; });
    if (it != m_controls.end())
        it->second = std::move(rule);
    else
        m_controls.emplace_back(control, std::move(rule));
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
    for (const auto& [control, rule] : m_controls) {
        if (control)
            control->setEnabled(rule());
    }
}

} // namespace app
