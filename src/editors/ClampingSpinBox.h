#pragma once

#include <QDoubleSpinBox>

#include <optional>

// A double spin box that takes a typed number outside its range as the nearest bound (typing 150 into
// 0..100 gives 100) instead of refusing the keystroke, and reports a typed value once, when the edit
// is finished (Return or leaving the field), not for every keystroke.
class ClampingSpinBox : public QDoubleSpinBox
{
    Q_OBJECT

public:
    explicit ClampingSpinBox(QWidget* parent);

    QValidator::State validate(QString& text, int& position) const override;
    void fixup(QString& input) const override;

private:
    // The number in the text without prefix and suffix; none when the text holds no number.
    std::optional<double> typedNumber(const QString& text) const;
};
