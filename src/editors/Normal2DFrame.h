#pragma once

#include "geo/Normal2D.h"
#include "widgets/FramedControl.h"

class QMouseEvent;

// A pad that shows a normalised point as a marker in a frame. The compact pad only reports clicks;
// the large pad, with a grid, sets the point by press, drag and release (Shift rounds to tenths,
// Control to halves).
class Normal2DFrame : public FramedControl
{
    Q_OBJECT

public:
    enum class Style : int {
        Compact = 0,
        Large = 1,
    };

    Normal2DFrame(Style style, QWidget* parent);

    Style style() const { return m_style; }
    int margin() const { return m_margin; }

    // Stores and repaints when different; emits nothing.
    void setValue(const geo::Normal2D& value);
    geo::Normal2D value() const { return m_value; }
    // The widget inset by the margin on every side.
    QRect frameRect() const;

signals:
    // The user pressed, dragged or released on the large pad (also when the point stayed the same).
    void valueChanged();
    // The user pressed on the compact pad.
    void clicked();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    geo::Normal2D eventToNormal(const QMouseEvent* event) const;
    void setValueFromEvent(const QMouseEvent* event);
    void paintGrid(QPainter* painter) const;
    void paintCross(QPainter* painter) const;
    void paintMarker(QPainter* painter) const;

    Style m_style;
    int m_margin;
    double m_markerDiameter;
    double m_markerPenWidth;
    geo::Normal2D m_value;
};
