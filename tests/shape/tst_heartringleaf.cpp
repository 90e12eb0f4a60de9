#include "common/TestMain.h"
#include "shape/OutlineChecks.h"

#include "geo/Circle.h"
#include "shape/Heart.h"
#include "shape/Leaf.h"
#include "shape/Ring.h"

#include <cmath>

Q_DECLARE_METATYPE(std::shared_ptr<shape::Base>)

namespace {

using ShapeList = std::vector<std::shared_ptr<shape::Base>>;

std::shared_ptr<shape::Base> findIn(const ShapeList& shapes, const QString& identifier)
{
    for (const auto& shape : shapes) {
        if (shape->identifier() == identifier) {
            return shape;
        }
    }
    return nullptr;
}

bool isMirroredAboutVerticalAxis(const geo::Path& path)
{
    const auto& points = path.points();
    return std::all_of(points.cbegin(), points.cend(), [&points](const geo::Point2D& point) {
        return std::find(points.cbegin(), points.cend(), geo::Point2D(-point.x(), point.y())) != points.cend();
    });
}

geo::Path outlineOf(const shape::PolygonBase& shape)
{
    const std::vector<geo::Path> paths = shape.createPaths(false);
    return paths.empty() ? geo::Path() : paths.front();
}

double distance(const geo::Point2D& a, const geo::Point2D& b)
{
    return std::hypot(static_cast<double>(a.x() - b.x()), static_cast<double>(a.y() - b.y()));
}

bool contains(const geo::Path& path, const geo::Point2D& point)
{
    return std::find(path.points().cbegin(), path.points().cend(), point) != path.points().cend();
}

// How far the segment from a to b misses being tangent to the circle at b: the cosine of the angle
// between the radius to b and the segment.
double tangentError(const geo::Point2D& center, const geo::Point2D& touch, const geo::Point2D& other)
{
    const double rx = static_cast<double>(touch.x() - center.x());
    const double ry = static_cast<double>(touch.y() - center.y());
    const double sx = static_cast<double>(other.x() - touch.x());
    const double sy = static_cast<double>(other.y() - touch.y());
    return std::abs(rx * sx + ry * sy) / (std::hypot(rx, ry) * std::hypot(sx, sy));
}

geo::Point2D bulgeCenter(double degrees, qint64 radius)
{
    const geo::Point2D unit = geo::Point2D::normalFromAngle(geo::Angle::fromDegrees(degrees));
    return geo::Point2D(geo::multiplyFixed(unit.x(), 1000000 - radius), geo::multiplyFixed(unit.y(), 1000000 - radius));
}

} // namespace

class TestHeartRingLeaf : public QObject
{
    Q_OBJECT

private slots:
    void modifiers_data();
    void modifiers();
    void defaultHeartCrossesTheAxis();
    void heartWithNotch();
    void dropsPointUp_data();
    void dropsPointUp();
    void heartCatalogue_data();
    void heartCatalogue();
    void ringHole_data();
    void ringHole();
    void ringFollowsTheAngleSequence();
    void ringCatalogue();
    void leafWithStraightEdges();
    void leafWithVein();
    void leafExtremes();
    void leafCatalogue_data();
    void leafCatalogue();
    void everyOutlineIsSimpleAndSymmetric();
    void editorValuesGiveSimpleOutlines();
    void storedValuesAreClamped();
};

void TestHeartRingLeaf::modifiers_data()
{
    QTest::addColumn<std::shared_ptr<shape::Base>>("shape");
    QTest::addColumn<int>("type");
    QTest::addColumn<QStringList>("names");
    QTest::addColumn<QList<double>>("defaults");

    QTest::newRow("heart") << std::shared_ptr<shape::Base>(std::make_shared<shape::Heart>()) << 6
                           << QStringList{"Bulge Ratio", "Bulge Angle"} << QList<double>{0.5, 0.5};
    QTest::newRow("ring") << std::shared_ptr<shape::Base>(std::make_shared<shape::Ring>()) << 2
                          << QStringList{"Ring Ratio"} << QList<double>{0.0};
    QTest::newRow("leaf") << std::shared_ptr<shape::Base>(std::make_shared<shape::Leaf>()) << 8
                          << QStringList{"Width", "Radius", "Vein Length", "Vein Angle"}
                          << QList<double>{0.6, 0.5, 0.0, 0.2};
}

