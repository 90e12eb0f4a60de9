#pragma once

#include "editors/PropertyTab.h"

// The first tab: generator, algorithm, precision, spacing, overlap and placement settings.
class MainTab : public PropertyTab
{
    Q_OBJECT

public:
    explicit MainTab(QWidget* parent);
};
