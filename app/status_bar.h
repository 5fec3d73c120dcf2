#pragma once

#include <QStatusBar>

class QLabel;

namespace app {

// The status bar's four panes: the message pane ("レディ" when idle; Qt shows a command's
// prompt over it while the command is highlighted), then "CAP", "NUM" and "SCRL", each
// shown while its lock is on. The locks are read again after every key and whenever the
// program becomes active; where the platform cannot tell, those panes stay blank.
class StatusBar : public QStatusBar
{
public:
    static constexpr const char* kIdleMessage = "レディ";
    // What the message pane says while the end of a run is under way.
    static constexpr const char* kMergingMessage = "結果ページを作成中…";
    static constexpr const char* kDeletingMessage = "一時ファイルを削除中…";

    explicit StatusBar(QWidget* parent = nullptr);
    ~StatusBar() override;

    QLabel* MessagePane() const { return m_message; }
    QLabel* IndicatorPane(int index) const; // 0 CAP, 1 NUM, 2 SCRL

    void RefreshLockKeys();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QLabel* m_message;
    QLabel* m_indicators[3];
};

} // namespace app
