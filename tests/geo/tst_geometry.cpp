#include "common/TestMain.h"

#include "geo/AngleSegment.h"
#include "geo/Circle.h"
#include "geo/Ellipse.h"
#include "geo/Path.h"
#include "geo/Transform2D.h"
#include "geo/Vector.h"

#include <cmath>
#include <limits>
#include <random>

using namespace geo;

namespace {

using Points = std::vector<Point2D>;
constexpr qint64 maxFixed = std::numeric_limits<qint64>::max();
constexpr qint64 minFixed = std::numeric_limits<qint64>::min();

qint64 mm(double millimeters)
{
    return fixedFromDouble(millimeters);
}

Point2D pointMm(double x, double y)
{
    return Point2D(mm(x), mm(y));
}

Angle degrees(double value)
{
    return Angle::fromDegrees(value);
}

QList<qint64> values(const std::vector<Angle>& angles)
{
    QList<qint64> result;
    for (const Angle angle : angles) {
        result.append(angle.value());
    }
    return result;
}

bool isNear(const Point2D& actual, const Point2D& expected, qint64 tolerance)
{
    return std::abs(actual.x() - expected.x()) <= tolerance && std::abs(actual.y() - expected.y()) <= tolerance;
}

Points pointsMm(std::initializer_list<std::pair<double, double>> coordinates)
{
    Points points;
    for (const auto& [x, y] : coordinates) {
        points.push_back(pointMm(x, y));
    }
    return points;
}

// (b − a) × (c − a), exact for coordinates within ±2^62.
__int128 orientation(const Point2D& a, const Point2D& b, const Point2D& c)
{
    return static_cast<__int128>(b.x() - a.x()) * (c.y() - a.y()) - static_cast<__int128>(b.y() - a.y()) * (c.x() - a.x());
}

// The textbook even-odd count: an edge counts when it crosses the line of the point with one end strictly
// below it, to the right of the point. Valid for points off the outline.
bool crossingRuleContains(const Point2D& point, const Points& outline)
{
    bool inside = false;
    for (std::size_t i = 0; i < outline.size(); ++i) {
        const Point2D& a = outline[i];
        const Point2D& b = outline[(i + 1) % outline.size()];
        if ((a.y() > point.y()) != (b.y() > point.y())) {
            const __int128 side = orientation(a, b, point);
            if (b.y() > a.y() ? side > 0 : side < 0) {
                inside = !inside;
            }
        }
    }
    return inside;
}

// The exact distance from the point to the outline, by projection onto each edge.
long double projectedDistance(const Point2D& point, const Points& outline)
{
    long double best = std::numeric_limits<long double>::max();
    for (std::size_t i = 0; i < outline.size(); ++i) {
        const Point2D& a = outline[i];
        const Point2D& b = outline[(i + 1) % outline.size()];
        const long double dx = static_cast<long double>(b.x()) - a.x();
        const long double dy = static_cast<long double>(b.y()) - a.y();
        const long double lengthSquared = dx * dx + dy * dy;
        const long double along = lengthSquared == 0 ? 0 : ((point.x() - a.x()) * dx + (point.y() - a.y()) * dy) / lengthSquared;
        const long double t = std::clamp(along, 0.0L, 1.0L);
        best = std::min(best, std::hypot(a.x() + dx * t - point.x(), a.y() + dy * t - point.y()));
    }
    return best;
}

} // namespace

class TestGeometry : public QObject
{
    Q_OBJECT

private slots:
    void toSequence_data()
    {
        QTest::addColumn<double>("begin");
        QTest::addColumn<double>("end");
        QTest::addColumn<double>("step");
        QTest::addColumn<QList<qint64>>("expected");
        QTest::newRow("0 to 90 by 30") << 0.0 << 90.0 << 30.0 << QList<qint64>{0, 22500000, 45000000, 90000000};
        QTest::newRow("backwards") << 90.0 << 0.0 << 30.0 << QList<qint64>{90000000, 67500000, 45000000, 0};
        QTest::newRow("step limited to 45") << 0.0 << 90.0 << 100.0 << QList<qint64>{0, 29999970, 90000000};
        QTest::newRow("one step") << 0.0 << 10.0 << 45.0 << QList<qint64>{0, 10000000};
        QTest::newRow("half a step rounds up") << 0.0 << 75.0 << 30.0 << QList<qint64>{0, 18750000, 37500000, 75000000};
        QTest::newRow("below half rounds down") << 0.0 << 74.0 << 30.0 << QList<qint64>{0, 24666642, 74000000};
        QTest::newRow("empty range") << 33.0 << 33.0 << 10.0 << QList<qint64>{33000000};
        // t = 1/3 is the factor 333333 and 1 − t the factor 666666.
        QTest::newRow("across a full turn") << 350.0 << 370.0 << 10.0 << QList<qint64>{350000000, 356666310, 370000000};
    }
    void toSequence()
    {
        QFETCH(double, begin);
        QFETCH(double, end);
        QFETCH(double, step);
        QFETCH(QList<qint64>, expected);
        QCOMPARE(values(AngleSegment(degrees(begin), degrees(end)).toSequence(degrees(step))), expected);
    }

