#include "editors/OrderTab.h"

OrderTab::OrderTab(QWidget* parent)
    : PropertyTab(parent)
{
    setTitle(tr("Item Order"));
    addFinalStretch();
}
