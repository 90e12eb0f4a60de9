#include "editors/ColorTab.h"

#include "doc/Properties.h"
#include "editors/ColorWidget.h"

#include <QVBoxLayout>

ColorTab::ColorTab(QWidget* parent)
    : PropertyTab(parent)
{
    setTitle(tr("Color"));
    // The document keeps its properties object across loads and resets: one binding lasts.
    m_colorWidget = new ColorWidget(this);
    m_colorWidget->setColor(properties()->worldColor());
    mainLayout()->addWidget(m_colorWidget, 10);
    addFinalStretch();
}
