#include "common/TestMain.h"

#include "geo/Angle.h"
#include "geo/Fixed.h"
#include "geo/Length.h"
#include "geo/Point1D.h"
#include "geo/Point2D.h"
#include "geo/Precision.h"
#include "geo/Rectangle.h"
#include "geo/Size.h"
#include "geo/Value.h"

#include <cmath>
#include <limits>
#include <random>

using namespace geo;

namespace {

constexpr qint64 maxFixed = std::numeric_limits<qint64>::max();
constexpr qint64 minFixed = std::numeric_limits<qint64>::min();

qint64 mm(double millimeters)
{
    return fixedFromDouble(millimeters);
}

// The plain 64-bit distance: squares scaled by 1000000, split for large differences so that d² is never
// formed. Valid while the sum of the two scaled squares fits 64 bits (differences up to about 2 km).
qint64 splitScaledSquare(qint64 difference)
{
    if (std::abs(difference) < 3037000499) {
        return difference * difference / 1000000;
    }
    const qint64 quotient = difference / 1000000;
    const qint64 remainder = difference - quotient * 1000000;
    return (quotient * 1000000 + 2 * remainder) * quotient + remainder * remainder / 1000000;
}

qint64 splitDistance(const Point2D& a, const Point2D& b)
{
    const qint64 dx = b.x() - a.x();
    const qint64 dy = b.y() - a.y();
    if (dx == 0) {
        return std::abs(dy);
    }
    if (dy == 0) {
        return std::abs(dx);
    }
    const qint64 sum = splitScaledSquare(dx) + splitScaledSquare(dy);
    return fixedFromDouble(std::sqrt(static_cast<double>(sum)) / 1000.0);
}

long double exactDistance(const Point2D& a, const Point2D& b)
{
    const long double dx = static_cast<long double>(b.x()) - static_cast<long double>(a.x());
    const long double dy = static_cast<long double>(b.y()) - static_cast<long double>(a.y());
    return std::sqrt(dx * dx + dy * dy);
}

} // namespace

class TestValues : public QObject
{
    Q_OBJECT

private slots:
    void doubleToFixed_data()
    {
        QTest::addColumn<double>("input");
        QTest::addColumn<qint64>("expected");
        const double bound = 9223372036854.775; // the double nearest the bound: times 1000000 it is 2^63
        QTest::newRow("one and a half") << 1.5 << qint64(1500000);
        QTest::newRow("1e20 saturates") << 1e20 << maxFixed;
        QTest::newRow("-1e20 saturates") << -1e20 << minFixed;
        QTest::newRow("bound whose product is 2^63") << bound << maxFixed;
        QTest::newRow("just below the bound") << std::nextafter(bound, 0.0) << qint64(9223372036854773760);
        QTest::newRow("negative bound") << -bound << minFixed;
        QTest::newRow("infinity") << std::numeric_limits<double>::infinity() << maxFixed;
        QTest::newRow("minus infinity") << -std::numeric_limits<double>::infinity() << minFixed;
        QTest::newRow("NaN") << std::numeric_limits<double>::quiet_NaN() << qint64(0);
        QTest::newRow("truncates small") << 0.0000004 << qint64(0);
        QTest::newRow("truncates small negative") << -0.0000004 << qint64(0);
        QTest::newRow("truncates toward zero") << -1.9999999 << qint64(-1999999);
    }
    void doubleToFixed()
    {
        QFETCH(double, input);
        QFETCH(qint64, expected);
        QCOMPARE(fixedFromDouble(input), expected);
        QCOMPARE(Length::fromDouble(input).value(), expected);
    }

    void sumsSaturate()
    {
        QCOMPARE((Length(maxFixed) + Length(1)).value(), maxFixed);
        QCOMPARE((Length(minFixed) - Length(1)).value(), minFixed);
        QCOMPARE((-Angle(minFixed)).value(), maxFixed);
        QCOMPARE(Angle(minFixed).toAbs().value(), maxFixed);
        QCOMPARE(Point1D(minFixed).absDistanceTo(Point1D(maxFixed)).value(), maxFixed);
        QCOMPARE(Point2D(maxFixed, minFixed) + Point2D(5, -5), Point2D(maxFixed, minFixed));
        QCOMPARE(Point2D(0, 0).manhattanDistanceTo(Point2D(maxFixed, minFixed)).value(), maxFixed);
        QCOMPARE(Point2D(-3, 4).manhattanDistanceTo(Point2D(1, 1)).value(), qint64(7));
    }

