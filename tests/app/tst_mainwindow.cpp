#include "app/CanvasPreview.h"
#include "app/CanvasPreviewFrame.h"
#include "app/FileIO.h"
#include "app/MainWindow.h"
#include "app/PreferencesDialog.h"
#include "app/StandardShortcut.h"
#include "app/StatusFrame.h"
#include "canvas/Canvas.h"
#include "doc/Document.h"
#include "doc/Properties.h"
#include "editors/PropertiesFrame.h"
#include "generator/Generator.h"
#include "generator/GeneratorManager.h"
#include "support/AppFixture.h"
#include "support/ModalAnswerer.h"
#include "support/RunDocuments.h"
#include "support/UrlRecorder.h"
#include "support/WidgetTestMain.h"

#include <QAction>
#include <QDate>
#include <QMenu>
#include <QMenuBar>
#include <QPixmapCache>
#include <QPushButton>
#include <QSettings>
#include <QSplitter>
#include <QToolButton>
#include <QtTest>

using motifex::test::AppFixture;
using motifex::test::ModalAnswerer;
using motifex::test::UrlRecorder;

namespace {

constexpr int runTimeout = 120000;
const QString outOfDateText =
    QStringLiteral("This preview is out of date, click on “Generate Pattern” to create a new one.");

QAction* actionByText(QWidget* widget, const QString& text)
{
    const auto actions = widget->actions();
    const auto found = std::find_if(actions.cbegin(), actions.cend(),
                                    [&text](QAction* action) { return action->text() == text; });
    return found != actions.cend() ? *found : nullptr;
}

QMenu* menuByTitle(MainWindow* window, const QString& title)
{
    for (QAction* action : window->menuBar()->actions()) {
        if (action->menu() != nullptr && action->text() == title) {
            return action->menu();
        }
    }
    return nullptr;
}

// The entries of a menu as texts ("-" for a separator), without those the file handling adds.
QStringList menuEntries(QMenu* menu, const QObject* fileIO)
{
    QStringList entries;
    for (QAction* action : menu->actions()) {
        if (action->parent() == fileIO) {
            continue;
        }
        entries.append(action->isSeparator() ? QStringLiteral("-") : action->text());
    }
    return entries;
}

struct WindowFixture {
    WindowFixture() { QApplication::setQuitOnLastWindowClosed(false); }

    MainWindow* window() { return app.window(); }
    CanvasPreviewFrame* preview() { return app.window()->preview(); }
    StatusFrame* status() { return app.window()->preview()->status(); }
    QPushButton* generateButton()
    {
        for (QPushButton* button : window()->findChildren<QPushButton*>()) {
            if (button->text() == QLatin1String("Generate Pattern")) {
                return button;
            }
        }
        return nullptr;
    }
    QToolButton* cancelButton() { return status()->findChild<QToolButton*>(QStringLiteral("cancelButton")); }

    bool waitForRunEnd() { return QTest::qWaitFor([this] { return !window()->isGenerating(); }, runTimeout); }
    bool generate()
    {
        window()->onGenerate();
        return waitForRunEnd();
    }
    // True once the task is on its way (its first task name has arrived).
    bool waitForRunWorking()
    {
        return QTest::qWaitFor([this] { return status()->statusText() != QLatin1String("Starting..."); }, runTimeout);
    }

    AppFixture app;
};

} // namespace

