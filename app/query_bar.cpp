#include "app/query_bar.h"

#include "app/command_ids.h"
#include "config/regions.h"
#include "platform/cp932.h"

#include <QComboBox>
#include <QLabel>
#include <QPushButton>

namespace app {
namespace {

QString FromUtf8(std::string_view text)
{
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// Where a name goes in the sorted list: after every entry that does not sort after it, so
// plug-ins of the same name keep their discovery order.
int SortedPosition(const QComboBox& list, const QString& name)
{
    int pos = list.count();
    while (pos > 0 && QString::compare(list.itemText(pos - 1), name, Qt::CaseInsensitive) > 0)
        --pos;
    return pos;
}

} // namespace

CQueryBar::CQueryBar(QWidget* parent)
    : QToolBar(parent)
    , m_area(new QComboBox(this))
    , m_plugin(new QComboBox(this))
    , m_option(new QPushButton(QStringLiteral("ｵﾌﾟｼｮﾝ"), this))
{
    setObjectName(QStringLiteral("QueryBar"));
    setWindowTitle(QStringLiteral("Query"));
    setAllowedAreas(Qt::TopToolBarArea | Qt::BottomToolBarArea);

    m_area->setObjectName(QStringLiteral("IDC_AREA"));
    for (int i = 0; i < config::kRegionCount; ++i)
        m_area->addItem(FromUtf8(config::RegionName(i)));
    m_area->setMaxVisibleItems(12);
    m_plugin->setObjectName(QStringLiteral("IDC_PLUGIN"));
    m_plugin->setMinimumContentsLength(16);
    m_plugin->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    m_option->setObjectName(QStringLiteral("IDC_OPTION"));

    addWidget(new QLabel(QStringLiteral("地域:"), this));
    addWidget(m_area);
    addSeparator();
    addWidget(new QLabel(QStringLiteral("ﾌﾟﾗｸﾞｲﾝ:"), this));
    addWidget(m_plugin);
    addWidget(m_option);
}

void CQueryBar::FillPlugins(const CPluginList& plugins, const std::string& dllName)
{
    m_plugin->clear();
    CPluginModule* selected = nullptr;
    for (const auto& module : plugins) {
        if (!module)
            continue;
        const QString name = FromUtf8(platform::Cp932ToUtf8(module->GetPluginName()));
        m_plugin->insertItem(SortedPosition(*m_plugin, name), name,
                             QVariant::fromValue(static_cast<void*>(module.get())));
        if (selected == nullptr && module->GetFileTitle() == dllName)
            selected = module.get();
    }
    m_plugin->setCurrentIndex(-1);
    for (int i = 0; selected != nullptr && i < m_plugin->count(); ++i) {
        if (m_plugin->itemData(i).value<void*>() == selected)
            m_plugin->setCurrentIndex(i);
    }
}

void CQueryBar::SelectArea(int index)
{
    m_area->setCurrentIndex(index >= 0 && index < m_area->count() ? index : -1);
}

int CQueryBar::GetAreaIndex() const
{
    return m_area->currentIndex();
}

std::string CQueryBar::GetAreaName() const
{
    return m_area->currentIndex() < 0 ? std::string() : m_area->currentText().toStdString();
}

CPluginModule* CQueryBar::GetSelectedPlugin() const
{
    const int index = m_plugin->currentIndex();
    if (index < 0)
        return nullptr;
    return static_cast<CPluginModule*>(m_plugin->itemData(index).value<void*>());
}

} // namespace app
