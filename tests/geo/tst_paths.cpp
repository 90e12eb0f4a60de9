#include "common/TestMain.h"

#include "geo/Path.h"
#include "geo/Rectangle.h"
#include "geo/Transform2D.h"
#include "geo/Vector.h"

#include <cmath>
#include <limits>
#include <random>

namespace geo {
char* toString(const Point2D& point)
{
    return qstrdup(QByteArray::number(point.x()) + ", " + QByteArray::number(point.y()));
}
} // namespace geo

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

bool isOnSegment(const Point2D& point, const Point2D& a, const Point2D& b)
{
    return orientation(a, b, point) == 0 && std::min(a.x(), b.x()) <= point.x() && point.x() <= std::max(a.x(), b.x())
        && std::min(a.y(), b.y()) <= point.y() && point.y() <= std::max(a.y(), b.y());
}

bool isOnOutline(const Point2D& point, const Points& outline)
{
    for (std::size_t i = 0; i < outline.size(); ++i) {
        if (isOnSegment(point, outline[i], outline[(i + 1) % outline.size()])) {
            return true;
        }
    }
    return false;
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

// The distance from the point to an edge sampled at steps of at most 0.001 mm. The distance along an edge
// is convex, so a pass at 0.1 mm and a fine pass around its best sample find the same minimum.
long double sampledEdgeDistance(const Point2D& point, const Point2D& a, const Point2D& b)
{
    const long double dx = static_cast<long double>(b.x()) - a.x();
    const long double dy = static_cast<long double>(b.y()) - a.y();
    const auto distanceAt = [&](long double t) {
        const long double x = a.x() + dx * t - point.x();
        const long double y = a.y() + dy * t - point.y();
        return std::sqrt(x * x + y * y);
    };
    const long double length = std::hypot(dx, dy);
    const int coarseSamples = static_cast<int>(length / 100000.0L) + 1;
    int bestCoarse = 0;
    for (int k = 1; k <= coarseSamples; ++k) {
        if (distanceAt(static_cast<long double>(k) / coarseSamples) < distanceAt(static_cast<long double>(bestCoarse) / coarseSamples)) {
            bestCoarse = k;
        }
    }
    const long double from = static_cast<long double>(std::max(bestCoarse - 1, 0)) / coarseSamples;
    const long double to = static_cast<long double>(std::min(bestCoarse + 1, coarseSamples)) / coarseSamples;
    const int fineSamples = static_cast<int>(length * (to - from) / 1000.0L) + 1;
    long double best = std::numeric_limits<long double>::max();
    for (int k = 0; k <= fineSamples; ++k) {
        best = std::min(best, distanceAt(from + (to - from) * k / fineSamples));
    }
    return best;
}

long double sampledDistance(const Point2D& point, const Points& outline)
{
    long double best = std::numeric_limits<long double>::max();
    for (std::size_t i = 0; i < outline.size(); ++i) {
        best = std::min(best, sampledEdgeDistance(point, outline[i], outline[(i + 1) % outline.size()]));
    }
    return best;
}

Points randomOutline(std::mt19937_64& random, int count, qint64 extent)
{
    std::uniform_int_distribution<qint64> coordinate(-extent, extent);
    Points points;
    for (int i = 0; i < count; ++i) {
        points.emplace_back(coordinate(random), coordinate(random));
    }
    return points;
}

} // namespace

