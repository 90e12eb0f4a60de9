#pragma once

#include "editors/PropertyTab.h"

// The world rotation that items inherit.
class RotationTab : public PropertyTab
{
    Q_OBJECT

public:
    explicit RotationTab(QWidget* parent);
};
