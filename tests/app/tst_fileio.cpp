#include "app/tst_fileio_support.h"

#include "canvas/Canvas.h"
#include "doc/Items.h"
#include "shape/Manager.h"
#include "support/WidgetTestMain.h"

#include <QAbstractButton>
#include <QFileOpenEvent>
#include <QJsonArray>
#include <QMenu>
#include <QMessageBox>
#include <QSettings>
#include <QTextDocument>

#include <sys/stat.h>

using namespace motifex::test;

class FileIOTest : public QObject
{
    Q_OBJECT

private:
    QString path(const QString& name) const { return m_folder->filePath(name); }

    // A project file named after the file, without extension ("a.mtfx" holds the project "a").
    QString writeProject(const QString& fileName)
    {
        writeAll(path(fileName), projectData(QFileInfo(fileName).completeBaseName()));
        return path(fileName);
    }

    static QString openErrorInformativeText(AppFixture& app)
    {
        return app.window()->findChild<QMessageBox*>(QStringLiteral("openErrorBox"))->informativeText();
    }

    std::unique_ptr<QTemporaryDir> m_folder;

private slots:
    void init()
    {
        QSettings().clear();
        m_folder = std::make_unique<QTemporaryDir>();
        QVERIFY(m_folder->isValid());
    }

    void savedFileHoldsTheDocumentAndTheShownCanvas()
    {
        AppFixture app;
        QVERIFY(!QJsonDocument::fromJson(fileIO(app)->jsonFromValues()).object().contains("canvas"));
        generate(app);
        editedDocument(app)->properties()->setName("saved");
        const auto savedDocument = std::make_shared<doc::Document>();
        savedDocument->setFromDocument(editedDocument(app));
        const QVariant shownCanvas = app.window()->preview()->lastGeneratorResult()->toData();

        ModalAnswerer answerer;
        answerer.answer(chooseFile(path("saved.mtfx")));
        const QDateTime before = QDateTime::currentDateTimeUtc().addSecs(-1);
        fileIO(app)->onFileSaveAs();
        QTRY_VERIFY(answerer.isDone());
        QTRY_VERIFY(!fileIO(app)->hasUnsavedChanges());
        const QDateTime after = QDateTime::currentDateTimeUtc().addSecs(1);

        const QByteArray data = readAll(path("saved.mtfx"));
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
        QVERIFY(app.window()->preview()->lastGeneratorResult() == nullptr
                || editedDocument(app)->compare(savedDocument) != doc::CompareResult::Equal);
        fileIO(app)->onApplicationFileOpen(path("saved.mtfx"), data);
        QCOMPARE(editedDocument(app)->compare(savedDocument), doc::CompareResult::Equal);
        QCOMPARE(app.controller().generatorDocument()->compare(savedDocument), doc::CompareResult::Equal);
        QVERIFY(app.window()->preview()->lastGeneratorResult() != nullptr);
        QCOMPARE(app.window()->preview()->lastGeneratorResult()->toData(), shownCanvas);

        // A change that needs a new run keeps the old canvas out of the file, before and after the
        // preview has noticed it.
        editedDocument(app)->properties()->setCanvasSize(geo::Size::fromMillimeters(60, 40));
        QVERIFY(!QJsonDocument::fromJson(fileIO(app)->jsonFromValues()).object().contains("canvas"));
        QTRY_VERIFY(app.window()->preview()->isOutOfDate());
        QVERIFY(!QJsonDocument::fromJson(fileIO(app)->jsonFromValues()).object().contains("canvas"));
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
        const QString badPath = path(fileName);
        if (QTest::currentDataTag() == QLatin1String("FIFO")) {
            QCOMPARE(mkfifo(QFile::encodeName(badPath).constData(), 0600), 0);
        } else if (QTest::currentDataTag() == QLatin1String("folder")) {
            QVERIFY(QDir().mkpath(badPath));
        } else {
            writeAll(badPath, content);
        }
        const QString projectPath = writeProject("a.mtfx");
        AppFixture app;
        fileIO(app)->applicationStart({"motifex", projectPath});
        QCOMPARE(projectName(app), QStringLiteral("a"));

        ModalAnswerer answerer;
        answerer.answer(QTest::currentDataTag() == QLatin1String("folder") ? reportChosenPath(badPath) : chooseFile(badPath))
            .clickButton("OK");
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
        QVERIFY(QDir().mkpath(path("folder")));
        const QString projectPath = writeProject("folder/a.mtfx");
        const QByteArray oldContent = readAll(projectPath);
        AppFixture app;
        fileIO(app)->applicationStart({"motifex", projectPath});
        editedDocument(app)->properties()->setName(QString(1000, 'e'));
        app.window()->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(app.window()));

