#include "common/TestMain.h"

#include "geo/AngleSegment.h"
#include "geo/Circle.h"
#include "geo/Ellipse.h"
#include "geo/Path.h"
#include "geo/Transform2D.h"
#include "geo/Vector.h"

#include <cmath>

namespace geo {
char* toString(const Point2D& point)
{
    return qstrdup(QByteArray::number(point.x()) + ", " + QByteArray::number(point.y()));
}
} // namespace geo

using namespace geo;

namespace {

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

} // namespace

class TestAngles : public QObject
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
        QTest::newRow("below one step") << 0.0 << 14.0 << 30.0 << QList<qint64>{0, 14000000};
        QTest::newRow("half a step rounds up") << 0.0 << 75.0 << 30.0 << QList<qint64>{0, 18750000, 37500000, 75000000};
        QTest::newRow("below half rounds down") << 0.0 << 74.0 << 30.0 << QList<qint64>{0, 24666642, 74000000};
        QTest::newRow("empty range") << 33.0 << 33.0 << 10.0 << QList<qint64>{33000000};
        // t = 1/3 is the factor 333333 and 1 − t the factor 666666.
        QTest::newRow("across a full turn") << 350.0 << 370.0 << 10.0 << QList<qint64>{350000000, 356666310, 370000000};
        QTest::newRow("negative") << -90.0 << 0.0 << 30.0 << QList<qint64>{-90000000, -67500000, -45000000, 0};
    }
    void toSequence()
    {
        QFETCH(double, begin);
        QFETCH(double, end);
        QFETCH(double, step);
        QFETCH(QList<qint64>, expected);
        QCOMPARE(values(AngleSegment(degrees(begin), degrees(end)).toSequence(degrees(step))), expected);
    }

    void toSequenceSmallestStep()
    {
        for (const double step : {0.0, -5.0, 0.05}) {
            const std::vector<Angle> angles = AngleSegment(Angle(0), degrees(90)).toSequence(degrees(step));
            QCOMPARE(angles.size(), std::size_t(901));
            QCOMPARE(angles.front().value(), qint64(0));
            QCOMPARE(angles.back().value(), qint64(90000000));
            QVERIFY(std::is_sorted(angles.begin(), angles.end()));
        }
    }

    void vectorAngle_data()
    {
        QTest::addColumn<Point2D>("end");
        QTest::addColumn<qint64>("expected");
        QTest::addColumn<qint64>("tolerance");
        QTest::newRow("up the screen") << pointMm(0, -5) << qint64(270000000) << qint64(0);
        QTest::newRow("down the screen") << pointMm(0, 5) << qint64(90000000) << qint64(0);
        QTest::newRow("right") << pointMm(2, 0) << qint64(0) << qint64(0);
        QTest::newRow("left") << Point2D(-1, 0) << qint64(180000000) << qint64(0);
        QTest::newRow("no length") << Point2D(0, 0) << qint64(0) << qint64(0);
        QTest::newRow("up and left") << pointMm(-1, -1) << qint64(-135000000) << qint64(1);
        QTest::newRow("down and right") << pointMm(1, 1) << qint64(45000000) << qint64(1);
        QTest::newRow("down and left") << pointMm(-3, 3) << qint64(135000000) << qint64(1);
    }
    void vectorAngle()
    {
        QFETCH(Point2D, end);
        QFETCH(qint64, expected);
        QFETCH(qint64, tolerance);
        const Point2D start = pointMm(10, -20);
        const qint64 angle = Vector(start, start + end).angle().value();
        QVERIFY2(std::abs(angle - expected) <= tolerance, qPrintable(QString::number(angle)));
    }

    void segmentIsInside_data()
    {
        QTest::addColumn<double>("begin");
        QTest::addColumn<double>("end");
        QTest::addColumn<double>("angle");
        QTest::addColumn<bool>("expected");
        QTest::newRow("plain inside") << 10.0 << 20.0 << 15.0 << true;
        QTest::newRow("plain begin") << 10.0 << 20.0 << 10.0 << true;
        QTest::newRow("plain end") << 10.0 << 20.0 << 20.0 << true;
        QTest::newRow("plain outside") << 10.0 << 20.0 << 25.0 << false;
        QTest::newRow("wrapping before 0") << 350.0 << 10.0 << 355.0 << true;
        QTest::newRow("wrapping after 0") << 350.0 << 10.0 << 5.0 << true;
        QTest::newRow("wrapping outside") << 350.0 << 10.0 << 180.0 << false;
        QTest::newRow("normalised ends") << -10.0 << 10.0 << 0.0 << true;
        QTest::newRow("normalised angle") << 10.0 << 20.0 << 375.0 << true;
    }
    void segmentIsInside()
    {
        QFETCH(double, begin);
        QFETCH(double, end);
        QFETCH(double, angle);
        QFETCH(bool, expected);
        QCOMPARE(AngleSegment(degrees(begin), degrees(end)).isInside(degrees(angle)), expected);
    }

    void segmentValues()
    {
        const AngleSegment segment(degrees(10), degrees(20));
        QVERIFY(segment.doesOverlap(AngleSegment(degrees(0), degrees(90))));
        QVERIFY(AngleSegment(degrees(0), degrees(90)).doesOverlap(segment));
        QVERIFY(segment.doesOverlap(AngleSegment(degrees(20), degrees(30))));
        QVERIFY(!segment.doesOverlap(AngleSegment(degrees(21), degrees(30))));
        QVERIFY(AngleSegment(degrees(350), degrees(10)).doesOverlap(AngleSegment(degrees(5), degrees(40))));
        QCOMPARE(segment.reversed(), AngleSegment(degrees(20), degrees(10)));
        QCOMPARE(AngleSegment(degrees(-10), degrees(370)).normalized(), AngleSegment(degrees(350), degrees(10)));
        QCOMPARE(segment + degrees(5), AngleSegment(degrees(15), degrees(25)));
        QCOMPARE(segment - degrees(15), AngleSegment(degrees(-5), degrees(5)));
        QCOMPARE(AngleSegment::sector(Angle(89999999)), AngleSegment(Angle(0), degrees(90)));
        QCOMPARE(AngleSegment::sector(degrees(90)), AngleSegment(degrees(90), degrees(180)));
        QCOMPARE(AngleSegment::sector(Angle(-1)), AngleSegment(degrees(270), degrees(360)));
        QCOMPARE(AngleSegment::sector(degrees(900)), AngleSegment(degrees(180), degrees(270)));
    }

    void circlePointAtAngle_data()
    {
        QTest::addColumn<double>("angle");
        QTest::addColumn<Point2D>("expected");
        QTest::addColumn<qint64>("tolerance");
        QTest::newRow("0") << 0.0 << pointMm(4, 2) << qint64(0);
        QTest::newRow("90") << 90.0 << pointMm(1, 5) << qint64(0);
        QTest::newRow("180") << 180.0 << pointMm(-2, 2) << qint64(0);
        QTest::newRow("270") << 270.0 << pointMm(1, -1) << qint64(0);
        QTest::newRow("-90") << -90.0 << pointMm(1, -1) << qint64(0);
        QTest::newRow("45") << 45.0 << Point2D(mm(1) + 2121318, mm(2) + 2121318) << qint64(3);
    }
    void circlePointAtAngle()
    {
        QFETCH(double, angle);
        QFETCH(Point2D, expected);
        QFETCH(qint64, tolerance);
        const Point2D point = Circle(pointMm(1, 2), Length(mm(3))).pointAtAngle(degrees(angle));
        QVERIFY2(isNear(point, expected, tolerance), QTest::toString(point));
    }

    void circleTangents_data()
    {
        QTest::addColumn<Point2D>("point");
        QTest::addColumn<double>("begin");
        QTest::addColumn<double>("end");
        QTest::newRow("right") << pointMm(2, 0) << -60.0 << 60.0;
        QTest::newRow("below") << pointMm(0, 2) << 30.0 << 150.0;
        QTest::newRow("left") << pointMm(-2, 0) << 120.0 << 240.0;
        QTest::newRow("on the circle") << pointMm(1, 0) << 0.0 << 0.0;
        // The truncated distance is shorter than the radius: the ratio exceeds 1 by a hair.
        QTest::newRow("a hair inside") << Point2D(707106, 707106) << 45.0 << 45.0;
    }
    void circleTangents()
    {
        QFETCH(Point2D, point);
        QFETCH(double, begin);
        QFETCH(double, end);
        const Circle circle(Point2D(0, 0), Length(mm(1)));
        const AngleSegment angles = circle.tangentAngles(point);
        QVERIFY2(std::abs(angles.begin().value() - mm(begin)) <= 2 && std::abs(angles.end().value() - mm(end)) <= 2,
                 qPrintable(QStringLiteral("%1 %2").arg(angles.begin().value()).arg(angles.end().value())));
        const auto points = circle.tangentPoints(point);
        QCOMPARE(points.first, circle.pointAtAngle(angles.begin()));
        QCOMPARE(points.second, circle.pointAtAngle(angles.end()));
    }

    void circleToPath()
    {
        const Circle circle(Point2D(0, 0), Length(mm(2)));
        const Path path = circle.toPath(AngleSegment(Angle(0), degrees(90)), degrees(30));
        QCOMPARE(path.size(), std::size_t(4));
        QCOMPARE(path[0], pointMm(2, 0));
        QCOMPARE(path[2], circle.pointAtAngle(degrees(45)));
        QCOMPARE(path[3], pointMm(0, 2));
        QCOMPARE(path.boundingBox(), Rectangle(Point2D(0, 0), Size(mm(2), mm(2))));
    }

    void ellipseToPath()
    {
        const Ellipse ellipse(Point2D(0, 0), Size(mm(10), mm(6)));
        const Path path = ellipse.toPath(4);
        const std::vector<Point2D> expected{pointMm(5, 0), pointMm(0, 3), pointMm(-5, 0), pointMm(0, -3)};
        QCOMPARE(path.points(), expected);
        QCOMPARE(path.boundingBox(), Rectangle(pointMm(-5, -3), Size(mm(10), mm(6))));
        QVERIFY(ellipse.toPath(0).isEmpty());
        QVERIFY(ellipse.toPath(-3).isEmpty());
        QCOMPARE(ellipse.toPath(1).points(), std::vector<Point2D>{pointMm(5, 0)});
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
        QTest::newRow("0") << 0.0 << pointMm(6, 1) << qint64(0);
        QTest::newRow("90") << 90.0 << pointMm(1, 4) << qint64(0);
        QTest::newRow("180") << 180.0 << pointMm(-4, 1) << qint64(0);
        QTest::newRow("360") << 360.0 << pointMm(6, 1) << qint64(0);
        QTest::newRow("-270") << -270.0 << pointMm(1, 4) << qint64(0);
        QTest::newRow("270") << 270.0 << pointMm(1, -2) << qint64(1);
        QTest::newRow("45") << 45.0 << pointMm(1 + diagonal, 1 + diagonal) << qint64(5);
        QTest::newRow("135") << 135.0 << pointMm(1 - diagonal, 1 + diagonal) << qint64(5);
        QTest::newRow("225") << 225.0 << pointMm(1 - diagonal, 1 - diagonal) << qint64(5);
        QTest::newRow("315") << 315.0 << pointMm(1 + diagonal, 1 - diagonal) << qint64(5);
    }
    void ellipseFramePoint()
    {
        QFETCH(double, angle);
        QFETCH(Point2D, expected);
        QFETCH(qint64, tolerance);
        const Point2D point = Ellipse(pointMm(1, 1), Size(mm(10), mm(6))).framePoint(degrees(angle));
        QVERIFY2(isNear(point, expected, tolerance), QTest::toString(point));
    }

    void ellipseFramePointEqualRadii()
    {
        const Ellipse circle(Point2D(0, 0), Size(mm(4), mm(4)));
        QVERIFY(isNear(circle.framePoint(degrees(30)), Point2D(1732050, 1000000), 2));
        QVERIFY(isNear(circle.framePoint(degrees(-120)), Point2D(-1000000, -1732050), 2));
    }

    void transformMap_data()
    {
        QTest::addColumn<Transform2D>("transform");
        QTest::addColumn<Point2D>("point");
        QTest::addColumn<Point2D>("expected");
        QTest::newRow("identity") << Transform2D() << Point2D(-7, 9) << Point2D(-7, 9);
        QTest::newRow("translation in millimetres") << Transform2D(1, 0, 2.5, 0, 1, -1) << pointMm(1, 1) << pointMm(3.5, 0);
        QTest::newRow("products truncate") << Transform2D::scaling(0.5, 0.5) << Point2D(3, -3) << Point2D(1, -1);
        QTest::newRow("shear") << Transform2D(1, 2, 0, 0, 1, 0) << pointMm(1, 1) << pointMm(3, 1);
        QTest::newRow("rotation 90") << Transform2D::rotation(degrees(90)) << pointMm(1, 0) << pointMm(0, 1);
        QTest::newRow("rotation 180") << Transform2D::rotation(degrees(180)) << pointMm(1, 2) << pointMm(-1, -2);
        QTest::newRow("composed: scale then move") << Transform2D::translation(pointMm(1, 0)) * Transform2D::scaling(2, 3)
                                                   << pointMm(1, 1) << pointMm(3, 3);
        QTest::newRow("saturates") << Transform2D::scaling(4, 1) << Point2D(std::numeric_limits<qint64>::max(), 1)
                                   << Point2D(std::numeric_limits<qint64>::max(), 1);
    }
    void transformMap()
    {
        QFETCH(Transform2D, transform);
        QFETCH(Point2D, point);
        QFETCH(Point2D, expected);
        QCOMPARE(transform.map(point), expected);
    }

    void pathRotate_data()
    {
        QTest::addColumn<double>("angle");
        QTest::addColumn<Point2D>("expected");
        QTest::addColumn<qint64>("tolerance");
        QTest::newRow("90") << 90.0 << pointMm(-2, 1) << qint64(0);
        QTest::newRow("180") << 180.0 << pointMm(-1, -2) << qint64(0);
        QTest::newRow("-90") << -90.0 << pointMm(2, -1) << qint64(0);
        QTest::newRow("30") << 30.0 << Point2D(866025 - 1000000, 500000 + 1732050) << qint64(2);
    }
    void pathRotate()
    {
        QFETCH(double, angle);
        QFETCH(Point2D, expected);
        QFETCH(qint64, tolerance);
        const Path path({pointMm(1, 2), Point2D(0, 0)});
        const Path rotated = path.rotated(degrees(angle));
        QVERIFY2(isNear(rotated[0], expected, tolerance), QTest::toString(rotated[0]));
        QCOMPARE(rotated[1], Point2D(0, 0));
        QCOMPARE(rotated.boundingBox(), Rectangle::boundingBox(rotated.points()));
        QCOMPARE(rotated, path.transformed(Transform2D::rotation(degrees(angle))));
    }
};

MOTIFEX_TEST_MAIN(TestAngles)
#include "tst_angles.moc"
