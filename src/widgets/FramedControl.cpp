#include "widgets/FramedControl.h"

#include <QEvent>
#include <QPainter>
#include <QStyle>
#include <QStyleOptionFrame>

FramedControl::FramedControl(QWidget* parent)
    : QWidget(parent)
{
    updateColors();
}

void FramedControl::updateColors()
{
    const bool isLightAppearance = palette().color(QPalette::WindowText).valueF() < 0.5;
    m_primaryLineColor = QColor::fromHsvF(0, 0, isLightAppearance ? 0.4f : 0.6f, 1);
    m_secondaryLineColor = QColor::fromHsvF(0, 0, isLightAppearance ? 0.6f : 0.4f, 1);
}

void FramedControl::paintEvent(QPaintEvent* /*event*/)
{
    QPainter painter(this);
    paintPanel(&painter);
}

void FramedControl::changeEvent(QEvent* event)
{
    QWidget::changeEvent(event);
    switch (event->type()) {
    case QEvent::EnabledChange:
    case QEvent::ApplicationPaletteChange:
    // A widget hears of a new application palette (light or dark appearance) as a change of its own.
    case QEvent::PaletteChange:
        updateColors();
        update();
        break;
    default:
        break;
    }
}

void FramedControl::paintFrame(QPainter* painter)
{
    paintPrimitive(painter, QStyle::PE_FrameLineEdit, palette());
}

void FramedControl::paintPanel(QPainter* painter)
{
    paintPrimitive(painter, QStyle::PE_PanelLineEdit, palette());
}

void FramedControl::paintPanel(QPainter* painter, const QColor& background)
{
    QPalette panelPalette = palette();
    panelPalette.setBrush(QPalette::All, QPalette::Base, QBrush(background));
    paintPrimitive(painter, QStyle::PE_PanelLineEdit, panelPalette);
}

void FramedControl::paintPrimitive(QPainter* painter, int primitive, const QPalette& palette)
{
    QStyleOptionFrame option;
    option.initFrom(this);
    option.rect = QRect(0, 0, width(), height());
    option.lineWidth = 1;
    option.midLineWidth = 1;
    option.frameShape = QFrame::Panel;
    option.palette = palette;
    style()->drawPrimitive(static_cast<QStyle::PrimitiveElement>(primitive), &option, painter, this);
}
