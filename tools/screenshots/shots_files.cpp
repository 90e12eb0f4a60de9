#include "ShotContext.h"

#include "app/ApplicationController.h"
#include "app/CanvasPreviewFrame.h"
#include "app/ExportFrame.h"
#include "app/FileIO.h"
#include "app/MainWindow.h"
#include "doc/Document.h"
#include "doc/Properties.h"

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QStandardPaths>

namespace {

QAbstractButton* buttonWithText(QWidget* widget, const QString& text)
{
    for (QAbstractButton* button : widget->findChildren<QAbstractButton*>()) {
        if (button->text().remove(QLatin1Char('&')) == text) {
            return button;
        }
    }
    return nullptr;
}

std::function<void(QWidget*)> clickButton(const QString& text)
{
    return [text](QWidget* widget) {
        if (QAbstractButton* button = buttonWithText(widget, text)) {
            button->click();
        }
    };
}

// Types the path into the open file dialog and accepts it, as a user would.
void chooseInFileDialog(const QString& path)
{
    ShotContext::waitFor([] { return qobject_cast<QFileDialog*>(QApplication::activeModalWidget()) != nullptr; }, 10000);
    auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
    if (dialog == nullptr) {
        qWarning("No file dialog appeared for %s", qPrintable(path));
        return;
    }
    dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))->setText(path);
    static_cast<QDialog*>(dialog)->accept();
}

QMenu* fileSubmenu(MainWindow* window, const QString& title)
{
    QMenu* fileMenu = window->menuBar()->actions().first()->menu();
    for (QAction* action : fileMenu->actions()) {
        if (action->menu() != nullptr && action->text() == title) {
            return action->menu();
        }
    }
    return nullptr;
}

// A few saved projects of the current pattern, opened in turn so that they fill the recent list.
void openSampleProjects(ShotContext& context, const QDir& documents)
{
    FileIO* files = context.window()->fileIO();
    const auto properties = context.controller().document()->properties();
    for (const QString name : {"Star Field v1.2", "Tiles A&B", "Autumn Leaves", "Ocean Bubbles"}) {
        properties->setName(name);
        const QString path = documents.filePath(name + QStringLiteral(".mtfx"));
        QFile file(path);
        if (file.open(QIODevice::WriteOnly)) {
            file.write(files->jsonFromValues());
        }
        file.close();
        files->setUnsavedChanges(false);
        files->onApplicationFileOpen(path, files->jsonFromValues());
    }
    ShotContext::settle(300);
}

} // namespace

void shootFiles(ShotContext& context)
{
    MainWindow* window = context.window();
    FileIO* files = window->fileIO();
    const QDir documents(QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation));
    documents.mkpath(QStringLiteral("."));

    window->onGenerate();
    ShotContext::waitFor([window] { return !window->isGenerating() && window->preview()->lastGeneratorResult() != nullptr; });
    openSampleProjects(context, documents);

    context.saveMenu(fileSubmenu(window, QStringLiteral("Recent Projects")), QStringLiteral("files_recent_projects_menu"));
    context.saveMenu(fileSubmenu(window, QStringLiteral("Export")), QStringLiteral("files_export_menu"));
    context.save(window->exportFrame(), QStringLiteral("files_export_strip"));

    context.controller().document()->properties()->setNotes(QStringLiteral("A change not yet saved."));
    context.saveModal([files] { files->onFileNew(); }, QStringLiteral("files_unsaved_changes"), clickButton("Cancel"));
    files->setUnsavedChanges(false);
    context.saveModal([files] { files->onFileOpen(); }, QStringLiteral("files_open_dialog"));
    context.saveModal([files] { files->onFileSaveAs(); }, QStringLiteral("files_save_dialog"));

    const QString brokenPath = documents.filePath(QStringLiteral("Broken.mtfx"));
    QFile broken(brokenPath);
    if (broken.open(QIODevice::WriteOnly)) {
        broken.write("{\"properties\": {\"name\": ");
    }
    broken.close();
    context.saveModal([files, brokenPath] { files->onApplicationFileOpen(brokenPath, QByteArray("{\"properties\": {\"name\": ")); },
                      QStringLiteral("files_open_error"), clickButton("OK"));
    QFile::remove(brokenPath);

    for (QAction* action : window->actions()) {
        if (action->text() == QLatin1String("Activate Test IO Error")) {
            context.saveModal([action] { action->trigger(); }, QStringLiteral("files_test_io_error"), clickButton("OK"));
        }
    }
    context.saveModal([files] { files->onFileSave(); }, QStringLiteral("files_save_error"), [&context](QWidget* box) {
        // A second picture with the reason shown.
        if (QAbstractButton* details = buttonWithText(box, QStringLiteral("Show Details..."))) {
            details->click();
            ShotContext::settle(150);
            context.save(box, QStringLiteral("files_save_error_details"));
        }
        clickButton("Cancel")(box);
    });

    // An export into a folder that does not exist fails with its box.
    ExportFrame* exportFrame = window->exportFrame();
    exportFrame->onExportBitmap();
    chooseInFileDialog(documents.filePath(QStringLiteral("missing folder/Ocean Bubbles.png")));
    ShotContext::waitFor([] {
        QWidget* modal = QApplication::activeModalWidget();
        return modal != nullptr && modal->objectName() == QLatin1String("exportErrorBox");
    }, 10000);
    if (QWidget* box = QApplication::activeModalWidget()) {
        ShotContext::settle(150);
        context.save(box, QStringLiteral("files_export_error"));
        clickButton("OK")(box);
    }
    ShotContext::settle(100);

    // A real export at 300 dpi, copied beside the pictures.
    exportFrame->findChild<QComboBox*>(QStringLiteral("exportResolutionBox"))->setCurrentIndex(2);
    const QString exported = documents.filePath(QStringLiteral("Ocean Bubbles.png"));
    exportFrame->onExportBitmap();
    chooseInFileDialog(exported);
    ShotContext::waitFor([&exported] { return QFile::exists(exported); }, 10000);
    const QString copy = context.outputDir().filePath(QStringLiteral("files_exported_pattern.png"));
    QFile::remove(copy);
    if (!QFile::copy(exported, copy)) {
        qWarning("Could not copy the exported bitmap to %s", qPrintable(copy));
    }
    ShotContext::settle(100);
}
