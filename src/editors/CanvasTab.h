#pragma once

#include "editors/PropertyTab.h"

// The canvas tab: size, margin, colours and frame of the canvas.
class CanvasTab : public PropertyTab
{
    Q_OBJECT

public:
    explicit CanvasTab(QWidget* parent);
};
