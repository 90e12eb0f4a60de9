#include "common/TestMain.h"

#include "GeneratorTestSupport.h"
#include "PlacementReference.h"

#include "generator/GridMath.h"

#include <QRandomGenerator>

#include <algorithm>
#include <limits>

using namespace motifex::test;

class TestPointGrid : public QObject
{
    Q_OBJECT

private slots:
    void init() { m_startup = std::make_unique<GeneratorStartup>(); }
    void cleanup() { m_startup.reset(); }

    void algorithmList();
    void algorithmSelection_data();
    void algorithmSelection();
    void gridSize_data();
    void gridSize();
    void sliceCapacity_data();
    void sliceCapacity();
    void preparedOrderMatchesReference_data();
    void preparedOrderMatchesReference();
    void gridPositionsAreExactMultiplesOfTheStep();
    void tooLargeGridIsRefusedWithReason_data();
    void tooLargeGridIsRefusedWithReason();
    void noPointWithRoomGivesNothingFits();
    void progressRunsThroughBothBands();
    void cancellation_data();
    void cancellation();
    void failingProgressReceiverFailsTheRunOnly();
    void secondLargeItemFindsNoRoom();
    void tooLargeCopiesAreSkippedWithoutGapsInIndex_data();
    void tooLargeCopiesAreSkippedWithoutGapsInIndex();
    void withoutRandomOffsetItemsSitOnGridPoints();
    void canvasWithTaperedItemsReadsBack();
    void fastDistanceEqualsGeometryDistance();

private:
    std::unique_ptr<GeneratorStartup> m_startup;
};

void TestPointGrid::algorithmList()
{
    const std::vector<Generator::AlgorithmEntry>& list = m_startup->pointGrid()->algorithmList();
    const QStringList identifiers{"largestSpace", "outsideToInside", "closestToCenter", "leftToRight", "rightToLeft",
                                  "topToBottom", "bottomToTop", "diagonal", "diagonal2", "diagonal3", "diagonal4"};
    const QStringList names{"Largest Space First", "From Outside to Inside", "Radial from Center", "Linear from Left",
                            "Linear from Right", "Linear from Top", "Linear from Bottom", "Radial from Top Left Corner",
                            "Radial from Top Right Corner", "Radial from Bottom Right Corner",
                            "Radial from Bottom Left Corner"};
    const std::vector<int> icons{0xF88C, 0xE0A5, 0xF31D, 0xF061, 0xF060, 0xF063, 0xF062, 0xE093, 0xE091, 0xE09D, 0xE09F};
    QCOMPARE(list.size(), std::size_t(11));
    for (std::size_t index = 0; index < list.size(); ++index) {
        QCOMPARE(list[index].identifier, identifiers[int(index)]);
        QCOMPARE(list[index].name, names[int(index)]);
        QCOMPARE(list[index].icon, icons[index]);
    }
    QCOMPARE(&list, &m_startup->pointGrid()->algorithmList());
}

void TestPointGrid::algorithmSelection_data()
{
    QTest::addColumn<QString>("identifier");
    QTest::addColumn<GeneratorPointGrid::Algorithm>("expected");
    QTest::newRow("largestSpace") << "largestSpace" << GeneratorPointGrid::Algorithm::LargestSpace;
    QTest::newRow("diagonal2") << "diagonal2" << GeneratorPointGrid::Algorithm::Diagonal2;
    QTest::newRow("closestToCenter") << "closestToCenter" << GeneratorPointGrid::Algorithm::ClosestToCenter;
    QTest::newRow("other case") << "LeftToRight" << GeneratorPointGrid::Algorithm::LargestSpace;
    QTest::newRow("unknown") << "spiral" << GeneratorPointGrid::Algorithm::LargestSpace;
    QTest::newRow("empty") << "" << GeneratorPointGrid::Algorithm::LargestSpace;
}

void TestPointGrid::algorithmSelection()
{
    QFETCH(QString, identifier);
    QFETCH(GeneratorPointGrid::Algorithm, expected);
    m_startup->properties().setAlgorithmIdentifier(identifier);
    GeneratorPointGrid& generator = *m_startup->pointGrid();
    generator.initialize();
    QCOMPARE(generator.algorithm(), expected);
}

