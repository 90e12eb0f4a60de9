#include "app/MainWindow.h"

#include "app/ApplicationController.h"
#include "app/CanvasPreviewFrame.h"
#include "app/ExportFrame.h"
#include "app/FileIO.h"
#include "app/PreferencesDialog.h"
#include "app/StandardShortcut.h"
#include "app/StatusFrame.h"
#include "app/UpdateCheck.h"
#include "app/WebLinks.h"
#include "canvas/Canvas.h"
#include "doc/Document.h"
#include "doc/Properties.h"
#include "editors/FunctionEditor.h"
#include "editors/PropertiesFrame.h"
#include "editors/ShapeEditor.h"
#include "editors/ShapeSelectionDialog.h"
#include "editors/TransitionSelectDialog.h"
#include "generator/Generator.h"
#include "generator/GeneratorManager.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QDate>
#include <QDesktopServices>
#include <QFrame>
#include <QHBoxLayout>
#include <QMenuBar>
#include <QMessageBox>
#include <QMutexLocker>
#include <QPixmapCache>
#include <QPushButton>
#include <QScreen>
#include <QSettings>
#include <QSplitter>
#include <QThreadPool>
#include <QToolButton>
#include <QVBoxLayout>
#include <QtConcurrent>

#include <algorithm>

MainWindow::MainWindow(QWidget* parent)
    : QMainWindow(parent)
{
    m_preferencesDialog = new PreferencesDialog(this);
    m_fileIO = new FileIO(this);
    initializeActions();
    initializeUi();
    initializeMenu();
    loadSettings();
    m_fileIO->applicationStart();
}

MainWindow::~MainWindow()
{
    cancelAndWaitForGeneration();
}

FunctionEditor* MainWindow::functionEditor()
{
    if (m_functionEditor == nullptr) {
        m_functionEditor = new FunctionEditor(this);
        m_functionEditor->restoreGeometry(QSettings().value(QStringLiteral("functioneditor.geometry")).toByteArray());
    }
    return m_functionEditor;
}

TransitionSelectDialog* MainWindow::transitionSelect()
{
    if (m_transitionSelect == nullptr) {
        m_transitionSelect = new TransitionSelectDialog(this);
        m_transitionSelect->restoreGeometry(
            QSettings().value(QStringLiteral("transitionselect.geometry")).toByteArray());
    }
    return m_transitionSelect;
}

void MainWindow::showExampleGallery()
{
    m_fileIO->onFileOpenExample();
}

QRect MainWindow::firstGeometry(const QRect& availableArea, const QSize& minimumSize)
{
    const QSize size = QSize(availableArea.width() * 3 / 4, availableArea.height() * 3 / 4).expandedTo(minimumSize);
    // A window larger than the area keeps its top left corner, and so its title bar, on the screen.
    const QPoint offset(std::max(0, (availableArea.width() - size.width()) / 2),
                        std::max(0, (availableArea.height() - size.height()) / 2));
    return {availableArea.topLeft() + offset, size};
}

void MainWindow::initializeActions()
{
    m_generateAction = addWindowAction(tr("Generate"), QKeySequence(QStringLiteral("Ctrl+R")));
    connect(m_generateAction, &QAction::triggered, this, &MainWindow::onGenerate);
    m_aboutAction = addWindowAction(tr("About..."), QKeySequence());
    connect(m_aboutAction, &QAction::triggered, this, &MainWindow::showAbout);
    m_aboutQtAction = addWindowAction(tr("Information About Qt..."), QKeySequence());
    connect(m_aboutQtAction, &QAction::triggered, this, [this] { QMessageBox::aboutQt(this, QString()); });
    m_preferencesAction = addWindowAction(tr("Preferences..."), standardShortcut(QKeySequence::Preferences));
    connect(m_preferencesAction, &QAction::triggered, m_preferencesDialog, &QDialog::open);
    m_blogAction = addWindowAction(tr("Quillane Blog..."), QKeySequence());
    connect(m_blogAction, &QAction::triggered, this, &MainWindow::onVisitWebsite);
    m_feedbackAction = addWindowAction(tr("Send Feedback or Feature Requests..."), QKeySequence());
    connect(m_feedbackAction, &QAction::triggered, this, &MainWindow::onSendFeedback);
    m_reportProblemAction = addWindowAction(tr("Report a Problem..."), QKeySequence());
    connect(m_reportProblemAction, &QAction::triggered, this, &MainWindow::onSendFeedback);
    m_documentationAction = addWindowAction(tr("Documentation..."), standardShortcut(QKeySequence::HelpContents));
    connect(m_documentationAction, &QAction::triggered, this, &MainWindow::onVisitDocumentation);
    // Quitting closes the window first (the application's quit asks every window to close), so unsaved
    // changes are asked about as when the window itself is closed.
    m_quitAction = addWindowAction(tr("&Quit"), standardShortcut(QKeySequence::Quit));
    connect(m_quitAction, &QAction::triggered, this, [] { QCoreApplication::quit(); });
}

QAction* MainWindow::addWindowAction(const QString& text, const QKeySequence& shortcut)
{
    auto* action = new QAction(text, this);
    action->setShortcut(shortcut);
    addAction(action);
    return action;
}

