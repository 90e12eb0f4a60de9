#include "app/ExportFrame.h"

#include <QMenu>

ExportFrame::ExportFrame(QWidget* parent)
    : QFrame(parent)
{
}

void ExportFrame::setSvgData(const QByteArray& /*data*/)
{
}

void ExportFrame::addMenuActions(QMenu* /*menu*/)
{
}

void ExportFrame::startWork()
{
}

void ExportFrame::endWork()
{
}

void ExportFrame::saveSettings()
{
}

void ExportFrame::loadSettings()
{
}
