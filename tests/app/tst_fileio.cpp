#include "app/tst_fileio_support.h"

#include "canvas/Canvas.h"
#include "doc/Items.h"
#include "shape/Manager.h"
#include "support/UserActions.h"
#include "support/WidgetTestMain.h"

#include <QAbstractButton>
#include <QFileOpenEvent>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QSettings>
#include <QTextDocument>
#include <QWindow>

#include <sys/stat.h>

#include <optional>

using namespace motifex::test;

namespace {

// A JSON object, but with neither "properties" nor "items": some other program's file.
const QByteArray notAProject = R"({"name":"not a project"})";
const QString notAProjectText =
    QStringLiteral("The file is not a Motifex project: it holds neither \"properties\" nor \"items\".");

bool hasCanvas(const QByteArray& projectFile)
{
    return QJsonDocument::fromJson(projectFile).object().contains("canvas");
}

QString fifo(const ProjectFolder& projects, const QString& name)
{
    return mkfifo(QFile::encodeName(projects.path(name)).constData(), 0600) == 0 ? projects.path(name) : QString();
}

} // namespace

class FileIOTest : public QObject
{
    Q_OBJECT

private:
    // "Save", "Discard", "Cancel", "Yes", "OK": buttons; "choose:<file>": a file typed into a file dialog;
    // "reject": the dialog cancelled; "Discard, b.mtfx gone": Discard once the file is removed.
    void queueAnswers(ModalAnswerer& answerer, const QStringList& answers) const
    {
        for (const QString& answer : answers) {
            if (answer.startsWith("choose:")) {
                answerer.answer(chooseFile(m_projects->path(answer.mid(7))));
            } else if (answer == QLatin1String("Discard, b.mtfx gone")) {
                answerer.answer([this](QWidget* box) {
                    QVERIFY(QFile::remove(m_projects->path("b.mtfx")));
                    ModalAnswerer::findButton(box, "Discard")->click();
                });
            } else if (answer == QLatin1String("reject")) {
                answerer.reject();
            } else {
                answerer.clickButton(answer);
            }
        }
    }

    // "test error, <command>": the command after the hidden action that makes the next save fail.
    void run(AppFixture& app, QString command)
    {
        FileIO* files = fileIO(app);
        if (command.startsWith(QLatin1String("test error, "))) {
            actionWithText(app.window(), "Activate Test IO Error")->trigger();
            command = command.mid(12);
        }
        if (command == QLatin1String("new")) {
            files->onFileNew();
        } else if (command == QLatin1String("open")) {
            files->onFileOpen();
        } else if (command == QLatin1String("example")) {
            files->onFileOpenExample();
        } else if (command == QLatin1String("recent")) {
            files->recentProjectsMenu()->actions().at(1)->trigger();
        } else if (command.startsWith(QLatin1String("event"))) {
            QString fileName = QStringLiteral("b.mtfx");
            if (command.endsWith(QLatin1String("broken file"))) {
                fileName = QStringLiteral("broken.mtfx");
                writeAll(m_projects->path(fileName), "{");
            } else if (command.endsWith(QLatin1String("not a project"))) {
                fileName = QStringLiteral("other.mtfx");
                writeAll(m_projects->path(fileName), notAProject);
            }
            QCoreApplication::postEvent(qApp, new QFileOpenEvent(m_projects->path(fileName)));
        } else if (command == QLatin1String("save")) {
            files->onFileSave();
        } else if (command == QLatin1String("save as")) {
            files->onFileSaveAs();
        } else if (command == QLatin1String("close")) {
            app.window()->close();
        }
    }

    // Starts the program with the project in the file open (silently, as at start).
    static void openAtStart(AppFixture& app, const QString& path) { fileIO(app)->applicationStart({"motifex", path}); }

