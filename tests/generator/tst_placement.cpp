#include "common/TestMain.h"

#include "GeneratorTestSupport.h"
#include "PlacementReference.h"

#include "frame/Base.h"
#include "geo/Point2D.h"

#include <QRandomGenerator>

using namespace motifex::test;

namespace {

QStringList describeReference(const std::vector<reference::PlacedItem>& items)
{
    QStringList lines;
    for (const auto& item : items) {
        lines.append(QStringLiteral("%1 %2 %3 (%4, %5) r%6")
                         .arg(item.itemId)
                         .arg(item.index)
                         .arg(item.shapeId)
                         .arg(item.center.x())
                         .arg(item.center.y())
                         .arg(item.radius.value()));
    }
    return lines;
}

// The first differing line, for a readable failure.
QString firstDifference(const QStringList& actual, const QStringList& expected)
{
    for (int index = 0; index < std::min(actual.size(), expected.size()); ++index) {
        if (actual[index] != expected[index]) {
            return QStringLiteral("item %1: %2 instead of %3").arg(index).arg(actual[index], expected[index]);
        }
    }
    return QStringLiteral("%1 items instead of %2").arg(actual.size()).arg(expected.size());
}

const QStringList allAlgorithms{"largestSpace", "outsideToInside", "closestToCenter", "leftToRight", "rightToLeft",
                                "topToBottom", "bottomToTop", "diagonal", "diagonal2", "diagonal3", "diagonal4"};

} // namespace

class TestPlacement : public QObject
{
    Q_OBJECT

private slots:
    void init() { m_startup = std::make_unique<GeneratorStartup>(); }
    void cleanup() { m_startup.reset(); }

    void matchesReference_data();
    void matchesReference();
    void holdsTheRulesOnLargerDocuments_data();
    void holdsTheRulesOnLargerDocuments();

private:
    std::unique_ptr<GeneratorStartup> m_startup;
};

void TestPlacement::matchesReference_data()
{
    QTest::addColumn<QString>("algorithm");
    QTest::addColumn<int>("frameShape");
    QTest::addColumn<double>("ratio");
    QTest::addColumn<double>("spacing");
    QTest::addColumn<bool>("snap");
    QTest::addColumn<bool>("round");
    QTest::addColumn<double>("width");
    QTest::addColumn<double>("height");
    QTest::addColumn<int>("precision");

    struct Variant {
        const char* name;
        int frameShape;
        double ratio;
        double spacing;
        bool snap;
        bool round;
        double width;
        double height;
        int precision;
    };
    const Variant variants[] = {
        {"rectangle", 0, 1.0, 1.0, false, false, 16.0, 12.0, 1},
        {"ellipse snapped", 1, 1.0, 0.5, true, false, 15.3, 12.0, 1},
        {"triangle snapped rounded", 2, 0.5, 0.3, true, true, 14.0, 16.0, 1},
        {"star coarse no spacing", 5, 1.0, 0.0, true, true, 30.0, 24.0, 0},
        {"heart square", 3, 0.0, 0.7, false, true, 14.0, 14.0, 1},
    };
    for (const QString& algorithm : allAlgorithms) {
        for (const Variant& variant : variants) {
            QTest::addRow("%s %s", qPrintable(algorithm), variant.name)
                << algorithm << variant.frameShape << variant.ratio << variant.spacing << variant.snap << variant.round
                << variant.width << variant.height << variant.precision;
        }
    }
}

void TestPlacement::matchesReference()
{
    QFETCH(QString, algorithm);
    QFETCH(int, frameShape);
    QFETCH(double, ratio);
    QFETCH(double, spacing);
    QFETCH(bool, snap);
    QFETCH(bool, round);
    QFETCH(double, width);
    QFETCH(double, height);
    QFETCH(int, precision);

    doc::Properties& properties = m_startup->properties();
    setCanvas(properties, width, height, precision);
    properties.setAlgorithmIdentifier(algorithm);
    properties.setCanvasFrameShape(static_cast<frame::Shape>(frameShape));
    properties.setCanvasFrameRatio(ratio);
    properties.setCanvasFrameValueA(0.1);
    properties.setItemSpacing(geo::Length::fromDouble(spacing));
    properties.setSnapToFrameEnabled(snap);
    properties.setRoundToPrecisionEnabled(round);
    setItems(*m_startup->document, {{2.0, 2},
                                    {1.5, 5, 0.6, QStringLiteral("linear"), QStringLiteral("circle")},
                                    {3.0, 1},
                                    {0.8, 12},
                                    {0.5, 30, 0.3, QStringLiteral("x^2")}});

    reference::Placement placement(*m_startup->document);
    const QStringList expected = describeReference(placement.place());
    const QSharedPointer<canvas::Canvas> canvas = runGenerator(*m_startup->pointGrid(), nullptr);
    QVERIFY(!expected.isEmpty());
    QVERIFY2(canvas, qPrintable(m_startup->pointGrid()->runMessage()));
    const QStringList actual = describeItems(*canvas);
    QVERIFY2(actual == expected, qPrintable(firstDifference(actual, expected)));
}

