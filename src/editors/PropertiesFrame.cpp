#include "editors/PropertiesFrame.h"

#include <QMenuBar>
#include <QTabWidget>
#include <QVBoxLayout>

PropertiesFrame::PropertiesFrame(QWidget* parent)
    : QFrame(parent)
{
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    m_tabWidget = new QTabWidget(this);
    layout->addWidget(m_tabWidget);
}

void PropertiesFrame::initializeMenu(QMenuBar* /*menuBar*/)
{
}
