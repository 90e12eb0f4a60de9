#include "app/tst_fileio_support.h"

#include "support/WidgetTestMain.h"

#include <QFileOpenEvent>
#include <QMenu>
#include <QMenuBar>
#include <QSettings>

using namespace motifex::test;

// The file commands against the unsaved-changes questions and the file dialogs: every row starts with
// project "a" open from a.mtfx (after "b" from b.mtfx, so both are in the recent list), edited or not.
class FileIOStatesTest : public QObject
{
    Q_OBJECT

private:
    QString path(const QString& name) const { return m_folder->filePath(name); }

    QString writeProject(const QString& fileName)
    {
        writeAll(path(fileName), projectData(QFileInfo(fileName).completeBaseName()));
        return path(fileName);
    }

    QString savedName(const QString& fileName) const
    {
        const QJsonObject json = QJsonDocument::fromJson(readAll(path(fileName))).object();
        return json.value("properties").toObject().value("name").toString();
    }

    // "Save", "Discard", "Cancel", "Yes": buttons; "choose:<file>": a file typed into a file dialog;
    // "reject": the dialog cancelled.
    void queueAnswers(ModalAnswerer& answerer, const QStringList& answers) const
    {
        for (const QString& answer : answers) {
            if (answer.startsWith("choose:")) {
                answerer.answer(chooseFile(path(answer.mid(7))));
            } else if (answer == QLatin1String("reject")) {
                answerer.reject();
            } else {
                answerer.clickButton(answer);
            }
        }
    }

    void run(AppFixture& app, const QString& command)
    {
        FileIO* files = fileIO(app);
        if (command == QLatin1String("new")) {
            files->onFileNew();
        } else if (command == QLatin1String("open")) {
            files->onFileOpen();
        } else if (command == QLatin1String("example")) {
            files->onFileOpenExample();
        } else if (command == QLatin1String("recent")) {
            files->recentProjectsMenu()->actions().at(1)->trigger();
        } else if (command == QLatin1String("event")) {
            QCoreApplication::postEvent(qApp, new QFileOpenEvent(path("b.mtfx")));
        } else if (command == QLatin1String("event, broken file")) {
            writeAll(path("broken.mtfx"), "{");
            QCoreApplication::postEvent(qApp, new QFileOpenEvent(path("broken.mtfx")));
        } else if (command == QLatin1String("save")) {
            files->onFileSave();
        } else if (command == QLatin1String("save as")) {
            files->onFileSaveAs();
        } else if (command == QLatin1String("close")) {
            app.window()->close();
        }
    }

    std::unique_ptr<QTemporaryDir> m_folder;

private slots:
    void init()
    {
        QSettings().clear();
        m_folder = std::make_unique<QTemporaryDir>();
        QVERIFY(m_folder->isValid());
    }