void TestPlacement::holdsTheRulesOnLargerDocuments_data()
{
    QTest::addColumn<QString>("algorithm");
    QTest::addColumn<int>("frameShape");
    QTest::addColumn<quint32>("seed");

    quint32 seed = 7;
    for (const QString& algorithm : {QStringLiteral("largestSpace"), QStringLiteral("closestToCenter"),
                                     QStringLiteral("outsideToInside"), QStringLiteral("diagonal3")}) {
        for (int frameShape : {0, 1}) {
            QTest::addRow("%s frame %d", qPrintable(algorithm), frameShape) << algorithm << frameShape << seed++;
        }
    }
}

// Independent of any reference: the geometric promises of a placement on a random document.
void TestPlacement::holdsTheRulesOnLargerDocuments()
{
    QFETCH(QString, algorithm);
    QFETCH(int, frameShape);
    QFETCH(quint32, seed);

    QRandomGenerator random(seed);
    doc::Properties& properties = m_startup->properties();
    setCanvas(properties, 24.0 + random.bounded(12), 16.0 + random.bounded(12), 1);
    properties.setAlgorithmIdentifier(algorithm);
    properties.setCanvasFrameShape(static_cast<frame::Shape>(frameShape));
    const double spacing = random.bounded(10) / 10.0;
    properties.setItemSpacing(geo::Length::fromDouble(spacing));
    properties.setSnapToFrameEnabled(true);
    properties.setRoundToPrecisionEnabled(false);
    std::vector<ItemSpec> specs;
    for (int index = 0; index < 5; ++index) {
        specs.push_back({0.3 + random.bounded(30) / 10.0, 1 + static_cast<int>(random.bounded(40))});
    }
    setItems(*m_startup->document, specs);

    GeneratorPointGrid& generator = *m_startup->pointGrid();
    const QSharedPointer<canvas::Canvas> canvas = runWithThreads(generator, 1);
    QVERIFY(canvas);
    const auto& items = canvas->items();
    QVERIFY(items.size() > 10);
    const frame::Base& frame = *canvas->frame();
    const qint64 spacingUnits = properties.itemSpacing().value();
    for (int i = 0; i < items.size(); ++i) {
        const canvas::CanvasItem& item = *items[i];
        QCOMPARE(item.index(), qint64(i));
        QVERIFY(item.radius().value() > 0);
        if (i > 0) {
            QVERIFY(item.radius() <= items[i - 1]->radius());
        }
        const geo::PointAndDistance toFrame = frame.closestFramePoint(item.center());
        QVERIFY2(toFrame.distance.value() >= 0, qPrintable(QStringLiteral("item %1 lies outside the frame").arg(i)));
        if (frameShape == 0) {
            QVERIFY(toFrame.distance.value() >= item.radius().value() - 2);
        }
        for (int j = 0; j < i; ++j) {
            const canvas::CanvasItem& other = *items[j];
            const qint64 distance = item.center().distanceTo(other.center()).value();
            QVERIFY2(distance >= item.radius().value() + other.radius().value() + spacingUnits - 2,
                     qPrintable(QStringLiteral("items %1 and %2 are %3 apart").arg(j).arg(i).arg(distance)));
        }
    }

    const QSharedPointer<canvas::Canvas> eightThreads = runWithThreads(generator, 8);
    QVERIFY(eightThreads);
    QCOMPARE(describeItems(*eightThreads), describeItems(*canvas));
}

MOTIFEX_TEST_MAIN(TestPlacement)
#include "tst_placement.moc"
