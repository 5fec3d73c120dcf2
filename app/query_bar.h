#pragma once

#include "plugin_host/plugin_discovery.h"

#include <QToolBar>

#include <string>

class QComboBox;
class QPushButton;

namespace app {

// The bar under the toolbar where the next search's region and plug-in are chosen:
// "地域:" with the 48 regions in their fixed order, "ﾌﾟﾗｸﾞｲﾝ:" with the plug-ins sorted by
// display name, and the plug-in's "ｵﾌﾟｼｮﾝ" button. It docks at the top or the bottom only.
class CQueryBar : public QToolBar
{
public:
    explicit CQueryBar(QWidget* parent = nullptr);

    // Offers every plug-in under its display name, each entry bound to its own module, and
    // selects the one whose file title is exactly dllName; with no match nothing is selected.
    void FillPlugins(const CPluginList& plugins, const std::string& dllName);

    // Selects region index; an index outside 0..47 leaves no region selected.
    void SelectArea(int index);
    // The selected region's index, -1 for none.
    int GetAreaIndex() const;
    // The selected region's name (UTF-8); empty for the empty entry and for none.
    std::string GetAreaName() const;

    // The module of the selected plug-in entry, or null when none is selected.
    CPluginModule* GetSelectedPlugin() const;

    QComboBox* AreaList() const { return m_area; }
    QComboBox* PluginList() const { return m_plugin; }
    QPushButton* OptionButton() const { return m_option; }

private:
    QComboBox* m_area;
    QComboBox* m_plugin;
    QPushButton* m_option;
};

} // namespace app