    std::unique_ptr<ProjectFolder> m_projects;

private slots:
    void init()
    {
        QSettings().clear();
        QDir::home().rmdir(QStringLiteral("Documents"));
        m_projects = std::make_unique<ProjectFolder>();
        QVERIFY(m_projects->folder.isValid());
    }

    // The file commands against the unsaved-changes questions and the file dialogs: every row starts
    // with project "a" open from a.mtfx (after "b" from b.mtfx, so both are in the recent list), edited
    // or not.
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
        QTest::newRow("file-open event, edited, Discard, not a project") << "event, not a project" << true << QStringList{"Discard", "OK"} << "a edited" << true << "a.mtfx" << QStringList{unsaved, "openErrorBox"} << "a" << true;
        QTest::newRow("file-open event, edited, Discard, file gone meanwhile") << "event" << true << QStringList{"Discard, b.mtfx gone"} << "b" << false << "b.mtfx" << QStringList{unsaved} << "a" << true;
        QTest::newRow("file-open event, edited, Cancel") << "event" << true << QStringList{"Cancel"} << "a edited" << true << "a.mtfx" << QStringList{unsaved} << "a" << true;
        QTest::newRow("example, edited, Cancel") << "example" << true << QStringList{"Cancel"} << "a edited" << true << "a.mtfx" << QStringList{unsaved} << "a" << true;
        QTest::newRow("example, gallery cancelled") << "example" << false << QStringList{"reject"} << "a" << false << "a.mtfx" << QStringList{"ExampleDialog"} << "a" << true;
        QTest::newRow("save, edited") << "save" << true << QStringList() << "a edited" << false << "a.mtfx" << QStringList() << "a edited" << true;
        // Discard in the save error box drops the changes only for the action that goes on.
        QTest::newRow("save fails, edited, Discard") << "test error, save" << true << QStringList{"OK", "Discard"} << "a edited" << true << "a.mtfx" << QStringList{"QMessageBox", "saveErrorBox"} << "a" << true;
        QTest::newRow("new, edited, Save fails, Discard") << "test error, new" << true << QStringList{"OK", "Save", "Discard"} << "" << false << "" << QStringList{"QMessageBox", unsaved, "saveErrorBox"} << "a" << true;
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
        openAtStart(app, m_projects->write("b.mtfx"));
        openAtStart(app, m_projects->write("a.mtfx"));
        if (isEdited) {
            app.document()->properties()->setName("a edited");
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
        const auto question = std::find_if(answerer.records().cbegin(), answerer.records().cend(),
                                           [](const ModalRecord& record) { return shownName(record) == "unsavedChangesBox"; });
        if (question != answerer.records().cend()) {
            QCOMPARE(question->title, QStringLiteral("Unsaved Changes"));
            QCOMPARE(question->text, QStringLiteral("The current project has unsaved changes."));
            QCOMPARE(question->informativeText, QStringLiteral("Do you want to save your changes?"));
            QCOMPARE(question->icon, QMessageBox::Warning);
            QCOMPARE(question->buttonTexts, QStringList({"Save", "Cancel", "Discard"}));
        }
        QCOMPARE(m_projects->savedName("a.mtfx"), nameInA);
        QCOMPARE(app.window()->isVisible(), isWindowOpen);
        QTRY_VERIFY(QApplication::activeModalWidget() == nullptr);
    }

    // The whole way of a quit: the menu's Quit asks through the window's close, the answer saves an
    // unnamed project through the save dialog, and only then does the event loop end.
    void quitWithUnsavedChangesSavesFirst()
    {
        AppFixture app;
        app.document()->properties()->setName("edited");
        QAction* quitAction = actionWithText(app.window()->menuBar()->actions().first()->menu(), "&Quit");
        QVERIFY(quitAction != nullptr);
        ModalAnswerer answerer;
        answerer.clickButton("Save").answer(chooseFile(m_projects->path("quit.mtfx")));
        QTimer::singleShot(0, quitAction, &QAction::trigger);
        QTimer watchdog;
        connect(&watchdog, &QTimer::timeout, [] { QCoreApplication::exit(1); });
        watchdog.start(60000);
        QCOMPARE(QApplication::exec(), 0);
        watchdog.stop();

        QVERIFY(answerer.isDone());
        QCOMPARE(shownNames(answerer), QStringList({"unsavedChangesBox", "saveProjectDialog"}));
        QCOMPARE(m_projects->savedName("quit.mtfx"), QStringLiteral("edited"));
        QVERIFY(!app.window()->isVisible());
        QCOMPARE(QSettings().value("lastOpenProject").toString(), m_projects->path("quit.mtfx"));
    }