    // Steps below 0.1 degree become 0.1 degree. Ten full turns at that step is the most a sequence
    // holds: a range between extreme angles from a file must not ask for 10^14 angles.
    void toSequenceCount_data()
    {
        QTest::addColumn<qint64>("begin");
        QTest::addColumn<qint64>("end");
        QTest::addColumn<double>("step");
        QTest::addColumn<int>("count");
        QTest::newRow("step 0") << qint64(0) << qint64(90000000) << 0.0 << 901;
        QTest::newRow("ten turns") << qint64(0) << qint64(3600000000) << 0.1 << 36001;
        QTest::newRow("beyond ten turns") << qint64(0) << qint64(3600500000) << 0.1 << 36001;
        QTest::newRow("whole range") << minFixed << maxFixed << 0.0 << 36001;
        QTest::newRow("whole range backwards") << maxFixed << minFixed << 0.0 << 36001;
    }
    void toSequenceCount()
    {
        QFETCH(qint64, begin);
        QFETCH(qint64, end);
        QFETCH(double, step);
        QFETCH(int, count);
        const std::vector<Angle> angles = AngleSegment(Angle(begin), Angle(end)).toSequence(degrees(step));
        QCOMPARE(angles.size(), std::size_t(count));
        QCOMPARE(angles.front().value(), begin);
        QCOMPARE(angles.back().value(), end);
        QVERIFY(begin < end ? std::is_sorted(angles.begin(), angles.end()) : std::is_sorted(angles.rbegin(), angles.rend()));
    }

    void segmentsAndDirections()
    {
        const Point2D start = pointMm(10, -20);
        QCOMPARE(Vector(start, start + pointMm(0, -5)).angle().value(), qint64(270000000));
        QCOMPARE(Vector(start, start + Point2D(-1, 0)).angle().value(), qint64(180000000));
        QCOMPARE(Vector(start, start).angle().value(), qint64(0));
        QVERIFY(std::abs(Vector(start, start + pointMm(-1, -1)).angle().value() + 135000000) <= 1);
        const AngleSegment wrapping(degrees(350), degrees(10));
        QVERIFY(wrapping.isInside(degrees(365)) && !wrapping.isInside(degrees(180)));
        QVERIFY(wrapping.doesOverlap(AngleSegment(degrees(5), degrees(40))));
        QCOMPARE(AngleSegment(degrees(-10), degrees(370)).normalized(), wrapping);
        QCOMPARE(AngleSegment::sector(Angle(-1)), AngleSegment(degrees(270), degrees(360)));
    }

    void circleTangents_data()
    {
        QTest::addColumn<Point2D>("point");
        QTest::addColumn<double>("begin");
        QTest::addColumn<double>("end");
        QTest::newRow("right") << pointMm(2, 0) << -60.0 << 60.0;
        // The truncated distance is shorter than the radius: the ratio exceeds 1 by a hair.
        QTest::newRow("a hair inside") << Point2D(707106, 707106) << 45.0 << 45.0;
    }
    void circleTangents()
    {
        QFETCH(Point2D, point);
        QFETCH(double, begin);
        QFETCH(double, end);
        const Circle circle(Point2D(0, 0), Length(1000000));
        const AngleSegment angles = circle.tangentAngles(point);
        QVERIFY(std::abs(angles.begin().value() - degrees(begin).value()) <= 2);
        QVERIFY(std::abs(angles.end().value() - degrees(end).value()) <= 2);
        QCOMPARE(circle.tangentPoints(point).second, circle.pointAtAngle(angles.end()));
    }

