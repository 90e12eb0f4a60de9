#pragma once

#include "editors/PropertyTab.h"

// The world stacking order that items inherit.
class OrderTab : public PropertyTab
{
    Q_OBJECT

public:
    explicit OrderTab(QWidget* parent);
};
