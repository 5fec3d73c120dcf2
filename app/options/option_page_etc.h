#pragma once

#include "app/options/option_page.h"

class QCheckBox;

// "その他設定": whether the last keyword file opens at the next start.
class COptionPageEtc : public options::COptionPage
{
public:
    explicit COptionPageEtc(const config::Config& config);

    std::optional<options::CRefusal> TakeValues() override;
    bool Store() override;

protected:
    void Load() override;

private:
    QCheckBox* m_pOpenAuto;
    int m_bOpenAuto = 0;
};
