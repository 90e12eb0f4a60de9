#pragma once

#include "editors/PropertyTab.h"

class DynamicValueWidget;
class RotationPreviewWidget;

// The world rotation that items inherit.
class RotationTab : public PropertyTab
{
    Q_OBJECT

public:
    explicit RotationTab(QWidget* parent);

    RotationPreviewWidget* preview() const { return m_preview; }
    DynamicValueWidget* valueWidget() const { return m_valueWidget; }

private:
    RotationPreviewWidget* m_preview = nullptr;
    DynamicValueWidget* m_valueWidget = nullptr;
};