    // Ctrl+Q quits as the menu's Quit does: through the window's close, which asks about unsaved changes.
    void ctrlQAsksAboutUnsavedChanges_data()
    {
        QTest::addColumn<QString>("answer");
        QTest::addColumn<bool>("isQuit");
        QTest::newRow("Cancel keeps the window") << "Cancel" << false;
        QTest::newRow("Discard quits") << "Discard" << true;
    }

    void ctrlQAsksAboutUnsavedChanges()
    {
        QFETCH(QString, answer);
        QFETCH(bool, isQuit);
        AppFixture app;
        app.document()->properties()->setName("edited");
        ModalAnswerer answerer;
        answerer.clickButton(answer);
        QTimer::singleShot(0, app.window(), [&app] { QTest::keyClick(app.window(), Qt::Key_Q, Qt::ControlModifier); });
        // A quit ends the loop by itself; a refused one is over once the answer was handled and the changes
        // are still there.
        constexpr int refused = 2;
        QTimer refusalCheck;
        connect(&refusalCheck, &QTimer::timeout, [&] {
            if (answerer.isDone() && fileIO(app)->runningActions().size() == 0 && fileIO(app)->hasUnsavedChanges()) {
                QCoreApplication::exit(refused);
            }
        });
        refusalCheck.start(10);
        QTimer watchdog;
        connect(&watchdog, &QTimer::timeout, [] { QCoreApplication::exit(1); });
        watchdog.start(60000);
        QCOMPARE(QApplication::exec(), isQuit ? 0 : refused);
        watchdog.stop();
        refusalCheck.stop();

        QCOMPARE(shownNames(answerer), QStringList({"unsavedChangesBox"}));
        QCOMPARE(answerer.lastRecord().title, QStringLiteral("Unsaved Changes"));
        QCOMPARE(app.window()->isVisible(), !isQuit);
        QCOMPARE(projectName(app), QStringLiteral("edited"));
        QCOMPARE(fileIO(app)->hasUnsavedChanges(), !isQuit);
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

    void savedFileHoldsTheDocumentAndTheShownCanvas()
    {
        AppFixture app;
        QVERIFY(!hasCanvas(fileIO(app)->jsonFromValues()));
        QVERIFY(app.generate());
        app.document()->properties()->setName("saved");
        const auto savedDocument = std::make_shared<doc::Document>();
        savedDocument->setFromDocument(app.document());
        const QVariant shownCanvas = app.window()->preview()->lastGeneratorResult()->toData();

        ModalAnswerer answerer;
        answerer.answer(chooseFile(m_projects->path("saved.mtfx")));
        const QDateTime before = QDateTime::currentDateTimeUtc().addSecs(-1);
        fileIO(app)->onFileSaveAs();
        QTRY_VERIFY(answerer.isDone());
        QTRY_VERIFY(!fileIO(app)->hasUnsavedChanges());
        const QDateTime after = QDateTime::currentDateTimeUtc().addSecs(1);

        const QByteArray data = readAll(m_projects->path("saved.mtfx"));
        const QJsonObject json = QJsonDocument::fromJson(data).object();
        QCOMPARE(data, QJsonDocument(json).toJson(QJsonDocument::Compact));
        QCOMPARE(json.keys(), QStringList({"canvas", "items", "meta_data", "properties", "shapes"}));
        const QJsonObject meta = json.value("meta_data").toObject();
        QCOMPARE(meta.keys(), QStringList({"application", "created", "version"}));
        QCOMPARE(meta.value("application").toString(), QStringLiteral("Quillane's Motifex"));
        QCOMPARE(meta.value("version").toString(), QStringLiteral("2.6.0"));
        const QString created = meta.value("created").toString();
        QVERIFY2(created.endsWith('Z'), qPrintable(created));
        const QDateTime createdTime = QDateTime::fromString(created, Qt::ISODate);
        QVERIFY(createdTime >= before && createdTime <= after);

        // Reopened: the same document, and its canvas shown at once as up to date.
        fileIO(app)->onFileNew();
        QCOMPARE(projectName(app), QString());
        fileIO(app)->onApplicationFileOpen(m_projects->path("saved.mtfx"), data);
        QCOMPARE(app.document()->compare(savedDocument), doc::CompareResult::Equal);
        QCOMPARE(app.controller().generatorDocument()->compare(savedDocument), doc::CompareResult::Equal);
        QVERIFY(app.window()->preview()->lastGeneratorResult() != nullptr);
        QCOMPARE(app.window()->preview()->lastGeneratorResult()->toData(), shownCanvas);

        // A change that needs a new run keeps the old canvas out of the file, before and after the
        // preview has noticed it.
        app.document()->properties()->setCanvasSize(geo::Size::fromMillimeters(60, 40));
        QVERIFY(!hasCanvas(fileIO(app)->jsonFromValues()));
        QTRY_VERIFY(app.window()->preview()->isOutOfDate());
        QVERIFY(!hasCanvas(fileIO(app)->jsonFromValues()));
    }

    void badFileLeavesTheOpenProjectAsItWas_data()
    {
        QTest::addColumn<QString>("fileName");
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QString>("informativeText");

        const QByteArray badItems = R"({"items":[{"orderZ":{"functions":[{"identifier":"no-such-function"}]}}]})";
        QTest::newRow("truncated JSON") << "truncated.mtfx" << QByteArray(R"({"properties":{"name":)")
                                        << "There was an error in the JSON syntax: unterminated object";
        QTest::newRow("array") << "array.mtfx" << QByteArray("[1,2]") << "The JSON document is no object.";
        QTest::newRow("not a project") << "other.mtfx" << notAProject << notAProjectText;
        QTest::newRow("bad items")
            << "items.mtfx" << badItems
            << "The error message was: There was a problem while parsing the shape definitions in the document; "
               "Unknown function identifier.; keypath=document->items->[0]->orderZ->identifier";
        // Valid JSON as a whole: only the cut at 10000000 bytes breaks it.
        QTest::newRow("12 MB") << "large.mtfx"
                               << QByteArray(R"({"properties":{"name":")") + QByteArray(12000000, 'x') + "\"}}"
                               << "There was an error in the JSON syntax: unterminated string";
        QTest::newRow("FIFO") << "<b>fifo.mtfx" << QByteArray()
                              << "<p>The error message was: “&lt;b&gt;fifo.mtfx” is not a regular file.</p>";
        QTest::newRow("folder") << "folder.mtfx" << QByteArray()
                                << "The error message was: “folder.mtfx” is not a regular file.";
    }

    void badFileLeavesTheOpenProjectAsItWas()
    {
        QFETCH(QString, fileName);
        QFETCH(QByteArray, content);
        QFETCH(QString, informativeText);
        const QString badPath = m_projects->path(fileName);
        const QString tag = QString::fromLatin1(QTest::currentDataTag());
        if (tag == QLatin1String("FIFO")) {
            QCOMPARE(fifo(*m_projects, fileName), badPath);
        } else if (tag == QLatin1String("folder")) {
            QVERIFY(QDir().mkpath(badPath));
        } else {
            writeAll(badPath, content);
        }
        const QString projectPath = m_projects->write("a.mtfx");
        AppFixture app;
        openAtStart(app, projectPath);

        ModalAnswerer answerer;
        answerer.answer(tag == QLatin1String("folder") ? reportChosenPath(badPath) : chooseFile(badPath)).clickButton("OK");
        fileIO(app)->onFileOpen();
        QTRY_VERIFY(answerer.isDone());
        QTRY_COMPARE(fileIO(app)->runningActions().size(), 0);

        QCOMPARE(shownNames(answerer), QStringList({"openProjectDialog", "openErrorBox"}));
        QCOMPARE(answerer.records().first().title, QStringLiteral("Open Project"));
        const ModalRecord box = answerer.lastRecord();
        QCOMPARE(box.title, QStringLiteral("Problem while Opening Project"));
        QCOMPARE(box.text, QStringLiteral("There was a problem loading the selected project."));
        QCOMPARE(box.informativeText, informativeText);
        QCOMPARE(box.icon, QMessageBox::Warning);
        QCOMPARE(box.buttonTexts, QStringList({"OK"}));
        QCOMPARE(projectName(app), QStringLiteral("a"));
        QCOMPARE(fileIO(app)->currentPath(), projectPath);
        QVERIFY(!fileIO(app)->hasUnsavedChanges());
        QCOMPARE(app.window()->windowTitle(), titleFor("a.mtfx"));
        QCOMPARE(fileIO(app)->recentProjects(), QStringList({projectPath}));
    }

    void failedSaveKeepsTheOldFile_data()
    {
        QTest::addColumn<QString>("reason");
        QTest::newRow("read-only folder") << "Permission denied";
        QTest::newRow("file size limit") << "File too large";
        QTest::newRow("test error") << "Test IO Error";
    }

    void failedSaveKeepsTheOldFile()
    {
        QFETCH(QString, reason);
        const QString tag = QString::fromLatin1(QTest::currentDataTag());
        const QString folder = m_projects->path("folder");
        QVERIFY(QDir().mkpath(folder));
        const QString projectPath = m_projects->write("folder/a.mtfx");
        const QByteArray oldContent = readAll(projectPath);
        AppFixture app;
        openAtStart(app, projectPath);
        app.document()->properties()->setName(QString(1000, 'e'));
        ModalAnswerer answerer;
        if (tag == QLatin1String("test error")) {
            answerer.clickButton("OK");
            actionWithText(app.window(), "Activate Test IO Error")->trigger();
            QTRY_VERIFY(answerer.isDone());
            QCOMPARE(answerer.lastRecord().title, QStringLiteral("Test"));
            QCOMPARE(answerer.lastRecord().text, QStringLiteral("Test IO Error Activated"));
        }
        app.window()->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(app.window()));
        answerer.clickButton("Cancel");
        {
            const bool isReadOnly = tag == QLatin1String("read-only folder");
            QVERIFY(!isReadOnly || QFile::setPermissions(folder, QFileDevice::ReadOwner | QFileDevice::ExeOwner));
            std::optional<PermissionsEnforced> enforced;
            std::optional<FileSizeLimit> limit;
            if (isReadOnly) {
                enforced.emplace();
            } else if (tag == QLatin1String("file size limit")) {
                limit.emplace(oldContent.size() + 100);
            }
            QTest::keySequence(app.window(), QKeySequence::Save);
        }
        QTRY_VERIFY(answerer.isDone());
        QFile::setPermissions(folder, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);

        const ModalRecord box = answerer.lastRecord();
        QCOMPARE(shownName(box), QStringLiteral("saveErrorBox"));
        QCOMPARE(box.title, QStringLiteral("Problem while Saving Project"));
        QCOMPARE(box.text, QStringLiteral("There was a problem saving the current project."));
        QCOMPARE(box.detailedText, "The error message was: " + reason);
        QCOMPARE(box.icon, QMessageBox::Critical);
        QCOMPARE(box.buttonTexts, QStringList({"Cancel", "Discard", "Show Details..."}));
        QTRY_COMPARE(fileIO(app)->runningActions().size(), 0);
        QVERIFY(fileIO(app)->hasUnsavedChanges());
        QCOMPARE(readAll(projectPath), oldContent);
        QCOMPARE(QDir(folder).entryList(QDir::Files | QDir::Hidden), QStringList({"a.mtfx"}));
    }

