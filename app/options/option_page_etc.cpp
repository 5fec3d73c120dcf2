#include "app/options/option_page_etc.h"

#include "config/config_store.h"

#include <QCheckBox>
#include <QVBoxLayout>

COptionPageEtc::COptionPageEtc(const config::Config& config)
    : COptionPage(QStringLiteral("その他設定"), config)
    , m_pOpenAuto(new QCheckBox(QStringLiteral("起動時に前回開いたファイルを開く(&O)")))
{
    m_pOpenAuto->setObjectName(QStringLiteral("openAuto"));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_pOpenAuto);
    layout->addStretch();
}

void COptionPageEtc::Load()
{
    m_bOpenAuto = Config().ReadInt(config::Key::OpenAuto);
    m_pOpenAuto->setChecked(m_bOpenAuto != 0);
}

std::optional<options::CRefusal> COptionPageEtc::TakeValues()
{
    m_bOpenAuto = m_pOpenAuto->isChecked() ? 1 : 0;
    return std::nullopt;
}

bool COptionPageEtc::Store()
{
    return Config().WriteInt(config::Key::OpenAuto, m_bOpenAuto);
}