        ModalAnswerer answerer;
        if (QTest::currentDataTag() == QLatin1String("test error")) {
            answerer.clickButton("OK");
            QTest::keySequence(app.window(), QKeySequence("Ctrl+=, Ctrl+I"));
            QTRY_VERIFY(answerer.isDone());
            QCOMPARE(answerer.lastRecord().title, QStringLiteral("Test"));
            QCOMPARE(answerer.lastRecord().text, QStringLiteral("Test IO Error Activated"));
            app.window()->activateWindow();
            QVERIFY(QTest::qWaitForWindowActive(app.window()));
        }
        answerer.clickButton("Cancel");
        if (QTest::currentDataTag() == QLatin1String("read-only folder")) {
            QVERIFY(QFile::setPermissions(path("folder"), QFileDevice::ReadOwner | QFileDevice::ExeOwner));
            PermissionsEnforced enforced;
            QTest::keySequence(app.window(), QKeySequence::Save);
        } else if (QTest::currentDataTag() == QLatin1String("file size limit")) {
            FileSizeLimit limit(oldContent.size() + 100);
            QTest::keySequence(app.window(), QKeySequence::Save);
        } else {
            QTest::keySequence(app.window(), QKeySequence::Save);
        }
        QTRY_VERIFY(answerer.isDone());
        QFile::setPermissions(path("folder"), QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);

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
        QCOMPARE(QDir(path("folder")).entryList(QDir::Files | QDir::Hidden), QStringList({"a.mtfx"}));
    }

    void discardAfterFailedSave_data()
    {
        QTest::addColumn<bool>("isNewPending");
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("hasUnsavedChanges");
        QTest::newRow("nothing pending: still unsaved") << false << "edited" << true;
        QTest::newRow("new pending: carried out") << true << "" << false;
    }

    void discardAfterFailedSave()
    {
        QFETCH(bool, isNewPending);
        QFETCH(QString, name);
        QFETCH(bool, hasUnsavedChanges);
        const QString projectPath = writeProject("a.mtfx");
        AppFixture app;
        fileIO(app)->applicationStart({"motifex", projectPath});
        editedDocument(app)->properties()->setName("edited");

        ModalAnswerer answerer;
        answerer.clickButton("OK");
        for (QAction* action : app.window()->actions()) {
            if (action->text() == QLatin1String("Activate Test IO Error")) {
                action->trigger();
            }
        }
        QTRY_VERIFY(answerer.isDone());
        if (isNewPending) {
            answerer.clickButton("Save").clickButton("Discard");
            fileIO(app)->onFileNew();
        } else {
            answerer.clickButton("Discard");
            fileIO(app)->onFileSave();
        }
        QTRY_VERIFY(answerer.isDone());
        QTRY_COMPARE(fileIO(app)->runningActions().size(), 0);
        QCOMPARE(projectName(app), name);
        QCOMPARE(fileIO(app)->hasUnsavedChanges(), hasUnsavedChanges);
        QCOMPARE(app.window()->isWindowModified(), hasUnsavedChanges);
        // Work that is still unsaved is asked about when the window closes.
        if (hasUnsavedChanges) {
            answerer.clickButton("Cancel");
            QVERIFY(!fileIO(app)->allowClose());
            QTRY_VERIFY(answerer.isDone());
            QCOMPARE(shownName(answerer.lastRecord()), QStringLiteral("unsavedChangesBox"));
        } else {
            QVERIFY(fileIO(app)->allowClose());
        }
    }

    void recentProjects()
    {
        QStringList paths;
        for (int index = 0; index < 21; ++index) {
            paths.append(writeProject(QStringLiteral("p%1.mtfx").arg(index, 2, 10, QLatin1Char('0'))));
        }
        const QString ampersand = writeProject("A&B.mtfx");
        const QString markup = writeProject("<b>x.mtfx");
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
        QCOMPARE(entries[0]->text(), QStringLiteral("<b>x.mtfx"));
        QCOMPARE(entries[0]->toolTip(), Qt::convertFromPlainText(markup, Qt::WhiteSpaceNormal));
        QCOMPARE(entries[1]->text(), QStringLiteral("A&&B.mtfx"));
        QCOMPARE(entries[1]->toolTip(), ampersand);
        QCOMPARE(entries[1]->data().toString(), ampersand);

        fileIO(app)->saveSettings();
        QSettings settings;
        QCOMPARE(settings.value("recentProjects").toStringList(), newestFirst);
        QCOMPARE(settings.value("lastOpenProject").toString(), markup);
        QCOMPARE(settings.value("lastDir").toString(), m_folder->path());
        QVERIFY(!settings.value("load.state").toByteArray().isEmpty());
        QVERIFY(!settings.value("toData.state").toByteArray().isEmpty());
    }

    void lastOpenProjectAtStart_data()
    {
        QTest::addColumn<QString>("lastOpenProject");
        QTest::addColumn<QString>("name");
        QTest::newRow("readable") << "a.mtfx" << "a";
        QTest::newRow("missing") << "missing.mtfx" << "";
        QTest::newRow("broken JSON") << "broken.mtfx" << "";
        QTest::newRow("FIFO") << "fifo.mtfx" << "";
        QTest::newRow("folder") << "" << "";
    }

    void lastOpenProjectAtStart()
    {
        QFETCH(QString, lastOpenProject);
        QFETCH(QString, name);
        writeProject("a.mtfx");
        writeAll(path("broken.mtfx"), "{");
        QCOMPARE(mkfifo(QFile::encodeName(path("fifo.mtfx")).constData(), 0600), 0);
        QSettings().setValue("lastOpenProject", path(lastOpenProject));

        AppFixture app;
        QCOMPARE(projectName(app), name);
        QVERIFY(!fileIO(app)->hasUnsavedChanges());
        QCOMPARE(fileIO(app)->runningActions().size(), 0);
        QCOMPARE(app.window()->windowTitle(),
                 name.isEmpty() ? QStringLiteral("<new project>[*] - Motifex v2.6.0") : titleFor(lastOpenProject));
        // Read silently: the error box was not even prepared.
        QCOMPARE(openErrorInformativeText(app), QStringLiteral("See details for technical information about the problem."));
    }

    void firstArgumentAtStart()
    {
        const QString argument = writeProject("b.mtfx");
        QCOMPARE(mkfifo(QFile::encodeName(path("fifo.mtfx")).constData(), 0600), 0);
        QSettings().setValue("lastOpenProject", writeProject("a.mtfx"));
        AppFixture app;
        QCOMPARE(projectName(app), QStringLiteral("a"));

        fileIO(app)->applicationStart({"motifex", argument});
        QCOMPARE(projectName(app), QStringLiteral("b"));
        QCOMPARE(app.window()->windowTitle(), titleFor("b.mtfx"));
        fileIO(app)->applicationStart({"motifex", path("fifo.mtfx")});
        QCOMPARE(projectName(app), QStringLiteral("a"));
        QCOMPARE(fileIO(app)->runningActions().size(), 0);
    }

    void fileOpenEventUsesTheDataReadByTheApplication()
    {
        const QString projectPath = writeProject("b.mtfx");
        AppFixture app;
        editedDocument(app)->properties()->setName("edited");

        // Nothing arrives for a folder.
        QCoreApplication::postEvent(qApp, new QFileOpenEvent(m_folder->path()));
        QCoreApplication::sendPostedEvents(qApp, QEvent::FileOpen);
        QCOMPARE(fileIO(app)->runningActions().size(), 0);

        ModalAnswerer answerer;
        answerer.answer([projectPath](QWidget* box) {
            // The file is gone; the question still opens it from what the application read.
            QVERIFY(QFile::remove(projectPath));
            ModalAnswerer::findButton(box, "Discard")->click();
        });
        QCoreApplication::postEvent(qApp, new QFileOpenEvent(projectPath));
        QTRY_VERIFY(answerer.isDone());
        QTRY_COMPARE(projectName(app), QStringLiteral("b"));
        QCOMPARE(shownNames(answerer), QStringList({"unsavedChangesBox"}));
        const ModalRecord question = answerer.lastRecord();
        QCOMPARE(question.title, QStringLiteral("Unsaved Changes"));
        QCOMPARE(question.text, QStringLiteral("The current project has unsaved changes."));
        QCOMPARE(question.informativeText, QStringLiteral("Do you want to save your changes?"));
        QCOMPARE(question.icon, QMessageBox::Warning);
        QCOMPARE(question.buttonTexts, QStringList({"Save", "Cancel", "Discard"}));
        QCOMPARE(app.window()->windowTitle(), titleFor("b.mtfx"));
        QVERIFY(!fileIO(app)->hasUnsavedChanges());
        QCOMPARE(fileIO(app)->runningActions().size(), 0);
    }

    void fileOpenEventWaitsForTheGenerationRun()
    {
        const QString projectPath = writeProject("b.mtfx");
        AppFixture app;
        app.window()->onGenerate();
        QVERIFY(app.window()->isGenerating());
        QFileOpenEvent event(projectPath);
        QCoreApplication::sendEvent(qApp, &event);
        QCOMPARE(projectName(app), QString());
        QCOMPARE(fileIO(app)->runningActions().size(), 0);
        QTRY_VERIFY_WITH_TIMEOUT(!app.window()->isGenerating(), 60000);
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
        editedDocument(app)->properties()->setWorldShape(shapes->shape(usedShape));
        ModalAnswerer answerer;
        answerer.answer(chooseFile(path("a.mtfx")));
        fileIO(app)->onFileSave();
        QTRY_VERIFY(answerer.isDone());
        QTRY_VERIFY(!fileIO(app)->hasUnsavedChanges());

        const auto items = editedDocument(app)->items();
        if (change == QLatin1String("property")) {
            editedDocument(app)->properties()->setNotes("notes");
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

    void saveSuggestion()
    {
        const QString pattern = QStringLiteral("^%1/project-\\d{8}-\\d{4}\\.mtfx$");
        AppFixture app;
        QString selected;
        const auto recordSelection = [&selected](QWidget* dialog) {
            selected = qobject_cast<QFileDialog*>(dialog)->selectedFiles().value(0);
            qobject_cast<QFileDialog*>(dialog)->reject();
        };
        ModalAnswerer answerer;
        answerer.answer(recordSelection);
        fileIO(app)->onFileSave();
        QTRY_VERIFY(answerer.isDone());
        const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
        QVERIFY2(QRegularExpression(pattern.arg(QRegularExpression::escape(documents))).match(selected).hasMatch(),
                 qPrintable(selected));
        QCOMPARE(fileIO(app)->runningActions().size(), 0);
        QCOMPARE(answerer.lastRecord().title, QStringLiteral("Save Project"));

        const QString projectPath = writeProject("a.mtfx");
        fileIO(app)->onApplicationFileOpen(projectPath, readAll(projectPath));
        fileIO(app)->onFileNew();
        answerer.answer(recordSelection);
        fileIO(app)->onFileSave();
        QTRY_VERIFY(answerer.isDone());
        QVERIFY2(QRegularExpression(pattern.arg(QRegularExpression::escape(m_folder->path()))).match(selected).hasMatch(),
                 qPrintable(selected));
    }
};

MOTIFEX_WIDGET_TEST_MAIN(FileIOTest)
#include "tst_fileio.moc"