void MainWindow::initializeUi()
{
    setWindowTitle(tr("<new project>[*] - Motifex v%1").arg(QCoreApplication::applicationVersion()));
    setUnifiedTitleAndToolBarOnMac(true);

    m_splitter = new QSplitter(Qt::Horizontal, this);
    m_splitter->setChildrenCollapsible(false);
    setCentralWidget(m_splitter);

    auto* leftColumn = new QFrame(m_splitter);
    leftColumn->setAutoFillBackground(false);
    leftColumn->setSizePolicy(QSizePolicy::Minimum, QSizePolicy::MinimumExpanding);
    // At least the logo's 400 px, and as wide as the widest tab needs: an explicit minimum would let the
    // splitter squeeze a tab below its own.
    leftColumn->setMaximumWidth(600);
    auto* leftLayout = new QVBoxLayout(leftColumn);
    leftLayout->setContentsMargins(16, 4, 4, 16);
    leftLayout->setSpacing(16);

    auto* logo = new QToolButton(leftColumn);
    logo->setObjectName(QStringLiteral("logo"));
    logo->setSizePolicy(QSizePolicy::MinimumExpanding, QSizePolicy::Preferred);
    logo->setIcon(QIcon(QStringLiteral(":/app-logo.png")));
    logo->setIconSize(QSize(400, 50));
    connect(logo, &QToolButton::clicked, this, &MainWindow::onVisitWebsite);
    leftLayout->addWidget(logo);
    leftLayout->addSpacing(4);

    m_propertiesFrame = new PropertiesFrame(leftColumn);
    leftLayout->addWidget(m_propertiesFrame, 10);
    m_exportFrame = new ExportFrame(leftColumn);
    leftLayout->addWidget(m_exportFrame, 0);

    m_buttonFrame = new QFrame(leftColumn);
    auto* buttonLayout = new QHBoxLayout(m_buttonFrame);
    buttonLayout->setContentsMargins(0, 0, 0, 0);
    buttonLayout->setSpacing(8);
    m_generateButton = new QPushButton(tr("Generate Pattern"), m_buttonFrame);
    connect(m_generateButton, &QPushButton::clicked, this, &MainWindow::onGenerate);
    buttonLayout->addWidget(m_generateButton, 3);
    leftLayout->addWidget(m_buttonFrame);

    m_preview = new CanvasPreviewFrame(m_exportFrame, m_splitter);
    m_splitter->addWidget(leftColumn);
    m_splitter->addWidget(m_preview);
    m_splitter->setStretchFactor(0, 1);
    m_splitter->setStretchFactor(1, 1000);

    m_futureWatcher = new QFutureWatcher<GenerationOutcome>(this);
    connect(m_futureWatcher, &QFutureWatcherBase::finished, this, &MainWindow::onGeneratorFinished);

    m_shapeEditor = new ShapeEditor(this);
    m_shapeSelectionDialog = new ShapeSelectionDialog(this);
}

void MainWindow::initializeMenu()
{
    QMenu* fileMenu = menuBar()->addMenu(tr("&File"));
    m_fileIO->addFileMenuActions(fileMenu);
    QMenu* exportMenu = fileMenu->addMenu(tr("Export"));
    m_exportFrame->addMenuActions(exportMenu);
    fileMenu->addSeparator();
    fileMenu->addAction(m_preferencesAction);
    fileMenu->addAction(m_quitAction);

    QMenu* actionMenu = menuBar()->addMenu(tr("&Action"));
    actionMenu->addAction(m_generateAction);
    m_propertiesFrame->initializeMenu(menuBar());

    QMenu* helpMenu = menuBar()->addMenu(tr("&Help"));
    helpMenu->addAction(m_aboutAction);
    helpMenu->addAction(m_aboutQtAction);
    helpMenu->addSeparator();
    m_fileIO->addHelpMenuActions(helpMenu);
    helpMenu->addAction(m_documentationAction);
    helpMenu->addSeparator();
    helpMenu->addAction(m_feedbackAction);
    helpMenu->addAction(m_reportProblemAction);
    helpMenu->addSeparator();
    helpMenu->addAction(m_blogAction);
    helpMenu->addSeparator();
    QAction* updateAction = helpMenu->addAction(tr("Check for Updates..."));
    connect(updateAction, &QAction::triggered, this,
            [] { ApplicationController::instance()->updateCheck()->checkForUpdate(); });
}

void MainWindow::loadSettings()
{
    m_exportFrame->loadSettings();
    m_preferencesDialog->loadSettings();
    m_fileIO->loadSettings();
    m_shapeEditor->loadSettings();
    QSettings settings;
    if (!restoreGeometry(settings.value(QStringLiteral("mainwindow.geometry")).toByteArray())) {
        const QRect first = firstGeometry(screen()->availableGeometry(), minimumSizeHint().expandedTo(minimumSize()));
        resize(first.size());
        move(first.topLeft());
    }
    m_splitter->restoreState(settings.value(QStringLiteral("mainwindow.splitter")).toByteArray());
}

