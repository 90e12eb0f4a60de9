#include "app/CanvasPreview.h"
#include "app/CanvasPreviewFrame.h"
#include "app/ExportFrame.h"
#include "app/FileIO.h"
#include "app/MainWindow.h"
#include "app/StatusFrame.h"
#include "canvas/Canvas.h"
#include "doc/Color.h"
#include "doc/Document.h"
#include "doc/Item.h"
#include "doc/Items.h"
#include "doc/Properties.h"
#include "editors/PropertiesFrame.h"
#include "generator/Generator.h"
#include "generator/GeneratorManager.h"
#include "shape/Builder.h"
#include "shape/Manager.h"
#include "support/AppFixture.h"
#include "support/ModalAnswerer.h"
#include "support/RunDocuments.h"
#include "support/UserActions.h"
#include "support/WidgetTestMain.h"

#include <QGraphicsOpacityEffect>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QSvgWidget>
#include <QTimer>
#include <QToolButton>
#include <QtTest>

#include <cmath>

using motifex::test::AppFixture;
using motifex::test::ModalAnswerer;

namespace {

const QString createText = QStringLiteral("Click on “Generate Pattern” to create a preview.");
const QString outOfDateText =
    QStringLiteral("This preview is out of date, click on “Generate Pattern” to create a new one.");

// The main window with its run and preview at hand.
struct RunFixture : AppFixture {
    RunFixture() { window()->resize(1200, 800); }

