// The application shell: start-up boxes, the main window before, during and after a run, out of date (also
// over a light and a dark example), after a refused run, the File and Help menus, and the about boxes.
#include "ShotContext.h"

#include "app/ApplicationController.h"
#include "app/CanvasPreviewFrame.h"
#include "app/FileIO.h"
#include "app/MainWindow.h"
#include "app/StatusFrame.h"
#include "doc/Document.h"
#include "doc/Item.h"
#include "doc/Items.h"
#include "doc/Properties.h"
#include "shape/Manager.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QScreen>

namespace {

constexpr qint64 millimeter = 1000000;

QAction* windowAction(MainWindow* window, const QString& text)
{
    for (QAction* action : window->actions()) {
        if (action->text() == text) {
            return action;
        }
    }
    qWarning("No action \"%s\"", qPrintable(text));
    return nullptr;
}

QMenu* menuBarMenu(MainWindow* window, const QString& title)
{
    for (QAction* action : window->menuBar()->actions()) {
        if (action->menu() != nullptr && action->text() == title) {
            return action->menu();
        }
    }
    qWarning("No menu \"%s\"", qPrintable(title));
    return nullptr;
}

std::function<void(QWidget*)> clickButton(const QString& text)
{
    return [text](QWidget* widget) {
        for (QAbstractButton* button : widget->findChildren<QAbstractButton*>()) {
            if (button->text() == text) {
                button->click();
                return;
            }
        }
        qWarning("No button \"%s\"", qPrintable(text));
        widget->close();
    };
}

bool runGeneration(ShotContext& context)
{
    context.window()->onGenerate();
    return ShotContext::waitFor([&context] { return !context.window()->isGenerating(); }, 600000);
}

// Thousands of small copies on a large canvas: a run long enough to be caught while it works.
void makeSlow(const std::shared_ptr<doc::Document>& document)
{
    document->properties()->setCanvasSize(geo::Size(500 * millimeter, 500 * millimeter));
    document->properties()->setPrecision(geo::Precision::fromLevel(1));
    const auto item = document->items()->addItem();
    item->setRadius(geo::Length(millimeter));
    item->setCount(50000);
}

// Opens the example of that name as a user does: "Open Example...", its row, Open.
bool openExample(ShotContext& context, const QString& name)
{
    // Nothing of the session is kept: no question about unsaved changes first.
    context.window()->fileIO()->setUnsavedChanges(false);
    context.window()->showExampleGallery();
    auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
    auto* list = dialog != nullptr ? dialog->findChild<QListWidget*>(QStringLiteral("exampleList")) : nullptr;
    const auto isListed = [list, name] { return !list->findItems(name, Qt::MatchExactly).isEmpty(); };
    if (list == nullptr || !ShotContext::waitFor(isListed)) {
        qWarning("The example \"%s\" is not in the gallery.", qPrintable(name));
        if (dialog != nullptr) {
            dialog->reject();
        }
        return false;
    }
    list->setCurrentItem(list->findItems(name, Qt::MatchExactly).constFirst());
    dialog->accept();
    const auto document = context.controller().document();
    return ShotContext::waitFor([document, name] { return document->properties()->name() == name; });
}

// The out-of-date text over the faded picture of a light and of a dark example.
void shootOutOfDateExamples(ShotContext& context)
{
    MainWindow* window = context.window();
    const QList<std::pair<QString, QString>> examples{{QStringLiteral("Heart Garden"), QStringLiteral("light")},
                                                      {QStringLiteral("Ocean Bubbles"), QStringLiteral("dark")}};
    for (const auto& [name, look] : examples) {
        if (!openExample(context, name)) {
            continue;
        }
        const auto properties = context.controller().document()->properties();
        properties->setPrecision(geo::Precision::fromLevel(properties->precision().level() == 1 ? 2 : 1));
        ShotContext::waitFor([window] { return window->preview()->isOutOfDate(); });
        context.save(window, QStringLiteral("shell-main-outofdate-%1").arg(look));
    }
}

void shootRuns(ShotContext& context)
{
    MainWindow* window = context.window();
    const auto document = context.controller().document();
    StatusFrame* status = window->preview()->status();

    context.save(window, QStringLiteral("shell-main-start"));

    makeSlow(document);
    window->onGenerate();
    if (!ShotContext::waitFor([status] { return status->statusText().contains(QLatin1String("Placing Items... (")); })) {
        qWarning("The slow run was not caught while placing items.");
    }
    context.save(window, QStringLiteral("shell-main-working"));
    ShotContext::waitFor([window] { return !window->isGenerating(); }, 600000);

    document->resetToDefault();
    runGeneration(context);
    context.save(window, QStringLiteral("shell-main-done"));
    // The README's picture of the program.
    context.save(window, QStringLiteral("main-window"));

    document->properties()->setCanvasSize(geo::Size(100 * millimeter, 60 * millimeter));
    ShotContext::waitFor([window] { return window->preview()->isOutOfDate(); });
    context.save(window, QStringLiteral("shell-main-outofdate"));

    document->properties()->setCanvasSize(geo::Size(1000 * millimeter, 1000 * millimeter));
    document->properties()->setPrecision(geo::Precision::fromLevel(2));
    runGeneration(context);
    context.save(window, QStringLiteral("shell-main-refused"));

    shootOutOfDateExamples(context);

    // Leave the window as after a run of the default document, for the areas that follow.
    document->resetToDefault();
    runGeneration(context);
}

} // namespace

void shootShellStartUp(ShotContext& context)
{
    // A shape file that cannot be read, and a file where its "failed" folder should go: both start-up
    // boxes appear, one after the other.
    const QDir shapeFolder(shape::Manager::getShapeStorageDir());
    const QString brokenPath = shapeFolder.filePath(QStringLiteral("shape_broken.json"));
    const QString blockerPath = shapeFolder.filePath(QStringLiteral("failed"));
    QFile broken(brokenPath);
    QFile blocker(blockerPath);
    if (!broken.open(QIODevice::WriteOnly) || broken.write(R"({"type": "NoSuchShape"})") < 0
        || !blocker.open(QIODevice::WriteOnly)) {
        qWarning("Could not prepare the broken shape database.");
        return;
    }
    broken.close();
    blocker.close();
    context.saveModals(
        [] {
            ApplicationController controller;
            controller.start();
        },
        {{QStringLiteral("shell-box-database-error"), clickButton(QStringLiteral("Start Anyway"))},
         {QStringLiteral("shell-box-unable-to-move"), {}}});
    QFile::remove(brokenPath);
    QFile::remove(blockerPath);
}

void shootFirstStart(ShotContext& context)
{
    const QSize screenSize = context.window()->screen()->size();
    const QString suffix = QStringLiteral("%1x%2").arg(screenSize.width()).arg(screenSize.height());
    context.save(context.window(), QStringLiteral("shell-first-start-%1").arg(suffix));
    context.saveScreen(QStringLiteral("shell-first-start-%1-screen").arg(suffix));
}

void shootShell(ShotContext& context)
{
    MainWindow* window = context.window();
    shootRuns(context);
    context.saveMenu(menuBarMenu(window, QStringLiteral("&File")), QStringLiteral("shell-menu-file"));
    context.saveMenu(menuBarMenu(window, QStringLiteral("&Help")), QStringLiteral("shell-menu-help"));
    context.saveModal([window] { windowAction(window, QStringLiteral("About..."))->trigger(); },
                      QStringLiteral("shell-box-about"));
    context.saveModal([window] { windowAction(window, QStringLiteral("Information About Qt..."))->trigger(); },
                      QStringLiteral("shell-box-about-qt"));
}
