#pragma once

#include "app/GenerationRun.h"
#include "widgets/DocumentEditor.h"

#include <QFuture>
#include <QFutureWatcher>
#include <QMainWindow>
#include <QMutex>
#include <QSharedPointer>

#include <memory>

class QAction;
class QFrame;
class QPushButton;
class QSplitter;

namespace canvas {
class Canvas;
}
namespace doc {
class Document;
}

class CanvasPreviewFrame;
class ExportFrame;
class FileIO;
class FunctionEditor;
class Generator;
class PreferencesDialog;
class PropertiesFrame;
class ShapeEditor;
class ShapeSelectionDialog;
class TransitionSelectDialog;

// The application's only main window: the property panel, export strip and "Generate Pattern" on the
// left, the preview with its status line on the right; it owns the file handling and the shared
// dialogs, and runs a generation on the global thread pool.
class MainWindow : public QMainWindow, public DocumentEditor
{
    Q_OBJECT

public:
    explicit MainWindow(QWidget* parent);
    ~MainWindow() override;

    FunctionEditor* functionEditor();
    TransitionSelectDialog* transitionSelect();
    ShapeSelectionDialog* shapeSelectionDialog() const { return m_shapeSelectionDialog; }
    ShapeEditor* shapeEditor() const { return m_shapeEditor; }
    CanvasPreviewFrame* preview() const { return m_preview; }
    FileIO* fileIO() const { return m_fileIO; }
    ExportFrame* exportFrame() const { return m_exportFrame; }
    PropertiesFrame* propertiesFrame() const { return m_propertiesFrame; }
    PreferencesDialog* preferencesDialog() const { return m_preferencesDialog; }
    QAction* generateAction() const { return m_generateAction; }

    void showExampleGallery();

    // Where the window opens when no geometry is stored: three quarters of the screen's free area in each
    // direction, centred on it, never smaller than the window's minimum size.
    static QRect firstGeometry(const QRect& availableArea, const QSize& minimumSize);

    // The disabling and re-enabling around a generation run; the outcome decides the status text.
    void startWork();
    void endWork(const GenerationOutcome& outcome);

    // True from the start of a run until its result has been taken.
    bool isGenerating() const { return m_isGenerating; }
    // Held by the generation task for its whole run; whoever else holds it keeps a started run waiting
    // (tests do, to look at a run that has not begun).
    QMutex* generationMutex() { return &m_generationMutex; }

public slots:
    void onGenerate();
    void onGeneratorFinished();
    void onVisitWebsite();
    void onSendFeedback();
    void onVisitDocumentation();

protected:
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void initializeActions();
    void initializeUi();
    void initializeMenu();
    void loadSettings();
    void saveSettings();
    void showAbout();
    QAction* addWindowAction(const QString& text, const QKeySequence& shortcut);
    // The generation task, run on a pool thread. Never throws.
    GenerationOutcome generateOnPool();
    // Asks a running generation to stop and waits until its task has ended. The task only posts queued
    // calls to the main thread, so the wait needs no event loop.
    void cancelAndWaitForGeneration();

    QAction* m_generateAction = nullptr;
    QAction* m_aboutAction = nullptr;
    QAction* m_aboutQtAction = nullptr;
    QAction* m_feedbackAction = nullptr;
    QAction* m_reportProblemAction = nullptr;
    QAction* m_blogAction = nullptr;
    QAction* m_documentationAction = nullptr;
    QAction* m_preferencesAction = nullptr;
    QAction* m_quitAction = nullptr;
    PreferencesDialog* m_preferencesDialog = nullptr;
    QSplitter* m_splitter = nullptr;
    PropertiesFrame* m_propertiesFrame = nullptr;
    ExportFrame* m_exportFrame = nullptr;
    CanvasPreviewFrame* m_preview = nullptr;
    FileIO* m_fileIO = nullptr;
    ShapeEditor* m_shapeEditor = nullptr;
    FunctionEditor* m_functionEditor = nullptr;
    TransitionSelectDialog* m_transitionSelect = nullptr;
    QFrame* m_buttonFrame = nullptr;
    QPushButton* m_generateButton = nullptr;
    QMutex m_generationMutex;
    QSharedPointer<Generator> m_generator;
    QFuture<GenerationOutcome> m_generationFuture;
    QFutureWatcher<GenerationOutcome>* m_futureWatcher = nullptr;
    ShapeSelectionDialog* m_shapeSelectionDialog = nullptr;
    bool m_isGenerating = false;
    // The generator's copy as it was before the run: a run that gives no picture of its own puts it back,
    // so that the copy still matches the canvas that stays shown.
    std::shared_ptr<doc::Document> m_generatorDocumentBeforeRun;
};