    void commands_data()
    {
        QTest::addColumn<QString>("command");
        QTest::addColumn<bool>("isEdited");
        QTest::addColumn<QStringList>("answers");
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("hasUnsavedChanges");
        QTest::addColumn<QString>("titleFile");
        QTest::addColumn<QStringList>("shown");
        QTest::addColumn<QString>("nameInA");
        QTest::addColumn<bool>("isWindowOpen");

        const QString unsaved = "unsavedChangesBox";
        const QString openDialog = "openProjectDialog";
        const QString saveDialog = "saveProjectDialog";
        // clang-format off
        QTest::newRow("new") << "new" << false << QStringList() << "" << false << "" << QStringList() << "a" << true;
        QTest::newRow("new, edited, Discard") << "new" << true << QStringList{"Discard"} << "" << false << "" << QStringList{unsaved} << "a" << true;
        QTest::newRow("new, edited, Cancel") << "new" << true << QStringList{"Cancel"} << "a edited" << true << "a.mtfx" << QStringList{unsaved} << "a" << true;
        QTest::newRow("new, edited, Save") << "new" << true << QStringList{"Save"} << "" << false << "" << QStringList{unsaved} << "a edited" << true;
        QTest::newRow("open") << "open" << false << QStringList{"choose:b.mtfx"} << "b" << false << "b.mtfx" << QStringList{openDialog} << "a" << true;
        QTest::newRow("open, dialog cancelled") << "open" << false << QStringList{"reject"} << "a" << false << "a.mtfx" << QStringList{openDialog} << "a" << true;
        QTest::newRow("open, edited, Discard") << "open" << true << QStringList{"Discard", "choose:b.mtfx"} << "b" << false << "b.mtfx" << QStringList{unsaved, openDialog} << "a" << true;
        QTest::newRow("open, edited, Discard, dialog cancelled") << "open" << true << QStringList{"Discard", "reject"} << "a edited" << true << "a.mtfx" << QStringList{unsaved, openDialog} << "a" << true;
        QTest::newRow("open, edited, Save") << "open" << true << QStringList{"Save", "choose:b.mtfx"} << "b" << false << "b.mtfx" << QStringList{unsaved, openDialog} << "a edited" << true;
        QTest::newRow("recent") << "recent" << false << QStringList() << "b" << false << "b.mtfx" << QStringList() << "a" << true;
        QTest::newRow("recent, edited, Discard") << "recent" << true << QStringList{"Discard"} << "b" << false << "b.mtfx" << QStringList{unsaved} << "a" << true;
        QTest::newRow("recent, edited, Cancel") << "recent" << true << QStringList{"Cancel"} << "a edited" << true << "a.mtfx" << QStringList{unsaved} << "a" << true;
        QTest::newRow("file-open event, edited, Save") << "event" << true << QStringList{"Save"} << "b" << false << "b.mtfx" << QStringList{unsaved} << "a edited" << true;
        QTest::newRow("file-open event, edited, Discard, broken file") << "event, broken file" << true << QStringList{"Discard", "OK"} << "a edited" << true << "a.mtfx" << QStringList{unsaved, "openErrorBox"} << "a" << true;
        QTest::newRow("file-open event, edited, Cancel") << "event" << true << QStringList{"Cancel"} << "a edited" << true << "a.mtfx" << QStringList{unsaved} << "a" << true;
        QTest::newRow("example, edited, Cancel") << "example" << true << QStringList{"Cancel"} << "a edited" << true << "a.mtfx" << QStringList{unsaved} << "a" << true;
        QTest::newRow("example, gallery cancelled") << "example" << false << QStringList{"reject"} << "a" << false << "a.mtfx" << QStringList{"ExampleDialog"} << "a" << true;
        QTest::newRow("save, edited") << "save" << true << QStringList() << "a edited" << false << "a.mtfx" << QStringList() << "a edited" << true;
        QTest::newRow("save as, edited") << "save as" << true << QStringList{"choose:c.mtfx"} << "a edited" << false << "c.mtfx" << QStringList{saveDialog} << "a" << true;
        QTest::newRow("save as over b, edited") << "save as" << true << QStringList{"choose:b.mtfx", "Yes"} << "a edited" << false << "b.mtfx" << QStringList{saveDialog, "QMessageBox"} << "a" << true;
        QTest::newRow("save as, edited, dialog cancelled") << "save as" << true << QStringList{"reject"} << "a edited" << true << "a.mtfx" << QStringList{saveDialog} << "a" << true;
        QTest::newRow("close") << "close" << false << QStringList() << "a" << false << "a.mtfx" << QStringList() << "a" << false;
        QTest::newRow("close, edited, Cancel") << "close" << true << QStringList{"Cancel"} << "a edited" << true << "a.mtfx" << QStringList{unsaved} << "a" << true;
        QTest::newRow("close, edited, Discard") << "close" << true << QStringList{"Discard"} << "a edited" << false << "a.mtfx" << QStringList{unsaved} << "a" << true;
        QTest::newRow("close, edited, Save") << "close" << true << QStringList{"Save"} << "a edited" << false << "a.mtfx" << QStringList{unsaved} << "a edited" << true;
        // clang-format on
    }

