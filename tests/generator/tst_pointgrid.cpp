#include "common/TestMain.h"

#include "GeneratorTestSupport.h"
#include "PlacementReference.h"

#include "frame/Base.h"
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

    void registry()
    {
        const GeneratorManager* manager = GeneratorManager::instance();
        QCOMPARE(manager, m_startup->generators.get());
        QCOMPARE(manager->get("pointgrid").data(), &m_startup->pointGrid());
        QVERIFY(manager->hasGenerator("pointgrid"));
        QCOMPARE(m_startup->pointGrid().document(), m_startup->document);
        for (const char* other : {"PointGrid", ""}) {
            QVERIFY(!manager->get(other));
            QVERIFY(!manager->hasGenerator(other));
        }
        QCOMPARE(manager->nameList(), (QList<QPair<QString, QString>>{{"Point Grid", "pointgrid"}}));
        m_startup->generators.reset();
        QCOMPARE(GeneratorManager::instance(), nullptr);
    }

    void instancesAreSortedLargestFirst()
    {
        setCanvas(m_startup->properties(), 78.0, 52.0, 0);
        setItems(*m_startup->document, {{5.0, 2, 5.0, "linear"}, {5.0, 3, 3.0, "linear"}});
        const auto items = m_startup->document->items()->items();
        GeneratorPointGrid& generator = m_startup->pointGrid();
        generator.initialize();
        QCOMPARE(generator.plannedInstanceCount(), quint64(5));
        // The list is built with the grid, where the run can be cancelled.
        QCOMPARE(generator.instanceCount(), quint64(0));
        QVERIFY(generator.preparePoints(nullptr) > 0);

        const std::vector<std::pair<std::shared_ptr<doc::Item>, qint64>> expected{
            {items[0], 5000000}, {items[0], 5000000}, {items[1], 5000000}, {items[1], 4000000}, {items[1], 3000000}};
        QCOMPARE(generator.instanceCount(), quint64(expected.size()));
        QCOMPARE(generator.minimumFreeSpace().value(), qint64(3000000));
        for (const auto& [item, radius] : expected) {
            QVERIFY(generator.hasNextInstance());
            const Generator::Instance instance = generator.nextInstance();
            QCOMPARE(instance.item, item);
            QCOMPARE(instance.radius.value(), radius);
        }
        QVERIFY(!generator.hasNextInstance());
        QVERIFY_THROWS_EXCEPTION(std::out_of_range, generator.nextInstance());
        generator.cleanUp();
        QCOMPARE(generator.instanceCount(), quint64(0));
    }

    void minimumFreeSpace_data()
    {
        QTest::addColumn<ItemSetup>("item");
        QTest::addColumn<int>("instances");
        QTest::addColumn<qint64>("expected");
        QTest::newRow("smallest radius") << ItemSetup{2.5, 3} << 3 << qint64(2500000);
        QTest::newRow("no copies: larger canvas side") << ItemSetup{2.5, 0} << 0 << qint64(78000000);
        QTest::newRow("radius beyond the canvas") << ItemSetup{100.0, 1} << 1 << qint64(78000000);
        // The last copy of a taper down to 0 has no size: it takes no part in the run.
        QTest::newRow("copy without size left out") << ItemSetup{4.0, 5, 0.0, "linear"} << 4 << qint64(1000000);
    }

    void minimumFreeSpace()
    {
        QFETCH(ItemSetup, item);
        QFETCH(int, instances);
        QFETCH(qint64, expected);
        setCanvas(m_startup->properties(), 78.0, 52.0, 0);
        setItems(*m_startup->document, {item});
        GeneratorPointGrid& generator = m_startup->pointGrid();
        generator.initialize();
        generator.preparePoints(nullptr);
        QCOMPARE(generator.minimumFreeSpace().value(), expected);
        QCOMPARE(generator.instanceCount(), quint64(instances));
    }

    void randomValuesStayInRange()
    {
        GeneratorPointGrid& generator = m_startup->pointGrid();
        for (int draw = 0; draw < 2000; ++draw) {
            const double normal = generator.getRandomNormal();
            QVERIFY(normal >= 0.0 && normal < 1.0);
            const qint64 angle = generator.getRandomAngle().value();
            QVERIFY(angle >= 0 && angle < 360000000);
        }
    }

    void frameShapeWithoutBuilderFallsBackToRectangle()
    {
        m_startup->properties().setCanvasFrameShape(frame::Shape::NoShape);
        GeneratorPointGrid& generator = m_startup->pointGrid();
        generator.initialize();
        QCOMPARE(generator.canvas()->frame()->shape(), frame::Shape::Rectangle);

        // Even without a frame registry a run has its frame.
        m_startup->frames.reset();
        generator.initialize();
        QCOMPARE(generator.canvas()->frame()->shape(), frame::Shape::Rectangle);
    }

    void runWithoutDocumentFailsWithReason()
    {
        GeneratorPointGrid generator;
        RecordingProgress progress;
        QVERIFY(!runGenerator(generator, &progress));
        QCOMPARE(generator.runStatus(), Generator::RunStatus::Failed);
        QCOMPARE(generator.runMessage(), QStringLiteral("There is no document to generate from."));
    }

    void algorithmList()
    {
        const std::vector<Generator::AlgorithmEntry> expected{
            {"largestSpace", "Largest Space First", 0xF88C}, {"outsideToInside", "From Outside to Inside", 0xE0A5},
            {"closestToCenter", "Radial from Center", 0xF31D}, {"leftToRight", "Linear from Left", 0xF061},
            {"rightToLeft", "Linear from Right", 0xF060}, {"topToBottom", "Linear from Top", 0xF063},
            {"bottomToTop", "Linear from Bottom", 0xF062}, {"diagonal", "Radial from Top Left Corner", 0xE093},
            {"diagonal2", "Radial from Top Right Corner", 0xE091},
            {"diagonal3", "Radial from Bottom Right Corner", 0xE09D},
            {"diagonal4", "Radial from Bottom Left Corner", 0xE09F}};
        const std::vector<Generator::AlgorithmEntry>& list = m_startup->pointGrid().algorithmList();
        QCOMPARE(list.size(), expected.size());
        for (std::size_t index = 0; index < list.size(); ++index) {
            QCOMPARE(list[index].identifier, expected[index].identifier);
            QCOMPARE(list[index].name, expected[index].name);
            QCOMPARE(list[index].icon, expected[index].icon);
        }
        QCOMPARE(&list, &m_startup->pointGrid().algorithmList());
    }

    void algorithmSelection_data()
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

    void algorithmSelection()
    {
        QFETCH(QString, identifier);
        QFETCH(GeneratorPointGrid::Algorithm, expected);
        m_startup->properties().setAlgorithmIdentifier(identifier);
        m_startup->pointGrid().initialize();
        QCOMPARE(m_startup->pointGrid().algorithm(), expected);
    }

    void gridSize_data()
    {
        using Counts = std::vector<quint64>; // columns, rows, points, slice capacity
        QTest::addColumn<geo::Size>("canvas");
        QTest::addColumn<int>("level");
        QTest::addColumn<Counts>("expected");
        const qint64 largest = std::numeric_limits<qint64>::max();
        const quint64 beyond = 9223372036854775808ull;
        QTest::newRow("default canvas") << geo::Size(78000000, 52000000) << 1 << Counts{781, 521, 781 * 521, 10000};
        // The double form gives 11.999... and loses the last column.
        QTest::newRow("1.2 mm at 0.1 mm") << geo::Size(1200000, 1200000) << 1 << Counts{13, 13, 169, 100};
        QTest::newRow("10 mm at 1 mm") << geo::Size(10000000, 10000000) << 0 << Counts{11, 11, 121, 100};
        QTest::newRow("a sixteenth") << geo::Size(199000000, 159000000) << 0 << Counts{200, 160, 32000, 2000};
        QTest::newRow("part of a step") << geo::Size(1250000, 999999) << 0 << Counts{2, 1, 2, 100};
        QTest::newRow("1000 mm at the finest step")
            << geo::Size(1000000000, 1000000000) << 6 << Counts{1000000001, 1000000001, 1000000002000000001, 10000};
        QTest::newRow("product beyond 64 bits")
            << geo::Size(largest, largest) << 6 << Counts{beyond, beyond, std::numeric_limits<quint64>::max(), 10000};
        QTest::newRow("negative size") << geo::Size(-5, 10000000) << 0 << Counts{0, 0, 0, 100};
    }

    void gridSize()
    {
        QFETCH(geo::Size, canvas);
        QFETCH(int, level);
        QFETCH(std::vector<quint64>, expected);
        const auto grid = GeneratorPointGrid::gridSize(canvas, geo::Precision::fromLevel(level));
        const quint64 capacity = GeneratorPointGrid::sliceCapacity(grid.pointCount);
        QCOMPARE((std::vector<quint64>{grid.columns, grid.rows, grid.pointCount, capacity}), expected);
    }

    void preparedOrderMatchesReference_data()
    {
        QTest::addColumn<QString>("algorithm");
        QTest::addColumn<int>("frameShape");
        QTest::addColumn<double>("width");
        QTest::addColumn<double>("height");
        QTest::addColumn<int>("level");
        // Row groups of more than 10000 points, cut into several runs.
        QTest::newRow("largestSpace rectangle, runs of 10000") << "largestSpace" << 0 << 64.0 << 52.0 << 1;
        QTest::newRow("leftToRight rectangle, runs of 10000") << "leftToRight" << 0 << 64.0 << 52.0 << 1;
        QTest::newRow("diagonal2 strip, runs of 100") << "diagonal2" << 0 << 15.0 << 0.6 << 1;
        QTest::newRow("outsideToInside strip, runs of 100") << "outsideToInside" << 0 << 15.0 << 0.6 << 1;
        QTest::newRow("topToBottom 1.2 mm at 0.1 mm") << "topToBottom" << 0 << 1.2 << 1.2 << 1;
        QTest::newRow("largestSpace ellipse") << "largestSpace" << 1 << 20.0 << 13.0 << 1;
        QTest::newRow("leftToRight 10 mm at 1 mm") << "leftToRight" << 0 << 10.0 << 10.0 << 0;
        QTest::newRow("rightToLeft triangle") << "rightToLeft" << 2 << 12.0 << 9.0 << 1;
        QTest::newRow("outsideToInside star") << "outsideToInside" << 5 << 14.0 << 14.0 << 1;
        QTest::newRow("bottomToTop heart") << "bottomToTop" << 3 << 9.0 << 12.0 << 1;
        QTest::newRow("diagonal4 cross") << "diagonal4" << 6 << 11.0 << 10.0 << 1;
    }

    void preparedOrderMatchesReference()
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
        setItems(*m_startup->document, {{0.1, 3}});

        GeneratorPointGrid& generator = m_startup->pointGrid();
        generator.initialize();
        const qint64 count = generator.preparePoints(nullptr);
        const std::vector<GeneratorPointGrid::PointInfo> actual = generator.orderedPoints();
        generator.cleanUp();

        std::vector<GeneratorPointGrid::PointInfo> expected;
        for (const reference::Point& p : reference::Placement(*m_startup->document).preparePoints()) {
            expected.push_back({geo::Point2D(p.x, p.y), geo::Length(p.freeSpace), geo::Value(p.value)});
        }
        QCOMPARE(count, qint64(expected.size()));
        QCOMPARE(actual.size(), expected.size());
        // The position of the first point that differs, if any.
        QCOMPARE(std::mismatch(actual.begin(), actual.end(), expected.begin()).first - actual.begin(), qint64(count));
    }

    void tooLargeGridIsRefusedWithReason_data()
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

    void tooLargeGridIsRefusedWithReason()
    {
        QFETCH(double, width);
        QFETCH(double, height);
        QFETCH(int, level);
        QFETCH(QString, message);
        setCanvas(m_startup->properties(), width, height, level);
        RecordingProgress progress;
        QVERIFY(!runGenerator(m_startup->pointGrid(), &progress));
        QCOMPARE(m_startup->pointGrid().runStatus(), Generator::RunStatus::Refused);
        QCOMPARE(m_startup->pointGrid().runMessage(), message);
        QCOMPARE(progress.tasks, QStringList{"Preparing Points"});
    }

    void noPointWithRoomGivesNothingFits()
    {
        setCanvas(m_startup->properties(), 10.0, 8.0, 1);
        setItems(*m_startup->document, {{20.0, 2}});
        GeneratorPointGrid& generator = m_startup->pointGrid();
        generator.initialize();
        QCOMPARE(generator.preparePoints(nullptr), qint64(0));
        QVERIFY(!runGenerator(generator, nullptr));
        QCOMPARE(generator.runStatus(), Generator::RunStatus::NothingFits);

        setItems(*m_startup->document, {{1.0, 0}});
        QVERIFY(!runGenerator(generator, nullptr));
        QCOMPARE(generator.runStatus(), Generator::RunStatus::NothingFits);
    }

    void progressRunsThroughBothBands()
    {
        setCanvas(m_startup->properties(), 30.0, 20.0, 1);
        setItems(*m_startup->document, {{3.0, 3}, {1.0, 20}, {0.5, 40}});
        RecordingProgress progress;
        QVERIFY(runGenerator(m_startup->pointGrid(), &progress));
        QCOMPARE(m_startup->pointGrid().runStatus(), Generator::RunStatus::Completed);
        QCOMPARE(progress.tasks, (QStringList{"Preparing Points", "Placing Items"}));
        QCOMPARE(progress.values.front().task, QStringLiteral("Preparing Points"));
        QCOMPARE(progress.values.back().task, QStringLiteral("Placing Items"));
        int previous = 0;
        for (const auto& update : progress.values) {
            QVERIFY(update.value >= previous);
            previous = update.value;
            const bool isPreparing = update.task == QStringLiteral("Preparing Points");
            QVERIFY(update.value >= (isPreparing ? 0 : 250) && update.value <= (isPreparing ? 250 : 1000));
        }
    }

    void cancellation_data()
    {
        QTest::addColumn<QString>("task");
        QTest::addColumn<int>("minimumValue");
        QTest::addColumn<int>("update");
        QTest::newRow("before the run") << "" << 0 << 0;
        QTest::newRow("during preparation") << "Preparing Points" << 1 << 1;
        QTest::newRow("after the preparation's last row") << "Preparing Points" << 250 << 1;
        QTest::newRow("after a few items") << "Placing Items" << 0 << 3;
    }

    void cancellation()
    {
        QFETCH(QString, task);
        QFETCH(int, minimumValue);
        QFETCH(int, update);
        setCanvas(m_startup->properties(), 30.0, 20.0, 1);
        setItems(*m_startup->document, {{2.0, 10}, {0.5, 30}});
        RecordingProgress progress;
        progress.isCancelRequested = task.isEmpty();
        progress.cancelWhen = [=, seen = 0](const QString& current, int value) mutable {
            return current == task && value >= minimumValue && ++seen == update;
        };
        GeneratorPointGrid& generator = m_startup->pointGrid();
        QVERIFY(!runGenerator(generator, &progress));
        QCOMPARE(generator.runStatus(), Generator::RunStatus::Cancelled);
        QVERIFY(generator.runMessage().isEmpty());
        QCOMPARE(progress.tasks.contains(QStringLiteral("Placing Items")), task == QStringLiteral("Placing Items"));
    }

    void failingProgressReceiverFailsTheRunOnly_data()
    {
        QTest::addColumn<QString>("task");
        QTest::newRow("on a pool thread") << "Preparing Points";
        QTest::newRow("on the run's thread") << "Placing Items";
    }

    void failingProgressReceiverFailsTheRunOnly()
    {
        QFETCH(QString, task);
        setCanvas(m_startup->properties(), 20.0, 20.0, 1);
        setItems(*m_startup->document, {{2.0, 4}});
        RecordingProgress progress;
        progress.throwOnTask = task;
        GeneratorPointGrid& generator = m_startup->pointGrid();
        QVERIFY(!runGenerator(generator, &progress));
        QCOMPARE(generator.runStatus(), Generator::RunStatus::Failed);
        QCOMPARE(generator.runMessage(), QStringLiteral("The generation failed: progress receiver failed"));

        // The generator is ready for the next run.
        QVERIFY(runGenerator(generator, nullptr));
        QCOMPARE(generator.runStatus(), Generator::RunStatus::Completed);
    }

    // Two 5 mm copies on a 20 × 20 mm frame with 1 mm spacing: the first takes the centre, where the frame
    // leaves 10 mm; after it no point keeps 5 mm of room, so the second copy is not placed.
    void secondLargeItemFindsNoRoom()
    {
        doc::Properties& properties = m_startup->properties();
        setCanvas(properties, 20.0, 20.0, 1);
        properties.setAlgorithmIdentifier(QStringLiteral("largestSpace"));
        properties.setSnapToFrameEnabled(false);
        properties.setItemSpacing(geo::Length(1000000));
        setItems(*m_startup->document, {{5.0, 2}});
        const QSharedPointer<canvas::Canvas> canvas = runGenerator(m_startup->pointGrid(), nullptr);
        QVERIFY(canvas);
        QCOMPARE(canvas->items().size(), 1);
        QCOMPARE(canvas->items().front()->center(), geo::Point2D(10000000, 10000000));
        QCOMPARE(m_startup->pointGrid().runStatus(), Generator::RunStatus::Completed);
    }

    // Copies of radius 0 are neither placed nor take room; the saved canvas reads back.
    void canvasWithTaperedItemsReadsBack()
    {
        setCanvas(m_startup->properties(), 20.0, 20.0, 1);
        setItems(*m_startup->document, {{2.0, 6, 0.0, "linear"}});
        const QSharedPointer<canvas::Canvas> canvas = runGenerator(m_startup->pointGrid(), nullptr);
        QVERIFY(canvas);
        QCOMPARE(canvas->items().size(), 5);
        for (const auto& item : canvas->items()) {
            QVERIFY(item->radius().value() > 0);
            QCOMPARE(item->shapeId(), m_startup->properties().worldShape()->identifier());
        }
        QVERIFY(canvas::Canvas::create(canvas->toData()));
    }

    void fastDistanceEqualsGeometryDistance()
    {
        QRandomGenerator random(42);
        for (int sample = 0; sample < 200000; ++sample) {
            // Spread the differences over every magnitude, up to beyond the 32-bit fast path.
            const qint64 span = qint64(1) << (1 + random.bounded(40));
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

private:
    std::unique_ptr<GeneratorStartup> m_startup;
};

MOTIFEX_TEST_MAIN(TestPointGrid)
#include "tst_pointgrid.moc"
