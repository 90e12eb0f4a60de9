#pragma once

#include "editors/PropertyTab.h"

class ColorWidget;

// The world colour that items inherit.
class ColorTab : public PropertyTab
{
    Q_OBJECT

public:
    explicit ColorTab(QWidget* parent);

    ColorWidget* colorWidget() const { return m_colorWidget; }

private:
    ColorWidget* m_colorWidget = nullptr;
};
