#include "app/status_bar.h"

#include "app/lock_keys.h"

#include <QApplication>
#include <QEvent>
#include <QFontMetrics>
#include <QLabel>

namespace app {
namespace {

constexpr const char* kIndicatorTexts[3] = {"CAP", "NUM", "SCRL"};

} // namespace

StatusBar::StatusBar(QWidget* parent)
    : QStatusBar(parent)
    , m_message(new QLabel(QString::fromUtf8(kIdleMessage), this))
{
    setObjectName(QStringLiteral("StatusBar"));
    addWidget(m_message, 1);
    for (int i = 0; i < 3; ++i) {
        auto* pane = new QLabel(this);
        pane->setAlignment(Qt::AlignCenter);
        // Room for the text whether it is shown or not, so the panes never jump.
        pane->setMinimumWidth(fontMetrics().horizontalAdvance(QLatin1String(kIndicatorTexts[i])) +
                              8);
        pane->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        addPermanentWidget(pane);
        m_indicators[i] = pane;
    }
    qApp->installEventFilter(this);
    RefreshLockKeys();
}

StatusBar::~StatusBar()
{
    qApp->removeEventFilter(this);
}

QLabel* StatusBar::IndicatorPane(int index) const
{
    return index >= 0 && index < 3 ? m_indicators[index] : nullptr;
}

void StatusBar::RefreshLockKeys()
{
    const std::optional<LockKeyState> state = ReadLockKeys();
    const bool on[3] = {state && state->capsLock, state && state->numLock,
                        state && state->scrollLock};
    for (int i = 0; i < 3; ++i)
        m_indicators[i]->setText(on[i] ? QLatin1String(kIndicatorTexts[i]) : QString());
}

bool StatusBar::eventFilter(QObject* watched, QEvent* event)
{
    switch (event->type()) {
    case QEvent::KeyRelease:
    case QEvent::ApplicationActivate:
        RefreshLockKeys();
        break;
    default:
        break;
    }
    return QStatusBar::eventFilter(watched, event);
}

} // namespace app
