#pragma once

#include "widgets/FramedControl.h"

// The swatch of a static colour: a framed panel filled with the colour.
class StaticColorPreviewWidget : public FramedControl
{
    Q_OBJECT

public:
    explicit StaticColorPreviewWidget(QWidget* parent);

    // Stores the colour and repaints.
    void setColor(const QColor& color);
    const QColor& color() const { return m_color; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QColor m_color;
};