void TestHeartRingLeaf::modifiers()
{
    QFETCH(std::shared_ptr<shape::Base>, shape);
    QFETCH(int, type);
    QFETCH(QStringList, names);
    QFETCH(QList<double>, defaults);

    QCOMPARE(static_cast<int>(shape->type()), type);
    const auto descriptions = shape->modifierDescriptions();
    const auto values = shape->modifierValues();
    QCOMPARE(static_cast<qsizetype>(descriptions.size()), names.size());
    for (qsizetype i = 0; i < names.size(); ++i) {
        QCOMPARE(descriptions[static_cast<std::size_t>(i)].name(), names[i]);
        QCOMPARE(descriptions[static_cast<std::size_t>(i)].defaultValue().value(), defaults[i]);
        QCOMPARE(values[static_cast<std::size_t>(i)].value(), defaults[i]);
    }
}

void TestHeartRingLeaf::defaultHeartCrossesTheAxis()
{
    const shape::Heart heart;
    const geo::Path outline = outlineOf(heart);
    const qint64 radius = 425000;
    const geo::Point2D center = bulgeCenter(-45.0, radius);
    const geo::Point2D mirroredCenter(-center.x(), center.y());

    QCOMPARE(outline[0], geo::Point2D(0, 1000000));
    for (std::size_t i = 1; i < outline.size(); ++i) {
        const double off = std::min(std::abs(distance(outline[i], center) - radius),
                                    std::abs(distance(outline[i], mirroredCenter) - radius));
        QVERIFY2(off <= 2.0, qPrintable(QStringLiteral("point %1 lies off both bulge circles").arg(i)));
    }
    QVERIFY(!contains(outline, geo::Point2D(0, center.y() - 50000)));
    // The right half ends where the bulge circle crosses the axis, above the centre.
    const std::size_t halfEnd = outline.size() / 2;
    const double crossingY = static_cast<double>(center.y())
        - std::sqrt(static_cast<double>(radius) * radius - static_cast<double>(center.x()) * center.x());
    QVERIFY(std::llabs(outline[halfEnd].x()) <= 2);
    QVERIFY(std::abs(static_cast<double>(outline[halfEnd].y()) - crossingY) <= 3.0);
    // The first edge leaves the tip along the tangent of the outer side.
    QVERIFY(tangentError(center, outline[1], outline[0]) < 1e-4);
    QVERIFY(outline[1].x() > center.x());
}

void TestHeartRingLeaf::heartWithNotch()
{
    const auto heart = std::dynamic_pointer_cast<shape::Heart>(findIn(shape::Heart::createBuiltIns(), "heart_0_0"));
    QVERIFY(heart);
    const geo::Path outline = outlineOf(*heart);
    const geo::Point2D center(770000, 0);
    const geo::Point2D notch(0, -50000);

    QVERIFY(contains(outline, notch));
    const auto notchAt = static_cast<std::size_t>(std::find(outline.points().cbegin(), outline.points().cend(), notch)
                                                  - outline.points().cbegin());
    QCOMPARE(notchAt, outline.size() / 2);
    // The arc meets both the line from the tip and the line to the notch at a tangent.
    QVERIFY(tangentError(center, outline[1], outline[0]) < 1e-4);
    QVERIFY(tangentError(center, outline[notchAt - 1], notch) < 1e-4);
    for (std::size_t i = 1; i < notchAt; ++i) {
        QVERIFY(std::abs(distance(outline[i], center) - 230000.0) <= 2.0);
    }
    // The sampled arc reaches close to the rim at 0 degrees, and not beyond it.
    QVERIFY(outline.boundingBox().size().width() <= 2000000);
    QVERIFY(outline.boundingBox().size().width() > 1999000);
}