    void recentProjects()
    {
        QStringList paths;
        for (int index = 0; index < 21; ++index) {
            paths.append(m_projects->write(QStringLiteral("p%1.mtfx").arg(index, 2, 10, QLatin1Char('0'))));
        }
        const QString ampersand = m_projects->write("A&B.mtfx");
        const QString markup = m_projects->write("<b>x[*].mtfx");
        AppFixture app;
        const auto open = [&app](const QString& path) { fileIO(app)->onApplicationFileOpen(path, readAll(path)); };

        open(paths[0]);
        open(paths[1]);
        open(paths[0]);
        QCOMPARE(fileIO(app)->recentProjects(), QStringList({paths[0], paths[1]}));
        for (const QString& path : paths) {
            open(path);
        }
        QStringList newestFirst = paths;
        std::reverse(newestFirst.begin(), newestFirst.end());
        newestFirst.removeLast();
        QCOMPARE(fileIO(app)->recentProjects(), newestFirst);

        QVERIFY(QFile::remove(paths[10]));
        open(ampersand);
        open(markup);
        newestFirst.removeAll(paths[10]);
        newestFirst.prepend(ampersand);
        newestFirst.prepend(markup);
        newestFirst.removeLast();
        QCOMPARE(fileIO(app)->recentProjects(), newestFirst);
        const QList<QAction*> entries = fileIO(app)->recentProjectsMenu()->actions();
        QCOMPARE(entries.size(), 20);
        QCOMPARE(entries[0]->text(), QStringLiteral("<b>x[*].mtfx"));
        QCOMPARE(entries[0]->toolTip(), Qt::convertFromPlainText(markup, Qt::WhiteSpaceNormal));
        QCOMPARE(entries[1]->text(), QStringLiteral("A&&B.mtfx"));
        QCOMPARE(entries[1]->toolTip(), ampersand);
        QCOMPARE(entries[1]->data().toString(), ampersand);
        // The file's own "[*]" shows in the title; only the last one marks unsaved changes.
        QCOMPARE(app.window()->windowHandle()->title(), QStringLiteral("<b>x[*].mtfx – Motifex v2.6.0"));
        app.document()->properties()->setName("edited");
        QCOMPARE(app.window()->windowHandle()->title(), QStringLiteral("<b>x[*].mtfx* – Motifex v2.6.0"));

        fileIO(app)->saveSettings();
        QSettings settings;
        QCOMPARE(settings.value("recentProjects").toStringList(), newestFirst);
        QCOMPARE(settings.value("lastOpenProject").toString(), markup);
        QCOMPARE(settings.value("lastDir").toString(), m_projects->folder.path());
        QVERIFY(!settings.value("load.state").toByteArray().isEmpty());
        QVERIFY(!settings.value("toData.state").toByteArray().isEmpty());
    }

