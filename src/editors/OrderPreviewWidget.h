#pragma once

#include "editors/DynamicValuePreviewWidget.h"

// Draws the order value as a grid of squares: the higher the value, the larger the square and the
// further its hue moves from red towards green.
class OrderPreviewWidget : public DynamicValuePreviewWidget
{
    Q_OBJECT

public:
    explicit OrderPreviewWidget(QWidget* parent);

protected:
    void paintCell(QPainter* painter, const Cell& cell, const doc::DynamicValue& value) override;
};