void TestPointGrid::gridSize_data()
{
    QTest::addColumn<qint64>("width");
    QTest::addColumn<qint64>("height");
    QTest::addColumn<int>("level");
    QTest::addColumn<quint64>("columns");
    QTest::addColumn<quint64>("rows");
    QTest::addColumn<quint64>("points");
    QTest::newRow("default canvas") << qint64(78000000) << qint64(52000000) << 1 << quint64(781) << quint64(521)
                                    << quint64(781 * 521);
    // The double form gives 11.999... and loses the last column.
    QTest::newRow("1.2 mm at 0.1 mm") << qint64(1200000) << qint64(1200000) << 1 << quint64(13) << quint64(13)
                                      << quint64(169);
    QTest::newRow("10 mm at 1 mm") << qint64(10000000) << qint64(10000000) << 0 << quint64(11) << quint64(11)
                                   << quint64(121);
    QTest::newRow("part of a step") << qint64(1250000) << qint64(999999) << 0 << quint64(2) << quint64(1) << quint64(2);
    QTest::newRow("1000 mm at the finest step") << qint64(1000000000) << qint64(1000000000) << 6
                                                << quint64(1000000001) << quint64(1000000001)
                                                << quint64(1000000002000000001);
    QTest::newRow("product beyond 64 bits") << std::numeric_limits<qint64>::max() << std::numeric_limits<qint64>::max()
                                            << 6 << quint64(9223372036854775808ull) << quint64(9223372036854775808ull)
                                            << std::numeric_limits<quint64>::max();
    QTest::newRow("negative size") << qint64(-5) << qint64(10000000) << 0 << quint64(0) << quint64(0) << quint64(0);
}

void TestPointGrid::gridSize()
{
    QFETCH(qint64, width);
    QFETCH(qint64, height);
    QFETCH(int, level);
    QFETCH(quint64, columns);
    QFETCH(quint64, rows);
    QFETCH(quint64, points);
    const auto grid = GeneratorPointGrid::gridSize(geo::Size(width, height), geo::Precision::fromLevel(level));
    QCOMPARE(grid.columns, columns);
    QCOMPARE(grid.rows, rows);
    QCOMPARE(grid.pointCount, points);
}

void TestPointGrid::sliceCapacity_data()
{
    QTest::addColumn<quint64>("points");
    QTest::addColumn<quint64>("capacity");
    QTest::newRow("default grid") << quint64(781 * 521) << quint64(10000);
    QTest::newRow("small grid raised") << quint64(121) << quint64(100);
    QTest::newRow("a sixteenth") << quint64(32000) << quint64(2000);
}

void TestPointGrid::sliceCapacity()
{
    QFETCH(quint64, points);
    QFETCH(quint64, capacity);
    QCOMPARE(GeneratorPointGrid::sliceCapacity(points), capacity);
}

void TestPointGrid::preparedOrderMatchesReference_data()
{
    QTest::addColumn<QString>("algorithm");
    QTest::addColumn<int>("frameShape");
    QTest::addColumn<double>("width");
    QTest::addColumn<double>("height");
    QTest::addColumn<int>("level");
    QTest::newRow("largestSpace rectangle, runs of 10000") << "largestSpace" << 0 << 45.0 << 40.0 << 1;
    QTest::newRow("largestSpace ellipse") << "largestSpace" << 1 << 20.0 << 13.0 << 1;
    QTest::newRow("leftToRight 10 mm at 1 mm") << "leftToRight" << 0 << 10.0 << 10.0 << 0;
    QTest::newRow("rightToLeft triangle") << "rightToLeft" << 2 << 12.0 << 9.0 << 1;
    QTest::newRow("outsideToInside star") << "outsideToInside" << 5 << 14.0 << 14.0 << 1;
    QTest::newRow("bottomToTop heart") << "bottomToTop" << 3 << 9.0 << 12.0 << 1;
    QTest::newRow("diagonal4 cross") << "diagonal4" << 6 << 11.0 << 10.0 << 1;
}