    // The first argument when it is a regular file, else the last open project, read silently: any
    // failure simply gives a new document, and the error box is not even prepared. An argument that
    // cannot be opened is reported, and the last open project is opened instead.
    void projectAtStart_data()
    {
        QTest::addColumn<QString>("argument");
        QTest::addColumn<QString>("lastOpenProject");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("openedFile");
        QTest::addColumn<QString>("openError");
        QTest::newRow("last open project") << "" << "a.mtfx" << "a" << "a.mtfx" << "";
        QTest::newRow("missing") << "" << "missing.mtfx" << "" << "" << "";
        QTest::newRow("broken JSON") << "" << "broken.mtfx" << "" << "" << "";
        QTest::newRow("not a project") << "" << "other.mtfx" << "" << "" << "";
        // Either of the two keys makes a project.
        QTest::newRow("only items") << "" << "items.mtfx" << "" << "items.mtfx" << "";
        QTest::newRow("FIFO") << "" << "fifo.mtfx" << "" << "" << "";
        QTest::newRow("folder") << "" << "" << "" << "" << "";
        QTest::newRow("argument") << "b.mtfx" << "a.mtfx" << "b" << "b.mtfx" << "";
        QTest::newRow("not-a-project argument") << "other.mtfx" << "a.mtfx" << "a" << "a.mtfx" << notAProjectText;
        QTest::newRow("FIFO argument") << "fifo.mtfx" << "a.mtfx" << "a" << "a.mtfx" << "";
    }