    void commands()
    {
        QFETCH(QString, command);
        QFETCH(bool, isEdited);
        QFETCH(QStringList, answers);
        QFETCH(QString, name);
        QFETCH(bool, hasUnsavedChanges);
        QFETCH(QString, titleFile);
        QFETCH(QStringList, shown);
        QFETCH(QString, nameInA);
        QFETCH(bool, isWindowOpen);

        AppFixture app;
        fileIO(app)->applicationStart({"motifex", writeProject("b.mtfx")});
        fileIO(app)->applicationStart({"motifex", writeProject("a.mtfx")});
        if (isEdited) {
            editedDocument(app)->properties()->setName("a edited");
        }
        ModalAnswerer answerer;
        queueAnswers(answerer, answers);
        run(app, command);

        QTRY_VERIFY(answerer.isDone());
        QTRY_COMPARE(fileIO(app)->runningActions().size(), 0);
        QTRY_COMPARE(projectName(app), name);
        QTRY_COMPARE(app.window()->windowTitle(), titleFor(titleFile));
        QCOMPARE(fileIO(app)->hasUnsavedChanges(), hasUnsavedChanges);
        QCOMPARE(app.window()->isWindowModified(), hasUnsavedChanges);
        QCOMPARE(shownNames(answerer), shown);
        QCOMPARE(savedName("a.mtfx"), nameInA);
        QCOMPARE(app.window()->isVisible(), isWindowOpen);
        QTRY_VERIFY(QApplication::activeModalWidget() == nullptr);
    }

    void actionTypeNames()
    {
        QCOMPARE(RunningActionStack::actionTypeToString(RunningAction::Type::ApplicationClose), "ApplicationClose");
        QCOMPARE(RunningActionStack::actionTypeToString(RunningAction::Type::NewProject), "NewProject");
        QCOMPARE(RunningActionStack::actionTypeToString(RunningAction::Type::OpenProject), "OpenProject");
        QCOMPARE(RunningActionStack::actionTypeToString(RunningAction::Type::SaveProject), "SaveProject");
        QCOMPARE(RunningActionStack::actionTypeToString(RunningAction::Type::OpenExample), QString());
        RunningActionStack stack;
        QCOMPARE(stack.currentType(), RunningAction::Type::ApplicationClose);
        stack.pop();
        stack.updatePath("ignored");
        QCOMPARE(stack.size(), 0);
    }

    // The whole way of a quit: the menu's Quit asks through the window's close, the answer saves an
    // unnamed project through the save dialog, and only then does the event loop end.
    void quitWithUnsavedChangesSavesFirst()
    {
        AppFixture app;
        editedDocument(app)->properties()->setName("edited");
        QAction* quitAction = nullptr;
        for (QAction* action : app.window()->menuBar()->actions().first()->menu()->actions()) {
            if (action->text() == QLatin1String("&Quit")) {
                quitAction = action;
            }
        }
        QVERIFY(quitAction != nullptr);

        ModalAnswerer answerer;
        answerer.clickButton("Save").answer(chooseFile(path("quit.mtfx")));
        QTimer::singleShot(0, quitAction, &QAction::trigger);
        QTimer watchdog;
        watchdog.setSingleShot(true);
        connect(&watchdog, &QTimer::timeout, [] { QCoreApplication::exit(1); });
        watchdog.start(60000);
        QCOMPARE(QApplication::exec(), 0);
        watchdog.stop();

        QVERIFY(answerer.isDone());
        QCOMPARE(shownNames(answerer), QStringList({"unsavedChangesBox", "saveProjectDialog"}));
        QCOMPARE(savedName("quit.mtfx"), QStringLiteral("edited"));
        QVERIFY(!app.window()->isVisible());
        QCOMPARE(QSettings().value("lastOpenProject").toString(), path("quit.mtfx"));
    }
};

MOTIFEX_WIDGET_TEST_MAIN(FileIOStatesTest)
#include "tst_fileiostates.moc"
