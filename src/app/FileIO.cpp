#include "app/FileIO.h"

#include "app/Application.h"
#include "app/ApplicationController.h"
#include "app/CanvasPreviewFrame.h"
#include "app/DocumentsFolder.h"
#include "app/ExampleDialog.h"
#include "app/MainWindow.h"
#include "app/StandardShortcut.h"
#include "canvas/Canvas.h"
#include "doc/Document.h"
#include "err/Error.h"
#include "io/AtomicFile.h"
#include "shape/Manager.h"

#include <QAbstractButton>
#include <QAction>
#include <QCoreApplication>
#include <QDateTime>
#include <QDebug>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonParseError>
#include <QMenu>
#include <QMessageBox>
#include <QSettings>
#include <QTextDocument>
#include <QTimer>

const QString FileIO::fileSuffix = QStringLiteral("mtfx");

namespace {

// Delays of the deferred steps: a box handled after exec has closed, and a dialog or box opened after
// the current one has gone.
constexpr int handleAnswerDelay = 10;
constexpr int openDialogDelay = 100;

// A file name shown as a menu text: a single "&" would otherwise mark a mnemonic and vanish.
QString menuText(const QString& text)
{
    QString escaped = text;
    return escaped.replace(QLatin1Char('&'), QStringLiteral("&&"));
}

// A project file dialog: saving to any file name, or opening an existing file.
QFileDialog* createProjectDialog(QWidget* parent, const QString& title, const QString& nameFilter,
                                 QFileDialog::AcceptMode acceptMode)
{
    auto* dialog = new QFileDialog(parent, title);
    dialog->setAcceptMode(acceptMode);
    dialog->setFileMode(acceptMode == QFileDialog::AcceptSave ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    dialog->setDefaultSuffix(FileIO::fileSuffix);
    dialog->setNameFilter(nameFilter);
    return dialog;
}

} // namespace

FileIO::FileIO(MainWindow* mainWindow)
    : QObject(mainWindow)
{
    initializeActions();
    initializeDialogs();
    if (auto* application = qobject_cast<Application*>(QCoreApplication::instance())) {
        connect(application, &Application::fileOpenRequest, this, &FileIO::onApplicationFileOpen);
    }
    connect(shape::Manager::instance(), &shape::Manager::shapeChanged, this, &FileIO::onShapeChanged);
}

FileIO::~FileIO() = default;

MainWindow* FileIO::mainWindow() const
{
    return static_cast<MainWindow*>(parent());
}

QString FileIO::plainTextForLabel(const QString& text)
{
    return Qt::mightBeRichText(text) ? Qt::convertFromPlainText(text, Qt::WhiteSpaceNormal) : text;
}

// --- set-up ---

void FileIO::initializeActions()
{
    m_newAction = addWindowAction(tr("New"), QKeySequence(QKeySequence::New));
    connect(m_newAction, &QAction::triggered, this, &FileIO::onFileNew);
    m_openAction = addWindowAction(tr("Open..."), QKeySequence(QKeySequence::Open));
    connect(m_openAction, &QAction::triggered, this, &FileIO::onFileOpen);
    m_openExampleAction = addWindowAction(tr("Open Example..."), QKeySequence());
    connect(m_openExampleAction, &QAction::triggered, this, &FileIO::onFileOpenExample);
    m_saveAction = addWindowAction(tr("Save"), QKeySequence(QKeySequence::Save));
    connect(m_saveAction, &QAction::triggered, this, &FileIO::onFileSave);
    m_saveAsAction = addWindowAction(tr("Save as..."), standardShortcut(QKeySequence::SaveAs));
    connect(m_saveAsAction, &QAction::triggered, this, &FileIO::onFileSaveAs);

    // Hidden: lets a tester see the failure paths without breaking a disk.
    m_testIoErrorAction = addWindowAction(tr("Activate Test IO Error"), QKeySequence(QStringLiteral("Ctrl+=, Ctrl+I")));
    m_testIoErrorAction->setShortcutContext(Qt::ApplicationShortcut);
    connect(m_testIoErrorAction, &QAction::triggered, this, &FileIO::activateTestIoError);
}

QAction* FileIO::addWindowAction(const QString& text, const QKeySequence& shortcut)
{
    auto* action = new QAction(text, this);
    action->setShortcut(shortcut);
    mainWindow()->addAction(action);
    return action;
}

void FileIO::initializeDialogs()
{
    const QString nameFilter = tr("Motifex Project (*.%1)").arg(fileSuffix);
    m_saveDialog = createProjectDialog(mainWindow(), tr("Save Project"), nameFilter, QFileDialog::AcceptSave);
    m_saveDialog->setObjectName(QStringLiteral("saveProjectDialog"));
    connect(m_saveDialog, &QFileDialog::fileSelected, this, &FileIO::onSavePathSelected);
    m_openDialog = createProjectDialog(mainWindow(), tr("Open Project"), nameFilter, QFileDialog::AcceptOpen);
    m_openDialog->setObjectName(QStringLiteral("openProjectDialog"));
    connect(m_openDialog, &QFileDialog::fileSelected, this, &FileIO::onOpenPathSelected);
    for (QFileDialog* dialog : {m_saveDialog, m_openDialog}) {
        connect(dialog, &QDialog::rejected, this, &FileIO::onFileDialogRejected);
    }

    m_unsavedChangesBox = new QMessageBox(QMessageBox::Warning, tr("Unsaved Changes"),
                                          tr("The current project has unsaved changes."),
                                          QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel,
                                          mainWindow());
    m_unsavedChangesBox->setObjectName(QStringLiteral("unsavedChangesBox"));
    m_unsavedChangesBox->setInformativeText(tr("Do you want to save your changes?"));
    m_unsavedChangesBox->setDefaultButton(QMessageBox::Save);

    m_saveErrorBox = new QMessageBox(QMessageBox::Critical, tr("Problem while Saving Project"),
                                     tr("There was a problem saving the current project."),
                                     QMessageBox::Discard | QMessageBox::Cancel, mainWindow());
    m_saveErrorBox->setObjectName(QStringLiteral("saveErrorBox"));
    m_saveErrorBox->setInformativeText(
        tr("Cancel cancels the current operation and returns to the main window.\n"
           "Discard discards this project without saving it."));
    m_saveErrorBox->setDefaultButton(QMessageBox::Cancel);
    connect(m_saveErrorBox, &QMessageBox::buttonClicked, this, &FileIO::onErrorMessageClicked);

    m_openErrorBox = new QMessageBox(QMessageBox::Warning, tr("Problem while Opening Project"),
                                     tr("There was a problem loading the selected project."), QMessageBox::Ok,
                                     mainWindow());
    m_openErrorBox->setObjectName(QStringLiteral("openErrorBox"));
    m_openErrorBox->setInformativeText(tr("See details for technical information about the problem."));
    connect(m_openErrorBox, &QMessageBox::buttonClicked, this, &FileIO::onErrorMessageClicked);

    m_exampleDialog = new ExampleDialog(mainWindow());
    connect(m_exampleDialog, &QDialog::finished, this, &FileIO::onExampleDialogDone);
}

void FileIO::addFileMenuActions(QMenu* menu)
{
    menu->addAction(m_newAction);
    menu->addAction(m_openAction);
    m_recentProjectsMenu = menu->addMenu(tr("Recent Projects"));
    menu->addSeparator();
    menu->addAction(m_openExampleAction);
    menu->addSeparator();
    menu->addAction(m_saveAction);
    menu->addAction(m_saveAsAction);
    updateRecentProjectsMenu();
}

void FileIO::addHelpMenuActions(QMenu* menu)
{
    menu->addAction(m_openExampleAction);
}

// --- start, close, generation runs, settings ---

void FileIO::applicationStart()
{
    applicationStart(QCoreApplication::arguments());
}

void FileIO::applicationStart(const QStringList& arguments)
{
    if (arguments.size() > 1) {
        const QFileInfo argument(arguments.at(1));
        if (argument.isFile()) {
            m_runningActions.push(RunningAction::Type::OpenProject, argument.absoluteFilePath());
            if (openProject(false)) {
                return;
            }
        }
    }
    const int depthBefore = m_runningActions.size();
    m_runningActions.push(RunningAction::Type::OpenProject,
                          QSettings().value(QStringLiteral("lastOpenProject")).toString());
    if (openProject(true)) {
        return;
    }
    // A silent failure to read leaves its action behind; it must not wait for an answer nobody is asked.
    while (m_runningActions.size() > depthBefore) {
        m_runningActions.pop();
    }
    m_runningActions.push(RunningAction::Type::NewProject);
    startNewDocument();
}

bool FileIO::allowClose()
{
    if (!m_hasUnsavedChanges) {
        return true;
    }
    m_runningActions.push(RunningAction::Type::ApplicationClose);
    askAboutUnsavedChangesModally();
    return false;
}

void FileIO::startWork()
{
    setWorking(true);
}

void FileIO::endWork()
{
    setWorking(false);
    if (m_deferredFileOpen.has_value()) {
        const FileOpenRequest request = *m_deferredFileOpen;
        m_deferredFileOpen.reset();
        // After the main window has finished its own end-of-run steps.
        QTimer::singleShot(0, this, [this, request] { onApplicationFileOpen(request.path, request.data); });
    }
}

void FileIO::setWorking(bool isWorking)
{
    m_isWorking = isWorking;
    for (QAction* action : {m_newAction, m_openAction, m_openExampleAction, m_saveAction, m_saveAsAction}) {
        action->setEnabled(!isWorking);
    }
    if (m_recentProjectsMenu != nullptr) {
        m_recentProjectsMenu->setEnabled(!isWorking);
    }
}

void FileIO::saveSettings()
{
    QSettings settings;
    settings.setValue(QStringLiteral("load.state"), m_openDialog->saveState());
    settings.setValue(QStringLiteral("toData.state"), m_saveDialog->saveState());
    settings.setValue(QStringLiteral("lastDir"), m_lastDirectory);
    settings.setValue(QStringLiteral("recentProjects"), m_recentProjects);
    settings.setValue(QStringLiteral("lastOpenProject"), m_currentPath);
    m_exampleDialog->saveSettings();
}

void FileIO::loadSettings()
{
    QSettings settings;
    m_openDialog->restoreState(settings.value(QStringLiteral("load.state")).toByteArray());
    m_saveDialog->restoreState(settings.value(QStringLiteral("toData.state")).toByteArray());
    m_lastDirectory = existingFolderOrDocuments(settings.value(QStringLiteral("lastDir")).toString());
    m_openDialog->setDirectory(m_lastDirectory);
    m_saveDialog->setDirectory(m_lastDirectory);
    m_recentProjects = settings.value(QStringLiteral("recentProjects")).toStringList();
    updateRecentProjectsMenu();
    m_exampleDialog->loadSettings();
}

void FileIO::setUnsavedChanges(bool hasUnsavedChanges)
{
    m_hasUnsavedChanges = hasUnsavedChanges;
    mainWindow()->setWindowModified(hasUnsavedChanges);
}

// --- document listener: only the file handling's own open, new and save clear the flag ---

void FileIO::onDocumentPropertyChanged(const QString& /*path*/, const doc::DocumentElement* /*element*/)
{
    setUnsavedChanges(true);
}

void FileIO::onDocumentElementAdded(const QString& /*path*/)
{
    setUnsavedChanges(true);
}

void FileIO::onDocumentElementRemoved(const QString& /*path*/)
{
    setUnsavedChanges(true);
}

void FileIO::onDocumentElementReset()
{
    // A load or new document of our own clears the flag right after its reset.
    setUnsavedChanges(true);
}

void FileIO::onShapeChanged(const QString& identifier)
{
    if (document()->shapeIds().contains(identifier)) {
        setUnsavedChanges(true);
    }
}

// --- commands ---

void FileIO::runUnlessUnsaved(const std::function<void()>& command)
{
    if (m_hasUnsavedChanges) {
        askAboutUnsavedChangesModally();
    } else {
        command();
    }
}

void FileIO::onFileNew()
{
    m_runningActions.push(RunningAction::Type::NewProject);
    runUnlessUnsaved([this] { startNewDocument(); });
}

void FileIO::onFileOpen()
{
    m_runningActions.push(RunningAction::Type::OpenProject);
    runUnlessUnsaved([this] { m_openDialog->open(); });
}

void FileIO::onFileOpenExample()
{
    m_runningActions.push(RunningAction::Type::OpenExample);
    runUnlessUnsaved([this] { m_exampleDialog->open(); });
}

void FileIO::onApplicationFileOpen(const QString& path, const QByteArray& data)
{
    if (m_isWorking) {
        // The generation task reads the edited document; a later request replaces an earlier one.
        m_deferredFileOpen = FileOpenRequest{path, data};
        return;
    }
    m_runningActions.push(RunningAction::Type::OpenProject, QFileInfo(path).absoluteFilePath(), data);
    runUnlessUnsaved([this] { openProject(false); });
}

void FileIO::onOpenRecent()
{
    auto* action = qobject_cast<QAction*>(sender());
    if (action == nullptr) {
        return;
    }
    m_runningActions.push(RunningAction::Type::OpenProject, action->data().toString());
    if (m_hasUnsavedChanges) {
        askAboutUnsavedChangesWindowModally();
    } else {
        openProject(false);
    }
}

void FileIO::onFileSave()
{
    if (!m_currentPath.isEmpty()) {
        m_runningActions.push(RunningAction::Type::SaveProject, m_currentPath);
        saveProject();
    } else {
        makeSaveSuggestion();
        m_runningActions.push(RunningAction::Type::SaveProject);
        m_saveDialog->open();
    }
}

void FileIO::onFileSaveAs()
{
    m_runningActions.push(RunningAction::Type::SaveProject);
    if (!m_currentPath.isEmpty()) {
        m_saveDialog->selectFile(m_currentPath);
    } else {
        makeSaveSuggestion();
    }
    m_saveDialog->open();
}

void FileIO::onSavePathSelected(const QString& path)
{
    m_runningActions.updatePath(path);
    saveProject();
}

void FileIO::onOpenPathSelected(const QString& path)
{
    m_runningActions.updatePath(path);
    openProject(false);
}

void FileIO::onFileDialogRejected()
{
    // Nothing below a cancelled dialog may go on by itself later.
    m_runningActions.clear();
}

// --- questions and answers ---

void FileIO::askAboutUnsavedChangesModally()
{
    m_unsavedChangesBox->exec();
    QAbstractButton* clickedButton = m_unsavedChangesBox->clickedButton();
    QTimer::singleShot(handleAnswerDelay, this, [this, clickedButton] { onUnsavedChangesClicked(clickedButton); });
}

void FileIO::askAboutUnsavedChangesWindowModally()
{
    QTimer::singleShot(openDialogDelay, this, [this] {
        // Connected to buttonClicked for this one showing only.
        m_unsavedChangesBox->open(this, SLOT(onUnsavedChangesClicked(QAbstractButton*)));
    });
}

void FileIO::onUnsavedChangesClicked(QAbstractButton* button)
{
    switch (m_unsavedChangesBox->standardButton(button)) {
    case QMessageBox::Save:
        if (!m_currentPath.isEmpty()) {
            m_runningActions.push(RunningAction::Type::SaveProject, m_currentPath);
            saveProject();
        } else {
            m_runningActions.push(RunningAction::Type::SaveProject);
            makeSaveSuggestion();
            openSaveDialogLater();
        }
        break;
    case QMessageBox::Discard:
        // The flag is cleared by what replaces the document, or closes it; a dialog cancelled or a file
        // that fails to open leaves the changes in place, and they must stay marked as unsaved.
        continueRunningAction();
        break;
    default:
        m_runningActions.clear();
        break;
    }
}

void FileIO::onErrorMessageClicked(QAbstractButton* button)
{
    QMessageBox::StandardButton standardButton = m_saveErrorBox->standardButton(button);
    if (standardButton == QMessageBox::NoButton) {
        standardButton = m_openErrorBox->standardButton(button);
    }
    if (standardButton != QMessageBox::Discard) {
        m_runningActions.clear();
        return;
    }
    m_runningActions.pop();
    // As with the question: only the action that goes on now may drop the changes; with nothing pending
    // they stay unsaved and a later close still asks.
    if (m_runningActions.hasCurrent()) {
        continueRunningAction();
    }
}

void FileIO::continueRunningAction()
{
    if (!m_runningActions.hasCurrent()) {
        qDebug() << "Continue action with empty stack.";
        return;
    }
    const RunningAction& action = m_runningActions.current();
    switch (action.type) {
    case RunningAction::Type::ApplicationClose:
        m_runningActions.clear();
        // The changes are given up: the main window's close is asked again and now passes.
        setUnsavedChanges(false);
        QTimer::singleShot(openDialogDelay, this, [] { QCoreApplication::quit(); });
        break;
    case RunningAction::Type::NewProject:
        startNewDocument();
        break;
    case RunningAction::Type::OpenProject:
        if (!action.path.isEmpty() || !action.data.isEmpty()) {
            openProject(false);
        } else {
            openOpenDialogLater();
        }
        break;
    case RunningAction::Type::SaveProject:
        saveProject();
        break;
    case RunningAction::Type::OpenExample:
        openExampleDialogLater();
        break;
    }
}

void FileIO::showOpenErrorLater(const QString& informativeText)
{
    m_openErrorBox->setInformativeText(plainTextForLabel(informativeText));
    QTimer::singleShot(openDialogDelay, this, [this] { m_openErrorBox->open(); });
}

void FileIO::showSaveErrorLater(const QString& reason)
{
    m_saveErrorBox->setDetailedText(tr("The error message was: %1").arg(reason));
    QTimer::singleShot(openDialogDelay, this, [this] { m_saveErrorBox->open(); });
}

void FileIO::openSaveDialogLater()
{
    QTimer::singleShot(openDialogDelay, this, [this] { m_saveDialog->open(); });
}

void FileIO::openOpenDialogLater()
{
    QTimer::singleShot(openDialogDelay, this, [this] { m_openDialog->open(); });
}

void FileIO::openExampleDialogLater()
{
    QTimer::singleShot(openDialogDelay, this, [this] { m_exampleDialog->open(); });
}

// --- saving ---

bool FileIO::saveProject()
{
    if (!m_runningActions.hasCurrent() || m_runningActions.currentType() != RunningAction::Type::SaveProject
        || m_runningActions.currentPath().isEmpty()) {
        return false;
    }
    const QString path = m_runningActions.currentPath();
    QString errorString;
    if (takeTestIoError()) {
        errorString = tr("Test IO Error");
    } else if (io::writeFileAtomically(path, jsonFromValues(), &errorString)) {
        setCurrentDocumentPath(path);
        addRecentProject(path);
        setUnsavedChanges(false);
        m_runningActions.pop();
        if (m_runningActions.hasCurrent()) {
            continueRunningAction();
        }
        return true;
    }
    // The failed action stays on the stack until the box is answered.
    showSaveErrorLater(errorString);
    return false;
}

QByteArray FileIO::jsonFromValues() const
{
    QJsonObject json = document()->toJson();
    json.insert(QStringLiteral("meta_data"),
                QJsonObject{
                    {QStringLiteral("application"), QStringLiteral("Quillane's Motifex")},
                    {QStringLiteral("version"), QCoreApplication::applicationVersion()},
                    {QStringLiteral("created"), QDateTime::currentDateTimeUtc().toString(Qt::ISODate)},
                });
    if (const QSharedPointer<canvas::Canvas> canvas = savableCanvas(); canvas != nullptr) {
        json.insert(QStringLiteral("canvas"), QJsonObject::fromVariantMap(canvas->toData().toMap()));
    }
    return QJsonDocument(json).toJson(QJsonDocument::Compact);
}

QSharedPointer<canvas::Canvas> FileIO::savableCanvas() const
{
    QSharedPointer<canvas::Canvas> canvas = mainWindow()->preview()->lastGeneratorResult();
    if (canvas == nullptr) {
        return {};
    }
    // The preview decides a second after the last change; until then its canvas may belong to an older
    // document. Restyling needs no stored style, so only a difference in placement keeps it out.
    const auto generatorDocument = ApplicationController::instance()->generatorDocument();
    if (document()->compare(generatorDocument) == doc::CompareResult::RequiresRegenerate) {
        return {};
    }
    return canvas;
}

// --- opening ---

bool FileIO::openProject(bool silent)
{
    if (!m_runningActions.hasCurrent() || m_runningActions.currentType() != RunningAction::Type::OpenProject) {
        qDebug() << "Open project with empty or wrong stack.";
        return false;
    }
    const RunningAction action = m_runningActions.current();
    QByteArray data = action.data;
    if (data.isEmpty()) {
        if (action.path.isEmpty()) {
            m_runningActions.pop();
            return false;
        }
        QString errorString;
        if (!readProjectFile(action.path, &data, &errorString)) {
            if (!silent) {
                showOpenErrorLater(tr("The error message was: %1").arg(errorString));
            }
            return false;
        }
    }
    const bool isLoaded = openProjectLoadDocumentAndCanvas(data, silent);
    if (isLoaded && !action.path.isEmpty()) {
        addRecentProject(action.path);
    }
    if (isLoaded) {
        setCurrentDocumentPath(action.path);
        setUnsavedChanges(false);
    }
    m_runningActions.pop();
    return isLoaded;
}

bool FileIO::readProjectFile(const QString& path, QByteArray* data, QString* errorString)
{
    if (takeTestIoError()) {
        *errorString = tr("Test IO Error");
        return false;
    }
    // Reading a FIFO or a device would block the main thread, or never end.
    const QFileInfo fileInfo(path);
    if (fileInfo.exists() && !fileInfo.isFile()) {
        *errorString = tr("“%1” is not a regular file.").arg(fileInfo.fileName());
        return false;
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        *errorString = file.errorString();
        return false;
    }
    if (file.isSequential()) {
        *errorString = tr("“%1” is not a regular file.").arg(fileInfo.fileName());
        return false;
    }
    *data = file.read(Application::maximumProjectFileSize);
    if (file.error() != QFileDevice::NoError) {
        *errorString = file.errorString();
        return false;
    }
    return true;
}

bool FileIO::openProjectLoadDocumentAndCanvas(const QByteArray& data, bool silent)
{
    const auto fail = [this, silent](const QString& informativeText) {
        if (!silent) {
            showOpenErrorLater(informativeText);
        }
        return false;
    };
    QJsonParseError parseError;
    const QJsonDocument json = QJsonDocument::fromJson(data, &parseError);
    if (parseError.error != QJsonParseError::NoError) {
        return fail(tr("There was an error in the JSON syntax: %1").arg(parseError.errorString()));
    }
    if (!json.isObject()) {
        return fail(tr("The JSON document is no object."));
    }
    const QJsonObject object = json.object();
    // Saved projects hold both; a file with neither is some other JSON file, not an empty project.
    if (!object.contains(QStringLiteral("properties")) && !object.contains(QStringLiteral("items"))) {
        return fail(tr("The file is not a Motifex project: it holds neither \"properties\" nor \"items\"."));
    }
    try {
        // All or nothing: a failure leaves the edited document as it was.
        document()->setFromJsonOrThrow(object);
    } catch (const err::Error& error) {
        return fail(tr("The error message was: %1").arg(error.reason()));
    }
    if (object.contains(QStringLiteral("canvas"))) {
        const QSharedPointer<canvas::Canvas> canvas =
            canvas::Canvas::create(object.value(QStringLiteral("canvas")).toVariant());
        if (canvas != nullptr) {
            ApplicationController::instance()->generatorDocument()->setFromDocument(document());
            mainWindow()->preview()->setGeneratorResult(canvas);
        }
    }
    return true;
}

void FileIO::onExampleDialogDone(int result)
{
    if (result == QDialog::Accepted) {
        QFile file(m_exampleDialog->selectedExamplePath());
        if (file.open(QIODevice::ReadOnly) && openProjectLoadDocumentAndCanvas(file.readAll(), true)) {
            setCurrentDocumentPath(QString());
            setUnsavedChanges(false);
        }
    }
    m_runningActions.clear();
}

void FileIO::startNewDocument()
{
    document()->resetToDefault();
    setUnsavedChanges(false);
    setCurrentDocumentPath(QString());
    m_runningActions.pop();
}

// --- paths and the recent list ---

void FileIO::setCurrentDocumentPath(const QString& path)
{
    if (path != m_currentPath) {
        m_currentPath = path;
        const QString versionText = tr("Motifex v%1").arg(QCoreApplication::applicationVersion());
        mainWindow()->setWindowFilePath(path);
        if (path.isEmpty()) {
            mainWindow()->setWindowTitle(tr("<new project>[*] – %1").arg(versionText));
        } else {
            // A "[*]" of the file's own name is doubled, so that the title shows it instead of the mark.
            const QString fileName = QFileInfo(path).fileName().replace(QStringLiteral("[*]"), QStringLiteral("[*][*]"));
            mainWindow()->setWindowTitle(tr("%1[*] – %2").arg(fileName, versionText));
        }
    }
    // A new project or an example has no folder of its own; the dialogs stay where they were.
    if (!path.isEmpty()) {
        m_lastDirectory = QFileInfo(path).absolutePath();
        m_openDialog->setDirectory(m_lastDirectory);
        m_saveDialog->setDirectory(m_lastDirectory);
    }
}

void FileIO::makeSaveSuggestion()
{
    const QString directory = existingFolderOrDocuments(m_lastDirectory);
    const QString name = QStringLiteral("project-%1.%2")
                             .arg(QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-hhmm")), fileSuffix);
    m_saveDialog->setDirectory(directory);
    m_saveDialog->selectFile(QDir(directory).filePath(name));
}

void FileIO::addRecentProject(const QString& path)
{
    m_recentProjects.removeAll(path);
    m_recentProjects.prepend(path);
    while (m_recentProjects.size() > maximumRecentProjects) {
        m_recentProjects.removeLast();
    }
    updateRecentProjectsMenu();
}

void FileIO::updateRecentProjectsMenu()
{
    m_recentProjects.removeIf([](const QString& path) { return !QFileInfo(path).isFile(); });
    if (m_recentProjectsMenu != nullptr) {
        m_recentProjectsMenu->clear();
        for (const QString& path : std::as_const(m_recentProjects)) {
            const QFileInfo fileInfo(path);
            QAction* action = m_recentProjectsMenu->addAction(menuText(fileInfo.fileName()));
            action->setToolTip(plainTextForLabel(fileInfo.absoluteFilePath()));
            action->setData(fileInfo.absoluteFilePath());
            connect(action, &QAction::triggered, this, &FileIO::onOpenRecent);
        }
    }
    m_openDialog->setHistory(m_recentProjects);
}

// --- the hidden test error ---

void FileIO::activateTestIoError()
{
    m_isTestIoErrorActive = true;
    QMessageBox::information(mainWindow(), tr("Test"), tr("Test IO Error Activated"));
}

bool FileIO::takeTestIoError()
{
    const bool isActive = m_isTestIoErrorActive;
    m_isTestIoErrorActive = false;
    return isActive;
}