class MainWindowTest : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        QSettings().clear();
        UrlRecorder::instance()->clear();
    }

    void startsWithNewProjectTitle()
    {
        WindowFixture fixture;
        QCOMPARE(fixture.window()->windowTitle(), QStringLiteral("<new project>[*] - Motifex v2.6.0"));
        auto* splitter = qobject_cast<QSplitter*>(fixture.window()->centralWidget());
        QVERIFY(splitter != nullptr);
        QCOMPARE(splitter->orientation(), Qt::Horizontal);
        QVERIFY(!splitter->childrenCollapsible());
        QCOMPARE(splitter->widget(1), fixture.preview());
        QVERIFY(fixture.window()->findChild<QToolButton*>(QStringLiteral("logo")) != nullptr);
    }

    void actionsAndShortcuts_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QKeySequence>("shortcut");
        QTest::newRow("generate") << "Generate" << QKeySequence(QStringLiteral("Ctrl+R"));
        QTest::newRow("about") << "About..." << QKeySequence();
        QTest::newRow("about Qt") << "Information About Qt..." << QKeySequence();
        // Linux has no standard shortcut for the preferences.
        QTest::newRow("preferences") << "Preferences..." << QKeySequence(QStringLiteral("Ctrl+,"));
        QTest::newRow("blog") << "Quillane Blog..." << QKeySequence();
        QTest::newRow("feedback") << "Send Feedback or Feature Requests..." << QKeySequence();
        QTest::newRow("report") << "Report a Problem..." << QKeySequence();
        QTest::newRow("documentation") << "Documentation..." << QKeySequence(QKeySequence::HelpContents);
    }

    void actionsAndShortcuts()
    {
        QFETCH(QString, text);
        QFETCH(QKeySequence, shortcut);
        WindowFixture fixture;
        // Added to the window itself, so that the shortcut works wherever the focus is.
        QAction* action = actionByText(fixture.window(), text);
        QVERIFY(action != nullptr);
        QCOMPARE(action->shortcut(), shortcut);
    }

    void standardShortcutFallbacks()
    {
        QCOMPARE(standardShortcut(QKeySequence::SaveAs), QKeySequence(QStringLiteral("Ctrl+Shift+S")));
        QCOMPARE(standardShortcut(QKeySequence::Preferences), QKeySequence(QStringLiteral("Ctrl+,")));
        QCOMPARE(standardShortcut(QKeySequence::Open), QKeySequence(QKeySequence::Open));
    }

    void menus()
    {
        WindowFixture fixture;
        const QObject* fileIO = fixture.window()->fileIO();
        const QList<QAction*> titles = fixture.window()->menuBar()->actions();
        QCOMPARE(titles.first()->text(), QStringLiteral("&File"));
        QCOMPARE(titles.at(1)->text(), QStringLiteral("&Action"));
        QCOMPARE(titles.last()->text(), QStringLiteral("&Help"));

        const QStringList fileEntries = menuEntries(menuByTitle(fixture.window(), QStringLiteral("&File")), fileIO);
        QCOMPARE(fileEntries.mid(fileEntries.size() - 4),
                 (QStringList{QStringLiteral("Export"), QStringLiteral("-"), QStringLiteral("Preferences..."),
                              QStringLiteral("&Quit")}));
        QCOMPARE(menuEntries(menuByTitle(fixture.window(), QStringLiteral("&Action")), fileIO),
                 QStringList{QStringLiteral("Generate")});
        QCOMPARE(menuEntries(menuByTitle(fixture.window(), QStringLiteral("&Help")), fileIO),
                 (QStringList{QStringLiteral("About..."), QStringLiteral("Information About Qt..."),
                              QStringLiteral("-"), QStringLiteral("Documentation..."), QStringLiteral("-"),
                              QStringLiteral("Send Feedback or Feature Requests..."),
                              QStringLiteral("Report a Problem..."), QStringLiteral("-"),
                              QStringLiteral("Quillane Blog..."), QStringLiteral("-"),
                              QStringLiteral("Check for Updates...")}));
    }

    void aboutBox()
    {
        WindowFixture fixture;
        ModalAnswerer answerer;
        answerer.accept();
        actionByText(fixture.window(), QStringLiteral("About..."))->trigger();
        QTRY_VERIFY(answerer.isDone());
        const auto record = answerer.lastRecord();
        QCOMPARE(record.title, QStringLiteral("Quillane's Motifex"));
        QVERIFY(record.text.startsWith(QStringLiteral("<h2>Quillane's Motifex</h2><p><b>Version 2.6.0</b></p>")));
        QVERIFY(record.text.endsWith(QStringLiteral("</p>")));
        const QString notice = record.text.mid(record.text.lastIndexOf(QStringLiteral("<p>")));
        QVERIFY(notice.contains(QString::number(QDate::currentDate().year())));
        QVERIFY(notice.contains(QStringLiteral("href=\"https://quillane.com/\"")));
    }

    void aboutQtBox()
    {
        WindowFixture fixture;
        ModalAnswerer answerer;
        answerer.accept();
        actionByText(fixture.window(), QStringLiteral("Information About Qt..."))->trigger();
        QTRY_VERIFY(answerer.isDone());
        QCOMPARE(answerer.lastRecord().title, QStringLiteral("About Qt"));
        QVERIFY(answerer.lastRecord().text.contains(QStringLiteral("About Qt")));
    }

    void preferencesOpenWindowModally()
    {
        WindowFixture fixture;
        QTest::keyClick(fixture.window(), Qt::Key_Comma, Qt::ControlModifier);
        PreferencesDialog* dialog = fixture.window()->preferencesDialog();
        QTRY_VERIFY(dialog->isVisible());
        QCOMPARE(dialog->windowModality(), Qt::WindowModal);
        dialog->reject();
    }

    void webLinks_data()
    {
        QTest::addColumn<QString>("actionText");
        QTest::addColumn<QUrl>("url");
        QTest::newRow("blog") << "Quillane Blog..." << QUrl(QStringLiteral("https://quillane.com/"));
        QTest::newRow("feedback") << "Send Feedback or Feature Requests..."
                                  << QUrl(QStringLiteral("https://quillane.com/about/contact/"));
        QTest::newRow("report") << "Report a Problem..." << QUrl(QStringLiteral("https://quillane.com/about/contact/"));
        QTest::newRow("documentation") << "Documentation..."
                                       << QUrl(QStringLiteral("https://quillane.com/motifex/documentation/"));
        QTest::newRow("logo") << QString() << QUrl(QStringLiteral("https://quillane.com/"));
    }

    void webLinks()
    {
        QFETCH(QString, actionText);
        QFETCH(QUrl, url);
        WindowFixture fixture;
        if (actionText.isEmpty()) {
            QTest::mouseClick(fixture.window()->findChild<QToolButton*>(QStringLiteral("logo")), Qt::LeftButton);
        } else {
            actionByText(fixture.window(), actionText)->trigger();
        }
        QCOMPARE(UrlRecorder::instance()->openedUrls(), QList<QUrl>{url});
    }

    void documentationFromF1()
    {
        WindowFixture fixture;
        QTest::keyClick(fixture.window(), Qt::Key_F1);
        QCOMPARE(UrlRecorder::instance()->openedUrls(),
                 QList<QUrl>{QUrl(QStringLiteral("https://quillane.com/motifex/documentation/"))});
    }

    void settingsAreSavedOnClose()
    {
        QList<int> splitterSizes;
        QSize windowSize;
        {
            WindowFixture fixture;
            fixture.window()->resize(1111, 877);
            windowSize = fixture.window()->size();
            auto* splitter = qobject_cast<QSplitter*>(fixture.window()->centralWidget());
            splitter->setSizes({450, 600});
            splitterSizes = splitter->sizes();
            QVERIFY(fixture.window()->close());
        }
        QSettings settings;
        QVERIFY(!settings.value(QStringLiteral("mainwindow.geometry")).toByteArray().isEmpty());
        QVERIFY(!settings.value(QStringLiteral("mainwindow.splitter")).toByteArray().isEmpty());
        // Dialogs that were never opened leave no geometry behind.
        QVERIFY(!settings.contains(QStringLiteral("functioneditor.geometry")));
        QVERIFY(!settings.contains(QStringLiteral("transitionselect.geometry")));

        WindowFixture restored;
        QCOMPARE(restored.window()->size(), windowSize);
        auto* splitter = qobject_cast<QSplitter*>(restored.window()->centralWidget());
        QCOMPARE(splitter->sizes(), splitterSizes);
    }

    void dialogGeometryOnlyOnceCreated()
    {
        {
            WindowFixture fixture;
            QCOMPARE(fixture.window()->functionEditor(), fixture.window()->functionEditor());
            QCOMPARE(fixture.window()->transitionSelect(), fixture.window()->transitionSelect());
            QVERIFY(fixture.window()->close());
        }
        QSettings settings;
        QVERIFY(settings.contains(QStringLiteral("functioneditor.geometry")));
        QVERIFY(settings.contains(QStringLiteral("transitionselect.geometry")));
    }

    void paletteChangeClearsThePixmapCache()
    {
        WindowFixture fixture;
        QPixmap pixmap(8, 8);
        pixmap.fill(Qt::red);
        QPixmapCache::insert(QStringLiteral("icon"), pixmap);
        QPixmap found;
        QVERIFY(QPixmapCache::find(QStringLiteral("icon"), &found));
        QPalette palette = fixture.window()->palette();
        palette.setColor(QPalette::Window, Qt::darkBlue);
        fixture.window()->setPalette(palette);
        QVERIFY(!QPixmapCache::find(QStringLiteral("icon"), &found));
    }

    // A run from Ctrl+R or the button: the controls are off until it ends, then the pattern is shown.
    void generationRun_data()
    {
        QTest::addColumn<bool>("isFromButton");
        QTest::newRow("Ctrl+R") << false;
        QTest::newRow("Generate Pattern") << true;
    }

    void generationRun()
    {
        QFETCH(bool, isFromButton);
        WindowFixture fixture;
        if (isFromButton) {
            QTest::mouseClick(fixture.generateButton(), Qt::LeftButton);
        } else {
            QTest::keyClick(fixture.window(), Qt::Key_R, Qt::ControlModifier);
        }
        // The result can only arrive through the event loop, so this is the state while it runs.
        QVERIFY(fixture.window()->isGenerating());
        QCOMPARE(fixture.status()->statusText(), QStringLiteral("Starting..."));
        QVERIFY(!fixture.window()->generateAction()->isEnabled());
        QVERIFY(!fixture.generateButton()->isEnabled());
        QVERIFY(!fixture.window()->propertiesFrame()->isEnabled());
        QVERIFY(fixture.cancelButton()->isVisible());
        QVERIFY(fixture.cancelButton()->isEnabled());
        QCOMPARE(fixture.preview()->canvasPreview()->overlayText(), QStringLiteral("Working…"));
        // A second trigger while running starts nothing.
        QTest::keyClick(fixture.window(), Qt::Key_R, Qt::ControlModifier);

        QVERIFY(fixture.waitForRunEnd());
        QVERIFY(fixture.status()->statusText().startsWith(QStringLiteral("Work done in ")));
        QVERIFY(fixture.window()->generateAction()->isEnabled());
        QVERIFY(fixture.generateButton()->isEnabled());
        QVERIFY(fixture.window()->propertiesFrame()->isEnabled());
        QVERIFY(!fixture.cancelButton()->isVisible());
        QVERIFY(fixture.preview()->svgData().contains("<svg"));
        const auto canvas = fixture.preview()->lastGeneratorResult();
        QVERIFY(canvas != nullptr);
        QVERIFY(fixture.status()->statisticText().startsWith(QStringLiteral("%1 items, largest ").arg(canvas->items().size())));
        QCOMPARE(fixture.app.controller().generatorDocument()->compare(fixture.app.controller().document()),
                 doc::CompareResult::Equal);
    }

    // Cancel before the run could finish: the previous canvas stays, matching the unchanged document.
    void cancelFromTheButtonKeepsThePreviousCanvas()
    {
        WindowFixture fixture;
        QVERIFY(fixture.generate());
        const auto canvas = fixture.preview()->lastGeneratorResult();
        const QByteArray svg = fixture.preview()->svgData();
        const QString statistic = fixture.status()->statisticText();
        {
            QMutexLocker held(fixture.window()->generationMutex());
            QTest::mouseClick(fixture.generateButton(), Qt::LeftButton);
            QTest::mouseClick(fixture.cancelButton(), Qt::LeftButton);
        }
        QVERIFY(fixture.waitForRunEnd());
        QCOMPARE(fixture.status()->statusText(), QStringLiteral("Canceled."));
        QCOMPARE(fixture.preview()->lastGeneratorResult(), canvas);
        QCOMPARE(fixture.preview()->svgData(), svg);
        QCOMPARE(fixture.status()->statisticText(), statistic);
        QCOMPARE(fixture.preview()->canvasPreview()->overlayText(), QString());
        QVERIFY(fixture.window()->generateAction()->isEnabled());
    }

    // The cancelled run had already copied the changed document: the kept canvas is shown as out of date.
    void cancelAfterAChangeShowsTheOldCanvasOutOfDate()
    {
        WindowFixture fixture;
        QVERIFY(fixture.generate());
        const QByteArray svg = fixture.preview()->svgData();
        fixture.app.controller().document()->properties()->setCanvasSize(geo::Size(90000000, 60000000));
        {
            QMutexLocker held(fixture.window()->generationMutex());
            fixture.window()->onGenerate();
            QTest::mouseClick(fixture.cancelButton(), Qt::LeftButton);
        }
        QVERIFY(fixture.waitForRunEnd());
        QCOMPARE(fixture.status()->statusText(), QStringLiteral("Canceled."));
        QCOMPARE(fixture.preview()->svgData(), svg);
        QCOMPARE(fixture.preview()->canvasPreview()->overlayText(), outOfDateText);
        QVERIFY(fixture.preview()->lastGeneratorResult().isNull());
    }

    void refusedRunShowsItsReason()
    {
        WindowFixture fixture;
        QVERIFY(fixture.generate());
        const QByteArray svg = fixture.preview()->svgData();
        motifex::test::makeRefusedDocument(fixture.app.controller().document());
        QVERIFY(fixture.generate());
        const QSharedPointer<Generator> generator = GeneratorManager::instance()->get(QStringLiteral("pointgrid"));
        QCOMPARE(generator->runStatus(), Generator::RunStatus::Refused);
        const QString reason = generator->runMessage();
        QVERIFY(reason.contains(QStringLiteral("1000")));
        QCOMPARE(fixture.status()->statusText(), reason);
        // The last good canvas stays, marked as not matching the document.
        QCOMPARE(fixture.preview()->svgData(), svg);
        QCOMPARE(fixture.preview()->canvasPreview()->overlayText(), outOfDateText);
        QVERIFY(fixture.window()->generateAction()->isEnabled());
    }

    // A close that waits for the unsaved-changes answer leaves the run working; the user may still
    // decide to stay.
    void refusedCloseKeepsTheRunGoing()
    {
        WindowFixture fixture;
        motifex::test::makeSlowDocument(fixture.app.controller().document());
        fixture.window()->onGenerate();
        QVERIFY(fixture.waitForRunWorking());
        ModalAnswerer answerer;
        answerer.clickStandardButton(QMessageBox::Cancel);
        QVERIFY(!fixture.window()->close());
        QVERIFY(answerer.isDone());
        QCOMPARE(answerer.lastRecord().title, QStringLiteral("Unsaved Changes"));
        QVERIFY(fixture.window()->isVisible());
        QVERIFY(fixture.window()->isGenerating());
        QVERIFY(!fixture.status()->progressCancelRequested());
        QTest::mouseClick(fixture.cancelButton(), Qt::LeftButton);
        QVERIFY(fixture.waitForRunEnd());
        QCOMPARE(fixture.status()->statusText(), QStringLiteral("Canceled."));
    }

    // Closing stops the run and waits for it; nothing it uses is gone before it ends.
    void closeDuringARun()
    {
        WindowFixture fixture;
        motifex::test::makeSlowDocument(fixture.app.controller().document());
        // Nothing to ask about: the close goes ahead at once.
        fixture.window()->fileIO()->setUnsavedChanges(false);
        fixture.window()->onGenerate();
        QVERIFY(fixture.waitForRunWorking());
        QVERIFY(fixture.window()->close());
        QVERIFY(!fixture.window()->isVisible());
        QVERIFY(fixture.waitForRunEnd());
        QCOMPARE(fixture.status()->statusText(), QStringLiteral("Canceled."));
    }

    void destructionDuringARun()
    {
        auto fixture = std::make_unique<WindowFixture>();
        motifex::test::makeSlowDocument(fixture->app.controller().document());
        fixture->window()->onGenerate();
        QVERIFY(fixture->waitForRunWorking());
        fixture.reset();
        QCOMPARE(ApplicationController::instance(), nullptr);
        // Queued calls the task posted before it ended must not reach a destroyed line.
        QCoreApplication::processEvents();
    }
};

MOTIFEX_WIDGET_TEST_MAIN(MainWindowTest)
#include "tst_mainwindow.moc"
