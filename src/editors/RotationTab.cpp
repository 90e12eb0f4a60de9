#include "editors/RotationTab.h"

RotationTab::RotationTab(QWidget* parent)
    : PropertyTab(parent)
{
    setTitle(tr("Item Rotation"));
    addFinalStretch();
}