    void circleAndEllipsePoints()
    {
        const Circle circle(pointMm(1, 2), Length(3000000));
        QCOMPARE(circle.pointAtAngle(degrees(-90)), pointMm(1, -1));
        QVERIFY(isNear(circle.pointAtAngle(degrees(45)), Point2D(1000000 + 2121318, 2000000 + 2121318), 3));
        const Path arc = Circle(Point2D(0, 0), Length(2000000)).toPath(AngleSegment(Angle(0), degrees(90)), degrees(30));
        QCOMPARE(arc.points().back(), pointMm(0, 2));
        const Ellipse ellipse(Point2D(0, 0), Size(10000000, 6000000));
        QCOMPARE(ellipse.toPath(4).points(), pointsMm({{5, 0}, {0, 3}, {-5, 0}, {0, -3}}));
        QVERIFY(ellipse.toPath(0).isEmpty());
        QCOMPARE(Ellipse(Point2D(0, 0), Size(11, -7)).radii(), Size(5, -3));
    }

    void ellipseFramePoint_data()
    {
        QTest::addColumn<double>("angle");
        QTest::addColumn<Point2D>("expected");
        QTest::addColumn<qint64>("tolerance");
        // Centre (1, 1) mm, radii 5 and 3 mm. Off the axes the cosine and sine become millionths before
        // the product, which costs up to one unit per millimetre of radius.
        const double diagonal = 5.0 * 3.0 / std::sqrt(34.0); // where the 45° ray meets the ellipse
        QTest::newRow("90") << 90.0 << pointMm(1, 4) << qint64(0);
        QTest::newRow("180") << 180.0 << pointMm(-4, 1) << qint64(0);
        QTest::newRow("270") << 270.0 << pointMm(1, -2) << qint64(1);
        QTest::newRow("135") << 135.0 << pointMm(1 - diagonal, 1 + diagonal) << qint64(5);
    }
    void ellipseFramePoint()
    {
        QFETCH(double, angle);
        QFETCH(Point2D, expected);
        QFETCH(qint64, tolerance);
        QVERIFY(isNear(Ellipse(pointMm(1, 1), Size(10000000, 6000000)).framePoint(degrees(angle)), expected, tolerance));
        QVERIFY(isNear(Ellipse(Point2D(0, 0), Size(4000000, 4000000)).framePoint(degrees(angle)),
                   Point2D::normalFromAngle(degrees(angle)) * Normal1D(2.0), 2));
    }

    void doesIntersect_data()
    {
        QTest::addColumn<Points>("segments");
        QTest::addColumn<bool>("expected");
        const QList<std::pair<const char*, std::pair<Points, bool>>> cases{
            {"crossing", {pointsMm({{0, 0}, {10, 10}, {0, 10}, {10, 0}}), true}},
            {"end touches end", {pointsMm({{0, 0}, {10, 0}, {10, 0}, {10, 10}}), true}},
            {"collinear overlap", {pointsMm({{0, 0}, {10, 0}, {5, 0}, {15, 0}}), false}},
            {"parallel", {pointsMm({{0, 0}, {10, 0}, {0, 1}, {10, 1}}), false}},
            {"boxes apart", {pointsMm({{0, 0}, {1, 1}, {5, 5}, {6, 7}}), false}},
            {"boxes overlap, segments miss", {pointsMm({{0, 0}, {10, 10}, {6, 0}, {10, 3}}), false}},
            {"near miss", {pointsMm({{0, 0}, {10, 10}, {0, 1}, {4, 4.001}}), false}},
        };
        // Coordinate differences of metres overflow a 64-bit cross product.
        for (const double scale : {1.0, 400.0, 5000.0}) {
            for (const auto& [name, segmentsAndResult] : cases) {
                Points scaled;
                for (const Point2D& point : segmentsAndResult.first) {
                    scaled.push_back(point * Normal1D(scale));
                }
                QTest::addRow("%s x%g", name, scale) << scaled << segmentsAndResult.second;
            }
        }
        QTest::newRow("across the whole range")
            << Points{{minFixed, minFixed}, {maxFixed, maxFixed}, {minFixed, maxFixed}, {maxFixed, minFixed}} << true;
        QTest::newRow("parallel across the whole range")
            << Points{{minFixed, minFixed}, {maxFixed, maxFixed}, {minFixed + 2000000, minFixed}, {maxFixed, maxFixed - 2000000}}
            << false;
    }
    void doesIntersect()
    {
        QFETCH(Points, segments);
        QFETCH(bool, expected);
        const Vector first(segments[0], segments[1]);
        const Vector second(segments[2], segments[3]);
        QCOMPARE(first.doesIntersect(second), expected);
        QCOMPARE(second.doesIntersect(first), expected);
        QCOMPARE(Vector(segments[1], segments[0]).doesIntersect(second), expected);
    }

