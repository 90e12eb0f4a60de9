#include "editors/Normal2DFrame.h"

#include <QMouseEvent>
#include <QPainter>

#include <cmath>

namespace {

constexpr int gridLineCount = 9;

double roundedTo(double coordinate, double steps)
{
    return std::round(coordinate * steps) / steps;
}

} // namespace

Normal2DFrame::Normal2DFrame(Style style, QWidget* parent)
    : FramedControl(parent), m_style(style)
{
    if (m_style == Style::Compact) {
        m_margin = 5;
        m_markerDiameter = 5.0;
        m_markerPenWidth = 2.0;
        setFixedSize(60, 50);
    } else {
        m_margin = 32;
        m_markerDiameter = 9.0;
        m_markerPenWidth = 3.0;
        setMinimumSize(300, 300);
    }
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Preferred);
}

void Normal2DFrame::setValue(const geo::Normal2D& value)
{
    if (m_value == value) {
        return;
    }
    m_value = value;
    update();
}

QRect Normal2DFrame::frameRect() const
{
    return QRect(QPoint(m_margin, m_margin), QPoint(width() - 1 - m_margin, height() - 1 - m_margin));
}

geo::Normal2D Normal2DFrame::eventToNormal(const QMouseEvent* event) const
{
    const QPoint position = event->position().toPoint() - QPoint(m_margin, m_margin);
    const double frameWidth = width() - 2 * m_margin;
    const double frameHeight = height() - 2 * m_margin;
    geo::Normal2D point = geo::Normal2D(position.x() / frameWidth, position.y() / frameHeight).clamped();
    if (event->modifiers().testFlag(Qt::ShiftModifier)) {
        point = geo::Normal2D(roundedTo(point.x(), 10.0), roundedTo(point.y(), 10.0));
    } else if (event->modifiers().testFlag(Qt::ControlModifier)) {
        point = geo::Normal2D(roundedTo(point.x(), 2.0), roundedTo(point.y(), 2.0));
    }
    return point;
}

void Normal2DFrame::setValueFromEvent(const QMouseEvent* event)
{
    setValue(eventToNormal(event));
    emit valueChanged();
}

void Normal2DFrame::mousePressEvent(QMouseEvent* event)
{
    event->accept();
    if (m_style == Style::Compact) {
        emit clicked();
        return;
    }
    setValueFromEvent(event);
}

void Normal2DFrame::mouseReleaseEvent(QMouseEvent* event)
{
    event->accept();
    if (m_style == Style::Large) {
        setValueFromEvent(event);
    }
}

void Normal2DFrame::mouseMoveEvent(QMouseEvent* event)
{
    event->accept();
    if (m_style == Style::Large && event->buttons() != Qt::NoButton) {
        setValueFromEvent(event);
    }
}

void Normal2DFrame::paintEvent(QPaintEvent* /*event*/)
{
    QPainter painter(this);
    paintPanel(&painter);
    if (m_style == Style::Large) {
        paintGrid(&painter);
    }
    paintCross(&painter);
    paintMarker(&painter);
}

void Normal2DFrame::paintGrid(QPainter* painter) const
{
    painter->setPen(QPen(secondaryLineColor(), 1));
    const int frameWidth = width() - 2 * m_margin;
    const int frameHeight = height() - 2 * m_margin;
    for (int i = 1; i <= gridLineCount; ++i) {
        const int y = m_margin + i * frameHeight / (gridLineCount + 1);
        painter->drawLine(m_margin, y, width() - m_margin, y);
        const int x = m_margin + i * frameWidth / (gridLineCount + 1);
        painter->drawLine(x, m_margin, x, height() - m_margin);
    }
}

void Normal2DFrame::paintCross(QPainter* painter) const
{
    painter->setPen(QPen(primaryLineColor(), 1));
    const int halfMargin = m_margin / 2;
    painter->drawLine(width() / 2, halfMargin, width() / 2, height() - halfMargin);
    painter->drawLine(halfMargin, height() / 2, width() - halfMargin, height() / 2);
    painter->setBrush(Qt::NoBrush);
    painter->drawRect(frameRect());
}

void Normal2DFrame::paintMarker(QPainter* painter) const
{
    const double frameWidth = width() - 2 * m_margin;
    const double frameHeight = height() - 2 * m_margin;
    const QPointF center(m_margin + m_value.x() * frameWidth, m_margin + m_value.y() * frameHeight);
    painter->setRenderHint(QPainter::Antialiasing);
    painter->setPen(QPen(palette().color(QPalette::Text), m_markerPenWidth));
    painter->setBrush(Qt::NoBrush);
    const double radius = m_markerDiameter / 2.0;
    painter->drawEllipse(center, radius, radius);
}
