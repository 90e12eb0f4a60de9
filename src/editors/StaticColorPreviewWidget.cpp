#include "editors/StaticColorPreviewWidget.h"

#include <QPainter>

StaticColorPreviewWidget::StaticColorPreviewWidget(QWidget* parent)
    : FramedControl(parent)
{
    setSizePolicy(QSizePolicy::MinimumExpanding, QSizePolicy::Preferred);
    setFixedHeight(24);
    setMinimumWidth(80);
}

void StaticColorPreviewWidget::setColor(const QColor& color)
{
    m_color = color;
    update();
}

void StaticColorPreviewWidget::paintEvent(QPaintEvent* /*event*/)
{
    QPainter painter(this);
    paintPanel(&painter, m_color);
}