    void containsPoint_data()
    {
        QTest::addColumn<Points>("outline");
        QTest::addColumn<Point2D>("point");
        QTest::addColumn<bool>("expected");
        const Points diamond = pointsMm({{5, 0}, {10, 5}, {5, 10}, {0, 5}});
        QTest::newRow("diamond: level with crossing vertex") << diamond << pointMm(3, 5) << true;
        QTest::newRow("diamond: level with touching vertex") << diamond << pointMm(3, 0) << false;
        QTest::newRow("diamond: beyond the box") << diamond << pointMm(11, 5) << false;
        QTest::newRow("two points") << pointsMm({{0, 0}, {10, 10}}) << pointMm(5, 5) << false;
        const Points notchFromAbove = pointsMm({{0, 0}, {5, 5}, {10, 0}, {10, 10}, {0, 10}});
        QTest::newRow("notch: left of its vertex") << notchFromAbove << pointMm(2, 5) << true;
        // The outline runs along the ray before it leaves to the other side: one crossing.
        const Points step = pointsMm({{0, 0}, {10, 0}, {10, 5}, {6, 5}, {6, 10}, {0, 10}});
        QTest::newRow("step: level with the step") << step << pointMm(3, 5) << true;
        const double arm = 0.3;
        const Points cross = pointsMm({{-arm, -1}, {arm, -1}, {arm, -arm}, {1, -arm}, {1, arm}, {arm, arm},
                                       {arm, 1}, {-arm, 1}, {-arm, arm}, {-1, arm}, {-1, -arm}, {-arm, -arm}});
        QTest::newRow("cross: level with the upper arm edges") << cross << pointMm(0, -arm) << true;
        QTest::newRow("cross: level with the lower arm edges") << cross << pointMm(-0.1, arm) << true;
        // The outline runs along the ray and returns to the same side: a touch.
        const Points notchFromBelow = pointsMm({{0, 0}, {10, 0}, {10, 10}, {7, 10}, {7, 5}, {3, 5}, {3, 10}, {0, 10}});
        QTest::newRow("notch below: level with its top") << notchFromBelow << pointMm(1, 5) << true;
        QTest::newRow("notch below: inside the notch") << notchFromBelow << pointMm(5, 7) << false;
    }
    void containsPoint()
    {
        QFETCH(Points, outline);
        QFETCH(Point2D, point);
        QFETCH(bool, expected);
        QCOMPARE(Path(outline).containsPoint(point), expected);
        QCOMPARE(Path(outline).reversed().containsPoint(point), expected);
    }

    // Outlines on a coarse grid meet the ray at vertices and along edges all the time; every point off
    // the outline must agree with the textbook crossing rule.
    void containsPointRandomOutlines()
    {
        std::mt19937_64 random(3);
        std::uniform_int_distribution<int> grid(0, 8);
        int checked = 0;
        for (int polygon = 0; polygon < 400; ++polygon) {
            Points outline(3 + polygon % 7);
            for (Point2D& point : outline) {
                point = pointMm(grid(random), grid(random));
            }
            for (int x = 0; x <= 16; ++x) {
                for (int y = 0; y <= 16; ++y) {
                    const Point2D point = pointMm(x * 0.5, y * 0.5);
                    if (projectedDistance(point, outline) >= 1) {
                        QVERIFY2(Path(outline).containsPoint(point) == crossingRuleContains(point, outline),
                                 qPrintable(QStringLiteral("polygon %1, point %2, %3").arg(polygon).arg(x).arg(y)));
                        ++checked;
                    }
                }
            }
        }
        QVERIFY(checked > 50000);
    }

