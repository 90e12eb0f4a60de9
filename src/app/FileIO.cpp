#include "app/FileIO.h"

#include "app/MainWindow.h"
#include "doc/Document.h"

#include <QMenu>

const QString FileIO::fileSuffix = QStringLiteral("mtfx");

FileIO::FileIO(MainWindow* mainWindow)
    : QObject(mainWindow)
{
}

MainWindow* FileIO::mainWindow() const
{
    return static_cast<MainWindow*>(parent());
}

void FileIO::addFileMenuActions(QMenu* /*menu*/)
{
}

void FileIO::addHelpMenuActions(QMenu* /*menu*/)
{
}

void FileIO::applicationStart()
{
    document()->resetToDefault();
}

bool FileIO::allowClose()
{
    return true;
}

void FileIO::startWork()
{
}

void FileIO::endWork()
{
}

void FileIO::saveSettings()
{
}

void FileIO::loadSettings()
{
}

QString FileIO::currentPath() const
{
    return {};
}

void FileIO::onFileOpenExample()
{
}

void FileIO::onApplicationFileOpen(const QString& /*path*/, const QByteArray& /*data*/)
{
}
