#include "editors/Normal1DWidget.h"

#include "editors/ClampingSpinBox.h"

#include <QHBoxLayout>
#include <QSignalBlocker>
#include <QSlider>

#include <algorithm>
#include <cmath>

namespace {

struct ModeSettings {
    double factor;
    double minimum;
    double maximum;
    int tickInterval;
    const char16_t* suffix;
};

ModeSettings settingsFor(Normal1DWidget::Mode mode)
{
    switch (mode) {
    case Normal1DWidget::Mode::Percent:
        return {100.0, 0.0, 1.0, 10, u"%"};
    case Normal1DWidget::Mode::SignedPercent:
        return {100.0, -1.0, 1.0, 10, u"%"};
    case Normal1DWidget::Mode::HueDegrees:
    case Normal1DWidget::Mode::RotationDegrees:
        break;
    }
    // The masculine ordinal indicator (U+00BA) is the angle suffix the editors have always shown.
    return {360.0, -1.0, 1.0, 30, u"\u00BA"};
}

} // namespace

Normal1DWidget::Normal1DWidget(Mode mode, QWidget* parent)
    : QFrame(parent), m_mode(mode)
{
    initializeUi();
}

void Normal1DWidget::initializeUi()
{
    setSizePolicy(QSizePolicy::MinimumExpanding, QSizePolicy::Preferred);
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(8);

    m_spinBox = new ClampingSpinBox(this);
    m_spinBox->setMinimumHeight(24);
    m_spinBox->setSingleStep(0.1);
    m_spinBox->setDecimals(2);
    layout->addWidget(m_spinBox, 0);

    m_slider = new QSlider(Qt::Horizontal, this);
    m_slider->setMinimumHeight(24);
    m_slider->setSizePolicy(QSizePolicy::MinimumExpanding, QSizePolicy::Preferred);
    m_slider->setTickPosition(QSlider::NoTicks);
    layout->addWidget(m_slider, 10);

    applyMode();

    connect(m_spinBox, &QDoubleSpinBox::valueChanged, this, &Normal1DWidget::onSpinBoxChanged);
    connect(m_slider, &QSlider::valueChanged, this, &Normal1DWidget::onSliderMoved);
}

void Normal1DWidget::applyMode()
{
    const ModeSettings settings = settingsFor(m_mode);
    m_factor = settings.factor;
    setRange(settings.minimum, settings.maximum);
    setTickInterval(settings.tickInterval);
    setSuffix(QString::fromUtf16(settings.suffix));
}

void Normal1DWidget::setValue(geo::Normal1D value)
{
    m_isUpdating = true;
    m_spinBox->setValue(value.orZero() * m_factor);
    showOnSlider(m_spinBox->value());
    m_isUpdating = false;
}

geo::Normal1D Normal1DWidget::value() const
{
    return geo::Normal1D(m_spinBox->value() / m_factor).clamped(m_minimum, m_maximum);
}

void Normal1DWidget::setFactor(double factor)
{
    m_factor = factor;
}

void Normal1DWidget::setRange(geo::Normal1D a, geo::Normal1D b)
{
    m_minimum = std::min(a.value(), b.value());
    m_maximum = std::max(a.value(), b.value());
    m_isUpdating = true;
    m_spinBox->setRange(m_minimum * m_factor, m_maximum * m_factor);
    {
        // Only the user's own slider moves reach the spin box.
        const QSignalBlocker blocker(m_slider);
        m_slider->setRange(static_cast<int>(std::trunc(m_minimum * m_factor)),
                           static_cast<int>(std::trunc(m_maximum * m_factor)));
    }
    showOnSlider(m_spinBox->value());
    m_isUpdating = false;
}

void Normal1DWidget::setTickInterval(int interval)
{
    m_slider->setTickInterval(interval);
}

void Normal1DWidget::setSuffix(const QString& suffix)
{
    m_spinBox->setSuffix(suffix);
}

void Normal1DWidget::onSpinBoxChanged()
{
    if (m_isUpdating) {
        return;
    }
    showOnSlider(m_spinBox->value());
    emit valueChanged();
}

void Normal1DWidget::onSliderMoved()
{
    if (m_isUpdating) {
        return;
    }
    // The spin box takes the whole number the user chose; its change signal reports the edit.
    m_spinBox->setValue(m_slider->value());
}

int Normal1DWidget::sliderPosition(double spinValue) const
{
    const double position = std::clamp(std::trunc(spinValue), static_cast<double>(m_slider->minimum()),
                                       static_cast<double>(m_slider->maximum()));
    return static_cast<int>(position);
}

void Normal1DWidget::showOnSlider(double spinValue)
{
    // Blocked, so that showing a value never sends the slider's whole number back into the spin box.
    const QSignalBlocker blocker(m_slider);
    m_slider->setValue(sliderPosition(spinValue));
}
