#include "editors/RotationTab.h"

#include "doc/Properties.h"
#include "editors/DynamicValueWidget.h"
#include "editors/RotationPreviewWidget.h"

#include <QVBoxLayout>

RotationTab::RotationTab(QWidget* parent)
    : PropertyTab(parent)
{
    setTitle(tr("Item Rotation"));
    // The document keeps its properties object across loads and resets: one binding lasts.
    m_preview = new RotationPreviewWidget(this);
    m_preview->setValue(properties()->worldRotation());
    mainLayout()->addWidget(m_preview);
    mainLayout()->addSpacing(16);
    m_valueWidget = new DynamicValueWidget(DynamicValueWidget::DisplayMode::Rotation, this);
    m_valueWidget->setDynamicValue(properties()->worldRotation());
    mainLayout()->addWidget(m_valueWidget);
    addFinalStretch();
}
