#include "app/Application.h"
#include "app/ApplicationController.h"
#include "app/MainWindow.h"
#include "doc/DynamicValueInput.h"
#include "frame/Manager.h"
#include "generator/GeneratorManager.h"
#include "shape/Manager.h"
#include "support/AppFixture.h"
#include "support/ModalAnswerer.h"
#include "support/WidgetTestMain.h"

#include <QFileOpenEvent>
#include <QFontInfo>
#include <QProcess>
#include <QRawFont>
#include <QRegularExpression>
#include <QSettings>
#include <QSignalSpy>
#include <QThreadPool>
#include <QtTest>

using motifex::test::AppFixture;
using motifex::test::ModalAnswerer;

namespace {

const QString brokenFileName = QStringLiteral("shape_broken.json");

QDir shapeFolder()
{
    return QDir(shape::Manager::getShapeStorageDir());
}

// A shape file that reads as JSON but names no shape type: the load fails on it.
void writeBrokenShapeFile()
{
    QFile file(shapeFolder().filePath(brokenFileName));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(R"({"type": "NoSuchShape", "identifier": "broken"})");
}

bool isMainWindowShown()
{
    const QWidgetList widgets = QApplication::topLevelWidgets();
    return std::any_of(widgets.cbegin(), widgets.cend(), [](QWidget* widget) { return qobject_cast<MainWindow*>(widget); });
}

// Glyphs drawn by the widgets that are not in a table of the core: tabs, buttons, precision levels,
// function chain labels, the colour and preview buttons.
const QList<unsigned> widgetGlyphs = {
    0x002B, 0xE195, 0xE196, 0xE198, 0xF00D, 0xF015, 0xF03E, 0xF044, 0xF061, 0xF06E, 0xF070, 0xF129, 0xF160,
    0xF187, 0xF24D, 0xF2ED, 0xF2F1, 0xF304, 0xF345, 0xF53F, 0xF56D, 0xF574, 0xF5C3, 0xF61F, 0xF661,
};

int inkedPixels(const QImage& image)
{
    int count = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            count += qAlpha(image.pixel(x, y)) > 0 ? 1 : 0;
        }
    }
    return count;
}

} // namespace

