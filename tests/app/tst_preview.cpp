#include "app/CanvasPreview.h"
#include "app/CanvasPreviewFrame.h"
#include "app/MainWindow.h"
#include "app/StatusFrame.h"
#include "canvas/Canvas.h"
#include "doc/Color.h"
#include "doc/Document.h"
#include "doc/Item.h"
#include "doc/Items.h"
#include "doc/Properties.h"
#include "shape/Builder.h"
#include "shape/Manager.h"
#include "support/AppFixture.h"
#include "support/RunDocuments.h"
#include "support/WidgetTestMain.h"

#include <QGraphicsOpacityEffect>
#include <QLabel>
#include <QSvgWidget>
#include <QTimer>
#include <QtTest>

using motifex::test::AppFixture;

namespace {

const QString createText = QStringLiteral("Click on “Generate Pattern” to create a preview.");
const QString outOfDateText =
    QStringLiteral("This preview is out of date, click on “Generate Pattern” to create a new one.");
constexpr int runTimeout = 120000;

struct PreviewFixture {
    PreviewFixture() { window()->resize(1200, 800); }

    MainWindow* window() { return app.window(); }
    CanvasPreviewFrame* frame() { return app.window()->preview(); }
    CanvasPreview* preview() { return frame()->canvasPreview(); }
    std::shared_ptr<doc::Document> document() { return app.controller().document(); }
    QTimer* refreshTimer() { return frame()->findChild<QTimer*>(QStringLiteral("refreshTimer")); }

    bool generate()
    {
        window()->onGenerate();
        return QTest::qWaitFor([this] { return !window()->isGenerating(); }, runTimeout);
    }