    void projectAtStart()
    {
        QFETCH(QString, argument);
        QFETCH(QString, lastOpenProject);
        QFETCH(QString, name);
        QFETCH(QString, openedFile);
        QFETCH(QString, openError);
        m_projects->write("a.mtfx");
        m_projects->write("b.mtfx");
        writeAll(m_projects->path("broken.mtfx"), "{");
        writeAll(m_projects->path("other.mtfx"), notAProject);
        writeAll(m_projects->path("items.mtfx"), R"({"items":[]})");
        QVERIFY(!fifo(*m_projects, "fifo.mtfx").isEmpty());
        QSettings().setValue("lastOpenProject", m_projects->path(lastOpenProject));
        AppFixture app;
        ModalAnswerer answerer;
        if (!openError.isEmpty()) {
            answerer.clickButton("OK");
        }
        if (!argument.isEmpty()) {
            fileIO(app)->applicationStart({"motifex", m_projects->path(argument)});
        }
        QTRY_VERIFY(answerer.isDone());
        if (!openError.isEmpty()) {
            QCOMPARE(shownNames(answerer), QStringList({"openErrorBox"}));
            QCOMPARE(answerer.lastRecord().title, QStringLiteral("Problem while Opening Project"));
            QCOMPARE(answerer.lastRecord().text, QStringLiteral("There was a problem loading the selected project."));
        }
        QCOMPARE(projectName(app), name);
        QVERIFY(!fileIO(app)->hasUnsavedChanges());
        QTRY_COMPARE(fileIO(app)->runningActions().size(), 0);
        QCOMPARE(app.window()->windowTitle(),
                 openedFile.isEmpty() ? QStringLiteral("<new project>[*] - Motifex v2.6.0") : titleFor(openedFile));
        QCOMPARE(fileIO(app)->currentPath(), openedFile.isEmpty() ? QString() : m_projects->path(openedFile));
        QVERIFY(!fileIO(app)->recentProjects().contains(m_projects->path("other.mtfx")));
        QCOMPARE(app.window()->findChild<QMessageBox*>(QStringLiteral("openErrorBox"))->informativeText(),
                 openError.isEmpty() ? QStringLiteral("See details for technical information about the problem.") : openError);
    }

