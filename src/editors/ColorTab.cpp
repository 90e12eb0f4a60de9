#include "editors/ColorTab.h"

ColorTab::ColorTab(QWidget* parent)
    : PropertyTab(parent)
{
    setTitle(tr("Color"));
    addFinalStretch();
}