void TestHeartRingLeaf::dropsPointUp_data()
{
    QTest::addColumn<QString>("identifier");
    QTest::addColumn<qint64>("radius");

    QTest::newRow("drop_9") << "drop_9" << qint64(750000);
    QTest::newRow("drop_0") << "drop_0" << qint64(100000);
}

void TestHeartRingLeaf::dropsPointUp()
{
    QFETCH(QString, identifier);
    QFETCH(qint64, radius);

    const auto drop = std::dynamic_pointer_cast<shape::Heart>(findIn(shape::Heart::createBuiltIns(), identifier));
    QVERIFY(drop);
    const geo::Path outline = outlineOf(*drop);
    QCOMPARE(outline[0], geo::Point2D(0, -1000000));
    const geo::Rectangle box = outline.boundingBox();
    QCOMPARE(box.origin().y(), -1000000);
    QCOMPARE(box.origin().y() + box.size().height(), 1000000);
    QVERIFY(box.size().width() <= 2 * radius);
    QVERIFY(box.size().width() > 2 * radius * 99 / 100);
    // Turned about the centre, the round end sits on the circle below the centre.
    const geo::Point2D center(0, 1000000 - radius);
    for (std::size_t i = 1; i < outline.size(); ++i) {
        QVERIFY(std::abs(distance(outline[i], center) - static_cast<double>(radius)) <= 2.0);
    }
}

void TestHeartRingLeaf::heartCatalogue_data()
{
    QTest::addColumn<QString>("identifier");
    QTest::addColumn<QString>("name");
    QTest::addColumn<double>("ratio");
    QTest::addColumn<double>("angleNormal");

    QTest::newRow("first heart") << "heart_0_0" << "Heart 1" << 0.2 << 0.0;
    QTest::newRow("fractional angle") << "heart_1_2" << "Heart 8" << 0.4 << 2.0 / 7.0;
    QTest::newRow("last heart") << "heart_3_4" << "Heart 20" << 0.8 << 4.0 / 11.0;
    QTest::newRow("first drop") << "drop_0" << "Drop 1" << 0.0 << 1.0;
    QTest::newRow("fractional ratio") << "drop_4" << "Drop 5" << 4.0 / 9.0 << 1.0;
    QTest::newRow("last drop") << "drop_9" << "Drop 10" << 1.0 << 1.0;
}

void TestHeartRingLeaf::heartCatalogue()
{
    QFETCH(QString, identifier);
    QFETCH(QString, name);
    QFETCH(double, ratio);
    QFETCH(double, angleNormal);

    const ShapeList hearts = shape::Heart::createBuiltIns();
    QCOMPARE(hearts.size(), std::size_t(30));
    QCOMPARE(hearts.front()->identifier(), QString("heart_0_0"));
    QCOMPARE(hearts[19]->identifier(), QString("heart_3_4"));
    QCOMPARE(hearts[20]->identifier(), QString("drop_0"));
    const auto heart = findIn(hearts, identifier);
    QVERIFY(heart);
    QCOMPARE(heart->name(), name);
    QVERIFY(heart->isBuiltIn());
    const auto values = heart->modifierValues();
    QVERIFY(std::abs(values[0] - ratio) < 1e-12);
    QVERIFY(std::abs(values[1] - angleNormal) < 1e-12);
}

void TestHeartRingLeaf::ringHole_data()
{
    QTest::addColumn<double>("ratio");
    QTest::addColumn<qint64>("holeRadius");

    QTest::newRow("smallest hole") << 0.0 << qint64(100000);
    QTest::newRow("middle") << 0.5 << qint64(500000);
    QTest::newRow("largest hole") << 1.0 << qint64(900000);
}