void TestPointGrid::preparedOrderMatchesReference()
{
    QFETCH(QString, algorithm);
    QFETCH(int, frameShape);
    QFETCH(double, width);
    QFETCH(double, height);
    QFETCH(int, level);
    doc::Properties& properties = m_startup->properties();
    setCanvas(properties, width, height, level);
    properties.setAlgorithmIdentifier(algorithm);
    properties.setCanvasFrameShape(static_cast<frame::Shape>(frameShape));
    setItems(*m_startup->document, {{0.4, 3}});

    GeneratorPointGrid& generator = *m_startup->pointGrid();
    generator.initialize();
    const qint64 count = generator.preparePoints(nullptr);
    const std::vector<GeneratorPointGrid::PointInfo> actual = generator.orderedPoints();
    generator.cleanUp();

    const std::vector<reference::Point> expected = reference::Placement(*m_startup->document).preparePoints();
    QCOMPARE(count, qint64(expected.size()));
    QCOMPARE(actual.size(), expected.size());
    for (std::size_t index = 0; index < expected.size(); ++index) {
        const GeneratorPointGrid::PointInfo want{geo::Point2D(expected[index].x, expected[index].y),
                                                 geo::Length(expected[index].freeSpace),
                                                 geo::Value(expected[index].value)};
        QVERIFY2(actual[index] == want, qPrintable(QStringLiteral("point %1 differs").arg(index)));
    }
}

void TestPointGrid::gridPositionsAreExactMultiplesOfTheStep()
{
    doc::Properties& properties = m_startup->properties();
    setCanvas(properties, 1.2, 1.2, 1);
    properties.setCanvasFrameShape(frame::Shape::Rectangle);
    setItems(*m_startup->document, {{0.1, 1}});
    GeneratorPointGrid& generator = *m_startup->pointGrid();
    generator.initialize();
    QCOMPARE(generator.preparePoints(nullptr), qint64(11 * 11));
    qint64 largestX = 0;
    for (const auto& point : generator.orderedPoints()) {
        QCOMPARE(point.position.x() % 100000, qint64(0));
        QCOMPARE(point.position.y() % 100000, qint64(0));
        largestX = std::max(largestX, point.position.x());
    }
    // The last usable column lies one step inside the edge at 1.2 mm.
    QCOMPARE(largestX, qint64(1100000));
    generator.cleanUp();
}

void TestPointGrid::tooLargeGridIsRefusedWithReason_data()
{
    QTest::addColumn<double>("width");
    QTest::addColumn<double>("height");
    QTest::addColumn<int>("level");
    QTest::addColumn<QString>("message");
    QTest::newRow("500 mm at 0.01 mm")
        << 500.0 << 500.0 << 2
        << "A canvas of 500 × 500 mm at a precision of 0.01 mm needs a grid of 2500100001 points, but at most "
           "134217728 points are possible. Choose a coarser precision or a smaller canvas.";
    QTest::newRow("finest step")
        << 78.0 << 52.5 << 6
        << "A canvas of 78 × 52.5 mm at a precision of 0.000001 mm needs a grid of 4095000130500001 points, but at "
           "most 134217728 points are possible. Choose a coarser precision or a smaller canvas.";
}

void TestPointGrid::tooLargeGridIsRefusedWithReason()
{
    QFETCH(double, width);
    QFETCH(double, height);
    QFETCH(int, level);
    QFETCH(QString, message);
    setCanvas(m_startup->properties(), width, height, level);
    GeneratorPointGrid& generator = *m_startup->pointGrid();
    RecordingProgress progress;
    QVERIFY(!runGenerator(generator, &progress));
    QCOMPARE(generator.runStatus(), Generator::RunStatus::Refused);
    QCOMPARE(generator.runMessage(), message);
    QCOMPARE(progress.tasks, QStringList{"Preparing Points"});
}

void TestPointGrid::noPointWithRoomGivesNothingFits()
{
    setCanvas(m_startup->properties(), 10.0, 8.0, 1);
    setItems(*m_startup->document, {{20.0, 2}});
    GeneratorPointGrid& generator = *m_startup->pointGrid();
    generator.initialize();
    QCOMPARE(generator.preparePoints(nullptr), qint64(0));
    QVERIFY(!runGenerator(generator, nullptr));
    QCOMPARE(generator.runStatus(), Generator::RunStatus::NothingFits);

    setItems(*m_startup->document, {{1.0, 0}});
    QVERIFY(!runGenerator(generator, nullptr));
    QCOMPARE(generator.runStatus(), Generator::RunStatus::NothingFits);
}

