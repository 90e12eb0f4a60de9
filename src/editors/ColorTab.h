#pragma once

#include "editors/PropertyTab.h"

// The world colour that items inherit.
class ColorTab : public PropertyTab
{
    Q_OBJECT

public:
    explicit ColorTab(QWidget* parent);
};