void TestHeartRingLeaf::ringHole()
{
    QFETCH(double, ratio);
    QFETCH(qint64, holeRadius);

    shape::Ring ring;
    ring.setRatio(ratio);
    const std::vector<geo::Path> paths = ring.createPaths(false);
    QCOMPARE(paths.size(), std::size_t(2));
    QCOMPARE(paths[0].size(), std::size_t(72));
    QCOMPARE(paths[1].size(), std::size_t(72));
    QCOMPARE(paths[1][71], geo::Point2D(holeRadius, 0));
    for (const geo::Point2D& point : paths[1].points()) {
        QVERIFY(std::abs(distance(point, geo::Point2D()) - static_cast<double>(holeRadius)) <= 3.0);
    }
    // The hole runs against the outer circle, so the even-odd fill leaves it empty.
    QVERIFY(outline::twiceArea(paths[0]) > 0);
    QVERIFY(outline::twiceArea(paths[1]) < 0);

    const std::vector<geo::Path> placement = ring.createPaths(true);
    QCOMPARE(placement.size(), std::size_t(1));
    QCOMPARE(placement[0], paths[0]);
    QCOMPARE(ring.createFramePath(), paths[0]);
}

void TestHeartRingLeaf::ringFollowsTheAngleSequence()
{
    const geo::Path outer = shape::Ring().createPaths(true).front();
    const geo::Circle unit(geo::Point2D(), geo::Length(1000000));
    QCOMPARE(outer[0], geo::Point2D(1000000, 0));
    QCOMPARE(outer[71], unit.pointAtAngle(geo::Angle(355000000)));
    // Interior angles sit at i / 72 of the range (not at whole 5-degree steps), so the last gap is double.
    for (std::size_t i = 1; i < 71; ++i) {
        const double expectedDegrees = 355.0 * static_cast<double>(i) / 72.0;
        const double actualDegrees =
            std::atan2(static_cast<double>(outer[i].y()), static_cast<double>(outer[i].x())) * 180.0 / M_PI;
        const double wrapped = actualDegrees < 0 ? actualDegrees + 360.0 : actualDegrees;
        QVERIFY2(std::abs(wrapped - expectedDegrees) < 1e-3, qPrintable(QString::number(i)));
    }
    QVERIFY(outer[1] != unit.pointAtAngle(geo::Angle(5000000)));
}

void TestHeartRingLeaf::ringCatalogue()
{
    const ShapeList rings = shape::Ring::createBuiltIns();
    QCOMPARE(rings.size(), std::size_t(9));
    for (std::size_t k = 0; k < rings.size(); ++k) {
        QCOMPARE(rings[k]->identifier(), QStringLiteral("ring_%1").arg(k));
        QCOMPARE(rings[k]->name(), QStringLiteral("Ring %1").arg(k + 1));
        QCOMPARE(rings[k]->modifierValues().front().value(), static_cast<double>(k) * 0.125);
        QVERIFY(rings[k]->isBuiltIn());
    }
}

void TestHeartRingLeaf::leafWithStraightEdges()
{
    shape::Leaf leaf;
    leaf.setRadius(0.0);
    leaf.setWidth(0.6);
    const geo::Path outline = outlineOf(leaf);
    const std::vector<geo::Point2D> expected{{0, -1000000}, {600000, 0}, {0, 1000000}, {-600000, 0}};
    QCOMPARE(outline.points(), expected);
}

void TestHeartRingLeaf::leafWithVein()
{
    const auto leaf = std::dynamic_pointer_cast<shape::Leaf>(findIn(shape::Leaf::createBuiltIns(), "leaf-5"));
    QVERIFY(leaf);
    const geo::Path outline = outlineOf(*leaf);
    // Vein angle 21 degrees: the sides end on the unit circle 10.5 degrees beside the bottom.
    const geo::Point2D lower = geo::Point2D::normalFromAngle(geo::Angle(79500000));
    QVERIFY(contains(outline, lower));
    QVERIFY(contains(outline, geo::Point2D(-lower.x(), lower.y())));
    // The cut reaches up to y = 1 − 2 × 0.2.
    QVERIFY(contains(outline, geo::Point2D(0, 600000)));
    QVERIFY(!contains(outline, geo::Point2D(0, 1000000)));
    QCOMPARE(outline[0], geo::Point2D(0, -1000000));
    QCOMPARE(outline[outline.size() / 2], geo::Point2D(0, 600000));
    // Edge circle centre (0.8 − 0.8, 0), radius 0.8: the arc runs on it.
    for (std::size_t i = 1; i + 2 < outline.size() / 2; ++i) {
        QVERIFY(std::abs(distance(outline[i], geo::Point2D()) - 800000.0) <= 2.0);
    }
}