void TestPointGrid::progressRunsThroughBothBands()
{
    setCanvas(m_startup->properties(), 30.0, 20.0, 1);
    setItems(*m_startup->document, {{3.0, 3}, {1.0, 20}, {0.5, 40}});
    RecordingProgress progress;
    GeneratorPointGrid& generator = *m_startup->pointGrid();
    QVERIFY(runGenerator(generator, &progress));
    QCOMPARE(generator.runStatus(), Generator::RunStatus::Completed);
    QCOMPARE(progress.tasks, (QStringList{"Preparing Points", "Placing Items"}));
    QVERIFY(!progress.values.empty());
    int previous = 0;
    for (const auto& update : progress.values) {
        QVERIFY(update.value >= previous);
        previous = update.value;
        if (update.task == QStringLiteral("Preparing Points")) {
            QVERIFY(update.value >= 0 && update.value <= 250);
        } else {
            QVERIFY(update.value >= 250 && update.value <= 1000);
        }
    }
    QCOMPARE(progress.values.front().task, QStringLiteral("Preparing Points"));
    QCOMPARE(progress.values.back().task, QStringLiteral("Placing Items"));
}

void TestPointGrid::cancellation_data()
{
    QTest::addColumn<QString>("moment");
    QTest::newRow("before the run") << "start";
    QTest::newRow("during preparation") << "preparation";
    QTest::newRow("after the preparation's last row") << "prepared";
    QTest::newRow("after a few items") << "placing";
}

void TestPointGrid::cancellation()
{
    QFETCH(QString, moment);
    setCanvas(m_startup->properties(), 30.0, 20.0, 1);
    setItems(*m_startup->document, {{2.0, 10}, {0.5, 30}});
    RecordingProgress progress;
    if (moment == QStringLiteral("start")) {
        progress.isCancelRequested = true;
    } else if (moment == QStringLiteral("preparation")) {
        progress.cancelWhen = [](const QString& task, int value, std::size_t) {
            return task == QStringLiteral("Preparing Points") && value > 0;
        };
    } else if (moment == QStringLiteral("prepared")) {
        progress.cancelWhen = [](const QString&, int value, std::size_t) { return value == 250; };
    } else {
        progress.cancelWhen = [placed = 0](const QString& task, int, std::size_t) mutable {
            return task == QStringLiteral("Placing Items") && ++placed == 3;
        };
    }
    GeneratorPointGrid& generator = *m_startup->pointGrid();
    QVERIFY(!runGenerator(generator, &progress));
    QCOMPARE(generator.runStatus(), Generator::RunStatus::Cancelled);
    QVERIFY(generator.runMessage().isEmpty());
    const bool hasPlacingStarted = progress.tasks.contains(QStringLiteral("Placing Items"));
    QCOMPARE(hasPlacingStarted, moment == QStringLiteral("placing"));
}

void TestPointGrid::failingProgressReceiverFailsTheRunOnly()
{
    setCanvas(m_startup->properties(), 20.0, 20.0, 1);
    setItems(*m_startup->document, {{2.0, 4}});
    RecordingProgress progress;
    progress.throwOnTask = QStringLiteral("Placing Items");
    GeneratorPointGrid& generator = *m_startup->pointGrid();
    QVERIFY(!runGenerator(generator, &progress));
    QCOMPARE(generator.runStatus(), Generator::RunStatus::Failed);
    QCOMPARE(generator.runMessage(), QStringLiteral("The generation failed: progress receiver failed"));

    // The generator is ready for the next run.
    QVERIFY(runGenerator(generator, nullptr));
    QCOMPARE(generator.runStatus(), Generator::RunStatus::Completed);
}

// Two 5 mm copies on a 20 × 20 mm frame with 1 mm spacing: the first takes the centre, where the frame
// leaves 10 mm; after it no point keeps 5 mm of room, so the second copy is not placed.
void TestPointGrid::secondLargeItemFindsNoRoom()
{
    doc::Properties& properties = m_startup->properties();
    setCanvas(properties, 20.0, 20.0, 1);
    properties.setAlgorithmIdentifier(QStringLiteral("largestSpace"));
    properties.setSnapToFrameEnabled(false);
    properties.setItemSpacing(geo::Length(1000000));
    setItems(*m_startup->document, {{5.0, 2}});
    GeneratorPointGrid& generator = *m_startup->pointGrid();
    const QSharedPointer<canvas::Canvas> canvas = runGenerator(generator, nullptr);
    QVERIFY(canvas);
    QCOMPARE(canvas->items().size(), 1);
    QCOMPARE(canvas->items().front()->center(), geo::Point2D(10000000, 10000000));
    QCOMPARE(generator.runStatus(), Generator::RunStatus::Completed);
}

