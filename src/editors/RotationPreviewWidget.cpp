#include "editors/RotationPreviewWidget.h"

#include "doc/DynamicValue.h"
#include "geo/Angle.h"

#include <QPainter>
#include <QPolygonF>

namespace {

// In cell units, y downwards: it points up.
const QPolygonF arrow{{
    {0.0, -0.5},
    {0.3, -0.1},
    {0.1, -0.1},
    {0.1, 0.4},
    {-0.1, 0.4},
    {-0.1, -0.1},
    {-0.3, -0.1},
}};

} // namespace

RotationPreviewWidget::RotationPreviewWidget(QWidget* parent)
    : DynamicValuePreviewWidget(tr("Load a rotation preset. (coming soon...)"),
                                tr("Save a rotation preset. (coming soon...)"), parent)
{
}

void RotationPreviewWidget::paintCell(QPainter* painter, const Cell& cell, const doc::DynamicValue& value)
{
    const double turn = value.normal(cell.input, true).value();
    // Through the fixed angle, so the preview turns exactly as placed items do.
    const double degrees = geo::Angle::fromDegrees(turn * 360.0).degrees();
    painter->scale(cell.size.width(), cell.size.height());
    painter->rotate(degrees);
    painter->setBrush(QColor::fromHsvF(static_cast<float>(turn), 0.7f, 0.7f, 1.0f));
    painter->drawPolygon(arrow);
}
