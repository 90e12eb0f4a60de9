#include "app/CanvasPreviewFrame.h"
#include "app/FileIO.h"
#include "app/MainWindow.h"
#include "app/PreferencesDialog.h"
#include "support/AppFixture.h"
#include "support/ModalAnswerer.h"
#include "support/UrlRecorder.h"
#include "support/UserActions.h"
#include "support/WidgetTestMain.h"

#include <QAction>
#include <QDate>
#include <QMenu>
#include <QMenuBar>
#include <QPixmapCache>
#include <QSettings>
#include <QSplitter>
#include <QToolButton>
#include <QtTest>

using namespace motifex::test;

namespace {

// The entries of a menu bar's menu as texts ("-" for a separator).
QStringList menuEntries(MainWindow* window, int menuIndex)
{
    QStringList entries;
    for (QAction* action : window->menuBar()->actions().at(menuIndex)->menu()->actions()) {
        entries.append(action->isSeparator() ? QStringLiteral("-") : action->text());
    }
    return entries;
}

QSplitter* splitter(MainWindow* window)
{
    return qobject_cast<QSplitter*>(window->centralWidget());
}

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

    void titleLayoutAndMenus()
    {
        AppFixture app;
        QCOMPARE(app.window()->windowTitle(), QStringLiteral("<new project>[*] - Motifex v2.6.0"));
        QCOMPARE(splitter(app.window())->orientation(), Qt::Horizontal);
        QVERIFY(!splitter(app.window())->childrenCollapsible());
        QCOMPARE(splitter(app.window())->widget(1), app.window()->preview());

        QStringList titles;
        for (QAction* action : app.window()->menuBar()->actions()) {
            titles.append(action->text());
        }
        // The property panel adds its own menus between "&Action" and "&Help".
        QCOMPARE(titles.mid(0, 2), QStringList({"&File", "&Action"}));
        QCOMPARE(titles.last(), QStringLiteral("&Help"));
        QCOMPARE(menuEntries(app.window(), 0),
                 QStringList({"New", "Open...", "Recent Projects", "-", "Open Example...", "-", "Save", "Save as...",
                              "Export", "-", "Preferences...", "&Quit"}));
        QCOMPARE(menuEntries(app.window(), 1), QStringList({"Generate"}));
        QCOMPARE(menuEntries(app.window(), int(titles.size()) - 1),
                 QStringList({"About...", "Information About Qt...", "-", "Open Example...", "Documentation...", "-",
                              "Send Feedback or Feature Requests...", "Report a Problem...", "-", "Quillane Blog...",
                              "-", "Check for Updates..."}));
    }