void TestPointGrid::tooLargeCopiesAreSkippedWithoutGapsInIndex_data()
{
    QTest::addColumn<QString>("algorithm");
    QTest::newRow("largestSpace") << "largestSpace";
    QTest::newRow("leftToRight") << "leftToRight";
    QTest::newRow("closestToCenter") << "closestToCenter";
}

void TestPointGrid::tooLargeCopiesAreSkippedWithoutGapsInIndex()
{
    QFETCH(QString, algorithm);
    doc::Properties& properties = m_startup->properties();
    setCanvas(properties, 20.0, 12.0, 1);
    properties.setAlgorithmIdentifier(algorithm);
    properties.setSnapToFrameEnabled(false);
    setItems(*m_startup->document, {{9.0, 2}, {3.0, 2}, {1.0, 3}});
    const QSharedPointer<canvas::Canvas> canvas = runGenerator(*m_startup->pointGrid(), nullptr);
    QVERIFY(canvas);
    QVERIFY(canvas->items().size() >= 3);
    for (int index = 0; index < canvas->items().size(); ++index) {
        QCOMPARE(canvas->items()[index]->index(), qint64(index));
        QVERIFY(canvas->items()[index]->radius().value() <= 3000000);
    }
}

void TestPointGrid::withoutRandomOffsetItemsSitOnGridPoints()
{
    doc::Properties& properties = m_startup->properties();
    setCanvas(properties, 25.0, 15.0, 1);
    properties.setSnapToFrameEnabled(false);
    properties.setCanvasFrameShape(frame::Shape::Ellipse);
    setItems(*m_startup->document, {{2.0, 5}, {0.7, 40}});
    const QSharedPointer<canvas::Canvas> canvas = runGenerator(*m_startup->pointGrid(), nullptr);
    QVERIFY(canvas);
    for (const auto& item : canvas->items()) {
        QCOMPARE(item->center().x() % 100000, qint64(0));
        QCOMPARE(item->center().y() % 100000, qint64(0));
    }
}

// Copies of radius 0 are neither placed nor take room; the saved canvas reads back.
void TestPointGrid::canvasWithTaperedItemsReadsBack()
{
    setCanvas(m_startup->properties(), 20.0, 20.0, 1);
    setItems(*m_startup->document, {{2.0, 6, 0.0, QStringLiteral("linear")}});
    const QSharedPointer<canvas::Canvas> canvas = runGenerator(*m_startup->pointGrid(), nullptr);
    QVERIFY(canvas);
    QCOMPARE(canvas->items().size(), 5);
    for (const auto& item : canvas->items()) {
        QVERIFY(item->radius().value() > 0);
        QCOMPARE(item->shapeId(), m_startup->properties().worldShape()->identifier());
    }
    QVERIFY(canvas::Canvas::create(canvas->toData()));
}

void TestPointGrid::fastDistanceEqualsGeometryDistance()
{
    QRandomGenerator random(42);
    for (int sample = 0; sample < 200000; ++sample) {
        // Spread the differences over every magnitude, up to beyond the 32-bit fast path.
        const int bits = 1 + static_cast<int>(random.bounded(40));
        const qint64 span = qint64(1) << bits;
        const geo::Point2D a(random.bounded(span) - span / 2, random.bounded(span) - span / 2);
        const geo::Point2D b(random.bounded(span) - span / 2, random.bounded(span) - span / 2);
        const qint64 expected = a.distanceTo(b).value();
        QCOMPARE(gridmath::distance(a, b), expected);
        const double bound = static_cast<double>(expected - 1 + static_cast<qint64>(random.bounded(5)));
        if (gridmath::isCertainlyAtLeast(gridmath::squaredDelta(a, b), bound)) {
            QVERIFY(static_cast<double>(expected) >= bound);
        }
    }
}

MOTIFEX_TEST_MAIN(TestPointGrid)
#include "tst_pointgrid.moc"