    // The bisection stops when its midpoint rounds to an end at 0.001 mm in both coordinates, which can
    // leave it √2 × 0.001 mm from a closest end point; or when the squared distances to the two ends
    // differ by less than 0.001 mm², which can leave it √0.001 / 2 ≈ 0.016 mm along the edge from the
    // foot of a point near the edge (for a point 1 mm away that shifts the distance by 0.00013 mm only).
    void closestPointAgainstProjection()
    {
        std::mt19937_64 random(5);
        std::uniform_int_distribution<qint64> coordinate(mm(-25), mm(25));
        std::uniform_int_distribution<qint64> corner(mm(-20), mm(20));
        std::uniform_real_distribution<double> along(0.0, 1.0);
        std::uniform_int_distribution<qint64> offset(-2000, 2000);
        for (int outlineIndex = 0; outlineIndex < 60; ++outlineIndex) {
            Points outline(1 + outlineIndex % 7);
            for (Point2D& point : outline) {
                point = Point2D(corner(random), corner(random));
            }
            const Path path(outline);
            for (int query = 0; query < 25; ++query) {
                Point2D point(coordinate(random), coordinate(random));
                if (query % 2 == 0) { // near an edge
                    const Vector edge(outline[query % outline.size()], outline[(query + 1) % outline.size()]);
                    point = edge.pointOnVectorAtDistance(Length(mm(edge.length().toDouble() * along(random))))
                        + Point2D(offset(random), offset(random));
                }
                const PointAndDistance result = path.closestPointAndDistanceOnPath(point);
                const long double reference = projectedDistance(point, outline);
                const long double tolerance = reference >= 1000000 ? 1500 : 16500;
                QVERIFY2(std::abs(result.distance.value() - reference) <= tolerance, qPrintable(QString::number(outlineIndex)));
                QCOMPARE(result.distance, result.point.distanceTo(point));
                QVERIFY(projectedDistance(result.point, outline) <= 600);
            }
        }
    }

    void closestPointRules()
    {
        QCOMPARE(Path().closestPointAndDistanceOnPath(pointMm(3, 4)).point, Point2D(0, 0));
        QCOMPARE(Path().closestPointAndDistanceOnPath(pointMm(3, 4)).distance.value(), qint64(0));
        const Rectangle square(Point2D(0, 0), Size(mm(10), mm(10)));
        // Every edge is 5 mm from the centre; the first edge of the outline wins.
        QCOMPARE(square.toPath().closestPointAndDistanceOnPath(pointMm(5, 5)).point, pointMm(5, 0));
        QCOMPARE(square.toPath().closestPointAndDistanceOnPath(pointMm(10, 10)).distance.value(), qint64(0));
        const Vector segment(pointMm(0, 0), pointMm(10, 0));
        QCOMPARE(segment.closerSegment(pointMm(2, 3)), Vector(pointMm(0, 0), pointMm(5, 0)));
        QCOMPARE(segment.closerSegment(pointMm(5, 7)), Vector(pointMm(5, 0), pointMm(5, 0)));
        QCOMPARE(Vector(Point2D(0, 0), Point2D(1500, 0)).closerSegment(Point2D(0, 9)), Vector(Point2D(750, 0), Point2D(750, 0)));
        const Vector vector(pointMm(1, 1), pointMm(4, 5));
        QCOMPARE(vector.pointOnVectorAtDistance(Length(-1000000)), pointMm(1, 1));
        QCOMPARE(vector.pointOnVectorAtDistance(Length(mm(50))), pointMm(4, 5));
        const Point2D half = vector.pointOnVectorAtDistance(Length(mm(2.5)));
        QVERIFY(std::abs(half.x() - mm(2.5)) <= 1 && std::abs(half.y() - mm(3)) <= 1);
        // A rectangle's ties go to the left, right, top and bottom edge in this order; the other
        // coordinate is not clamped.
        QCOMPARE(square.closestPointOnPath(pointMm(5, 5)).point, pointMm(0, 5));
        QCOMPARE(square.closestPointOnPath(pointMm(9, 1)).point, pointMm(10, 1));
        QCOMPARE(Rectangle(Point2D(0, 0), Size(mm(10), mm(2))).closestPointOnPath(pointMm(5, 1)).point, pointMm(5, 0));
        const PointAndDistance outside = square.closestPointOnPath(pointMm(12, 20));
        QCOMPARE(outside.point, pointMm(10, 20));
        QCOMPARE(outside.distance.value(), mm(2));
        const Rectangle rectangle(pointMm(1, 2), Size(mm(3), mm(4)));
        QCOMPARE(rectangle.toPath().points(), pointsMm({{1, 2}, {4, 2}, {4, 6}, {1, 6}}));
        QCOMPARE(rectangle.toPath().boundingBox(), rectangle);
    }

