#include "common/TestMain.h"

#include "shape/OutlineChecks.h"

#include "shape/Cross.h"
#include "shape/Polygon.h"
#include "shape/Star.h"

#include <cmath>

namespace {

std::shared_ptr<shape::Base> findBuiltIn(const std::vector<std::shared_ptr<shape::Base>>& shapes, const QString& identifier)
{
    for (const auto& shape : shapes) {
        if (shape->identifier() == identifier) {
            return shape;
        }
    }
    return {};
}

void verifyPointsNear(const geo::Path& path, const std::vector<geo::Point2D>& expected, qint64 tolerance)
{
    QCOMPARE(path.size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i) {
        QVERIFY2(outline::isNear(path[i], expected[i], tolerance),
                 qPrintable(QStringLiteral("point %1 is %2, expected %3")
                                .arg(i)
                                .arg(outline::toText(path[i]), outline::toText(expected[i]))));
    }
}

void verifyCatalogue(const std::vector<std::shared_ptr<shape::Base>>& shapes, const QStringList& identifiers,
                     const QStringList& names)
{
    QCOMPARE(int(shapes.size()), identifiers.size());
    for (std::size_t i = 0; i < shapes.size(); ++i) {
        QCOMPARE(shapes[i]->identifier(), identifiers.at(int(i)));
        QCOMPARE(shapes[i]->name(), names.at(int(i)));
        QVERIFY(shapes[i]->isBuiltIn());
    }
}

} // namespace

class TestPolygonStarCross : public QObject
{
    Q_OBJECT

private slots:
    void defaultPolygonIsATriangle()
    {
        const shape::Polygon polygon;
        QCOMPARE(polygon.type(), shape::Type::Polygon);
        const auto paths = polygon.createPaths(false);
        QCOMPARE(paths.size(), std::size_t(1));
        QCOMPARE(paths[0][0], geo::Point2D(0, -1000000));
        verifyPointsNear(paths[0], {geo::Point2D(0, -1000000), outline::polarPoint(30, 1), outline::polarPoint(150, 1)}, 1);
    }

    void squareFrameHasAnInnerSquare()
    {
        const auto square = findBuiltIn(shape::Polygon::createBuiltIns(), QStringLiteral("square_frame"));
        QVERIFY(square);
        const auto& polygon = static_cast<const shape::Polygon&>(*square);
        const auto paths = polygon.createPaths(false);
        QCOMPARE(paths.size(), std::size_t(2));
        verifyPointsNear(paths[0], {{0, -1000000}, {1000000, 0}, {0, 1000000}, {-1000000, 0}}, 0);
        // cos(45°) − 0.2 = 0.5071067…, truncated.
        verifyPointsNear(paths[1], {{0, -507106}, {507106, 0}, {0, 507106}, {-507106, 0}}, 0);
        const auto outlineOnly = polygon.createPaths(true);
        QCOMPARE(outlineOnly.size(), std::size_t(1));
        QCOMPARE(outlineOnly[0], paths[0]);
        QCOMPARE(polygon.createFramePath(), paths[0]);
        QCOMPARE(polygon.createComplexOutline({}), paths[0]);
    }

    void frameRadiusBand_data()
    {
        QTest::addColumn<int>("corners");
        QTest::addColumn<double>("frameSize");
        QTest::addColumn<int>("pathCount");
        QTest::newRow("no frame") << 5 << 0.0 << 1;
        QTest::newRow("triangle, frame above its inradius") << 3 << 0.6 << 1;
        QTest::newRow("triangle, frame 0.49 leaves 0.01") << 3 << 0.49 << 2;
        QTest::newRow("triangle, frame 0.495 leaves less than 0.01") << 3 << 0.495 << 1;
        // cos 15° − 0.001 is about 0.9649, inside the drawn band.
        QTest::newRow("dodecagon, thin frame") << 12 << 0.001 << 2;
        QTest::newRow("dodecagon, full frame size") << 12 << 1.0 << 1;
    }
    void frameRadiusBand()
    {
        QFETCH(int, corners);
        QFETCH(double, frameSize);
        QFETCH(int, pathCount);
        shape::Polygon polygon;
        polygon.setCornerCount(corners);
        polygon.setFrameSize(frameSize);
        const auto paths = polygon.createPaths(false);
        QCOMPARE(int(paths.size()), pathCount);
        QCOMPARE(int(paths[0].size()), corners);
        QCOMPARE(polygon.createPaths(true).size(), std::size_t(1));
        if (pathCount == 2) {
            const double expected = std::cos(M_PI / corners) - frameSize;
            QVERIFY(std::abs(outline::distanceFromCenter(paths[1][0]) - expected * 1e6) <= 2.0);
        }
    }

