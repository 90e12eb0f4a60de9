#include "editors/MainTab.h"

MainTab::MainTab(QWidget* parent)
    : PropertyTab(parent)
{
    setTitle(tr("Main Settings"));
    addFinalStretch();
}
