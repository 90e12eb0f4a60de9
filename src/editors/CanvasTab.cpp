#include "editors/CanvasTab.h"

CanvasTab::CanvasTab(QWidget* parent)
    : PropertyTab(parent)
{
    setTitle(tr("Canvas"));
    addFinalStretch();
}