    void productWithFactor_data()
    {
        QTest::addColumn<qint64>("value");
        QTest::addColumn<double>("factor");
        QTest::addColumn<qint64>("expected");
        QTest::newRow("half") << qint64(1000000) << 0.5 << qint64(500000);
        QTest::newRow("truncates") << qint64(3) << 0.5 << qint64(1);
        QTest::newRow("truncates toward zero") << qint64(-3) << 0.5 << qint64(-1);
        QTest::newRow("factor below a millionth") << qint64(1000000000) << 0.0000009 << qint64(0);
        QTest::newRow("NaN factor") << qint64(1000000) << std::numeric_limits<double>::quiet_NaN() << qint64(0);
        QTest::newRow("maximum times one") << maxFixed << 1.0 << maxFixed;
        QTest::newRow("saturates up") << maxFixed << 2.0 << maxFixed;
        QTest::newRow("saturates down") << maxFixed << -2.0 << minFixed;
        QTest::newRow("saturated factor") << qint64(1000000) << 1e20 << maxFixed;
    }
    void productWithFactor()
    {
        QFETCH(qint64, value);
        QFETCH(double, factor);
        QFETCH(qint64, expected);
        QCOMPARE((Point1D(value) * factor).value(), expected);
        QCOMPARE(Point2D(value, -value) * Normal1D(factor), Point2D(expected, (Point1D(-value) * factor).value()));
        QCOMPARE(Point2D(value, 7) * Normal2D(factor, 0.5), Point2D(expected, 3));
    }

    void quotientByFactor_data()
    {
        QTest::addColumn<qint64>("value");
        QTest::addColumn<double>("factor");
        QTest::addColumn<qint64>("expected");
        QTest::newRow("half") << qint64(1000000) << 0.5 << qint64(2000000);
        QTest::newRow("quarter negative") << qint64(-1000000) << 0.25 << qint64(-4000000);
        QTest::newRow("truncates") << qint64(1) << 3.0 << qint64(0);
        QTest::newRow("saturates") << maxFixed << 0.5 << maxFixed;
        // A factor below a millionth is a fixed divisor of 0; it saturates by sign instead of trapping.
        QTest::newRow("zero divisor positive") << qint64(7) << 0.0000004 << maxFixed;
        QTest::newRow("zero divisor negative") << qint64(-7) << 0.0 << minFixed;
        QTest::newRow("zero over zero") << qint64(0) << 0.0 << qint64(0);
        QTest::newRow("NaN divisor") << qint64(5) << std::numeric_limits<double>::quiet_NaN() << maxFixed;
    }
    void quotientByFactor()
    {
        QFETCH(qint64, value);
        QFETCH(double, factor);
        QFETCH(qint64, expected);
        QCOMPARE((Point1D(value) / factor).value(), expected);
        QCOMPARE((Point2D(value, value) / Normal1D(factor)), Point2D(expected, expected));
        QCOMPARE((Point2D(value, 1000000) / Normal2D(factor, 0.5)), Point2D(expected, 2000000));
    }

    void angleNormalization_data()
    {
        QTest::addColumn<qint64>("angle");
        QTest::addColumn<qint64>("expected");
        QTest::newRow("-1 degree") << qint64(-1000000) << qint64(359000000);
        QTest::newRow("720 degrees") << qint64(720000000) << qint64(0);
        QTest::newRow("full turn") << qint64(360000000) << qint64(0);
        QTest::newRow("minus full turn") << qint64(-360000000) << qint64(0);
        QTest::newRow("just below a turn") << qint64(359999999) << qint64(359999999);
        QTest::newRow("-1 unit") << qint64(-1) << qint64(359999999);
        QTest::newRow("minimum") << minFixed << minFixed % 360000000 + 360000000;
    }
    void angleNormalization()
    {
        QFETCH(qint64, angle);
        QFETCH(qint64, expected);
        QCOMPARE(Angle(angle).normalized().value(), expected);
    }