    void fileOpenEventWaitsForTheGenerationRun()
    {
        const QString projectPath = m_projects->write("b.mtfx");
        AppFixture app;
        app.window()->onGenerate();
        QVERIFY(app.window()->isGenerating());
        QFileOpenEvent event(projectPath);
        QCoreApplication::sendEvent(qApp, &event);
        QCOMPARE(projectName(app), QString());
        QCOMPARE(fileIO(app)->runningActions().size(), 0);
        QVERIFY(app.waitForRunEnd());
        QTRY_COMPARE(projectName(app), QStringLiteral("b"));
        QCOMPARE(app.window()->windowTitle(), titleFor("b.mtfx"));
    }

    void unsavedChangesFlag_data()
    {
        QTest::addColumn<QString>("change");
        QTest::addColumn<bool>("hasUnsavedChanges");
        QTest::newRow("property") << "property" << true;
        QTest::newRow("item added") << "add" << true;
        QTest::newRow("item removed") << "remove" << true;
        QTest::newRow("items sorted") << "sort" << true;
        QTest::newRow("used user shape changed") << "used shape" << true;
        QTest::newRow("unused user shape changed") << "unused shape" << false;
    }

    void unsavedChangesFlag()
    {
        QFETCH(QString, change);
        QFETCH(bool, hasUnsavedChanges);
        AppFixture app;
        shape::Manager* shapes = shape::Manager::instance();
        const QString usedShape = shapes->add(shapes->defaultShape());
        const QString unusedShape = shapes->add(shapes->defaultShape());
        app.document()->properties()->setWorldShape(shapes->shape(usedShape));
        ModalAnswerer answerer;
        answerer.answer(chooseFile(m_projects->path("a.mtfx")));
        fileIO(app)->onFileSave();
        QTRY_VERIFY(answerer.isDone());
        QTRY_VERIFY(!fileIO(app)->hasUnsavedChanges());

        const auto items = app.document()->items();
        if (change == QLatin1String("property")) {
            app.document()->properties()->setNotes("notes");
        } else if (change == QLatin1String("add")) {
            items->addItem();
        } else if (change == QLatin1String("remove")) {
            items->removeItem(0);
        } else if (change == QLatin1String("sort")) {
            items->sort();
        } else {
            QVERIFY(shapes->update(change == QLatin1String("used shape") ? usedShape : unusedShape, "Renamed", {}));
        }
        QCOMPARE(fileIO(app)->hasUnsavedChanges(), hasUnsavedChanges);
        QCOMPARE(app.window()->isWindowModified(), hasUnsavedChanges);
    }

