#include "editors/OrderTab.h"

#include "doc/Properties.h"
#include "editors/DynamicValueWidget.h"
#include "editors/OrderPreviewWidget.h"

#include <QVBoxLayout>

OrderTab::OrderTab(QWidget* parent)
    : PropertyTab(parent)
{
    setTitle(tr("Item Order"));
    // The document keeps its properties object across loads and resets: one binding lasts.
    m_preview = new OrderPreviewWidget(this);
    m_preview->setValue(properties()->worldOrderZ());
    mainLayout()->addWidget(m_preview);
    mainLayout()->addSpacing(16);
    m_valueWidget = new DynamicValueWidget(DynamicValueWidget::DisplayMode::Level, this);
    m_valueWidget->setDynamicValue(properties()->worldOrderZ());
    mainLayout()->addWidget(m_valueWidget);
    addFinalStretch();
}
