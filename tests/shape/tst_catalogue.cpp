#include "common/TestMain.h"

#include "shape/Builder.h"
#include "shape/Manager.h"
#include "svg/Node.h"

#include <QSvgRenderer>

// The database lists the built-in catalogue first, family by family, and exactly as the builders make it.
class TestCatalogue : public QObject
{
    Q_OBJECT

private slots:
    void familyBlocks_data();
    void familyBlocks();
    void databaseHoldsTheSameCatalogue();
    void ringDefinitionKeepsItsHole();
};

void TestCatalogue::familyBlocks_data()
{
    QTest::addColumn<int>("position");
    QTest::addColumn<QString>("identifier");
    QTest::addColumn<QString>("name");

    QTest::newRow("circle") << 0 << "circle" << "Circle";
    QTest::newRow("first ring") << 1 << "ring_0" << "Ring 1";
    QTest::newRow("last ring") << 9 << "ring_8" << "Ring 9";
    QTest::newRow("first polygon") << 10 << "triangle" << "Triangle";
    QTest::newRow("last polygon") << 29 << "dodecagon_frame" << "Dodecagon Frame";
    QTest::newRow("first star") << 30 << "3_point_star_blunt" << "Blunt 3-Point Star";
    QTest::newRow("last star") << 59 << "12_point_star_sharp" << "Sharp 12-Point Star";
    QTest::newRow("first cross") << 60 << "1_bar_cross_thin" << "Thin 1-Bar Shape";
    QTest::newRow("last cross") << 89 << "10_bar_cross_thick" << "Thick 10-Bar Shape";
    QTest::newRow("first heart") << 90 << "heart_0_0" << "Heart 1";
    QTest::newRow("first drop") << 110 << "drop_0" << "Drop 1";
    QTest::newRow("last drop") << 119 << "drop_9" << "Drop 10";
    QTest::newRow("first arrow") << 120 << "arrow-1" << "Arrow 1";
    QTest::newRow("last arrow") << 139 << "arrow-20" << "Arrow 20";
    QTest::newRow("first leaf") << 140 << "leaf-1" << "Leaf 1";
    QTest::newRow("last leaf") << 169 << "leaf-30" << "Leaf 30";
}

void TestCatalogue::familyBlocks()
{
    QFETCH(int, position);
    QFETCH(QString, identifier);
    QFETCH(QString, name);

    const auto shapes = shape::Builder::createAllBuiltIns();
    QCOMPARE(shapes.size(), std::size_t(170));
    QCOMPARE(shapes.at(std::size_t(position))->identifier(), identifier);
    QCOMPARE(shapes.at(std::size_t(position))->name(), name);

    const shape::Manager manager;
    QCOMPARE(manager.indexForShapeId(identifier), position);
}

void TestCatalogue::databaseHoldsTheSameCatalogue()
{
    const auto catalogue = shape::Builder::createAllBuiltIns();
    const shape::Manager manager;
    QCOMPARE(manager.shapeCount(), catalogue.size());
    for (std::size_t i = 0; i < catalogue.size(); ++i) {
        const auto held = manager.shape(static_cast<unsigned long>(i));
        QVERIFY(held->isBuiltIn());
        QCOMPARE(held->identifier(), catalogue[i]->identifier());
        // A project that names a built-in shape finds the same shape in every run of the program.
        QVERIFY2(held->isVisuallyEqual(catalogue[i]), qPrintable(held->identifier()));
        QCOMPARE(held->visualFingerprint(), catalogue[i]->visualFingerprint());
    }
}

void TestCatalogue::ringDefinitionKeepsItsHole()
{
    const shape::Manager manager;
    const auto ring = manager.shape(QStringLiteral("ring_4"));
    const auto definition = ring->createDefinition(QStringLiteral("shape_001"));
    QCOMPARE(definition->children().size(), std::size_t(1));
    const auto& path = definition->children().front();
    QCOMPARE(path->attributes().at(svg::Attribute::FillRule), QString("evenodd"));
    QCOMPARE(path->attributes().at(svg::Attribute::D).count(QLatin1Char('M')), 2);
    QVERIFY(QSvgRenderer(ring->toSvg(geo::Size(44000000, 44000000), Qt::white)).isValid());
}

MOTIFEX_TEST_MAIN(TestCatalogue)
#include "tst_catalogue.moc"
