#pragma once

#include "geo/Normal1D.h"

#include <QFrame>

class QDoubleSpinBox;
class QSlider;

// Edits one normalised value through a spin box and a slider that show it scaled into percent or
// degrees. It only shows a value and signals the user's changes; its owner writes.
class Normal1DWidget : public QFrame
{
    Q_OBJECT

public:
    enum class Mode : int {
        Percent = 0,         // 0 .. 1 shown as 0 .. 100 %
        SignedPercent = 1,   // −1 .. 1 shown as −100 .. 100 %
        HueDegrees = 2,      // −1 .. 1 shown as −360 .. 360 º
        RotationDegrees = 3, // the same as HueDegrees
    };

    Normal1DWidget(Mode mode, QWidget* parent);

    Mode mode() const { return m_mode; }

    // Shows the value (the spin box keeps it to two decimals of the scaled value, the slider its whole
    // part); emits nothing.
    void setValue(geo::Normal1D value);
    // The spin box value divided by the factor, within the stored range; NaN gives 0.
    geo::Normal1D value() const;

    // Replaces the scale; the ranges of spin box and slider stay as they are.
    void setFactor(double factor);
    double factor() const { return m_factor; }
    // The stored range, in either order; the spin box and slider ranges follow it.
    void setRange(geo::Normal1D a, geo::Normal1D b);
    geo::Normal1D minimum() const { return m_minimum; }
    geo::Normal1D maximum() const { return m_maximum; }
    void setTickInterval(int interval);
    void setSuffix(const QString& suffix);

    QDoubleSpinBox* spinBox() const { return m_spinBox; }
    QSlider* slider() const { return m_slider; }

signals:
    // The user changed the value.
    void valueChanged();

public slots:
    void onSpinBoxChanged();
    void onSliderMoved();

private:
    void initializeUi();
    void applyMode();
    // The slider position of a spin box value: its whole part, within the slider's range.
    int sliderPosition(double spinValue) const;
    void showOnSlider(double spinValue);

    Mode m_mode;
    // Set while code, not the user, changes the controls.
    bool m_isUpdating = false;
    double m_factor = 1.0;
    double m_minimum = 0.0;
    double m_maximum = 1.0;
    QDoubleSpinBox* m_spinBox = nullptr;
    QSlider* m_slider = nullptr;
};