    void joinClosePoints_data()
    {
        QTest::addColumn<Points>("points");
        QTest::addColumn<int>("level");
        QTest::addColumn<Points>("expected");
        QTest::newRow("merge skips the next pair") << pointsMm({{0, 0}, {0.04, 0}, {0.08, 0}, {0.12, 0}, {1, 0}}) << 1
                                                   << pointsMm({{0.02, 0}, {0.08, 0}, {0.12, 0}, {1, 0}});
        QTest::newRow("last and first never compared") << Points{{0, 0}, {5000000, 0}, {10000, 0}} << 1
                                                       << Points{{0, 0}, {5000000, 0}, {10000, 0}};
        QTest::newRow("exact level merges identical points") << Points{{1, 0}, {1, 0}, {2, 0}} << 6 << Points{{1, 0}, {2, 0}};
        QTest::newRow("midpoint truncates toward zero") << Points{{-1, 0}, {-2, 0}} << 3 << Points{{-1, 0}};
        QTest::newRow("both coordinates must be equal") << Points{{0, 0}, {10000, 3000000}, {20000, 3010000}} << 1
                                                        << Points{{0, 0}, {15000, 3005000}};
    }
    void joinClosePoints()
    {
        QFETCH(Points, points);
        QFETCH(int, level);
        QFETCH(Points, expected);
        Path path(points);
        path.joinClosePoints(Precision::fromLevel(level));
        QCOMPARE(path.points(), expected);
        QCOMPARE(path.boundingBox(), Rectangle::boundingBox(expected));
    }

    // The box grows point by point; it must match a recomputation, also where the size saturates.
    void pathOperationsAndTransforms()
    {
        std::mt19937_64 random(9);
        std::uniform_int_distribution<qint64> coordinate(minFixed, maxFixed);
        for (int run = 0; run < 50; ++run) {
            Path path;
            const qint64 divisor = run % 2 == 0 ? 1 : 1000000;
            for (int i = 0; i < 30; ++i) {
                path.addPoint(Point2D(coordinate(random) / divisor, coordinate(random) / divisor));
                QCOMPARE(path.boundingBox(), Rectangle::boundingBox(path.points()));
            }
        }
        Path path(pointsMm({{1, 1}, {3, 5}, {-2, 0}}));
        path.addPath(Path(pointsMm({{10, -4}})));
        QCOMPARE(path.boundingBox(), Rectangle(pointMm(-2, -4), Size(mm(12), mm(9))));
        const Point2D offset(123456789012345, -1);
        QCOMPARE(path.translated(offset)[0], Point2D(mm(1) + 123456789012345, mm(1) - 1));
        QCOMPARE(path.transformed(Transform2D::translation(pointMm(1, 2))), path.translated(pointMm(1, 2)));
        const Path scaled = path.scaled(Normal2D(0.5, std::numeric_limits<double>::quiet_NaN()));
        QCOMPARE(scaled.points(), pointsMm({{0.5, 0}, {1.5, 0}, {-1, 0}, {5, 0}}));
        QCOMPARE(scaled.boundingBox(), Rectangle::boundingBox(scaled.points()));
        const Rectangle box = path.boundingBox();
        path.reverse();
        QCOMPARE(path.points(), pointsMm({{10, -4}, {-2, 0}, {3, 5}, {1, 1}}));
        QCOMPARE(path.boundingBox(), box);
        const Path rotated = path.rotated(degrees(30));
        QCOMPARE(rotated, path.transformed(Transform2D::rotation(degrees(30))));
        QCOMPARE(path.rotated(degrees(-90))[3], pointMm(1, -1));
        QCOMPARE(Transform2D(1, 0, 2.5, 0, 1, -1).map(pointMm(1, 1)), pointMm(3.5, 0)); // tx, ty in millimetres
        QCOMPARE(Transform2D::scaling(0.5, 0.5).map(Point2D(3, -3)), Point2D(1, -1));
        QCOMPARE(Transform2D(1, 2, 0, 0, 1, 0).map(pointMm(1, 1)), pointMm(3, 1));
        QCOMPARE(Transform2D::rotation(degrees(90)).map(pointMm(1, 0)), pointMm(0, 1));
        QCOMPARE((Transform2D::translation(pointMm(1, 0)) * Transform2D::scaling(2, 3)).map(pointMm(1, 1)), pointMm(3, 3));
        QCOMPARE(Transform2D::scaling(4, 1).map(Point2D(maxFixed, 1)), Point2D(maxFixed, 1));
    }
};

MOTIFEX_TEST_MAIN(TestGeometry)
#include "tst_geometry.moc"
