#pragma once

#include "app/RunningActionStack.h"
#include "widgets/DocumentEditor.h"

#include <QByteArray>
#include <QObject>
#include <QSharedPointer>
#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

class ExampleDialog;
class MainWindow;
class QAbstractButton;
class QAction;
class QFileDialog;
class QMenu;
class QMessageBox;

namespace canvas {
class Canvas;
}

// The file side of the main window: the File-menu actions, the project file dialogs, the recent list,
// opening from disk, the command line, file-open events and the example gallery, saving, and the
// unsaved-changes questions. Every command is pushed onto a stack first, so that a question or a dialog
// can stand between the command and its execution.
class FileIO : public QObject, public DocumentEditor
{
    Q_OBJECT

public:
    static const QString fileSuffix;
    // Newest first; older entries fall off the end.
    static constexpr int maximumRecentProjects = 20;

    explicit FileIO(MainWindow* mainWindow);
    ~FileIO() override;

    MainWindow* mainWindow() const;

    void addFileMenuActions(QMenu* menu);
    void addHelpMenuActions(QMenu* menu);
    // Opens the first project: the command line's first argument, else the last open project, else a
    // new document.
    void applicationStart();
    // The same with the given command line (program name first).
    void applicationStart(const QStringList& arguments);
    // Asked by the main window's close event; false while a question about unsaved changes decides.
    bool allowClose();
    // Around a generation run: the file actions are off, and file-open requests wait for the end.
    void startWork();
    void endWork();
    void saveSettings();
    void loadSettings();

    void setUnsavedChanges(bool hasUnsavedChanges);
    bool hasUnsavedChanges() const { return m_hasUnsavedChanges; }
    // The file of the open project; empty for a new project or an example.
    QString currentPath() const { return m_currentPath; }
    const QStringList& recentProjects() const { return m_recentProjects; }
    QMenu* recentProjectsMenu() const { return m_recentProjectsMenu; }
    const RunningActionStack& runningActions() const { return m_runningActions; }

    // The content of a project file for the edited document: compact JSON with "meta_data", and with
    // "canvas" when the preview shows a canvas that matches the document.
    QByteArray jsonFromValues() const;

    // The text itself when a label would show it as plain text; otherwise the text turned into rich text
    // that shows it literally, so that markup in a file name or an error message is never interpreted.
    static QString plainTextForLabel(const QString& text);

    void onDocumentPropertyChanged(const QString& path, const doc::DocumentElement* element) override;
    void onDocumentElementAdded(const QString& path) override;
    void onDocumentElementRemoved(const QString& path) override;
    void onDocumentElementReset() override;

public slots:
    void onFileNew();
    void onFileOpen();
    void onFileOpenExample();
    void onFileSave();
    void onFileSaveAs();
    void onOpenRecent();
    void onApplicationFileOpen(const QString& path, const QByteArray& data);
    void onSavePathSelected(const QString& path);
    void onOpenPathSelected(const QString& path);
    void onUnsavedChangesClicked(QAbstractButton* button);
    void onErrorMessageClicked(QAbstractButton* button);
    void onExampleDialogDone(int result);

private:
    struct FileOpenRequest {
        QString path;
        QByteArray data;
    };

    void initializeActions();
    void initializeDialogs();
    QAction* addWindowAction(const QString& text, const QKeySequence& shortcut);

    // The question about unsaved changes, run with exec or opened window-modally; each answer is handled
    // once, by onUnsavedChangesClicked.
    void askAboutUnsavedChangesModally();
    void askAboutUnsavedChangesWindowModally();
    // Runs the command at once without unsaved changes; otherwise asks first (modally).
    void runUnlessUnsaved(const std::function<void()>& command);
    // Turns the file actions and the recent menu off during a generation run, and on again.
    void setWorking(bool isWorking);
    void continueRunningAction();
    bool saveProject();
    bool openProject(bool silent);
    bool openProjectLoadDocumentAndCanvas(const QByteArray& data, bool silent);
    // Reads at most the project size limit from a regular file.
    bool readProjectFile(const QString& path, QByteArray* data, QString* errorString);
    void startNewDocument();
    void setCurrentDocumentPath(const QString& path);
    void makeSaveSuggestion();
    void addRecentProject(const QString& path);
    void updateRecentProjectsMenu();
    // The canvas a saved file may hold: the preview's, while it matches the edited document.
    QSharedPointer<canvas::Canvas> savableCanvas() const;

    void showOpenErrorLater(const QString& informativeText);
    void showSaveErrorLater(const QString& reason);
    void openSaveDialogLater();
    void openOpenDialogLater();
    void openExampleDialogLater();
    void onFileDialogRejected();
    void onShapeChanged(const QString& identifier);
    void activateTestIoError();
    // True once after the test error was activated: the next open or save fails.
    bool takeTestIoError();

    QString m_currentPath;
    QString m_lastDirectory;
    QStringList m_recentProjects;
    QAction* m_newAction = nullptr;
    QAction* m_openAction = nullptr;
    QAction* m_openExampleAction = nullptr;
    QAction* m_saveAction = nullptr;
    QAction* m_saveAsAction = nullptr;
    QAction* m_testIoErrorAction = nullptr;
    QMenu* m_recentProjectsMenu = nullptr;
    QFileDialog* m_saveDialog = nullptr;
    QFileDialog* m_openDialog = nullptr;
    QMessageBox* m_unsavedChangesBox = nullptr;
    QMessageBox* m_saveErrorBox = nullptr;
    QMessageBox* m_openErrorBox = nullptr;
    ExampleDialog* m_exampleDialog = nullptr;
    bool m_hasUnsavedChanges = false;
    RunningActionStack m_runningActions;
    bool m_isWorking = false;
    bool m_isTestIoErrorActive = false;
    // A file-open request that arrived during a generation run; carried out when the run ends.
    std::optional<FileOpenRequest> m_deferredFileOpen;
};
