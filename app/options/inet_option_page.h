#pragma once

#include "app/options/option_page.h"

#include <cstdint>

class QCheckBox;
class QLineEdit;

namespace options {
struct COptionPrompts;
class CCountSpinBox;
} // namespace options

// "ｲﾝﾀｰﾈｯﾄ設定": how the download workers reach the internet and how many run at once.
class CInetOptionPage : public options::COptionPage
{
public:
    static constexpr int kMaxHostChars = 63;

    CInetOptionPage(const config::Config& config, const options::COptionPrompts& prompts);

    std::optional<options::CRefusal> TakeValues() override;
    bool Store() override;

protected:
    void Load() override;

private:
    void OnIESetting();
    void OnProxyEnable();
    void OnProxyChange();
    // Takes the values; a refusal is shown, and the caller goes on regardless.
    void TakeValuesShowingRefusal();
    void ApplyEnablingRules();
    void LimitHostOnceItFits();

    const options::COptionPrompts& m_prompts;
    QCheckBox* m_pIESetting;
    QCheckBox* m_pProxyEnable;
    QLineEdit* m_pProxyHost;
    QLineEdit* m_pProxyPort;
    options::CCountSpinBox* m_pConnectNum;

    int m_bIESetting = 1;
    int m_bProxyEnable = 0;
    QString m_strProxyHost;
    std::uint32_t m_nProxyPort = 8080;
    std::uint32_t m_nConnectNum = 5;
    options::CStoredText m_storedHost;
};