    // Added to the window itself, so that each shortcut works wherever the focus is.
    void actionsAndShortcuts_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QKeySequence>("shortcut");
        QTest::newRow("generate") << "Generate" << QKeySequence(QStringLiteral("Ctrl+R"));
        QTest::newRow("about") << "About..." << QKeySequence();
        QTest::newRow("about Qt") << "Information About Qt..." << QKeySequence();
        // Linux has no standard shortcut for the preferences, nor for Save As.
        QTest::newRow("preferences") << "Preferences..." << QKeySequence(QStringLiteral("Ctrl+,"));
        QTest::newRow("blog") << "Quillane Blog..." << QKeySequence();
        QTest::newRow("feedback") << "Send Feedback or Feature Requests..." << QKeySequence();
        QTest::newRow("report") << "Report a Problem..." << QKeySequence();
        QTest::newRow("documentation") << "Documentation..." << QKeySequence(QKeySequence::HelpContents);
        QTest::newRow("new") << "New" << QKeySequence(QKeySequence::New);
        QTest::newRow("open") << "Open..." << QKeySequence(QKeySequence::Open);
        QTest::newRow("open example") << "Open Example..." << QKeySequence();
        QTest::newRow("save") << "Save" << QKeySequence(QKeySequence::Save);
        QTest::newRow("save as") << "Save as..." << QKeySequence(QStringLiteral("Ctrl+Shift+S"));
        QTest::newRow("test IO error") << "Activate Test IO Error" << QKeySequence(QStringLiteral("Ctrl+=, Ctrl+I"));
    }

    void actionsAndShortcuts()
    {
        QFETCH(QString, text);
        QFETCH(QKeySequence, shortcut);
        AppFixture app;
        QAction* action = actionWithText(app.window(), text);
        QVERIFY(action != nullptr);
        QCOMPARE(action->shortcut(), shortcut);
    }

    void boxes_data()
    {
        QTest::addColumn<QString>("action");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("textStart");
        QTest::newRow("about") << "About..." << "Quillane's Motifex"
                               << "<h2>Quillane's Motifex</h2><p><b>Version 2.6.0</b></p>";
        // An empty title lets Qt name its own box.
        QTest::newRow("about Qt") << "Information About Qt..." << "About Qt" << "<h3>About Qt</h3>";
    }

    void boxes()
    {
        QFETCH(QString, action);
        QFETCH(QString, title);
        QFETCH(QString, textStart);
        AppFixture app;
        ModalAnswerer answerer;
        answerer.accept();
        actionWithText(app.window(), action)->trigger();
        QTRY_VERIFY(answerer.isDone());
        QCOMPARE(answerer.lastRecord().title, title);
        const QString text = answerer.lastRecord().text;
        QVERIFY2(text.startsWith(textStart), qPrintable(text));
        if (QTest::currentDataTag() == QLatin1String("about")) {
            // The notice paragraph at the end names this year and links to the maker's site.
            const QString notice = text.mid(text.lastIndexOf(QStringLiteral("<p>")));
            QVERIFY(notice.endsWith(QStringLiteral("</p>")));
            QVERIFY(notice.contains(QString::number(QDate::currentDate().year())));
            QVERIFY(notice.contains(QStringLiteral("href=\"https://quillane.com/\"")));
        }
    }

    void preferencesOpenWindowModally()
    {
        AppFixture app;
        QTest::keyClick(app.window(), Qt::Key_Comma, Qt::ControlModifier);
        PreferencesDialog* dialog = app.window()->preferencesDialog();
        QTRY_VERIFY(dialog->isVisible());
        QCOMPARE(dialog->windowModality(), Qt::WindowModal);
        dialog->reject();
    }

    void webLinks_data()
    {
        QTest::addColumn<QString>("trigger");
        QTest::addColumn<QUrl>("url");
        const QUrl home(QStringLiteral("https://quillane.com/"));
        const QUrl contact(QStringLiteral("https://quillane.com/about/contact/"));
        const QUrl documentation(QStringLiteral("https://quillane.com/motifex/documentation/"));
        QTest::newRow("blog") << "Quillane Blog..." << home;
        QTest::newRow("feedback") << "Send Feedback or Feature Requests..." << contact;
        QTest::newRow("report") << "Report a Problem..." << contact;
        QTest::newRow("documentation") << "Documentation..." << documentation;
        QTest::newRow("F1") << "F1" << documentation;
        QTest::newRow("logo") << "logo" << home;
    }

    void webLinks()
    {
        QFETCH(QString, trigger);
        QFETCH(QUrl, url);
        AppFixture app;
        if (trigger == QLatin1String("logo")) {
            QTest::mouseClick(app.window()->findChild<QToolButton*>(QStringLiteral("logo")), Qt::LeftButton);
        } else if (trigger == QLatin1String("F1")) {
            QTest::keyClick(app.window(), Qt::Key_F1);
        } else {
            actionWithText(app.window(), trigger)->trigger();
        }
        // Once per activation.
        QCOMPARE(UrlRecorder::instance()->openedUrls(), QList<QUrl>{url});
    }

    void settingsAreSavedOnClose()
    {
        QList<int> splitterSizes;
        {
            AppFixture app;
            app.window()->resize(1111, 877);
            splitter(app.window())->setSizes({450, 600});
            splitterSizes = splitter(app.window())->sizes();
            QVERIFY(app.window()->close());
        }
        // Dialogs that were never opened leave no geometry behind.
        QVERIFY(QSettings().contains("mainwindow.geometry") && QSettings().contains("mainwindow.splitter"));
        QVERIFY(!QSettings().contains("functioneditor.geometry") && !QSettings().contains("transitionselect.geometry"));
        {
            AppFixture app;
            QCOMPARE(app.window()->size(), QSize(1111, 877));
            QCOMPARE(splitter(app.window())->sizes(), splitterSizes);
            QCOMPARE(app.window()->functionEditor(), app.window()->functionEditor());
            QCOMPARE(app.window()->transitionSelect(), app.window()->transitionSelect());
            QVERIFY(app.window()->close());
        }
        QVERIFY(QSettings().contains("functioneditor.geometry") && QSettings().contains("transitionselect.geometry"));
    }

    void paletteChangeClearsThePixmapCache()
    {
        AppFixture app;
        QPixmap pixmap(8, 8);
        QPixmapCache::insert(QStringLiteral("icon"), pixmap);
        QVERIFY(QPixmapCache::find(QStringLiteral("icon"), &pixmap));
        QPalette palette = app.window()->palette();
        palette.setColor(QPalette::Window, Qt::darkBlue);
        app.window()->setPalette(palette);
        QVERIFY(!QPixmapCache::find(QStringLiteral("icon"), &pixmap));
    }
};

MOTIFEX_WIDGET_TEST_MAIN(MainWindowTest)
#include "tst_mainwindow.moc"