void MainWindow::saveSettings()
{
    m_exportFrame->saveSettings();
    m_preferencesDialog->saveSettings();
    m_fileIO->saveSettings();
    m_shapeEditor->saveSettings();
    QSettings settings;
    settings.setValue(QStringLiteral("mainwindow.geometry"), saveGeometry());
    settings.setValue(QStringLiteral("mainwindow.splitter"), m_splitter->saveState());
    if (m_functionEditor != nullptr) {
        settings.setValue(QStringLiteral("functioneditor.geometry"), m_functionEditor->saveGeometry());
    }
    if (m_transitionSelect != nullptr) {
        settings.setValue(QStringLiteral("transitionselect.geometry"), m_transitionSelect->saveGeometry());
    }
}

void MainWindow::closeEvent(QCloseEvent* event)
{
    saveSettings();
    if (!m_fileIO->allowClose()) {
        // The close waits for the user's answer; the run goes on meanwhile.
        event->ignore();
        return;
    }
    cancelAndWaitForGeneration();
    QMainWindow::closeEvent(event);
}

void MainWindow::changeEvent(QEvent* event)
{
    QMainWindow::changeEvent(event);
    if (event->type() == QEvent::PaletteChange) {
        QPixmapCache::clear();
    }
}

void MainWindow::startWork()
{
    m_preview->startWork();
    m_exportFrame->startWork();
    m_fileIO->startWork();
    m_propertiesFrame->setEnabled(false);
    m_buttonFrame->setEnabled(false);
    m_generateAction->setEnabled(false);
    QCoreApplication::processEvents();
}

void MainWindow::endWork(const GenerationOutcome& outcome)
{
    m_preview->endWork(outcome.status, outcome.message);
    m_exportFrame->endWork();
    m_fileIO->endWork();
    m_propertiesFrame->setEnabled(true);
    m_buttonFrame->setEnabled(true);
    m_generateAction->setEnabled(true);
    QCoreApplication::processEvents();
}

void MainWindow::onGenerate()
{
    if (m_isGenerating) {
        return;
    }
    m_isGenerating = true;
    m_generatorDocumentBeforeRun = std::make_shared<doc::Document>();
    m_generatorDocumentBeforeRun->setFromDocument(ApplicationController::instance()->generatorDocument());
    startWork();
    m_generationFuture = QtConcurrent::run(QThreadPool::globalInstance(), [this] { return generateOnPool(); });
    m_futureWatcher->setFuture(m_generationFuture);
}

GenerationOutcome MainWindow::generateOnPool()
{
    // Held for the whole run, so that runs never overlap.
    QMutexLocker locker(&m_generationMutex);
    try {
        auto* controller = ApplicationController::instance();
        controller->generatorDocument()->setFromDocument(document());
        const QString identifier = document()->properties()->generatorIdentifier();
        m_generator = controller->generatorManager()->get(identifier);
        if (m_generator == nullptr) {
            return GenerationOutcome::failed(tr("There is no generator “%1”.").arg(identifier));
        }
        return runGenerator(*m_generator, m_preview->status());
    } catch (const std::exception& exception) {
        return GenerationOutcome::failedWithException(exception);
    } catch (...) {
        return GenerationOutcome::failed(QString());
    }
}

void MainWindow::onGeneratorFinished()
{
    const GenerationOutcome outcome = m_generationFuture.result();
    const bool keepsPreviousCanvas = outcome.keepsPreviousCanvas();
    if (keepsPreviousCanvas) {
        // The run copied the edited document over the state the shown canvas was made from.
        ApplicationController::instance()->generatorDocument()->setFromDocument(m_generatorDocumentBeforeRun);
    } else {
        m_preview->setGeneratorResult(outcome.canvas);
    }
    m_generatorDocumentBeforeRun.reset();
    m_isGenerating = false;
    endWork(outcome);
    if (keepsPreviousCanvas) {
        // The kept canvas may or may not match the document: compare as after an edit.
        m_preview->onPropertyChange();
    }
}

void MainWindow::cancelAndWaitForGeneration()
{
    if (!m_generationFuture.isValid() || m_generationFuture.isFinished()) {
        return;
    }
    m_preview->requestCancel();
    m_generationFuture.waitForFinished();
}

void MainWindow::onVisitWebsite()
{
    QDesktopServices::openUrl(WebLinks::homePage());
}

void MainWindow::onSendFeedback()
{
    QDesktopServices::openUrl(WebLinks::contactPage());
}

void MainWindow::onVisitDocumentation()
{
    QDesktopServices::openUrl(WebLinks::documentationPage());
}

void MainWindow::showAbout()
{
    QMessageBox::about(this, tr("Quillane's Motifex"),
                       tr("<h2>Quillane's Motifex</h2><p><b>Version %1</b></p>"
                          "<p>Copyright © %2 Quillane. All rights reserved. Visit "
                          "<a href=\"%3\">quillane.com</a> for news, documentation and support.</p>")
                           .arg(QCoreApplication::applicationVersion())
                           .arg(QDate::currentDate().year())
                           .arg(WebLinks::homePage().toString()));
}