    void cornerCountRange_data()
    {
        QTest::addColumn<double>("normal");
        QTest::addColumn<int>("corners");
        QTest::newRow("lowest") << 0.0 << 3;
        QTest::newRow("highest") << 1.0 << 12;
        // A value from a damaged file would otherwise build 900000 corners.
        QTest::newRow("far above") << 1e5 << 12;
        QTest::newRow("below") << -3.0 << 3;
        QTest::newRow("NaN") << std::nan("") << 3;
    }
    void cornerCountRange()
    {
        QFETCH(double, normal);
        QFETCH(int, corners);
        shape::Polygon polygon;
        polygon.setModifierValues({normal});
        QCOMPARE(int(polygon.createPaths(false).at(0).size()), corners);
    }

    void fivePointStarRadii()
    {
        shape::Star star;
        star.setPointCount(5);
        star.setInnerCorners(0.5);
        const auto paths = star.createPaths(false);
        QCOMPARE(paths.size(), std::size_t(1));
        const geo::Path& path = paths[0];
        QCOMPARE(path.size(), std::size_t(10));
        QCOMPARE(path[0], geo::Point2D(0, -1000000));
        for (std::size_t i = 0; i < path.size(); ++i) {
            const double radius = i % 2 == 0 ? 1.0 : 0.525;
            const geo::Point2D expected = outline::polarPoint(double(i) * 36.0 - 90.0, radius);
            QVERIFY2(outline::isNear(path[i], expected, 2), qPrintable(outline::toText(path[i])));
        }
    }

    void valleyShiftTurnsTheValleys()
    {
        shape::Star star;
        star.setPointCount(5);
        star.setInnerCorners(0.5);
        star.setInnerShift(1.0);
        const geo::Path path = star.createPaths(false).at(0);
        for (std::size_t i = 1; i < path.size(); i += 2) {
            const geo::Point2D expected = outline::polarPoint(double(i) * 36.0 - 90.0 + 18.0, 0.525);
            QVERIFY2(outline::isNear(path[i], expected, 2), qPrintable(outline::toText(path[i])));
        }
    }

    void defaultStarHasEightPoints()
    {
        const shape::Star star;
        QCOMPARE(star.createPaths(false).at(0).size(), std::size_t(16));
    }

    void twoBarShape()
    {
        shape::Cross cross;
        cross.setBarCount(2);
        cross.setBarWidth(0.3);
        const geo::Path path = cross.createPaths(false).at(0);
        QCOMPARE(path.size(), std::size_t(4));
        const qint64 x = qint64(std::sqrt(1.0 - 0.15 * 0.15) * 1e6);
        verifyPointsNear(path, {{x, 150000}, {-x, 150000}, {-x, -150000}, {x, -150000}}, 2);
        for (const geo::Point2D& point : path.points()) {
            QVERIFY(std::abs(outline::distanceFromCenter(point) - 1e6) <= 2.0);
        }
    }

    void oneBarShapeEndsSquare()
    {
        shape::Cross cross;
        cross.setBarCount(1);
        cross.setBarWidth(0.3);
        const geo::Path path = cross.createPaths(false).at(0);
        const qint64 x = qint64(std::sqrt(1.0 - 0.15 * 0.15) * 1e6);
        verifyPointsNear(path, {{x, 150000}, {-150000, 150000}, {-150000, -150000}, {x, -150000}}, 2);
    }

    void fourBarCross()
    {
        shape::Cross cross;
        cross.setBarCount(4);
        cross.setBarWidth(0.3);
        const geo::Path path = cross.createPaths(false).at(0);
        QCOMPARE(path.size(), std::size_t(12));
        const double innerDistance = 0.15 / std::sin(M_PI / 4.0);
        for (int bar = 0; bar < 4; ++bar) {
            const geo::Point2D expected = outline::polarPoint(45.0 + 90.0 * bar, innerDistance);
            QVERIFY2(outline::isNear(path[std::size_t(3 * bar + 1)], expected, 2),
                     qPrintable(outline::toText(path[std::size_t(3 * bar + 1)])));
        }
        // Bar 0 points right: its sides meet the rim at ±0.15.
        QVERIFY(outline::isNear(path[0], {qint64(std::sqrt(1.0 - 0.0225) * 1e6), 150000}, 2));
        QVERIFY(outline::isNear(path[11], {qint64(std::sqrt(1.0 - 0.0225) * 1e6), -150000}, 2));
    }

    void everyCrossIsSimpleAndInside_data()
    {
        QTest::addColumn<int>("bars");
        QTest::addColumn<double>("widthNormal");
        for (int bars = 1; bars <= 10; ++bars) {
            for (const double normal : {0.0, 0.25, 0.5, 0.75, 1.0}) {
                QTest::addRow("%d bars, width normal %.2f", bars, normal) << bars << normal;
            }
        }
    }
    void everyCrossIsSimpleAndInside()
    {
        QFETCH(int, bars);
        QFETCH(double, widthNormal);
        shape::Cross cross;
        cross.setBarCount(bars);
        cross.setModifierValues({cross.modifierValues().at(0), widthNormal});
        const geo::Path path = cross.createPaths(false).at(0);
        QCOMPARE(int(path.size()), bars <= 2 ? 4 : 3 * bars);
        QVERIFY(outline::isInsideUnitSquare(path));
        const QString problem = outline::simplicityProblem(path);
        QVERIFY2(problem.isEmpty(), qPrintable(problem));
        QVERIFY(outline::twiceArea(path) != 0);
    }