class TestPaths : public QObject
{
    Q_OBJECT

private slots:
    void doesIntersect_data()
    {
        QTest::addColumn<Points>("segments");
        QTest::addColumn<bool>("expected");
        const QList<std::pair<const char*, std::pair<Points, bool>>> cases{
            {"crossing", {pointsMm({{0, 0}, {10, 10}, {0, 10}, {10, 0}}), true}},
            {"end touches end", {pointsMm({{0, 0}, {10, 0}, {10, 0}, {10, 10}}), true}},
            {"end touches middle", {pointsMm({{0, 0}, {10, 0}, {5, 0}, {5, 10}}), true}},
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

    // Segments metres long against exact orientation tests; cases within the truncation of the scaled
    // cross products are left out.
    void doesIntersectRandom()
    {
        std::mt19937_64 random(11);
        int intersecting = 0;
        int apart = 0;
        for (int i = 0; i < 20000; ++i) {
            const Points ends = randomOutline(random, 4, mm(5000));
            const __int128 o1 = orientation(ends[0], ends[1], ends[2]);
            const __int128 o2 = orientation(ends[0], ends[1], ends[3]);
            const __int128 o3 = orientation(ends[2], ends[3], ends[0]);
            const __int128 o4 = orientation(ends[2], ends[3], ends[1]);
            const __int128 margin = 100000000;
            if (std::min({o1 < 0 ? -o1 : o1, o2 < 0 ? -o2 : o2, o3 < 0 ? -o3 : o3, o4 < 0 ? -o4 : o4}) < margin) {
                continue;
            }
            const bool expected = (o1 < 0) != (o2 < 0) && (o3 < 0) != (o4 < 0);
            QCOMPARE(Vector(ends[0], ends[1]).doesIntersect(Vector(ends[2], ends[3])), expected);
            ++(expected ? intersecting : apart);
        }
        QVERIFY(intersecting > 1000 && apart > 1000);
    }

    void containsPoint_data()
    {
        QTest::addColumn<Points>("outline");
        QTest::addColumn<Point2D>("point");
        QTest::addColumn<bool>("expected");
        const Points diamond = pointsMm({{5, 0}, {10, 5}, {5, 10}, {0, 5}});
        QTest::newRow("diamond: level with crossing vertex") << diamond << pointMm(3, 5) << true;
        QTest::newRow("diamond: level with touching vertex") << diamond << pointMm(3, 0) << false;
        QTest::newRow("diamond: centre") << diamond << pointMm(5, 5) << true;
        QTest::newRow("diamond: near the right vertex") << diamond << pointMm(9.9, 5) << true;
        QTest::newRow("diamond: corner of the box") << diamond << pointMm(0.5, 0.5) << false;
        QTest::newRow("diamond: beyond the box") << diamond << pointMm(11, 5) << false;
        QTest::newRow("two points") << pointsMm({{0, 0}, {10, 10}}) << pointMm(5, 5) << false;
        const Points notchFromAbove = pointsMm({{0, 0}, {5, 5}, {10, 0}, {10, 10}, {0, 10}});
        QTest::newRow("notch: left of its vertex") << notchFromAbove << pointMm(2, 5) << true;
        QTest::newRow("notch: right of its vertex") << notchFromAbove << pointMm(7, 5) << true;
        QTest::newRow("notch: inside the notch") << notchFromAbove << pointMm(5, 2) << false;
        // The outline runs along the ray before it leaves to the other side: one crossing.
        const Points step = pointsMm({{0, 0}, {10, 0}, {10, 5}, {6, 5}, {6, 10}, {0, 10}});
        QTest::newRow("step: level with the step") << step << pointMm(3, 5) << true;
        QTest::newRow("step: below the step") << step << pointMm(3, 7) << true;
        QTest::newRow("step: beside the step") << step << pointMm(8, 7) << false;
        const double arm = 0.3;
        const Points cross = pointsMm({{-arm, -1}, {arm, -1}, {arm, -arm}, {1, -arm}, {1, arm}, {arm, arm},
                                       {arm, 1}, {-arm, 1}, {-arm, arm}, {-1, arm}, {-1, -arm}, {-arm, -arm}});
        QTest::newRow("cross: level with the upper arm edges") << cross << pointMm(0, -arm) << true;
        QTest::newRow("cross: level with the lower arm edges") << cross << pointMm(-0.1, arm) << true;
        QTest::newRow("cross: between the arms") << cross << pointMm(-0.5, -0.5) << false;
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
        std::uniform_int_distribution<int> count(3, 9);
        std::uniform_int_distribution<int> grid(0, 8);
        int checked = 0;
        for (int polygon = 0; polygon < 400; ++polygon) {
            Points outline;
            const int size = count(random);
            for (int i = 0; i < size; ++i) {
                outline.push_back(pointMm(grid(random), grid(random)));
            }
            const Path path(outline);
            for (int x = 0; x <= 16; ++x) {
                for (int y = 0; y <= 16; ++y) {
                    const Point2D point = pointMm(x * 0.5, y * 0.5);
                    if (isOnOutline(point, outline)) {
                        continue;
                    }
                    QVERIFY2(path.containsPoint(point) == crossingRuleContains(point, outline),
                             qPrintable(QStringLiteral("polygon %1, point %2, %3").arg(polygon).arg(x * 0.5).arg(y * 0.5)));
                    ++checked;
                }
            }
        }
        QVERIFY(checked > 50000);
    }

    // The bisection stops when its midpoint rounds to an end at 0.001 mm in both coordinates, which can
    // leave it √2 × 0.001 mm from a closest end point; or when the squared distances to the two ends
    // differ by less than 0.001 mm², which can leave it √0.001 / 2 ≈ 0.016 mm along the edge from the
    // foot of a point near the edge (for a point 1 mm away that shifts the distance by 0.00013 mm only).
    void closestPointAgainstSampling()
    {
        std::mt19937_64 random(5);
        std::uniform_int_distribution<qint64> coordinate(mm(-25), mm(25));
        std::uniform_int_distribution<int> count(1, 7);
        std::uniform_real_distribution<double> along(0.0, 1.0);
        std::uniform_int_distribution<qint64> offset(-2000, 2000);
        for (int outlineIndex = 0; outlineIndex < 60; ++outlineIndex) {
            const Points outline = randomOutline(random, count(random), mm(20));
            const Path path(outline);
            for (int query = 0; query < 25; ++query) {
                Point2D point(coordinate(random), coordinate(random));
                if (query % 2 == 0) {
                    const Vector edge(outline[query % outline.size()], outline[(query + 1) % outline.size()]);
                    point = edge.pointOnVectorAtDistance(Length::fromDouble(edge.length().toDouble() * along(random)))
                        + Point2D(offset(random), offset(random));
                }
                const PointAndDistance result = path.closestPointAndDistanceOnPath(point);
                const long double reference = sampledDistance(point, outline);
                const long double tolerance = reference >= 1000000 ? 1500 : 16500;
                QVERIFY2(std::abs(result.distance.value() - reference) <= tolerance,
                         qPrintable(QStringLiteral("%1 against %2 for (%3, %4) on outline %5")
                                        .arg(result.distance.value())
                                        .arg(static_cast<double>(reference), 0, 'f', 2)
                                        .arg(point.x())
                                        .arg(point.y())
                                        .arg(outlineIndex)));
                QCOMPARE(result.distance, result.point.distanceTo(point));
                QVERIFY(sampledDistance(result.point, outline) <= 600);
            }
        }
    }

    void closestPointRules()
    {
        QCOMPARE(Path().closestPointAndDistanceOnPath(pointMm(3, 4)).point, Point2D(0, 0));
        QCOMPARE(Path().closestPointAndDistanceOnPath(pointMm(3, 4)).distance.value(), qint64(0));
        const Path square(pointsMm({{0, 0}, {10, 0}, {10, 10}, {0, 10}}));
        // Every edge is 5 mm from the centre; the first edge wins.
        const PointAndDistance centre = square.closestPointAndDistanceOnPath(pointMm(5, 5));
        QCOMPARE(centre.point, pointMm(5, 0));
        QCOMPARE(centre.distance.value(), mm(5));
        const PointAndDistance vertex = square.closestPointAndDistanceOnPath(pointMm(10, 10));
        QCOMPARE(vertex.point, pointMm(10, 10));
        QCOMPARE(vertex.distance.value(), qint64(0));
        const PointAndDistance single = Path({pointMm(1, 1)}).closestPointAndDistanceOnPath(pointMm(4, 5));
        QCOMPARE(single.point, pointMm(1, 1));
        QCOMPARE(single.distance.value(), mm(5));
        const Vector segment(pointMm(0, 0), pointMm(10, 0));
        QCOMPARE(segment.closestPointAndDistanceOnPath(pointMm(10, 0)).point, pointMm(10, 0));
        QCOMPARE(segment.closestPointAndDistanceOnPath(pointMm(0, 0)).distance.value(), qint64(0));
        QCOMPARE(segment.closerSegment(pointMm(2, 3)), Vector(pointMm(0, 0), pointMm(5, 0)));
        QCOMPARE(segment.closerSegment(pointMm(8, -3)), Vector(pointMm(5, 0), pointMm(10, 0)));
        QCOMPARE(segment.closerSegment(pointMm(5, 7)), Vector(pointMm(5, 0), pointMm(5, 0)));
        QCOMPARE(Vector(Point2D(0, 0), Point2D(1500, 0)).closerSegment(Point2D(0, 9)), Vector(Point2D(750, 0), Point2D(750, 0)));
    }

    void pointOnVectorAtDistance_data()
    {
        QTest::addColumn<double>("distance");
        QTest::addColumn<Point2D>("expected");
        QTest::newRow("zero") << 0.0 << pointMm(1, 1);
        QTest::newRow("half") << 2.5 << pointMm(2.5, 3);
        QTest::newRow("length") << 5.0 << pointMm(4, 5);
        QTest::newRow("beyond") << 50.0 << pointMm(4, 5);
        QTest::newRow("negative") << -1.0 << pointMm(1, 1);
    }
    void pointOnVectorAtDistance()
    {
        QFETCH(double, distance);
        QFETCH(Point2D, expected);
        const Point2D point = Vector(pointMm(1, 1), pointMm(4, 5)).pointOnVectorAtDistance(Length::fromDouble(distance));
        QVERIFY2(std::abs(point.x() - expected.x()) <= 1 && std::abs(point.y() - expected.y()) <= 1, QTest::toString(point));
    }

    void joinClosePoints_data()
    {
        QTest::addColumn<QList<qint64>>("xs");
        QTest::addColumn<int>("level");
        QTest::addColumn<QList<qint64>>("expected");
        QTest::newRow("merge skips the next pair")
            << QList<qint64>{0, 40000, 80000, 120000, 1000000} << 1 << QList<qint64>{20000, 80000, 120000, 1000000};
        QTest::newRow("every other pair") << QList<qint64>{0, 100000, 200000, 300000, 400000} << 0
                                          << QList<qint64>{50000, 200000, 350000};
        QTest::newRow("last and first never compared") << QList<qint64>{0, 5000000, 10000} << 1
                                                       << QList<qint64>{0, 5000000, 10000};
        QTest::newRow("exact level merges identical points") << QList<qint64>{1, 1, 2} << 6 << QList<qint64>{1, 2};
        QTest::newRow("midpoint truncates toward zero") << QList<qint64>{-1, -2} << 3 << QList<qint64>{-1};
        QTest::newRow("single point") << QList<qint64>{7} << 0 << QList<qint64>{7};
    }
    void joinClosePoints()
    {
        QFETCH(QList<qint64>, xs);
        QFETCH(int, level);
        QFETCH(QList<qint64>, expected);
        Path path;
        for (const qint64 x : xs) {
            path.addPoint(Point2D(x, 0));
        }
        path.joinClosePoints(Precision::fromLevel(level));
        QList<qint64> joined;
        for (const Point2D& point : path.points()) {
            QCOMPARE(point.y(), qint64(0));
            joined.append(point.x());
        }
        QCOMPARE(joined, expected);
        QCOMPARE(path.boundingBox(), Rectangle::boundingBox(path.points()));
    }

    void joinClosePointsNeedsBothCoordinates()
    {
        Path path(Points{{0, 0}, {10000, 3000000}, {20000, 3010000}});
        path.joinClosePoints(Precision::fromLevel(1));
        QCOMPARE(path.points(), (Points{{0, 0}, {15000, 3005000}}));
        QCOMPARE(path.boundingBox(), Rectangle(Point2D(0, 0), Size(15000, 3005000)));
    }

    void rectangleOutline()
    {
        const Rectangle rectangle(pointMm(1, 2), Size(mm(3), mm(4)));
        QCOMPARE(rectangle.toPath().points(), pointsMm({{1, 2}, {4, 2}, {4, 6}, {1, 6}}));
        QCOMPARE(rectangle.toPath().boundingBox(), rectangle);
        QCOMPARE(Rectangle::boundingBox(pointsMm({{3, -1}, {-2, 4}, {0, 0}})), Rectangle(pointMm(-2, -1), Size(mm(5), mm(5))));
        QCOMPARE(Rectangle::boundingBox({}), Rectangle());
    }

    void rectangleClosestPoint_data()
    {
        QTest::addColumn<Rectangle>("rectangle");
        QTest::addColumn<Point2D>("point");
        QTest::addColumn<Point2D>("expected");
        QTest::addColumn<qint64>("distance");
        const Rectangle square(Point2D(0, 0), Size(mm(10), mm(10)));
        QTest::newRow("centre of a square: left") << square << pointMm(5, 5) << pointMm(0, 5) << mm(5);
        QTest::newRow("centre of a wide one: top") << Rectangle(Point2D(0, 0), Size(mm(20), mm(10))) << pointMm(10, 5)
                                                   << pointMm(10, 0) << mm(5);
        QTest::newRow("right before top") << square << pointMm(9, 1) << pointMm(10, 1) << mm(1);
        QTest::newRow("left before bottom") << square << pointMm(1, 9) << pointMm(0, 9) << mm(1);
        QTest::newRow("top before bottom") << Rectangle(Point2D(0, 0), Size(mm(10), mm(2))) << pointMm(5, 1)
                                           << pointMm(5, 0) << mm(1);
        QTest::newRow("bottom") << square << pointMm(5, 9) << pointMm(5, 10) << mm(1);
        QTest::newRow("outside, other coordinate unclamped") << square << pointMm(12, 20) << pointMm(10, 20) << mm(2);
        QTest::newRow("outside left") << square << pointMm(-2, 5) << pointMm(0, 5) << mm(2);
    }
    void rectangleClosestPoint()
    {
        QFETCH(Rectangle, rectangle);
        QFETCH(Point2D, point);
        QFETCH(Point2D, expected);
        QFETCH(qint64, distance);
        const PointAndDistance result = rectangle.closestPointOnPath(point);
        QCOMPARE(result.point, expected);
        QCOMPARE(result.distance.value(), distance);
    }

    void boundingBoxFollowsAddedPoints()
    {
        std::mt19937_64 random(9);
        std::uniform_int_distribution<qint64> coordinate(minFixed, maxFixed);
        for (int run = 0; run < 50; ++run) {
            Path path;
            for (int i = 0; i < 30; ++i) {
                // Small ranges as well as ranges beyond 64 bits, where the size saturates.
                const qint64 divisor = run % 2 == 0 ? 1 : 1000000;
                path.addPoint(Point2D(coordinate(random) / divisor, coordinate(random) / divisor));
                QCOMPARE(path.boundingBox(), Rectangle::boundingBox(path.points()));
            }
        }
    }

    void pathOperations()
    {
        const Path path(pointsMm({{1, 1}, {3, 5}, {-2, 0}}));
        Path joined = path;
        joined.addPath(Path(pointsMm({{10, -4}})));
        QCOMPARE(joined.size(), std::size_t(4));
        QCOMPARE(joined.boundingBox(), Rectangle(pointMm(-2, -4), Size(mm(12), mm(9))));

        const Point2D offset(123456789012345, -1);
        const Path moved = path.translated(offset);
        QCOMPARE(moved[0], Point2D(mm(1) + 123456789012345, mm(1) - 1));
        QCOMPARE(moved.boundingBox().origin(), path.boundingBox().origin() + offset);
        QCOMPARE(path.transformed(Transform2D::translation(pointMm(1, 2))), path.translated(pointMm(1, 2)));

        const Path scaled = path.scaled(Normal2D(0.5, std::numeric_limits<double>::quiet_NaN()));
        QCOMPARE(scaled.points(), (Points{pointMm(0.5, 0), pointMm(1.5, 0), pointMm(-1, 0)}));
        QCOMPARE(scaled.boundingBox(), Rectangle(pointMm(-1, 0), Size(mm(2.5), 0)));

        Path reversed = path;
        reversed.addPoint(pointMm(0, 9));
        const Rectangle box = reversed.boundingBox();
        reversed.reverse();
        QCOMPARE(reversed.points(), pointsMm({{0, 9}, {-2, 0}, {3, 5}, {1, 1}}));
        QCOMPARE(reversed.boundingBox(), box);
    }
};

MOTIFEX_TEST_MAIN(TestPaths)
#include "tst_paths.moc"