    CanvasPreviewFrame* frame() { return window()->preview(); }
    CanvasPreview* preview() { return frame()->canvasPreview(); }
    StatusFrame* status() { return frame()->status(); }
    QString overlay() { return preview()->overlayText(); }
    QTimer* refreshTimer() { return frame()->findChild<QTimer*>(QStringLiteral("refreshTimer")); }
    QToolButton* cancelButton() { return status()->findChild<QToolButton*>(QStringLiteral("cancelButton")); }
    QPushButton* generateButton()
    {
        const auto buttons = window()->findChildren<QPushButton*>();
        return *std::find_if(buttons.cbegin(), buttons.cend(),
                             [](QPushButton* button) { return button->text() == QLatin1String("Generate Pattern"); });
    }
    // The opacity the SVG view is drawn with: 1 without an effect.
    qreal svgOpacity()
    {
        auto* effect = qobject_cast<QGraphicsOpacityEffect*>(preview()->findChild<QSvgWidget*>()->graphicsEffect());
        return effect != nullptr ? effect->opacity() : 1.0;
    }
    // True once the task is on its way (its first task name has arrived).
    bool waitForRunWorking()
    {
        return QTest::qWaitFor([this] { return status()->statusText() != QLatin1String("Starting..."); }, 120000);
    }
    // Starts a run that waits for the generation mutex, then clicks Cancel before letting it go.
    void cancelARun()
    {
        QMutexLocker held(window()->generationMutex());
        QTest::mouseClick(generateButton(), Qt::LeftButton);
        QTest::mouseClick(cancelButton(), Qt::LeftButton);
    }
};

// The relative luminance of a colour, as contrast ratios are defined on.
double luminance(const QColor& color)
{
    const auto linear = [](double channel) {
        return channel <= 0.04045 ? channel / 12.92 : std::pow((channel + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * linear(color.redF()) + 0.7152 * linear(color.greenF()) + 0.0722 * linear(color.blueF());
}

QString userShape(const QString& name)
{
    auto shape = shape::Builder::createShape(shape::Type::Polygon);
    shape->resetToDefaults();
    shape->setName(name);
    return shape::Manager::instance()->add(shape);
}

// Changes the shape's first modifier, as the shape editor would.
bool editShape(const QString& identifier)
{
    const auto shape = shape::Manager::instance()->shape(identifier);
    std::vector<geo::Normal1D> values = shape->modifierValues();
    values.at(0) = geo::Normal1D(values.at(0).value() > 0.5 ? 0.1 : 0.9);
    return shape::Manager::instance()->update(identifier, shape->name(), values);
}

} // namespace

class GenerationTest : public QObject
{
    Q_OBJECT

private slots:
    void startShowsTheCreateText()
    {
        RunFixture app;
        QCOMPARE(app.overlay(), createText);
        QVERIFY(app.preview()->isInactive());
        QCOMPARE(app.svgOpacity(), 0.2);
        QVERIFY(app.frame()->svgData().isEmpty());
        QCOMPARE(app.preview()->background(), QColor::fromHsvF(0, 0, 0.2f));
        QCOMPARE(app.status()->statusText(), QStringLiteral("Ready"));
        QCOMPARE(app.status()->findChild<QLabel*>(QStringLiteral("statusLabel"))->font().weight(), QFont::Bold);
        QCOMPARE(app.cancelButton()->text(), QStringLiteral("Cancel"));
        const auto* progressBar = app.status()->findChild<QProgressBar*>();
        QCOMPARE(progressBar->maximum(), 1000);
        QVERIFY(!progressBar->isVisible() && !app.cancelButton()->isVisible());
        QVERIFY(!app.status()->findChild<QLabel*>(QStringLiteral("statisticLabel"))->isVisible());
    }

    // A run from Ctrl+R or the button: the controls are off until it ends, then the pattern is shown.
    void generationRun_data()
    {
        QTest::addColumn<bool>("isFromButton");
        QTest::addColumn<bool>("hasBackground");
        QTest::newRow("Ctrl+R") << false << true;
        QTest::newRow("Generate Pattern, without a canvas background") << true << false;
    }

    void generationRun()
    {
        QFETCH(bool, isFromButton);
        QFETCH(bool, hasBackground);
        RunFixture app;
        app.document()->properties()->setCanvasBackgroundColor(QColor(250, 240, 200));
        app.document()->properties()->setCanvasBackgroundEnabled(hasBackground);
        // The edit's queued restart of the refresh timer arrives before the run, which stops the timer.
        QCoreApplication::processEvents();
        if (isFromButton) {
            QTest::mouseClick(app.generateButton(), Qt::LeftButton);
        } else {
            QTest::keyClick(app.window(), Qt::Key_R, Qt::ControlModifier);
        }
        // The result can only arrive through the event loop, so this is the state while it runs.
        QVERIFY(app.window()->isGenerating());
        QCOMPARE(app.status()->statusText(), QStringLiteral("Starting..."));
        QVERIFY(!app.window()->generateAction()->isEnabled() && !app.generateButton()->isEnabled());
        QVERIFY(!app.window()->propertiesFrame()->isEnabled());
        QVERIFY(app.cancelButton()->isVisible() && app.cancelButton()->isEnabled());
        QVERIFY(!app.status()->findChild<QLabel*>(QStringLiteral("statisticLabel"))->isVisible());
        QCOMPARE(app.overlay(), QStringLiteral("Working…"));
        QVERIFY(!app.refreshTimer()->isActive());
        // While working, the canvas is not offered for saving; a second trigger starts nothing.
        QVERIFY(app.frame()->lastGeneratorResult().isNull());
        QTest::keyClick(app.window(), Qt::Key_R, Qt::ControlModifier);

        QVERIFY(app.waitForRunEnd());
        QVERIFY(app.status()->statusText().startsWith(QStringLiteral("Work done in ")));
        QVERIFY(app.window()->generateAction()->isEnabled() && app.generateButton()->isEnabled());
        QVERIFY(app.window()->propertiesFrame()->isEnabled());
        QVERIFY(!app.cancelButton()->isVisible());
        QVERIFY(app.frame()->svgData().contains("<svg"));
        QCOMPARE(app.overlay(), QString());
        QVERIFY(!app.preview()->findChild<QLabel*>(QStringLiteral("overlayLabel"))->isVisible());
        QCOMPARE(app.svgOpacity(), 1.0);
        const auto canvas = app.frame()->lastGeneratorResult();
        QVERIFY(canvas != nullptr && !canvas->items().empty());
        const auto [smallest, largest] = canvas->radiusRange();
        QCOMPARE(app.status()->statisticText(), QStringLiteral("%1 items, largest %2mm, smallest %3mm")
                                                    .arg(canvas->items().size())
                                                    .arg(largest.value() / 1e6, 0, 'f', 2)
                                                    .arg(smallest.value() / 1e6, 0, 'f', 2));
        QCOMPARE(app.controller().generatorDocument()->compare(app.document()), doc::CompareResult::Equal);
        // The panel around the picture takes the canvas background, or the window colour without one.
        const QColor background = hasBackground ? QColor(250, 240, 200) : app.frame()->palette().color(QPalette::Window);
        QCOMPARE(app.preview()->background(), background);
        const QImage image = app.preview()->grab().toImage();
        QCOMPARE(image.pixelColor(4, image.height() / 2), background);
    }

    // A run without a picture of its own keeps the last one: as it was when the document is unchanged,
    // out of date when the run had already taken a changed document.
    void runWithoutAPictureKeepsTheLastCanvas_data()
    {
        QTest::addColumn<QString>("run");
        QTest::addColumn<QString>("status");
        QTest::addColumn<QString>("overlay");
        QTest::newRow("cancelled") << "cancel" << "Canceled." << "";
        QTest::newRow("cancelled after a change") << "change, cancel" << "Canceled." << outOfDateText;
        QTest::newRow("refused") << "refuse" << "" << outOfDateText;
    }

    void runWithoutAPictureKeepsTheLastCanvas()
    {
        QFETCH(QString, run);
        QFETCH(QString, status);
        QFETCH(QString, overlay);
        RunFixture app;
        QVERIFY(app.generate());
        const auto canvas = app.frame()->lastGeneratorResult();
        const QByteArray svg = app.frame()->svgData();
        const QString statistic = app.status()->statisticText();
        if (run == QLatin1String("refuse")) {
            motifex::test::makeRefusedDocument(app.document());
            QVERIFY(app.generate());
            const auto generator = GeneratorManager::instance()->get(QStringLiteral("pointgrid"));
            QCOMPARE(generator->runStatus(), Generator::RunStatus::Refused);
            QVERIFY(generator->runMessage().contains(QStringLiteral("1000")));
            status = generator->runMessage();
        } else {
            if (run.startsWith(QLatin1String("change"))) {
                app.document()->properties()->setCanvasSize(geo::Size(90000000, 60000000));
            }
            app.cancelARun();
            QVERIFY(app.waitForRunEnd());
        }
        QCOMPARE(app.status()->statusText(), status);
        QCOMPARE(app.frame()->svgData(), svg);
        QCOMPARE(app.status()->statisticText(), statistic);
        QCOMPARE(app.overlay(), overlay);
        QCOMPARE(app.frame()->lastGeneratorResult(), overlay.isEmpty() ? canvas : nullptr);
        QVERIFY(app.window()->generateAction()->isEnabled());
        // The kept picture is exported only while it matches the document.
        QCOMPARE(motifex::test::actionWithText(app.window()->exportFrame(), QStringLiteral("SVG..."))->isEnabled(),
                 overlay.isEmpty());
    }

    void runThatPlacesNothingExplainsTheEmptyPanel()
    {
        RunFixture app;
        QVERIFY(app.generate());
        motifex::test::makeEmptyDocument(app.document());
        QVERIFY(app.generate());
        QVERIFY(app.status()->statusText().startsWith(QStringLiteral("Work done in ")));
        QVERIFY(app.frame()->svgData().isEmpty());
        QCOMPARE(app.status()->statisticText(), QString());
        QCOMPARE(app.overlay(), createText);
        QVERIFY(app.preview()->isInactive());
        QCOMPARE(app.preview()->background(), QColor::fromHsvF(0, 0, 0.2f));
    }

    // A close that waits for the unsaved-changes answer leaves the run working; the user may still decide
    // to stay. A close that goes ahead stops the run and waits for it.
    void closeDuringARun_data()
    {
        QTest::addColumn<bool>("hasUnsavedChanges");
        QTest::newRow("refused at the question") << true;
        QTest::newRow("without changes") << false;
    }

    void closeDuringARun()
    {
        QFETCH(bool, hasUnsavedChanges);
        RunFixture app;
        motifex::test::makeSlowDocument(app.document());
        app.window()->fileIO()->setUnsavedChanges(hasUnsavedChanges);
        app.window()->onGenerate();
        QVERIFY(app.waitForRunWorking());
        ModalAnswerer answerer;
        if (hasUnsavedChanges) {
            answerer.clickStandardButton(QMessageBox::Cancel);
        }
        QCOMPARE(app.window()->close(), !hasUnsavedChanges);
        QVERIFY(answerer.isDone());
        QCOMPARE(app.window()->isVisible(), hasUnsavedChanges);
        if (hasUnsavedChanges) {
            QCOMPARE(answerer.lastRecord().title, QStringLiteral("Unsaved Changes"));
            QVERIFY(app.window()->isGenerating());
            QVERIFY(!app.status()->progressCancelRequested());
            QTest::mouseClick(app.cancelButton(), Qt::LeftButton);
        }
        QVERIFY(app.waitForRunEnd());
        QCOMPARE(app.status()->statusText(), QStringLiteral("Canceled."));
    }

    void destructionDuringARun()
    {
        auto app = std::make_unique<RunFixture>();
        motifex::test::makeSlowDocument(app->document());
        app->window()->onGenerate();
        QVERIFY(app->waitForRunWorking());
        app.reset();
        QCOMPARE(ApplicationController::instance(), nullptr);
        // Queued calls the task posted before it ended must not reach a destroyed line.
        QCoreApplication::processEvents();
    }

    void changeWithoutRegenerationRestylesTheSameCanvas()
    {
        RunFixture app;
        QVERIFY(app.generate());
        const auto canvas = app.frame()->lastGeneratorResult();
        QVERIFY(!app.frame()->svgData().contains("#123456"));
        app.document()->properties()->worldColor()->setStaticColor(QColor(0x12, 0x34, 0x56));
        QTRY_VERIFY(app.frame()->svgData().contains("#123456"));
        QCOMPARE(app.frame()->lastGeneratorResult(), canvas);
        QVERIFY(!app.preview()->isInactive());
        QCOMPARE(app.overlay(), QString());
        QCOMPARE(app.document()->compare(app.controller().generatorDocument()), doc::CompareResult::Equal);
    }

    // Adding and removing item definitions count as changes, as property changes do.
    void changeThatNeedsRegenerationMarksOutOfDate_data()
    {
        QTest::addColumn<QString>("change");
        QTest::newRow("canvas size") << "size";
        QTest::newRow("item added") << "add";
        QTest::newRow("item removed") << "remove";
    }

    void changeThatNeedsRegenerationMarksOutOfDate()
    {
        QFETCH(QString, change);
        RunFixture app;
        QVERIFY(app.generate());
        const QByteArray svg = app.frame()->svgData();
        if (change == QLatin1String("size")) {
            app.document()->properties()->setCanvasSize(geo::Size(90000000, 60000000));
        } else if (change == QLatin1String("add")) {
            QVERIFY(app.document()->items()->addItem() != nullptr);
        } else {
            app.document()->items()->removeItem(0);
        }
        QTRY_COMPARE(app.overlay(), outOfDateText);
        QVERIFY(app.preview()->isInactive());
        QCOMPARE(app.svgOpacity(), 0.2);
        QVERIFY(app.frame()->lastGeneratorResult().isNull());
        // The old picture stays visible behind the text.
        QCOMPARE(app.frame()->svgData(), svg);
    }

    void usedShapeChangeRerenders()
    {
        RunFixture app;
        const QString used = userShape(QStringLiteral("Used"));
        const QString unused = userShape(QStringLiteral("Unused"));
        QVERIFY(!used.isEmpty() && !unused.isEmpty());
        app.document()->items()->itemAt(0)->setShapeId(used);
        QVERIFY(app.generate());
        QTRY_VERIFY(!app.refreshTimer()->isActive());
        const QByteArray svg = app.frame()->svgData();

        QVERIFY(editShape(unused));
        QCoreApplication::processEvents();
        QVERIFY(!app.refreshTimer()->isActive());
        QCOMPARE(app.frame()->svgData(), svg);

        QVERIFY(editShape(used));
        QTRY_VERIFY(app.refreshTimer()->isActive());
        QTRY_VERIFY(app.frame()->svgData() != svg);
        QVERIFY(!app.preview()->isInactive());
        QCOMPARE(app.overlay(), QString());
    }

    // The reason of a refused run is long: it stays within the status line (two lines at most, the whole
    // text as tooltip), so the window keeps its width, the preview its height but a line, and the
    // statistic its place.
    void longStatusTextStaysInItsLine()
    {
        RunFixture app;
        // As narrow as the window goes, where any widening shows.
        app.window()->resize(app.window()->minimumSizeHint().width(), 800);
        QVERIFY(app.generate());
        auto* label = app.status()->findChild<QLabel*>(QStringLiteral("statusLabel"));
        auto* statistic = app.status()->findChild<QLabel*>(QStringLiteral("statisticLabel"));
        QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
        const int windowWidth = app.window()->width();
        const int previewHeight = app.preview()->height();
        const int statisticRight = statistic->geometry().right();
        QCOMPARE(label->toolTip(), QString());

        motifex::test::makeRefusedDocument(app.document());
        QVERIFY(app.generate());
        const QString message = GeneratorManager::instance()->get(QStringLiteral("pointgrid"))->runMessage();
        QVERIFY(message.startsWith(
            QStringLiteral("A canvas of 1000 × 1000 mm at a precision of 0.01 mm needs a grid of ")));
        QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
        QCOMPARE(app.status()->statusText(), message);
        QCOMPARE(label->toolTip(), message);
        QVERIFY(label->text().count(QLatin1Char('\n')) <= 1);
        QVERIFY(label->text().size() < message.size());
        QCOMPARE(app.window()->width(), windowWidth);
        QVERIFY(app.preview()->height() >= previewHeight - label->fontMetrics().lineSpacing());
        // The earlier statistic steps aside for the reason, and comes back in its place with the next run.
        QVERIFY(!statistic->isVisible());
        app.document()->resetToDefault();
        QVERIFY(app.generate());
        QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
        QVERIFY(statistic->isVisible());
        QCOMPARE(statistic->geometry().right(), statisticRight);
    }

    // Light text on a translucent dark backing: it reads over a light pattern on a white background.
    void overlayTextReadsOverALightPattern()
    {
        RunFixture app;
        app.document()->properties()->setCanvasBackgroundColor(QColor(Qt::white));
        app.document()->properties()->setCanvasBackgroundEnabled(true);
        QVERIFY(app.generate());
        app.document()->properties()->setCanvasSize(geo::Size(90000000, 60000000));
        QTRY_COMPARE(app.overlay(), outOfDateText);
        auto* label = app.preview()->findChild<QLabel*>(QStringLiteral("overlayLabel"));
        const QImage image = app.preview()->grab().toImage();
        const QRect textRect =
            label->fontMetrics().boundingRect(label->contentsRect(), Qt::AlignCenter | Qt::TextWordWrap, label->text());
        QVERIFY(image.rect().contains(textRect) && textRect.height() > 0);
        std::vector<double> luminances;
        for (int y = textRect.top(); y <= textRect.bottom(); ++y) {
            for (int x = textRect.left(); x <= textRect.right(); ++x) {
                luminances.push_back(luminance(image.pixelColor(x, y)));
            }
        }
        std::sort(luminances.begin(), luminances.end());
        // Most of the text's box is what the letters stand on; the brightest pixels are the letters.
        const double background = luminances.at(luminances.size() / 2);
        const double text = luminances.back();
        QVERIFY2((text + 0.05) / (background + 0.05) >= 4.5,
                 qPrintable(QStringLiteral("text %1, background %2").arg(text).arg(background)));
    }

    void overlayCoversThePanel()
    {
        RunFixture app;
        app.window()->resize(1300, 850);
        QTRY_COMPARE(app.preview()->findChild<QLabel*>(QStringLiteral("overlayLabel"))->geometry(),
                     app.preview()->rect());
        // The preview sits inside its frame's margins, so its own rectangle is what the overlay needs.
        QVERIFY(app.preview()->geometry().topLeft() != QPoint(0, 0));
    }
};

MOTIFEX_WIDGET_TEST_MAIN(GenerationTest)
#include "tst_generation.moc"
