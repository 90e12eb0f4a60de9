#include "editors/OrderPreviewWidget.h"

#include "doc/DynamicValue.h"

#include <QPainter>

OrderPreviewWidget::OrderPreviewWidget(QWidget* parent)
    : DynamicValuePreviewWidget(tr("Load a order preset. (coming soon...)"),
                                tr("Save a order preset. (coming soon...)"), parent)
{
}

void OrderPreviewWidget::paintCell(QPainter* painter, const Cell& cell, const doc::DynamicValue& value)
{
    const double level = value.normal(cell.input, false).value();
    // Never vanishes and never fills the cell, so neighbours stay apart.
    const double side = 0.1 + 0.8 * level;
    painter->scale(cell.size.width() * side, cell.size.height() * side);
    painter->setBrush(QColor::fromHsvF(0.25f * static_cast<float>(level), 0.7f, 0.7f, 1.0f));
    painter->drawRect(QRectF(-0.5, -0.5, 1.0, 1.0));
}