    void unitVectors_data()
    {
        QTest::addColumn<double>("degrees");
        QTest::addColumn<Point2D>("expected");
        QTest::addColumn<qint64>("tolerance");
        QTest::newRow("0") << 0.0 << Point2D(1000000, 0) << qint64(0);
        QTest::newRow("90") << 90.0 << Point2D(0, 1000000) << qint64(0);
        QTest::newRow("180") << 180.0 << Point2D(-1000000, 0) << qint64(0);
        QTest::newRow("270") << 270.0 << Point2D(0, -1000000) << qint64(0);
        QTest::newRow("450") << 450.0 << Point2D(0, 1000000) << qint64(0);
        QTest::newRow("-90") << -90.0 << Point2D(0, -1000000) << qint64(0);
        QTest::newRow("-360") << -360.0 << Point2D(1000000, 0) << qint64(0);
        QTest::newRow("45") << 45.0 << Point2D(707106, 707106) << qint64(1);
        QTest::newRow("30") << 30.0 << Point2D(866025, 500000) << qint64(1);
        QTest::newRow("750 is 30") << 750.0 << Point2D(866025, 500000) << qint64(1);
        QTest::newRow("-135") << -135.0 << Point2D(-707106, -707106) << qint64(1);
    }
    void unitVectors()
    {
        QFETCH(double, degrees);
        QFETCH(Point2D, expected);
        QFETCH(qint64, tolerance);
        const Point2D unit = Point2D::normalFromAngle(Angle::fromDegrees(degrees));
        QVERIFY2(std::abs(unit.x() - expected.x()) <= tolerance && std::abs(unit.y() - expected.y()) <= tolerance,
                 qPrintable(QStringLiteral("(%1, %2)").arg(unit.x()).arg(unit.y())));
        const Normal2D normal = Angle::fromDegrees(degrees).toNormal2D();
        QVERIFY(std::abs(normal.x() * 1e6 - expected.x()) <= 1.0 && std::abs(normal.y() * 1e6 - expected.y()) <= 1.0);
    }

    void distanceTo_data()
    {
        QTest::addColumn<Point2D>("a");
        QTest::addColumn<Point2D>("b");
        QTest::addColumn<qint64>("expected");
        QTest::newRow("3-4-5") << Point2D(0, 0) << Point2D(mm(3), mm(4)) << mm(5);
        QTest::newRow("equal points") << Point2D(-7, 9) << Point2D(-7, 9) << qint64(0);
        QTest::newRow("equal x exact") << Point2D(5, 123456789012345) << Point2D(5, -3) << qint64(123456789012348);
        QTest::newRow("equal y exact") << Point2D(maxFixed, 1) << Point2D(maxFixed - 9, 1) << qint64(9);
        QTest::newRow("equal x saturates") << Point2D(0, minFixed) << Point2D(0, maxFixed) << maxFixed;
        QTest::newRow("2 km each way") << Point2D(0, 0) << Point2D(mm(2000000), mm(2000000)) << qint64(2828427124746);
        QTest::newRow("corners of the range") << Point2D(minFixed, minFixed) << Point2D(maxFixed, maxFixed) << maxFixed;
    }
    void distanceTo()
    {
        QFETCH(Point2D, a);
        QFETCH(Point2D, b);
        QFETCH(qint64, expected);
        QCOMPARE(a.distanceTo(b).value(), expected);
        QCOMPARE(b.distanceTo(a).value(), expected);
    }

    // Pairs up to 2 km apart in each direction: the 128-bit squares give exactly what the split 64-bit
    // squares give, and both stay within the truncation of an exact distance.
    void distanceToRandomPairs()
    {
        std::mt19937_64 random(20240611);
        std::uniform_int_distribution<qint64> coordinate(-1000000000000, 1000000000000);
        for (int i = 0; i < 20000; ++i) {
            const Point2D a(coordinate(random), coordinate(random));
            const Point2D b(coordinate(random), coordinate(random));
            const qint64 distance = a.distanceTo(b).value();
            QCOMPARE(distance, splitDistance(a, b));
            const long double reference = exactDistance(a, b);
            QVERIFY2(distance >= reference - 2 && distance <= reference + 1,
                     qPrintable(QStringLiteral("%1 against %2").arg(distance).arg(static_cast<double>(reference), 0, 'f', 3)));
        }
    }

    // Across the whole 64-bit range no square overflows; only the double's 53 bits limit the result.
    void distanceToFarApart()
    {
        std::mt19937_64 random(7);
        std::uniform_int_distribution<qint64> coordinate(minFixed / 2, maxFixed / 2);
        for (int i = 0; i < 2000; ++i) {
            const Point2D a(coordinate(random), coordinate(random));
            const Point2D b(coordinate(random), coordinate(random));
            const long double reference = std::min(exactDistance(a, b), static_cast<long double>(maxFixed));
            const long double distance = a.distanceTo(b).value();
            QVERIFY(std::abs(distance - reference) <= reference * 1e-14L + 2);
        }
    }