    void wideBarsAreBoundedByTheBarCount()
    {
        // Ten bars of width 0.9 would overlap at the rim; the width is limited so the inner corners stay
        // at 0.9 from the centre.
        shape::Cross cross;
        cross.setBarCount(10);
        cross.setBarWidth(0.9);
        const geo::Path path = cross.createPaths(false).at(0);
        QVERIFY(std::abs(outline::distanceFromCenter(path[1]) - 900000.0) <= 2.0);
        // Six bars of width 0.9 are exactly at the bound and keep their width.
        cross.setBarCount(6);
        const geo::Path six = cross.createPaths(false).at(0);
        QVERIFY(std::abs(double(six[0].y()) - 450000.0) <= 2.0);
        // Widths below the bound are untouched.
        cross.setBarCount(10);
        cross.setBarWidth(0.4);
        const geo::Path narrow = cross.createPaths(false).at(0);
        QVERIFY(std::abs(double(narrow[0].y()) - 200000.0) <= 2.0);
    }

    void polygonCatalogue()
    {
        const QStringList names{"Triangle", "Square", "Pentagon", "Hexagon", "Heptagon",
                                "Octagon", "Nonagon", "Decagon", "Hendecagon", "Dodecagon"};
        QStringList identifiers;
        QStringList allNames;
        for (const QString& name : names) {
            identifiers << name.toLower();
            allNames << name;
        }
        for (const QString& name : names) {
            identifiers << name.toLower() + QStringLiteral("_frame");
            allNames << name + QStringLiteral(" Frame");
        }
        const auto shapes = shape::Polygon::createBuiltIns();
        verifyCatalogue(shapes, identifiers, allNames);
        for (std::size_t i = 0; i < shapes.size(); ++i) {
            const auto& polygon = static_cast<const shape::Polygon&>(*shapes[i]);
            QCOMPARE(int(polygon.createPaths(true).at(0).size()), 3 + int(i % 10));
            QCOMPARE(polygon.modifierValues().at(1).value(), i < 10 ? 0.0 : 0.2);
        }
    }

    void starAndCrossCatalogues_data()
    {
        QTest::addColumn<int>("family");
        QTest::addColumn<QStringList>("identifierPatterns");
        QTest::addColumn<QStringList>("namePatterns");
        QTest::addColumn<QList<double>>("groupNormals");
        QTest::newRow("stars") << 0 << QStringList{"%1_point_star_blunt", "%1_point_star", "%1_point_star_sharp"}
                               << QStringList{"Blunt %1-Point Star", "%1-Point Star", "Sharp %1-Point Star"}
                               << QList<double>{0.75, 0.5, 0.35};
        QTest::newRow("crosses") << 1 << QStringList{"%1_bar_cross_thin", "%1_bar_cross", "%1_bar_cross_thick"}
                                 << QStringList{"Thin %1-Bar Shape", "%1-Bar Shape", "Thick %1-Bar Shape"}
                                 << QList<double>{0.125, 0.25, 0.375};
    }
    void starAndCrossCatalogues()
    {
        QFETCH(int, family);
        QFETCH(QStringList, identifierPatterns);
        QFETCH(QStringList, namePatterns);
        QFETCH(QList<double>, groupNormals);
        const bool isStar = family == 0;
        const int firstCount = isStar ? 3 : 1;
        QStringList identifiers;
        QStringList names;
        for (int group = 0; group < 3; ++group) {
            for (int n = firstCount; n < firstCount + 10; ++n) {
                identifiers << identifierPatterns.at(group).arg(n);
                names << namePatterns.at(group).arg(n);
            }
        }
        const auto shapes = isStar ? shape::Star::createBuiltIns() : shape::Cross::createBuiltIns();
        verifyCatalogue(shapes, identifiers, names);
        for (std::size_t i = 0; i < shapes.size(); ++i) {
            const auto values = shapes[i]->modifierValues();
            QVERIFY(std::abs(values.at(1).value() - groupNormals.at(int(i / 10))) < 1e-12);
            const auto& outlined = static_cast<const shape::PolygonBase&>(*shapes[i]);
            const int count = firstCount + int(i % 10);
            const int expectedPoints = isStar ? 2 * count : (count <= 2 ? 4 : 3 * count);
            QCOMPARE(int(outlined.createPaths(false).at(0).size()), expectedPoints);
        }
    }
};

MOTIFEX_TEST_MAIN(TestPolygonStarCross)
#include "tst_polygonstarcross.moc"
