#include "editors/ItemsTab.h"

ItemsTab::ItemsTab(QWidget* parent)
    : PropertyTab(parent)
{
    setTitle(tr("Items"));
    addFinalStretch();
}