void TestHeartRingLeaf::leafExtremes()
{
    const ShapeList leaves = shape::Leaf::createBuiltIns();
    const auto widest = std::dynamic_pointer_cast<shape::Leaf>(findIn(leaves, "leaf-1"));
    const geo::Path wide = outlineOf(*widest);
    QCOMPARE(wide[0], geo::Point2D(0, -1000000));
    QVERIFY(contains(wide, geo::Point2D(0, 1000000)));
    QVERIFY(std::llabs(wide.boundingBox().size().width() - 2000000) <= 4);

    const auto narrowest = std::dynamic_pointer_cast<shape::Leaf>(findIn(leaves, "leaf-30"));
    const geo::Path narrow = outlineOf(*narrowest);
    const geo::Point2D lower = geo::Point2D::normalFromAngle(geo::Angle(83500000));
    // 1 × (1 − 0.8) truncates to 0.199999, so the cut ends a unit above y = −0.6.
    const std::vector<geo::Point2D> expected{{0, -1000000}, {400000, 0}, lower, {0, -600001},
                                             {-lower.x(), lower.y()}, {-400000, 0}};
    QCOMPARE(narrow.points(), expected);
}

void TestHeartRingLeaf::leafCatalogue_data()
{
    QTest::addColumn<QString>("identifier");
    QTest::addColumn<double>("width");
    QTest::addColumn<double>("radius");
    QTest::addColumn<double>("veinLength");
    QTest::addColumn<double>("veinAngle");

    QTest::newRow("leaf-1") << "leaf-1" << 1.0 << 0.8 << 0.0 << 25.0;
    QTest::newRow("leaf-4") << "leaf-4" << 0.4 << 0.8 << 0.0 << 13.0;
    QTest::newRow("leaf-5 skips the widest") << "leaf-5" << 0.8 << 0.8 << 0.2 << 21.0;
    QTest::newRow("leaf-11") << "leaf-11" << 1.0 << 0.3 << 0.0 << 25.0;
    QTest::newRow("leaf-27") << "leaf-27" << 0.4 << 0.0 << 0.2 << 13.0;
    QTest::newRow("leaf-30") << "leaf-30" << 0.4 << 0.0 << 0.8 << 13.0;
}

void TestHeartRingLeaf::leafCatalogue()
{
    QFETCH(QString, identifier);
    QFETCH(double, width);
    QFETCH(double, radius);
    QFETCH(double, veinLength);
    QFETCH(double, veinAngle);

    const ShapeList leaves = shape::Leaf::createBuiltIns();
    QCOMPARE(leaves.size(), std::size_t(30));
    for (std::size_t i = 0; i < leaves.size(); ++i) {
        QCOMPARE(leaves[i]->identifier(), QStringLiteral("leaf-%1").arg(i + 1));
        QCOMPARE(leaves[i]->name(), QStringLiteral("Leaf %1").arg(i + 1));
    }
    const auto values = findIn(leaves, identifier)->modifierValues();
    QVERIFY(std::abs(values[0] - (width - 0.2) / 0.8) < 1e-9);
    QVERIFY(std::abs(values[1] - radius / 0.8) < 1e-9);
    QVERIFY(std::abs(values[2] - veinLength / 0.8) < 1e-9);
    QVERIFY(std::abs(values[3] - (veinAngle - 2.0) / 58.0) < 1e-9);
}

