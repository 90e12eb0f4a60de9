#include "app/ApplicationController.h"
#include "app/MainWindow.h"
#include "frame/Manager.h"
#include "generator/GeneratorManager.h"
#include "shape/Manager.h"
#include "support/AppFixture.h"
#include "support/ModalAnswerer.h"
#include "support/WidgetTestMain.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QMessageBox>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QSettings>
#include <QThreadPool>
#include <QtTest>

using motifex::test::AppFixture;
using motifex::test::ModalAnswerer;

namespace {

const QString brokenFileName = QStringLiteral("shape_broken.json");

QString shapeFolder()
{
    return shape::Manager::getShapeStorageDir();
}

// A shape file that reads as JSON but names no shape type: the load fails on it.
void writeBrokenShapeFile()
{
    QFile file(QDir(shapeFolder()).filePath(brokenFileName));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(R"({"type": "NoSuchShape", "identifier": "broken"})");
}

bool isMainWindowAmongTopLevels()
{
    const QWidgetList widgets = QApplication::topLevelWidgets();
    return std::any_of(widgets.cbegin(), widgets.cend(),
                       [](QWidget* widget) { return qobject_cast<MainWindow*>(widget) != nullptr; });
}

const QString expectedDatabaseErrorText = QStringLiteral(
    "<h2>Issue with User Shape Database</h2><p>There was a problem loading the user shape database. As a result, "
    "some custom shapes may not be available.</p><p>The application can still run, but with missing shapes. These "
    "shapes have been moved to a 'failed' subfolder, and you won't encounter this error again on the next "
    "start.</p><p>If you require all shapes, please quit and resolve the following issue:</p><p><b>Error "
    "Details:</b> Failed to deserialize 1 shape files.; keypath=</p>");

} // namespace

