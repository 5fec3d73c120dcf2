#pragma once

#include "app/options/option_exchange.h"

#include <QWidget>

#include <optional>

namespace config {
class Config;
}

namespace options {

// One page of the options sheet. It loads its keys the first time it is shown; OK or Apply
// takes its values from the controls (which may refuse them) and then stores them. A page
// never shown loads and stores nothing.
class COptionPage : public QWidget
{
    Q_OBJECT

public:
    COptionPage(const QString& caption, const config::Config& config);

    const QString& Caption() const { return m_strCaption; }
    bool IsLoaded() const { return m_bLoaded; }
    void EnsureLoaded();

    // The controls' values into the members, or the first refusal in the controls' order.
    virtual std::optional<CRefusal> TakeValues() = 0;
    // Writes the members; false when Vistrel.ini could not be written.
    virtual bool Store() = 0;

signals:
    // The page was marked modified: the sheet enables Apply.
    void Modified();

protected:
    virtual void Load() = 0;
    const config::Config& Config() const { return m_config; }

private:
    QString m_strCaption;
    const config::Config& m_config;
    bool m_bLoaded = false;
};

} // namespace options
