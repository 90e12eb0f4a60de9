#include "app/DocumentsFolder.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

QString documentsFolder()
{
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    return !documents.isEmpty() && QFileInfo(documents).isDir() ? documents : QDir::homePath();
}

QString existingFolderOrDocuments(const QString& folder)
{
    return !folder.isEmpty() && QFileInfo(folder).isDir() ? folder : documentsFolder();
}
