#include "common/TestMain.h"

#include "GeneratorTestSupport.h"

#include "frame/Base.h"

#include <stdexcept>

using namespace motifex::test;

class TestGenerator : public QObject
{
    Q_OBJECT

private slots:
    void init() { m_startup = std::make_unique<GeneratorStartup>(); }
    void cleanup() { m_startup.reset(); }

    void registryFindsGeneratorsByExactIdentifier_data();
    void registryFindsGeneratorsByExactIdentifier();
    void registryListsNamesAndUnregisters();
    void instancesAreSortedLargestFirst();
    void minimumFreeSpace_data();
    void minimumFreeSpace();
    void copiesWithoutSizeAreLeftOut();
    void noInstanceLeftThrows();
    void randomValuesStayInRange();
    void frameShapeWithoutBuilderFallsBackToRectangle();
    void runWithoutDocumentFailsWithReason();

private:
    std::unique_ptr<GeneratorStartup> m_startup;
};

void TestGenerator::registryFindsGeneratorsByExactIdentifier_data()
{
    QTest::addColumn<QString>("identifier");
    QTest::addColumn<bool>("isFound");
    QTest::newRow("pointgrid") << "pointgrid" << true;
    QTest::newRow("other case") << "PointGrid" << false;
    QTest::newRow("empty") << "" << false;
}

void TestGenerator::registryFindsGeneratorsByExactIdentifier()
{
    QFETCH(QString, identifier);
    QFETCH(bool, isFound);
    const QSharedPointer<Generator> generator = GeneratorManager::instance()->get(identifier);
    QCOMPARE(!generator.isNull(), isFound);
    QCOMPARE(GeneratorManager::instance()->hasGenerator(identifier), isFound);
    if (isFound) {
        QCOMPARE(generator->identifier(), identifier);
        QCOMPARE(generator->document(), m_startup->document);
    }
}

void TestGenerator::registryListsNamesAndUnregisters()
{
    const QList<QPair<QString, QString>> expected{{QStringLiteral("Point Grid"), QStringLiteral("pointgrid")}};
    QCOMPARE(GeneratorManager::instance()->nameList(), expected);
    QCOMPARE(GeneratorManager::instance(), m_startup->generators.get());
    m_startup->generators.reset();
    QCOMPARE(GeneratorManager::instance(), nullptr);
}

void TestGenerator::instancesAreSortedLargestFirst()
{
    setItems(*m_startup->document, {{5.0, 2, 5.0, QStringLiteral("linear")}, {5.0, 3, 3.0, QStringLiteral("linear")}});
    const auto items = m_startup->document->items()->items();
    GeneratorPointGrid& generator = *m_startup->pointGrid();
    generator.initialize();

    const std::vector<Generator::Instance>& instances = generator.instances();
    QCOMPARE(instances.size(), std::size_t(5));
    const std::vector<std::pair<std::shared_ptr<doc::Item>, qint64>> expected{
        {items[0], 5000000}, {items[0], 5000000}, {items[1], 5000000}, {items[1], 4000000}, {items[1], 3000000}};
    for (std::size_t index = 0; index < expected.size(); ++index) {
        QCOMPARE(instances[index].item, expected[index].first);
        QCOMPARE(instances[index].radius.value(), expected[index].second);
    }
    QCOMPARE(generator.minimumFreeSpace().value(), qint64(3000000));
    generator.cleanUp();
    QVERIFY(generator.instances().empty());
}

void TestGenerator::minimumFreeSpace_data()
{
    QTest::addColumn<double>("radius");
    QTest::addColumn<int>("count");
    QTest::addColumn<qint64>("expected");
    QTest::newRow("smallest radius") << 2.5 << 3 << qint64(2500000);
    QTest::newRow("no copies: larger canvas side") << 2.5 << 0 << qint64(78000000);
    QTest::newRow("radius beyond the canvas") << 100.0 << 1 << qint64(78000000);
}

void TestGenerator::minimumFreeSpace()
{
    QFETCH(double, radius);
    QFETCH(int, count);
    QFETCH(qint64, expected);
    setItems(*m_startup->document, {{radius, count}});
    GeneratorPointGrid& generator = *m_startup->pointGrid();
    generator.initialize();
    QCOMPARE(generator.minimumFreeSpace().value(), expected);
    QCOMPARE(generator.instances().size(), std::size_t(count));
}

// A transition down to an end radius of 0 ends in a copy of radius 0: it takes no part in the run.
void TestGenerator::copiesWithoutSizeAreLeftOut()
{
    setItems(*m_startup->document, {{4.0, 5, 0.0, QStringLiteral("linear")}});
    GeneratorPointGrid& generator = *m_startup->pointGrid();
    generator.initialize();
    QCOMPARE(generator.instances().size(), std::size_t(4));
    QCOMPARE(generator.instances().back().radius.value(), qint64(1000000));
    QCOMPARE(generator.minimumFreeSpace().value(), qint64(1000000));
}

void TestGenerator::noInstanceLeftThrows()
{
    setItems(*m_startup->document, {{1.0, 1}});
    GeneratorPointGrid& generator = *m_startup->pointGrid();
    generator.initialize();
    QVERIFY(generator.hasNextInstance());
    QCOMPARE(generator.nextInstance().radius.value(), qint64(1000000));
    QVERIFY(!generator.hasNextInstance());
    QVERIFY_THROWS_EXCEPTION(std::out_of_range, generator.nextInstance());
}

void TestGenerator::randomValuesStayInRange()
{
    GeneratorPointGrid& generator = *m_startup->pointGrid();
    for (int draw = 0; draw < 2000; ++draw) {
        const double normal = generator.getRandomNormal();
        QVERIFY(normal >= 0.0 && normal < 1.0);
        const qint64 angle = generator.getRandomAngle().value();
        QVERIFY(angle >= 0 && angle < 360000000);
    }
}

void TestGenerator::frameShapeWithoutBuilderFallsBackToRectangle()
{
    m_startup->properties().setCanvasFrameShape(frame::Shape::NoShape);
    GeneratorPointGrid& generator = *m_startup->pointGrid();
    generator.initialize();
    QVERIFY(generator.canvas());
    QVERIFY(generator.canvas()->frame());
    QCOMPARE(generator.canvas()->frame()->shape(), frame::Shape::Rectangle);

    // Even without a frame registry a run has its frame.
    m_startup->frames.reset();
    generator.initialize();
    QVERIFY(generator.canvas()->frame());
    QCOMPARE(generator.canvas()->frame()->shape(), frame::Shape::Rectangle);
}

void TestGenerator::runWithoutDocumentFailsWithReason()
{
    GeneratorPointGrid generator;
    RecordingProgress progress;
    QVERIFY(!runGenerator(generator, &progress));
    QCOMPARE(generator.runStatus(), Generator::RunStatus::Failed);
    QCOMPARE(generator.runMessage(), QStringLiteral("There is no document to generate from."));
}

MOTIFEX_TEST_MAIN(TestGenerator)
#include "tst_generator.moc"