    void isEqualTo_data()
    {
        QTest::addColumn<int>("level");
        QTest::addColumn<qint64>("a");
        QTest::addColumn<qint64>("b");
        QTest::addColumn<bool>("expected");
        QTest::newRow("0: 0.6 and 1.4 mm") << 0 << mm(0.6) << mm(1.4) << true;
        QTest::newRow("0: 0.4999 and 0.5 mm") << 0 << mm(0.4999) << mm(0.5) << false;
        QTest::newRow("0: -0.5 rounds to -1") << 0 << mm(-0.5) << mm(-1) << true;
        QTest::newRow("0: -0.5 is not 0") << 0 << mm(-0.5) << qint64(0) << false;
        QTest::newRow("0: -0.4999 is 0") << 0 << mm(-0.4999) << qint64(0) << true;
        QTest::newRow("1: half step away from zero") << 1 << mm(0.05) << mm(0.1) << true;
        QTest::newRow("1: below half step") << 1 << mm(0.0499) << qint64(0) << true;
        QTest::newRow("3: 1499 and 1500 units") << 3 << qint64(1499) << qint64(1500) << false;
        QTest::newRow("3: -1499 and -1000 units") << 3 << qint64(-1499) << qint64(-1000) << true;
        QTest::newRow("5: 4 and 0 units") << 5 << qint64(4) << qint64(0) << true;
        QTest::newRow("5: 5 and 10 units") << 5 << qint64(5) << qint64(10) << true;
        QTest::newRow("6: 1 and 2 units") << 6 << qint64(1) << qint64(2) << false;
        QTest::newRow("6: identical") << 6 << qint64(-3) << qint64(-3) << true;
        QTest::newRow("0: top of the range") << 0 << maxFixed << maxFixed - 1 << true;
        QTest::newRow("0: bottom of the range") << 0 << minFixed << minFixed + 1 << true;
    }
    void isEqualTo()
    {
        QFETCH(int, level);
        QFETCH(qint64, a);
        QFETCH(qint64, b);
        QFETCH(bool, expected);
        const Precision precision = Precision::fromLevel(level);
        QCOMPARE(Value(a).isEqualTo(Value(b), precision), expected);
        QCOMPARE(Value(b).isEqualTo(Value(a), precision), expected);
        QCOMPARE(Point2D(a, 0).isEqualTo(Point2D(b, 0), precision), expected);
    }

    void precisionFromData_data()
    {
        QTest::addColumn<QVariant>("data");
        QTest::addColumn<int>("level");
        QTest::addColumn<double>("step");
        QTest::addColumn<qint64>("stepUnits");
        QTest::addColumn<qint64>("halfStepUnits");
        QTest::newRow("-1") << QVariant(-1) << 6 << 0.000001 << qint64(1) << qint64(0);
        QTest::newRow("7") << QVariant(7) << 6 << 0.000001 << qint64(1) << qint64(0);
        QTest::newRow("6") << QVariant(6) << 6 << 0.000001 << qint64(1) << qint64(0);
        QTest::newRow("5") << QVariant(5) << 5 << 0.00001 << qint64(10) << qint64(5);
        QTest::newRow("4") << QVariant(4) << 4 << 0.0001 << qint64(100) << qint64(50);
        QTest::newRow("3 as text") << QVariant(QStringLiteral("3")) << 3 << 0.001 << qint64(1000) << qint64(500);
        QTest::newRow("2 as double") << QVariant(2.0) << 2 << 0.01 << qint64(10000) << qint64(5000);
        QTest::newRow("1") << QVariant(1) << 1 << 0.1 << qint64(100000) << qint64(50000);
        QTest::newRow("0") << QVariant(0) << 0 << 1.0 << qint64(1000000) << qint64(500000);
        QTest::newRow("invalid") << QVariant() << 0 << 1.0 << qint64(1000000) << qint64(500000);
    }
    void precisionFromData()
    {
        QFETCH(QVariant, data);
        QFETCH(int, level);
        QFETCH(double, step);
        QFETCH(qint64, stepUnits);
        QFETCH(qint64, halfStepUnits);
        const Precision precision = Precision::fromData(data);
        QCOMPARE(precision.level(), level);
        QCOMPARE(precision.step(), step);
        QCOMPARE(precision.stepUnits(), stepUnits);
        QCOMPARE(precision.halfStepUnits(), halfStepUnits);
        QCOMPARE(precision.toData(), QVariant(level));
        QCOMPARE(precision.toData().typeId(), QMetaType::Int);
    }