    AppFixture app;
};

// The opacity the SVG view is drawn with: 1 without an effect.
qreal svgOpacity(CanvasPreview* preview)
{
    auto* effect = qobject_cast<QGraphicsOpacityEffect*>(preview->findChild<QSvgWidget*>()->graphicsEffect());
    return effect != nullptr ? effect->opacity() : 1.0;
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

class PreviewTest : public QObject
{
    Q_OBJECT

private slots:
    void startShowsCreateText()
    {
        PreviewFixture fixture;
        QCOMPARE(fixture.preview()->overlayText(), createText);
        QVERIFY(fixture.preview()->isInactive());
        QCOMPARE(svgOpacity(fixture.preview()), 0.2);
        QVERIFY(fixture.frame()->svgData().isEmpty());
        QVERIFY(fixture.frame()->lastGeneratorResult().isNull());
        QCOMPARE(fixture.preview()->background(), QColor::fromHsvF(0, 0, 0.2f));
        QCOMPARE(fixture.frame()->status()->statusText(), QStringLiteral("Ready"));
    }

    void runShowsTheCanvasActive()
    {
        PreviewFixture fixture;
        fixture.document()->properties()->setCanvasBackgroundColor(QColor(250, 240, 200));
        QVERIFY(fixture.generate());
        const auto canvas = fixture.frame()->lastGeneratorResult();
        QVERIFY(canvas != nullptr);
        QVERIFY(!canvas->items().empty());
        QVERIFY(fixture.frame()->svgData().contains("<svg"));
        QCOMPARE(fixture.preview()->overlayText(), QString());
        QVERIFY(!fixture.preview()->findChild<QLabel*>(QStringLiteral("overlayLabel"))->isVisible());
        QVERIFY(!fixture.preview()->isInactive());
        QCOMPARE(svgOpacity(fixture.preview()), 1.0);
        const auto [smallest, largest] = canvas->radiusRange();
        QCOMPARE(fixture.frame()->status()->statisticText(),
                 QStringLiteral("%1 items, largest %2mm, smallest %3mm")
                     .arg(canvas->items().size())
                     .arg(largest.value() / 1e6, 0, 'f', 2)
                     .arg(smallest.value() / 1e6, 0, 'f', 2));
        // The panel around the picture takes the canvas background.
        QCOMPARE(fixture.preview()->background(), QColor(250, 240, 200));
        const QImage image = fixture.preview()->grab().toImage();
        QCOMPARE(image.pixelColor(4, image.height() / 2), QColor(250, 240, 200));
    }

    void disabledBackgroundTakesTheWindowColour()
    {
        PreviewFixture fixture;
        fixture.document()->properties()->setCanvasBackgroundEnabled(false);
        QVERIFY(fixture.generate());
        QCOMPARE(fixture.preview()->background(), fixture.frame()->palette().color(QPalette::Window));
    }

    void workingOverlayWhileTheRunWaits()
    {
        PreviewFixture fixture;
        QVERIFY(fixture.generate());
        auto held = std::make_unique<QMutexLocker<QMutex>>(fixture.window()->generationMutex());
        fixture.window()->onGenerate();
        QCOMPARE(fixture.preview()->overlayText(), QStringLiteral("Working…"));
        QVERIFY(fixture.preview()->isInactive());
        QVERIFY(!fixture.refreshTimer()->isActive());
        // While working, the canvas is not offered for saving.
        QVERIFY(fixture.frame()->lastGeneratorResult().isNull());
        held.reset();
        QTRY_VERIFY_WITH_TIMEOUT(!fixture.window()->isGenerating(), runTimeout);
        QCOMPARE(fixture.preview()->overlayText(), QString());
    }

    void changeWithoutRegenerationRestylesTheSameCanvas()
    {
        PreviewFixture fixture;
        QVERIFY(fixture.generate());
        const auto canvas = fixture.frame()->lastGeneratorResult();
        QVERIFY(!fixture.frame()->svgData().contains("#123456"));
        fixture.document()->properties()->worldColor()->setStaticColor(QColor(0x12, 0x34, 0x56));
        QTRY_VERIFY(fixture.frame()->svgData().contains("#123456"));
        QCOMPARE(fixture.frame()->lastGeneratorResult(), canvas);
        QVERIFY(!fixture.preview()->isInactive());
        QCOMPARE(fixture.preview()->overlayText(), QString());
        QCOMPARE(fixture.document()->compare(fixture.app.controller().generatorDocument()), doc::CompareResult::Equal);
    }

    void changeThatNeedsRegenerationMarksOutOfDate()
    {
        PreviewFixture fixture;
        QVERIFY(fixture.generate());
        const QByteArray svg = fixture.frame()->svgData();
        fixture.document()->properties()->setCanvasSize(geo::Size(90000000, 60000000));
        QTRY_COMPARE(fixture.preview()->overlayText(), outOfDateText);
        QVERIFY(fixture.preview()->isInactive());
        QCOMPARE(svgOpacity(fixture.preview()), 0.2);
        QVERIFY(fixture.frame()->lastGeneratorResult().isNull());
        // The old picture stays visible behind the text.
        QCOMPARE(fixture.frame()->svgData(), svg);
    }

    void addingOrRemovingAnItemMarksOutOfDate_data()
    {
        QTest::addColumn<bool>("isAdding");
        QTest::newRow("added") << true;
        QTest::newRow("removed") << false;
    }

    void addingOrRemovingAnItemMarksOutOfDate()
    {
        QFETCH(bool, isAdding);
        PreviewFixture fixture;
        QVERIFY(fixture.generate());
        if (isAdding) {
            QVERIFY(fixture.document()->items()->addItem() != nullptr);
        } else {
            fixture.document()->items()->removeItem(0);
        }
        QTRY_COMPARE(fixture.preview()->overlayText(), outOfDateText);
        QVERIFY(fixture.frame()->lastGeneratorResult().isNull());
    }

    void usedShapeChangeRerenders()
    {
        PreviewFixture fixture;
        const QString used = userShape(QStringLiteral("Used"));
        const QString unused = userShape(QStringLiteral("Unused"));
        QVERIFY(!used.isEmpty() && !unused.isEmpty());
        fixture.document()->items()->itemAt(0)->setShapeId(used);
        QVERIFY(fixture.generate());
        QTRY_VERIFY(!fixture.refreshTimer()->isActive());
        const QByteArray svg = fixture.frame()->svgData();

        QVERIFY(editShape(unused));
        QCoreApplication::processEvents();
        QVERIFY(!fixture.refreshTimer()->isActive());
        QCOMPARE(fixture.frame()->svgData(), svg);

        QVERIFY(editShape(used));
        QTRY_VERIFY(fixture.refreshTimer()->isActive());
        QTRY_VERIFY(fixture.frame()->svgData() != svg);
        QVERIFY(!fixture.preview()->isInactive());
        QCOMPARE(fixture.preview()->overlayText(), QString());
    }

    void runThatPlacesNothingExplainsTheEmptyPanel()
    {
        PreviewFixture fixture;
        QVERIFY(fixture.generate());
        motifex::test::makeEmptyDocument(fixture.document());
        QVERIFY(fixture.generate());
        QVERIFY(fixture.frame()->status()->statusText().startsWith(QStringLiteral("Work done in ")));
        QVERIFY(fixture.frame()->svgData().isEmpty());
        QCOMPARE(fixture.frame()->status()->statisticText(), QString());
        QCOMPARE(fixture.preview()->overlayText(), createText);
        QVERIFY(fixture.preview()->isInactive());
        QCOMPARE(fixture.preview()->background(), QColor::fromHsvF(0, 0, 0.2f));
    }

    void overlayCoversThePanel()
    {
        PreviewFixture fixture;
        fixture.window()->resize(1300, 850);
        QTRY_COMPARE(fixture.preview()->findChild<QLabel*>(QStringLiteral("overlayLabel"))->geometry(),
                     fixture.preview()->rect());
        // The preview sits inside its frame's margins, so its own rectangle is what the overlay needs.
        QVERIFY(fixture.preview()->geometry().topLeft() != QPoint(0, 0));
    }
};

MOTIFEX_WIDGET_TEST_MAIN(PreviewTest)
#include "tst_preview.moc"
