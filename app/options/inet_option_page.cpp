#include "app/options/inet_option_page.h"

#include "app/options/count_spin_box.h"
#include "app/options/option_prompts.h"
#include "config/config_store.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QRegularExpressionValidator>

using config::Key;
using options::CRefusal;

namespace {

constexpr std::uint32_t kMaxPort = 65535;
constexpr std::uint32_t kMaxConnections = 10;

QLabel* Label(const QString& text, QWidget* buddy)
{
    auto* label = new QLabel(text);
    label->setBuddy(buddy);
    return label;
}

} // namespace

CInetOptionPage::CInetOptionPage(const config::Config& config,
                                 const options::COptionPrompts& prompts)
    : COptionPage(QStringLiteral("ｲﾝﾀｰﾈｯﾄ設定"), config)
    , m_prompts(prompts)
    , m_pIESetting(new QCheckBox(QStringLiteral("設定をIEから取得する(&I)")))
    , m_pProxyEnable(new QCheckBox(QStringLiteral("ﾌﾟﾛｷｼｻｰﾊﾞｰを使う(&X)")))
    , m_pProxyHost(new QLineEdit)
    , m_pProxyPort(new QLineEdit)
    , m_pConnectNum(new options::CCountSpinBox(1, static_cast<int>(kMaxConnections)))
{
    m_pIESetting->setObjectName(QStringLiteral("ieSetting"));
    // On this desktop there is no IE: the check box takes the proxy from the environment.
    m_pIESetting->setToolTip(
        QStringLiteral("環境変数 http_proxy (なければ all_proxy) のプロキシを使います。"
                       "no_proxy に挙げたホストには直接つなぎます。"));
    m_pProxyEnable->setObjectName(QStringLiteral("proxyEnable"));
    m_pProxyHost->setObjectName(QStringLiteral("proxyHost"));
    m_pProxyPort->setObjectName(QStringLiteral("proxyPort"));
    m_pConnectNum->setObjectName(QStringLiteral("connectNum"));
    m_pProxyPort->setValidator(new QRegularExpressionValidator(
        QRegularExpression(QStringLiteral("[0-9]*")), m_pProxyPort));

    auto* layout = new QGridLayout(this);
    layout->addWidget(m_pIESetting, 0, 0, 1, 3);
    layout->addWidget(m_pProxyEnable, 1, 0, 1, 3);
    layout->addWidget(Label(QStringLiteral("ｱﾄﾞﾚｽ(&A):"), m_pProxyHost), 2, 0);
    layout->addWidget(m_pProxyHost, 2, 1, 1, 2);
    layout->addWidget(Label(QStringLiteral("ﾎﾟｰﾄ番号(&O):"), m_pProxyPort), 3, 0);
    layout->addWidget(m_pProxyPort, 3, 1);
    layout->addWidget(Label(QStringLiteral("同時ﾀﾞｳﾝﾛｰﾄﾞ数(&N):"), m_pConnectNum), 4, 0);
    layout->addWidget(m_pConnectNum, 4, 1);
    layout->setColumnStretch(2, 1);
    layout->setRowStretch(5, 1);

    connect(m_pIESetting, &QCheckBox::clicked, this, &CInetOptionPage::OnIESetting);
    connect(m_pProxyEnable, &QCheckBox::clicked, this, &CInetOptionPage::OnProxyEnable);
    // Only the user's edits count as a change, not the values put in on loading.
    connect(m_pProxyHost, &QLineEdit::textEdited, this, &CInetOptionPage::OnProxyChange);
    connect(m_pProxyPort, &QLineEdit::textEdited, this, &CInetOptionPage::OnProxyChange);
    connect(m_pProxyHost, &QLineEdit::textChanged, this, &CInetOptionPage::LimitHostOnceItFits);
}

void CInetOptionPage::Load()
{
    const config::Config& config = Config();
    m_bIESetting = config.ReadInt(Key::ProxyIESetting);
    m_bProxyEnable = config.ReadInt(Key::ProxyEnable);
    m_storedHost = options::CStoredText(config.ReadString(Key::ProxyHost));
    m_strProxyHost = m_storedHost.Shown();
    m_nProxyPort = static_cast<std::uint32_t>(config.ReadInt(Key::ProxyPort));
    m_nConnectNum = static_cast<std::uint32_t>(config.ReadInt(Key::ConnectNum));

    m_pIESetting->setChecked(m_bIESetting != 0);
    m_pProxyEnable->setChecked(m_bProxyEnable != 0);
    m_pProxyHost->setText(m_strProxyHost);
    LimitHostOnceItFits();
    m_pProxyPort->setText(QString::number(m_nProxyPort));
    m_pConnectNum->SetText(QString::number(m_nConnectNum));
    ApplyEnablingRules();
}

// A stored host longer than the limit is shown whole (and refused on taking) rather than
// silently cut; the limit applies from the moment the text fits it.
void CInetOptionPage::LimitHostOnceItFits()
{
    if (m_pProxyHost->maxLength() != kMaxHostChars && m_pProxyHost->text().size() <= kMaxHostChars)
        m_pProxyHost->setMaxLength(kMaxHostChars);
}

std::optional<CRefusal> CInetOptionPage::TakeValues()
{
    m_bIESetting = m_pIESetting->isChecked() ? 1 : 0;
    m_bProxyEnable = m_pProxyEnable->isChecked() ? 1 : 0;
    // Disabled fields are checked too: they are stored all the same.
    if (auto refusal =
            options::TakeText(m_pProxyHost, m_pProxyHost->text(), kMaxHostChars, m_strProxyHost))
        return refusal;
    if (auto refusal =
            options::TakeUInt(m_pProxyPort, m_pProxyPort->text(), 1, kMaxPort, m_nProxyPort))
        return refusal;
    return options::TakeUInt(m_pConnectNum, m_pConnectNum->Text(), 1, kMaxConnections,
                             m_nConnectNum);
}

bool CInetOptionPage::Store()
{
    const config::Config& config = Config();
    bool stored = config.WriteInt(Key::ProxyIESetting, m_bIESetting);
    stored = config.WriteInt(Key::ProxyEnable, m_bProxyEnable) && stored;
    stored = config.WriteString(Key::ProxyHost, m_storedHost.ToStore(m_strProxyHost)) && stored;
    stored = config.WriteInt(Key::ProxyPort, static_cast<int>(m_nProxyPort)) && stored;
    stored = config.WriteInt(Key::ConnectNum, static_cast<int>(m_nConnectNum)) && stored;
    return stored;
}

void CInetOptionPage::TakeValuesShowingRefusal()
{
    if (const auto refusal = TakeValues())
        options::ShowRefusal(*refusal, m_prompts);
}

void CInetOptionPage::ApplyEnablingRules()
{
    const bool own = !m_pIESetting->isChecked();
    m_pProxyEnable->setEnabled(own);
    m_pProxyHost->setEnabled(own && m_pProxyEnable->isChecked());
    m_pProxyPort->setEnabled(own && m_pProxyEnable->isChecked());
}

void CInetOptionPage::OnIESetting()
{
    TakeValuesShowingRefusal();
    ApplyEnablingRules();
    emit Modified();
}

// The proxy check box can only be clicked while the system settings are not used.
void CInetOptionPage::OnProxyEnable()
{
    TakeValuesShowingRefusal();
    m_pProxyHost->setEnabled(m_pProxyEnable->isChecked());
    m_pProxyPort->setEnabled(m_pProxyEnable->isChecked());
    emit Modified();
}

void CInetOptionPage::OnProxyChange()
{
    emit Modified();
}
