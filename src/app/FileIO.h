#pragma once

#include "app/DocumentEditor.h"

#include <QByteArray>
#include <QObject>
#include <QString>

class MainWindow;
class QMenu;

// The file side of the main window: project files, the recent list and the unsaved-changes questions.
class FileIO : public QObject, public DocumentEditor
{
    Q_OBJECT

public:
    static const QString fileSuffix;

    explicit FileIO(MainWindow* mainWindow);

    MainWindow* mainWindow() const;

    void addFileMenuActions(QMenu* menu);
    void addHelpMenuActions(QMenu* menu);
    void applicationStart();
    bool allowClose();
    void startWork();
    void endWork();
    void saveSettings();
    void loadSettings();
    // The file of the open project; empty for a new project or an example.
    QString currentPath() const;

public slots:
    void onFileOpenExample();
    void onApplicationFileOpen(const QString& path, const QByteArray& data);
};
