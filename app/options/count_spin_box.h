#pragma once

#include <QAbstractSpinBox>

namespace options {

// A digits-only field with up and down arrows for a small count. Unlike QSpinBox it keeps
// whatever digits the user types, even none, so the page can refuse them with its own
// message; the arrows and arrow keys step within [min, max].
class CCountSpinBox : public QAbstractSpinBox
{
public:
    CCountSpinBox(int min, int max, QWidget* parent = nullptr);

    QString Text() const;
    void SetText(const QString& text);

    void stepBy(int steps) override;
    QValidator::State validate(QString& input, int& pos) const override;

protected:
    StepEnabled stepEnabled() const override;

private:
    // The text's value, or min - 1 when it holds none, so that up gives min.
    long long Value() const;

    int m_nMin;
    int m_nMax;
};

} // namespace options
