#pragma once

#include "editors/PropertyTab.h"

class DynamicValueWidget;
class OrderPreviewWidget;

// The world stacking order that items inherit.
class OrderTab : public PropertyTab
{
    Q_OBJECT

public:
    explicit OrderTab(QWidget* parent);

    OrderPreviewWidget* preview() const { return m_preview; }
    DynamicValueWidget* valueWidget() const { return m_valueWidget; }

private:
    OrderPreviewWidget* m_preview = nullptr;
    DynamicValueWidget* m_valueWidget = nullptr;
};