    void sizeNormalOfPoint_data()
    {
        QTest::addColumn<Size>("size");
        QTest::addColumn<Point2D>("point");
        QTest::addColumn<Normal2D>("expected");
        const Size size(mm(10), mm(20));
        QTest::newRow("inside") << size << Point2D(mm(5), mm(5)) << Normal2D(0.5, 0.25);
        QTest::newRow("left of and above") << size << Point2D(mm(-1), mm(-1)) << Normal2D(0, 0);
        QTest::newRow("left only") << size << Point2D(mm(-1), mm(10)) << Normal2D(0, 0.5);
        QTest::newRow("beyond") << size << Point2D(mm(20), mm(40)) << Normal2D(1, 1);
        QTest::newRow("zero width") << Size(0, mm(20)) << Point2D(mm(5), mm(5)) << Normal2D(0, 0);
        QTest::newRow("zero height") << Size(mm(10), 0) << Point2D(mm(5), mm(5)) << Normal2D(0, 0);
    }
    void sizeNormalOfPoint()
    {
        QFETCH(Size, size);
        QFETCH(Point2D, point);
        QFETCH(Normal2D, expected);
        QCOMPARE(size.normalOfPoint(point), expected);
    }

    void sizeValues()
    {
        const Size size(11, 21);
        QVERIFY(size.contains(Point2D(0, 0)));
        QVERIFY(size.contains(Point2D(11, 21)));
        QVERIFY(!size.contains(Point2D(-1, 0)));
        QVERIFY(!size.contains(Point2D(11, 22)));
        QCOMPARE(size.centerPoint(), Point2D(5, 10));
        QCOMPARE(Size(-3, -5).centerPoint(), Point2D(-1, -2));
        QCOMPARE(Size(mm(11), mm(21)).toPoint(Normal2D(1.0, 0.5)), Point2D(mm(5.5), mm(5.25)));
        QCOMPARE(Size(11, 21).toPoint(Normal2D(1.0, 1.0)), Point2D(5, 10));
        QVERIFY(size.isInRange(Size(11, 0), Size(11, 21)));
        QVERIFY(!size.isInRange(Size(12, 0), Size(20, 30)));
        QCOMPARE(Length(5).toPoint1D().value(), qint64(5));
        QCOMPARE(Length::fromZeroToPoint(Point1D(-5)).value(), qint64(-5));
    }

    void rectangleValues()
    {
        const Rectangle rectangle(Point2D(mm(1), mm(2)), Size(mm(10), mm(4)));
        QCOMPARE(rectangle.centerPoint(), Point2D(mm(6), mm(4)));
        QVERIFY(rectangle.contains(Point2D(mm(1), mm(2))));
        QVERIFY(rectangle.contains(Point2D(mm(11), mm(6))));
        QVERIFY(!rectangle.contains(Point2D(mm(11) + 1, mm(6))));
        QCOMPARE(rectangle.inset(Length(mm(1))), Rectangle(Point2D(mm(2), mm(3)), Size(mm(8), mm(2))));
        QCOMPARE(rectangle.inset(Length(mm(-1))), Rectangle(Point2D(0, mm(1)), Size(mm(12), mm(6))));
        QCOMPARE(rectangle.clamped(Point2D(mm(-5), mm(50))), Point2D(mm(1), mm(6)));
        QCOMPARE(rectangle.clamped(Point2D(mm(5), mm(3))), Point2D(mm(5), mm(3)));
        QCOMPARE(rectangle.distanceToFrame(Point2D(mm(3), mm(3))).value(), mm(1));
        QCOMPARE(rectangle.distanceToFrame(Point2D(mm(10), mm(5))).value(), mm(1));
        QCOMPARE(rectangle.distanceToFrame(Point2D(mm(1), mm(5))).value(), qint64(0));
        QCOMPARE(rectangle.distanceToFrame(Point2D(mm(0), mm(5))).value(), qint64(-1000000));
        const Rectangle atTheEdge(Point2D(minFixed, 0), Size(10, 10));
        QCOMPARE(atTheEdge.distanceToFrame(Point2D(minFixed + 3, 4)).value(), qint64(3));
    }
};

MOTIFEX_TEST_MAIN(TestValues)
#include "tst_values.moc"