void TestHeartRingLeaf::everyOutlineIsSimpleAndSymmetric()
{
    ShapeList shapes = shape::Heart::createBuiltIns();
    const ShapeList leaves = shape::Leaf::createBuiltIns();
    shapes.insert(shapes.end(), leaves.begin(), leaves.end());
    shapes.push_back(std::make_shared<shape::Heart>());
    shapes.push_back(std::make_shared<shape::Leaf>());
    for (const auto& shape : shapes) {
        const geo::Path outline = std::dynamic_pointer_cast<shape::PolygonBase>(shape)->createFramePath();
        const QString problem = outline::simplicityProblem(outline);
        QVERIFY2(problem.isEmpty(), qPrintable(shape->identifier() + ": " + problem));
        QVERIFY2(outline::isInsideUnitSquare(outline), qPrintable(shape->identifier()));
        QVERIFY2(isMirroredAboutVerticalAxis(outline), qPrintable(shape->identifier()));
        QVERIFY(outline::twiceArea(outline) != 0);
    }
}

void TestHeartRingLeaf::editorValuesGiveSimpleOutlines()
{
    // The shape editor offers every normal value; a grid over them stands in for all.
    QStringList failures;
    const auto check = [&failures](const shape::PolygonBase& shape, const QString& label, bool mustBeSimple) {
        for (const geo::Path& path : shape.createPaths(false)) {
            const QString problem = mustBeSimple ? outline::simplicityProblem(path) : QString();
            if (!problem.isEmpty() || !outline::isInsideUnitSquare(path)) {
                failures << label + ": " + (problem.isEmpty() ? QStringLiteral("outside") : problem);
            }
        }
    };
    for (int ratio = 0; ratio <= 20; ++ratio) {
        for (int angle = 0; angle <= 20; ++angle) {
            shape::Heart heart;
            heart.setModifierValues({ratio / 20.0, angle / 20.0});
            check(heart, QStringLiteral("heart %1 %2").arg(ratio).arg(angle), true);
        }
        shape::Ring ring;
        ring.setRatio(ratio / 20.0);
        check(ring, QStringLiteral("ring %1").arg(ratio), true);
    }
    // A vein whose angle is wide for a narrow leaf cuts through the sides (the shape the editor shows);
    // such leaves only have to stay inside the square.
    const std::vector<double> steps{0.0, 0.1, 0.3, 0.5, 0.75, 0.9, 1.0};
    for (const double width : steps) {
        for (const double radius : steps) {
            for (const double vein : steps) {
                for (const double angle : steps) {
                    shape::Leaf leaf;
                    leaf.setModifierValues({width, radius, vein, angle});
                    check(leaf, QStringLiteral("leaf %1 %2 %3 %4").arg(width).arg(radius).arg(vein).arg(angle),
                          vein == 0.0 || width >= 0.5);
                }
            }
        }
    }
    QVERIFY2(failures.isEmpty(), qPrintable(failures.mid(0, 5).join("; ")));
}

void TestHeartRingLeaf::storedValuesAreClamped()
{
    shape::Heart heart;
    const QVariantMap data{{"version", 1},
                           {"type", "Heart"},
                           {"identifier", "stored-heart"},
                           {"name", "Stored"},
                           {"index", 0},
                           {"modifier", QVariantMap{{"0", 1e5}, {"1", std::nan("")}}}};
    heart.setFromDataOrThrow(data);
    QCOMPARE(heart.modifierValues(), (std::vector<geo::Normal1D>{1.0, 0.0}));
    QVERIFY(outline::simplicityProblem(outlineOf(heart)).isEmpty());

    // A ratio beyond the range would put the tangent point inside the bulge circle.
    const geo::Path overRange = shape::Heart::createPath(1.7, geo::Angle(-45000000));
    QCOMPARE(overRange, shape::Heart::createPath(1.0, geo::Angle(-45000000)));
}

MOTIFEX_TEST_MAIN(TestHeartRingLeaf)
#include "tst_heartringleaf.moc"