class ControllerTest : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        QDir(shapeFolder()).removeRecursively();
        QSettings().clear();
    }

    void threadCountFromSettings_data()
    {
        QTest::addColumn<QVariant>("stored");
        QTest::addColumn<int>("expected");
        QTest::newRow("absent") << QVariant() << 16;
        QTest::newRow("4 is raised to 8") << QVariant(4) << 8;
        QTest::newRow("8") << QVariant(8) << 8;
        QTest::newRow("200 is lowered to 128") << QVariant(200) << 128;
        QTest::newRow("not a number") << QVariant(QStringLiteral("abc")) << 8;
    }

    void threadCountFromSettings()
    {
        QFETCH(QVariant, stored);
        QFETCH(int, expected);
        if (stored.isValid()) {
            QSettings().setValue(QStringLiteral("maxThreadCount"), stored);
        }
        QThreadPool::globalInstance()->setMaxThreadCount(3);
        AppFixture app;
        QVERIFY(app.isStarted());
        QCOMPARE(QThreadPool::globalInstance()->maxThreadCount(), expected);
    }

    void startBuildsEverythingAndDestructionReleasesIt()
    {
        {
            AppFixture app;
            QVERIFY(app.isStarted());
            ApplicationController& controller = app.controller();
            QCOMPARE(ApplicationController::instance(), &controller);
            QVERIFY(controller.document() != nullptr);
            QVERIFY(controller.generatorDocument() != nullptr);
            QVERIFY(controller.document() != controller.generatorDocument());
            QVERIFY(controller.colorManager() != nullptr);
            QVERIFY(controller.updateCheck() != nullptr);
            QVERIFY(controller.mainWindow()->isVisible());
            QCOMPARE(GeneratorManager::instance(), controller.generatorManager().get());
            QVERIFY(shape::Manager::instance() != nullptr);
            QVERIFY(frame::Manager::instance() != nullptr);
        }
        QCOMPARE(ApplicationController::instance(), nullptr);
        QCOMPARE(GeneratorManager::instance(), nullptr);
        QCOMPARE(shape::Manager::instance(), nullptr);
        QCOMPARE(frame::Manager::instance(), nullptr);
        QVERIFY(!isMainWindowAmongTopLevels());
    }

    void styleSheetRulesInOrder()
    {
        AppFixture app;
        QStringList selectors;
        const QRegularExpression rule(QStringLiteral("([^{}]+)\\{[^}]*\\}"));
        for (const QRegularExpressionMatch& match : rule.globalMatch(qApp->styleSheet())) {
            selectors.append(match.captured(1).simplified());
        }
        const QStringList expected{
            QStringLiteral("#logo"),
            QStringLiteral("#updateCheckDesciption"),
            QStringLiteral("#previewInputLabel"),
            QStringLiteral("#shapeSelectionList, #itemList, #exampleList"),
            QStringLiteral("#exampleList::item"),
            QStringLiteral("QScrollArea, #functionsFrame"),
            QStringLiteral("#functionsPlusButton"),
            QStringLiteral("#functionsPlusButton:hover"),
            QStringLiteral("DynamicValueInputWidget #buttonFrame"),
            QStringLiteral("DynamicValueInputWidget #buttonFrame QToolButton"),
            // A pseudo-state: with "::" (a sub-control) the checked input button would never be highlighted.
            QStringLiteral("DynamicValueInputWidget #buttonFrame QToolButton:checked"),
        };
        QCOMPARE(selectors, expected);
        QVERIFY(qApp->styleSheet().contains(QStringLiteral("background-color: #7a8293;")));
    }

    void iconFontIsBuiltOnce()
    {
        const QFont& font = ApplicationController::iconFont();
        QCOMPARE(font.family(), QStringLiteral("Font Awesome 6 Pro"));
        QCOMPARE(font.pointSize(), 16);
        QCOMPARE(font.weight(), QFont::Normal);
        QVERIFY(!font.italic());
        QCOMPARE(&ApplicationController::iconFont(), &font);
    }

    void shapeDatabaseErrorStartAnyway()
    {
        writeBrokenShapeFile();
        ModalAnswerer answerer;
        QString defaultButton;
        QString escapeButton;
        answerer.answer([&](QWidget* widget) {
            auto* box = qobject_cast<QMessageBox*>(widget);
            defaultButton = box->defaultButton()->text();
            escapeButton = box->escapeButton()->text();
            box->defaultButton()->click();
        });
        AppFixture app;
        QVERIFY(answerer.isDone());
        QVERIFY(app.isStarted());
        QVERIFY(app.window()->isVisible());
        const auto record = answerer.lastRecord();
        QCOMPARE(record.title, QStringLiteral("Shape Database Load Error"));
        QCOMPARE(record.text, expectedDatabaseErrorText);
        QCOMPARE(record.buttonTexts, (QStringList{QStringLiteral("Start Anyway"), QStringLiteral("Quit and Resolve")}));
        QCOMPARE(defaultButton, QStringLiteral("Start Anyway"));
        QCOMPARE(escapeButton, QStringLiteral("Quit and Resolve"));
        // The broken file went into "failed", so the next start is quiet.
        const QDir folder(shapeFolder());
        QVERIFY(!folder.exists(brokenFileName));
        QVERIFY(folder.exists(QStringLiteral("failed/") + brokenFileName));
    }

    void shapeDatabaseErrorQuits_data()
    {
        QTest::addColumn<bool>("isEscape");
        QTest::newRow("Quit and Resolve") << false;
        QTest::newRow("Escape") << true;
    }

    void shapeDatabaseErrorQuits()
    {
        QFETCH(bool, isEscape);
        writeBrokenShapeFile();
        ModalAnswerer answerer;
        if (isEscape) {
            answerer.pressKey(Qt::Key_Escape);
        } else {
            answerer.clickButton(QStringLiteral("Quit and Resolve"));
        }
        AppFixture app;
        QVERIFY(answerer.isDone());
        QVERIFY(!app.isStarted());
        // Start-up stopped at the shape database: nothing after it exists.
        QCOMPARE(app.controller().mainWindow(), nullptr);
        QCOMPARE(app.controller().colorManager(), nullptr);
        QCOMPARE(app.controller().document(), nullptr);
        QCOMPARE(app.controller().generatorManager(), nullptr);
        QCOMPARE(app.controller().updateCheck(), nullptr);
        QVERIFY(!isMainWindowAmongTopLevels());
        QVERIFY(QDir(shapeFolder()).exists(brokenFileName));
    }

    void shapeFilesThatCannotBeMoved()
    {
        writeBrokenShapeFile();
        // A file where the "failed" folder should be: the broken file has nowhere to go.
        QFile blocker(QDir(shapeFolder()).filePath(QStringLiteral("failed")));
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        blocker.close();
        ModalAnswerer answerer;
        answerer.clickButton(QStringLiteral("Start Anyway")).accept();
        AppFixture app;
        QVERIFY(answerer.isDone());
        QCOMPARE(answerer.records().size(), 2);
        const auto record = answerer.records().at(1);
        QCOMPARE(record.title, QStringLiteral("Unable to Move Shape Files"));
        QCOMPARE(record.text, QStringLiteral("<p>The failed files cannot be moved.</p>"));
        QVERIFY(app.isStarted());
        QVERIFY(app.window()->isVisible());
    }

    void quietStartMakesNoFailedFolder()
    {
        AppFixture app;
        QVERIFY(app.isStarted());
        QVERIFY(!QDir(shapeFolder()).exists(QStringLiteral("failed")));
    }

    void databaseErrorReasonIsEscaped()
    {
        const QString text = ApplicationController::shapeDatabaseErrorText(QStringLiteral("<b>x</b> & \"y\""));
        QVERIFY(text.endsWith(QStringLiteral("<p><b>Error Details:</b> &lt;b&gt;x&lt;/b&gt; &amp; &quot;y&quot;</p>")));
    }

    // The scale factor can only be chosen before the application object exists: each ratio runs this
    // program again with QT_SCALE_FACTOR, for the one test below.
    void pixmapForIconAtDeviceRatios_data()
    {
        QTest::addColumn<QString>("ratio");
        QTest::newRow("1") << QStringLiteral("1");
        QTest::newRow("1.5") << QStringLiteral("1.5");
        QTest::newRow("2") << QStringLiteral("2");
    }

    void pixmapForIconAtDeviceRatios()
    {
        QFETCH(QString, ratio);
        QProcess child;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("QT_SCALE_FACTOR"), ratio);
        environment.insert(QStringLiteral("MOTIFEX_EXPECTED_RATIO"), ratio);
        child.setProcessEnvironment(environment);
        child.setProcessChannelMode(QProcess::MergedChannels);
        child.start(QCoreApplication::applicationFilePath(), {QStringLiteral("pixmapForIconMatchesDeviceRatio")});
        QVERIFY(child.waitForFinished(-1));
        const QByteArray output = child.readAll();
        QVERIFY2(child.exitStatus() == QProcess::NormalExit && child.exitCode() == 0, output.constData());
        QVERIFY2(output.contains("PASS   : ControllerTest::pixmapForIconMatchesDeviceRatio()"), output.constData());
    }

    // Runs as it is in this program (ratio 1) and in the children of the test above.
    void pixmapForIconMatchesDeviceRatio()
    {
        const qreal ratio = qEnvironmentVariable("MOTIFEX_EXPECTED_RATIO", QStringLiteral("1")).toDouble();
        QCOMPARE(qApp->devicePixelRatio(), ratio);
        ApplicationController controller;
        for (const int size : {24, 15, 16, 7}) {
            const QPixmap pixmap = controller.pixmapForIcon(0xf00c, size);
            const int side = static_cast<int>(size * ratio);
            QCOMPARE(pixmap.size(), QSize(side, side));
            QCOMPARE(pixmap.devicePixelRatio(), ratio);
            QCOMPARE(pixmap.deviceIndependentSize(), QSizeF(side / ratio, side / ratio));
        }
        QCOMPARE(controller.pixmapForIcon(0xf00c, 24).width(), static_cast<int>(24 * ratio));
        // The glyph is drawn in the palette's text colour on a transparent ground.
        const QImage image = controller.pixmapForIcon(0xf00c, 24).toImage();
        QCOMPARE(image.pixelColor(0, 0).alpha(), 0);
        const QColor textColor = QApplication::palette().color(QPalette::Text);
        bool hasTextPixel = false;
        for (int y = 0; y < image.height() && !hasTextPixel; ++y) {
            for (int x = 0; x < image.width() && !hasTextPixel; ++x) {
                const QColor pixel = image.pixelColor(x, y);
                hasTextPixel = pixel.alpha() == 255 && pixel.rgb() == textColor.rgb();
            }
        }
        QVERIFY(hasTextPixel);
    }
};

MOTIFEX_WIDGET_TEST_MAIN(ControllerTest)
#include "tst_controller.moc"
