#pragma once

#include "editors/PropertyTab.h"

// The list of item definitions.
class ItemsTab : public PropertyTab
{
    Q_OBJECT

public:
    explicit ItemsTab(QWidget* parent);
};