class ControllerTest : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        shapeFolder().removeRecursively();
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
        QCOMPARE(QThreadPool::globalInstance()->maxThreadCount(), expected);
    }

    void startBuildsEverythingAndDestructionReleasesIt()
    {
        {
            AppFixture app;
            QVERIFY(app.isStarted());
            ApplicationController& controller = app.controller();
            QCOMPARE(ApplicationController::instance(), &controller);
            QVERIFY(controller.document() != nullptr && controller.generatorDocument() != nullptr);
            QVERIFY(controller.document() != controller.generatorDocument());
            QVERIFY(controller.colorManager() != nullptr && controller.updateCheck() != nullptr);
            QCOMPARE(GeneratorManager::instance(), controller.generatorManager().get());
            QVERIFY(shape::Manager::instance() != nullptr && frame::Manager::instance() != nullptr);
            QVERIFY(isMainWindowShown());
            // A quiet start moves nothing aside.
            QVERIFY(!shapeFolder().exists(QStringLiteral("failed")));
        }
        QCOMPARE(ApplicationController::instance(), nullptr);
        QCOMPARE(GeneratorManager::instance(), nullptr);
        QCOMPARE(shape::Manager::instance(), nullptr);
        QCOMPARE(frame::Manager::instance(), nullptr);
        QVERIFY(!isMainWindowShown());
    }

    void styleSheetRulesInOrder()
    {
        AppFixture app;
        QStringList selectors;
        const QRegularExpression rule(QStringLiteral("([^{}]+)\\{[^}]*\\}"));
        for (const QRegularExpressionMatch& match : rule.globalMatch(qApp->styleSheet())) {
            selectors.append(match.captured(1).simplified());
        }
        // ":checked" is a pseudo-state; with "::" (a sub-control) the checked input button would never be
        // highlighted.
        QCOMPARE(selectors, QStringList({"#logo", "#updateCheckDesciption", "#previewInputLabel",
                                         "#shapeSelectionList, #itemList, #exampleList", "#exampleList::item",
                                         "QScrollArea, #functionsFrame", "#functionsPlusButton",
                                         "#functionsPlusButton:hover", "DynamicValueInputWidget #buttonFrame",
                                         "DynamicValueInputWidget #buttonFrame QToolButton",
                                         "DynamicValueInputWidget #buttonFrame QToolButton:checked"}));
        QVERIFY(qApp->styleSheet().contains(QStringLiteral("background-color: #7a8293;")));
    }

    void shapeDatabaseError_data()
    {
        QTest::addColumn<QString>("answer");
        QTest::addColumn<bool>("isStarted");
        QTest::newRow("Start Anyway, the default button") << "Return" << true;
        QTest::newRow("Quit and Resolve") << "Quit and Resolve" << false;
        QTest::newRow("Escape") << "Escape" << false;
    }

    void shapeDatabaseError()
    {
        QFETCH(QString, answer);
        QFETCH(bool, isStarted);
        writeBrokenShapeFile();
        ModalAnswerer answerer;
        if (answer == QLatin1String("Return") || answer == QLatin1String("Escape")) {
            answerer.pressKey(answer == QLatin1String("Return") ? Qt::Key_Return : Qt::Key_Escape);
        } else {
            answerer.clickButton(answer);
        }
        AppFixture app;
        QVERIFY(answerer.isDone());
        const auto record = answerer.lastRecord();
        QCOMPARE(record.title, QStringLiteral("Shape Database Load Error"));
        QCOMPARE(record.text,
                 QStringLiteral("<h2>Issue with User Shape Database</h2><p>There was a problem loading the user shape "
                                "database. As a result, some custom shapes may not be available.</p><p>The application "
                                "can still run, but with missing shapes. These shapes have been moved to a 'failed' "
                                "subfolder, and you won't encounter this error again on the next start.</p><p>If you "
                                "require all shapes, please quit and resolve the following issue:</p><p><b>Error "
                                "Details:</b> Failed to deserialize 1 shape files.</p>"));
        QCOMPARE(record.buttonTexts, QStringList({"Start Anyway", "Quit and Resolve"}));
        QCOMPARE(app.isStarted(), isStarted);
        QCOMPARE(isMainWindowShown(), isStarted);
        // Started, the broken file went into "failed" and the next start is quiet; quit, nothing after the
        // shape database exists and the file stays.
        QCOMPARE(shapeFolder().exists(QStringLiteral("failed/") + brokenFileName), isStarted);
        QCOMPARE(shapeFolder().exists(brokenFileName), !isStarted);
        QCOMPARE(app.controller().document() != nullptr, isStarted);
        QCOMPARE(app.controller().colorManager() != nullptr, isStarted);
        QCOMPARE(app.controller().generatorManager() != nullptr, isStarted);
        QCOMPARE(app.controller().updateCheck() != nullptr, isStarted);
    }

    void shapeFilesThatCannotBeMoved()
    {
        writeBrokenShapeFile();
        // A file where the "failed" folder should be: the broken file has nowhere to go.
        QFile blocker(shapeFolder().filePath(QStringLiteral("failed")));
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        blocker.close();
        ModalAnswerer answerer;
        answerer.clickButton(QStringLiteral("Start Anyway")).accept();
        AppFixture app;
        QVERIFY(answerer.isDone());
        QCOMPARE(answerer.records().size(), 2);
        QCOMPARE(answerer.lastRecord().title, QStringLiteral("Unable to Move Shape Files"));
        QCOMPARE(answerer.lastRecord().text, QStringLiteral("<p>The failed files cannot be moved.</p>"));
        QVERIFY(app.isStarted() && isMainWindowShown());
    }

    void databaseErrorReasonIsEscaped()
    {
        const QString text = ApplicationController::shapeDatabaseErrorText(QStringLiteral("<b>x</b> & \"y\""));
        QVERIFY(text.endsWith(QStringLiteral("<p><b>Error Details:</b> &lt;b&gt;x&lt;/b&gt; &amp; &quot;y&quot;</p>")));
    }

    // A local regular file passes at most its first 10000000 bytes; nothing passes for anything else.
    void fileOpenEvent_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<qsizetype>("size");
        QTest::addColumn<qsizetype>("passedOn");
        QTest::newRow("one byte") << "project.mtfx" << qsizetype(1) << qsizetype(1);
        QTest::newRow("exactly the limit") << "project.mtfx" << qsizetype(10000000) << qsizetype(10000000);
        QTest::newRow("12 MB: cut at the limit") << "project.mtfx" << qsizetype(12000000) << qsizetype(10000000);
        QTest::newRow("empty file") << "project.mtfx" << qsizetype(0) << qsizetype(-1);
        QTest::newRow("folder") << "folder.mtfx" << qsizetype(-1) << qsizetype(-1);
        QTest::newRow("missing file") << "missing.mtfx" << qsizetype(-1) << qsizetype(-1);
        QTest::newRow("remote URL") << "https://example.com/project.mtfx" << qsizetype(-1) << qsizetype(-1);
    }

    void fileOpenEvent()
    {
        QFETCH(QString, name);
        QFETCH(qsizetype, size);
        QFETCH(qsizetype, passedOn);
        QTemporaryDir folder;
        QVERIFY(QDir(folder.path()).mkdir("folder.mtfx"));
        // Bytes that differ along the file, so that a shifted or repeated block would show.
        QByteArray content(std::max<qsizetype>(size, 0), Qt::Uninitialized);
        for (qsizetype index = 0; index < content.size(); ++index) {
            content[index] = static_cast<char>((index * 7 + index / 251) & 0xff);
        }
        QFile file(folder.filePath(name));
        QVERIFY(size < 0 || (file.open(QIODevice::WriteOnly) && file.write(content) == size));
        file.close();
        const QUrl url = name.startsWith("https:") ? QUrl(name) : QUrl::fromLocalFile(folder.filePath(name));
        QSignalSpy spy(qApp, SIGNAL(fileOpenRequest(QString, QByteArray)));
        QCoreApplication::postEvent(qApp, new QFileOpenEvent(url));
        QCoreApplication::sendPostedEvents(qApp);
        QCOMPARE(spy.size(), passedOn < 0 ? 0 : 1);
        if (passedOn >= 0) {
            QCOMPARE(spy.at(0).at(0).toString(), folder.filePath(name));
            QVERIFY(spy.at(0).at(1).toByteArray() == content.left(passedOn));
        }
    }

    void iconFontResolvesToOurFont()
    {
        AppFixture app;
        const QFont& font = ApplicationController::iconFont();
        QCOMPARE(&ApplicationController::iconFont(), &font);
        QCOMPARE(font.family(), QStringLiteral("Font Awesome 6 Pro"));
        QCOMPARE(font.pointSize(), 16);
        QCOMPARE(font.weight(), QFont::Normal);
        QVERIFY(!font.italic());
        QCOMPARE(QFontInfo(font).family(), QStringLiteral("Motifex Icons"));
    }

    void everyUsedGlyphIsInTheFontAndDraws()
    {
        AppFixture app;
        QList<unsigned> codePoints = widgetGlyphs;
        for (const auto& entry : doc::dynamicValueInputList()) {
            codePoints.append(entry.glyph.unicode());
        }
        for (const auto& algorithm : app.controller().generatorManager()->get("pointgrid")->algorithmList()) {
            codePoints.append(static_cast<unsigned>(algorithm.icon));
        }
        QCOMPARE(codePoints.size(), 45);
        const QRawFont rawFont = QRawFont::fromFont(ApplicationController::iconFont());
        for (unsigned codePoint : codePoints) {
            const QString label = QStringLiteral("U+%1").arg(codePoint, 4, 16, QLatin1Char('0')).toUpper();
            QVERIFY2(rawFont.supportsCharacter(codePoint), qPrintable(label));
            const QImage image = app.controller().pixmapForIcon(static_cast<int>(codePoint), 24).toImage();
            QVERIFY2(inkedPixels(image) > 20, qPrintable(label));
        }
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
        }
        // The glyph is drawn in the palette's text colour on a transparent ground.
        const QImage image = controller.pixmapForIcon(0xf00c, 24).toImage();
        QCOMPARE(image.pixelColor(0, 0).alpha(), 0);
        const QRgb textColor = QApplication::palette().color(QPalette::Text).rgba();
        bool hasTextPixel = false;
        for (int y = 0; y < image.height() && !hasTextPixel; ++y) {
            for (int x = 0; x < image.width() && !hasTextPixel; ++x) {
                hasTextPixel = image.pixel(x, y) == textColor;
            }
        }
        QVERIFY(hasTextPixel);
    }
};

MOTIFEX_WIDGET_TEST_MAIN(ControllerTest)
#include "tst_controller.moc"
