#include "editors/ClampingSpinBox.h"

#include <algorithm>

ClampingSpinBox::ClampingSpinBox(QWidget* parent)
    : QDoubleSpinBox(parent)
{
    setKeyboardTracking(false);
}

QValidator::State ClampingSpinBox::validate(QString& text, int& position) const
{
    const QValidator::State state = QDoubleSpinBox::validate(text, position);
    if (state != QValidator::Invalid) {
        return state;
    }
    const std::optional<double> number = typedNumber(text);
    if (number.has_value() && (*number < minimum() || *number > maximum())) {
        return QValidator::Intermediate; // fixup brings it to the bound
    }
    return state;
}

void ClampingSpinBox::fixup(QString& input) const
{
    const std::optional<double> number = typedNumber(input);
    if (!number.has_value()) {
        QDoubleSpinBox::fixup(input);
        return;
    }
    input = prefix() + textFromValue(std::clamp(*number, minimum(), maximum())) + suffix();
}

std::optional<double> ClampingSpinBox::typedNumber(const QString& text) const
{
    QString number = text.trimmed();
    if (!prefix().isEmpty() && number.startsWith(prefix())) {
        number.remove(0, prefix().size());
    }
    if (!suffix().isEmpty() && number.endsWith(suffix())) {
        number.chop(suffix().size());
    }
    bool isNumber = false;
    const double value = locale().toDouble(number.trimmed(), &isNumber);
    if (!isNumber) {
        return std::nullopt;
    }
    return value;
}
