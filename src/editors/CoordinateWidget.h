#pragma once

#include "geo/Normal2D.h"

#include <QFrame>

class QDoubleSpinBox;

// A pair of numeric fields, X and Y within 0 .. 1, for a normalised point.
class CoordinateWidget : public QFrame
{
    Q_OBJECT

public:
    enum class Orientation : int {
        Horizontal = 0, // X and Y side by side
        Vertical = 1,   // X above Y
    };

    CoordinateWidget(Orientation orientation, QWidget* parent);

    // Shows the point; emits nothing.
    void setValue(const geo::Normal2D& value);
    geo::Normal2D value() const { return m_value; }

    QDoubleSpinBox* xSpinBox() const { return m_xSpinBox; }
    QDoubleSpinBox* ySpinBox() const { return m_ySpinBox; }

signals:
    // The user changed X or Y.
    void valueChanged();

private:
    void initializeUi(Orientation orientation);
    QDoubleSpinBox* createSpinBox(const QString& objectName);
    void onXChanged();
    void onYChanged();

    geo::Normal2D m_value;
    QDoubleSpinBox* m_xSpinBox = nullptr;
    QDoubleSpinBox* m_ySpinBox = nullptr;
    // Set while setValue fills the fields.
    bool m_isUpdating = false;
};
