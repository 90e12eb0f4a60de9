#include "app/CanvasPreviewFrame.h"
#include "app/FileIO.h"
#include "app/MainWindow.h"
#include "app/PreferencesDialog.h"
#include "app/UpdateCheck.h"
#include "support/AppFixture.h"
#include "support/ModalAnswerer.h"
#include "support/UrlRecorder.h"
#include "support/UserActions.h"
#include "support/WidgetTestMain.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDate>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPixmapCache>
#include <QSettings>
#include <QSplitter>
#include <QThreadPool>
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

// The preferences as Ctrl+, opens them: window-modally.
PreferencesDialog* openPreferences(AppFixture& app)
{
    QTest::keyClick(app.window(), Qt::Key_Comma, Qt::ControlModifier);
    PreferencesDialog* dialog = app.window()->preferencesDialog();
    return QTest::qWaitForWindowExposed(dialog) && dialog->windowModality() == Qt::WindowModal ? dialog : nullptr;
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
        QTest::newRow("quit") << "&Quit" << QKeySequence(QStringLiteral("Ctrl+Q"));
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

    void aboutBox()
    {
        AppFixture app;
        ModalAnswerer answerer;
        answerer.accept();
        actionWithText(app.window(), "About...")->trigger();
        QTRY_VERIFY(answerer.isDone());
        QCOMPARE(answerer.lastRecord().title, QStringLiteral("Quillane's Motifex"));
        const QString text = answerer.lastRecord().text;
        QVERIFY(text.startsWith(QStringLiteral("<h2>Quillane's Motifex</h2><p><b>Version 2.6.0</b></p>")));
        // The notice paragraph at the end names this year and links to the maker's site.
        const QString notice = text.mid(text.lastIndexOf(QStringLiteral("<p>")));
        QVERIFY(notice.endsWith(QStringLiteral("</p>")));
        QVERIFY(notice.contains(QString::number(QDate::currentDate().year())));
        QVERIFY(notice.contains(QStringLiteral("href=\"https://quillane.com/\"")));
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

    void storedThreadCountIsShown_data()
    {
        QTest::addColumn<QVariant>("stored");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<int>("poolSize");
        QTest::newRow("none") << QVariant() << "16 Threads" << 16;
        QTest::newRow("a choice") << QVariant(48) << "48 Threads" << 48;
        QTest::newRow("not a choice") << QVariant(20) << "16 Threads" << 20;
        QTest::newRow("beyond the choices") << QVariant(500) << "16 Threads" << 128;
    }

    void storedThreadCountIsShown()
    {
        QFETCH(QVariant, stored);
        QFETCH(QString, shown);
        QFETCH(int, poolSize);
        if (stored.isValid()) {
            QSettings().setValue("maxThreadCount", stored);
        }
        AppFixture app;
        PreferencesDialog* dialog = openPreferences(app);
        QVERIFY(dialog);
        QCOMPARE(dialog->windowTitle(), QStringLiteral("Application Preferences"));
        QCOMPARE(dialog->findChild<QComboBox*>()->currentText(), shown);
        // Showing the choice writes nothing: the pool keeps what start-up gave it.
        QCOMPARE(QThreadPool::globalInstance()->maxThreadCount(), poolSize);
        QCOMPARE(QSettings().value("maxThreadCount"), stored);
    }

    void choosingThreadCountTakesEffect()
    {
        QSettings().setValue("maxThreadCount", 20);
        AppFixture app;
        PreferencesDialog* dialog = openPreferences(app);
        QVERIFY(dialog);
        auto* threadCount = dialog->findChild<QComboBox*>();
        QStringList choices;
        for (int index = 0; index < threadCount->count(); ++index) {
            choices.append(threadCount->itemText(index));
        }
        QCOMPARE(choices, QStringList({"8 Threads", "12 Threads", "16 Threads", "24 Threads", "32 Threads",
                                       "48 Threads", "64 Threads", "96 Threads", "128 Threads"}));

        threadCount->setFocus();
        QTest::keyClick(threadCount, Qt::Key_End);
        QCOMPARE(threadCount->currentText(), QStringLiteral("128 Threads"));
        QCOMPARE(QThreadPool::globalInstance()->maxThreadCount(), 128);
        QCOMPARE(QSettings().value("maxThreadCount").toInt(), 128);

        QTest::keyClick(threadCount, Qt::Key_Home);
        QCOMPARE(QThreadPool::globalInstance()->maxThreadCount(), 8);
        QCOMPARE(QSettings().value("maxThreadCount").toInt(), 8);
    }

    void updateCheckBoxIsStoredAtOnce()
    {
        AppFixture app;
        PreferencesDialog* dialog = openPreferences(app);
        QVERIFY(dialog);
        auto* updateCheck = dialog->findChild<QCheckBox*>();
        QCOMPARE(updateCheck->text(),
                 QStringLiteral("Automatically check for updates after the application is started."));
        QVERIFY(updateCheck->isChecked());
        QTest::mouseClick(updateCheck, Qt::LeftButton);
        QCOMPARE(QSettings().value("updateCheck"), QVariant(false));
        QTest::keyClick(dialog, Qt::Key_Escape);
        QVERIFY(!dialog->isVisible());
        QCOMPARE(QSettings().value("updateCheck"), QVariant(false));
    }

    // Each use of the link shows a fresh body, indented and signed with the display secret.
    void linkShowsIndentedRequestData()
    {
        AppFixture app;
        PreferencesDialog* dialog = openPreferences(app);
        QVERIFY(dialog);
        auto* description = dialog->findChild<QLabel*>("updateCheckDesciption");
        QVERIFY(description->text().contains("Click <a href=\"#\">here</a> to see the data"));
        QStringList salts;
        for (int use = 0; use < 2; ++use) {
            ModalAnswerer answerer;
            answerer.clickStandardButton(QMessageBox::Ok);
            // The label reports a click on its link this way.
            emit description->linkActivated(QStringLiteral("#"));
            QTRY_VERIFY(answerer.isDone());
            const auto box = answerer.lastRecord();
            QCOMPARE(box.title, QStringLiteral("Example Request Data"));
            QVERIFY(box.text.startsWith("<pre>{\n    \"application\": \"Motifex\",\n    \"installation\": \""));
            QVERIFY(box.text.endsWith("}\n</pre>"));
            const QJsonObject sample = QJsonDocument::fromJson(box.text.mid(5, box.text.size() - 11).toUtf8()).object();
            const UpdateCheck::RequestFields fields{sample.value("time").toString(), sample.value("application").toString(),
                                                    sample.value("version").toString(),
                                                    sample.value("installation").toString(), sample.value("salt").toString()};
            QCOMPARE(fields.installation, UpdateCheck::installationHash(QSettings().value("installationId").toString()));
            QCOMPARE(sample.value("signature").toString(), UpdateCheck::signature(fields, UpdateCheck::displaySecret));
            QCOMPARE(sample.size(), 6);
            salts.append(fields.salt);
        }
        QVERIFY(salts.first() != salts.last());
    }
};

MOTIFEX_WIDGET_TEST_MAIN(MainWindowTest)
#include "tst_mainwindow.moc"
