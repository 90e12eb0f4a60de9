#pragma once

#include "editors/DynamicValuePreviewWidget.h"

// Draws the rotation value as a grid of arrows; at angle 0 an arrow points up, and its hue follows the
// angle.
class RotationPreviewWidget : public DynamicValuePreviewWidget
{
    Q_OBJECT

public:
    explicit RotationPreviewWidget(QWidget* parent);

protected:
    void paintCell(QPainter* painter, const Cell& cell, const doc::DynamicValue& value) override;
};