    // A new project is suggested into the last folder, else into Documents, else (where there is no
    // Documents folder) into the home folder.
    void saveSuggestion_data()
    {
        QTest::addColumn<bool>("hasDocuments");
        QTest::newRow("no Documents folder: home") << false;
        QTest::newRow("Documents") << true;
    }

    void saveSuggestion()
    {
        QFETCH(bool, hasDocuments);
        const QDir home = QDir::home();
        QVERIFY(!hasDocuments || home.mkdir("Documents"));
        AppFixture app;
        QString selected;
        QString title;
        const auto suggestedFolder = [&app, &selected, &title] {
            ModalAnswerer answerer;
            answerer.answer([&selected, &title](QWidget* dialog) {
                title = dialog->windowTitle();
                selected = qobject_cast<QFileDialog*>(dialog)->selectedFiles().value(0);
                qobject_cast<QFileDialog*>(dialog)->reject();
            });
            fileIO(app)->onFileSave();
            return QTest::qWaitFor([&answerer] { return answerer.isDone(); }) ? QFileInfo(selected).path() : QString();
        };
        const QRegularExpression name(QStringLiteral("/project-\\d{8}-\\d{4}\\.mtfx$"));
        QCOMPARE(suggestedFolder(), hasDocuments ? home.filePath("Documents") : home.path());
        QVERIFY2(name.match(selected).hasMatch(), qPrintable(selected));
        QCOMPARE(title, QStringLiteral("Save Project"));
        QCOMPARE(fileIO(app)->runningActions().size(), 0);

        const QString projectPath = m_projects->write("a.mtfx");
        fileIO(app)->onApplicationFileOpen(projectPath, readAll(projectPath));
        fileIO(app)->onFileNew();
        QCOMPARE(suggestedFolder(), m_projects->folder.path());
        QVERIFY2(name.match(selected).hasMatch(), qPrintable(selected));
    }
};

MOTIFEX_WIDGET_TEST_MAIN(FileIOTest)
#include "tst_fileio.moc"
