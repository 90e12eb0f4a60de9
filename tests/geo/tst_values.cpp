#include "common/TestMain.h"

#include "geo/Angle.h"
#include "geo/Circle.h"
#include "geo/NormalRange.h"
#include "geo/Rectangle.h"
#include "geo/Value.h"

#include <QJsonDocument>

#include <cmath>
#include <limits>
#include <random>

using namespace geo;

namespace {

constexpr qint64 maxFixed = std::numeric_limits<qint64>::max();
constexpr qint64 minFixed = std::numeric_limits<qint64>::min();
constexpr double notANumber = std::numeric_limits<double>::quiet_NaN();
constexpr double infinity = std::numeric_limits<double>::infinity();

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
    const qint64 sum = splitScaledSquare(b.x() - a.x()) + splitScaledSquare(b.y() - a.y());
    return fixedFromDouble(std::sqrt(static_cast<double>(sum)) / 1000.0);
}

long double exactDistance(const Point2D& a, const Point2D& b)
{
    const long double dx = static_cast<long double>(b.x()) - static_cast<long double>(a.x());
    const long double dy = static_cast<long double>(b.y()) - static_cast<long double>(a.y());
    return std::sqrt(dx * dx + dy * dy);
}

QVariant fromJson(const char* text)
{
    return QJsonDocument::fromJson(QByteArray(text)).toVariant();
}

QVariant jsonNumber(const char* text)
{
    return fromJson(qPrintable(QStringLiteral("[%1]").arg(QLatin1String(text)))).toList().value(0);
}

// A stored format, and the value read back after a trip through JSON text as a project file takes.
template <typename T>
void addFormatRow(const char* name, const T& value, const char* json)
{
    const QVariant stored = QJsonDocument::fromVariant(QVariantList{value.toVariant()}).toVariant().toList().value(0);
    QTest::newRow(name) << value.toVariant() << QByteArray(json) << T::fromVariant(stored).toVariant();
}

} // namespace

class TestValues : public QObject
{
    Q_OBJECT

private slots:
    // Products and quotients with a factor: the factor becomes fixed first, results truncate toward zero
    // and saturate; a factor that becomes 0 divides by saturating by sign instead of trapping.
    void factors_data()
    {
        QTest::addColumn<qint64>("value");
        QTest::addColumn<double>("factor");
        QTest::addColumn<qint64>("product");
        QTest::addColumn<qint64>("quotient");
        QTest::newRow("truncates toward zero") << qint64(-3) << 0.5 << qint64(-1) << qint64(-6);
        QTest::newRow("quotient truncates") << qint64(1) << 3.0 << qint64(3) << qint64(0);
        QTest::newRow("factor below a millionth") << qint64(7) << 0.0000009 << qint64(0) << maxFixed;
        QTest::newRow("zero factor") << qint64(-7) << 0.0 << qint64(0) << minFixed;
        QTest::newRow("zero over zero") << qint64(0) << 0.0 << qint64(0) << qint64(0);
        QTest::newRow("NaN factor") << qint64(5) << notANumber << qint64(0) << maxFixed;
        QTest::newRow("saturates up") << maxFixed << 2.0 << maxFixed << maxFixed / 2;
        QTest::newRow("saturates down") << maxFixed << -0.5 << maxFixed / -2 << minFixed;
        QTest::newRow("saturated factor") << qint64(1000000) << 1e20 << maxFixed << qint64(0);
    }
    void factors()
    {
        QFETCH(qint64, value);
        QFETCH(double, factor);
        QFETCH(qint64, product);
        QFETCH(qint64, quotient);
        QCOMPARE((Point1D(value) * factor).value(), product);
        QCOMPARE((Point1D(value) / factor).value(), quotient);
        QCOMPARE(Point2D(value, 7) * Normal1D(factor), Point2D(product, (Point1D(7) * factor).value()));
        QCOMPARE(Point2D(value, 7) * Normal2D(factor, 0.5), Point2D(product, 3));
        QCOMPARE(Point2D(value, value) / Normal1D(factor), Point2D(quotient, quotient));
        QCOMPARE(Point2D(value, 1000000) / Normal2D(factor, 0.5), Point2D(quotient, 2000000));
    }

    void angles_data()
    {
        QTest::addColumn<qint64>("angle");
        QTest::addColumn<qint64>("normalized");
        QTest::addColumn<Point2D>("unit");
        QTest::addColumn<qint64>("tolerance");
        QTest::newRow("90") << qint64(90000000) << qint64(90000000) << Point2D(0, 1000000) << qint64(0);
        QTest::newRow("180") << qint64(180000000) << qint64(180000000) << Point2D(-1000000, 0) << qint64(0);
        QTest::newRow("270") << qint64(270000000) << qint64(270000000) << Point2D(0, -1000000) << qint64(0);
        QTest::newRow("450") << qint64(450000000) << qint64(90000000) << Point2D(0, 1000000) << qint64(0);
        QTest::newRow("720") << qint64(720000000) << qint64(0) << Point2D(1000000, 0) << qint64(0);
        QTest::newRow("-1") << qint64(-1000000) << qint64(359000000) << Point2D(999847, -17452) << qint64(1);
        QTest::newRow("45") << qint64(45000000) << qint64(45000000) << Point2D(707106, 707106) << qint64(1);
    }
    void angles()
    {
        QFETCH(qint64, angle);
        QFETCH(qint64, normalized);
        QFETCH(Point2D, unit);
        QFETCH(qint64, tolerance);
        QCOMPARE(Angle(angle).normalized().value(), normalized);
        const Point2D actual = Point2D::normalFromAngle(Angle(angle));
        QVERIFY(std::abs(actual.x() - unit.x()) <= tolerance && std::abs(actual.y() - unit.y()) <= tolerance);
        const Normal2D normal = Angle(angle).toNormal2D();
        QVERIFY(std::abs(normal.x() * 1e6 - unit.x()) <= 1.0 && std::abs(normal.y() * 1e6 - unit.y()) <= 1.0);
    }

    void sumsAndDistancesSaturate()
    {
        QCOMPARE((Length(maxFixed) + Length(1)).value(), maxFixed);
        QCOMPARE((Length(minFixed) - Length(1)).value(), minFixed);
        QCOMPARE(Angle(minFixed).toAbs().value(), maxFixed);
        QCOMPARE(Point1D(minFixed).absDistanceTo(Point1D(maxFixed)).value(), maxFixed);
        QCOMPARE(Point2D(maxFixed, minFixed) + Point2D(5, -5), Point2D(maxFixed, minFixed));
        QCOMPARE(Point2D(0, 0).manhattanDistanceTo(Point2D(maxFixed, minFixed)).value(), maxFixed);
        const auto verify = [](const Point2D& a, const Point2D& b, qint64 expected) {
            QCOMPARE(a.distanceTo(b).value(), expected);
            QCOMPARE(b.distanceTo(a).value(), expected);
        };
        verify(Point2D(0, 0), Point2D(mm(3), mm(4)), mm(5));
        verify(Point2D(5, 123456789012345), Point2D(5, -3), 123456789012348); // equal x: exact
        verify(Point2D(0, minFixed), Point2D(0, maxFixed), maxFixed);
        verify(Point2D(0, 0), Point2D(mm(2000000), mm(2000000)), 2828427124746);
        verify(Point2D(minFixed, minFixed), Point2D(maxFixed, maxFixed), maxFixed);
    }

    // Up to 2 km apart the result equals the split 64-bit squares; across the whole range no square
    // overflows and only the double's 53 bits limit the result.
    void distanceToRandomPairs()
    {
        std::mt19937_64 random(20240611);
        std::uniform_int_distribution<qint64> near(-1000000000000, 1000000000000);
        std::uniform_int_distribution<qint64> far(minFixed / 2, maxFixed / 2);
        for (int i = 0; i < 20000; ++i) {
            const Point2D a(near(random), near(random));
            const Point2D b(near(random), near(random));
            const qint64 distance = a.distanceTo(b).value();
            QCOMPARE(distance, splitDistance(a, b));
            const long double reference = exactDistance(a, b);
            QVERIFY(distance >= reference - 2 && distance <= reference + 1);
            const Point2D c(far(random), far(random));
            const Point2D d(far(random), far(random));
            const long double farReference = std::min(exactDistance(c, d), static_cast<long double>(maxFixed));
            QVERIFY(std::abs(c.distanceTo(d).value() - farReference) <= farReference * 1e-14L + 2);
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
        QTest::newRow("3: 1499 and 1500 units") << 3 << qint64(1499) << qint64(1500) << false;
        QTest::newRow("6: 1 and 2 units") << 6 << qint64(1) << qint64(2) << false;
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

    // Levels 0..6 have steps of 1 mm down to 0.000001 mm; other levels read as 6.
    void precisionFromData_data()
    {
        QTest::addColumn<QVariant>("data");
        QTest::addColumn<int>("level");
        QTest::newRow("-1") << QVariant(-1) << 6;
        QTest::newRow("7") << QVariant(7) << 6;
        QTest::newRow("3 as text") << QVariant(QStringLiteral("3")) << 3;
        QTest::newRow("1") << QVariant(1) << 1;
        QTest::newRow("invalid") << QVariant() << 0;
    }
    void precisionFromData()
    {
        QFETCH(QVariant, data);
        QFETCH(int, level);
        const Precision precision = Precision::fromData(data);
        QCOMPARE(precision.level(), level);
        QCOMPARE(precision.toData(), QVariant(level));
        QCOMPARE(precision.toData().typeId(), QMetaType::Int);
        const qint64 steps[] = {1000000, 100000, 10000, 1000, 100, 10, 1};
        const double stepsInMillimetres[] = {1.0, 0.1, 0.01, 0.001, 0.0001, 0.00001, 0.000001};
        QCOMPARE(precision.stepUnits(), steps[level]);
        QCOMPARE(precision.halfStepUnits(), steps[level] / 2);
        QCOMPARE(precision.step(), stepsInMillimetres[level]);
    }

    void sizesAndRectangles()
    {
        const Size size(11, 21);
        QVERIFY(size.contains(Point2D(0, 0)) && size.contains(Point2D(11, 21)) && !size.contains(Point2D(11, 22)));
        QCOMPARE(Size(-3, -5).centerPoint(), Point2D(-1, -2));
        QCOMPARE(size.toPoint(Normal2D(1.0, 0.5)), Point2D(5, 5));
        QCOMPARE(Size(mm(10), mm(20)).normalOfPoint(Point2D(mm(-1), mm(25))), Normal2D(0, 1));
        QCOMPARE(Size(mm(10), mm(20)).normalOfPoint(Point2D(mm(5), mm(5))), Normal2D(0.5, 0.25));
        QCOMPARE(Size(0, mm(20)).normalOfPoint(Point2D(mm(5), mm(5))), Normal2D(0, 0));
        const Rectangle rectangle(Point2D(mm(1), mm(2)), Size(mm(10), mm(4)));
        QCOMPARE(rectangle.inset(Length(mm(-1))), Rectangle(Point2D(0, mm(1)), Size(mm(12), mm(6))));
        QCOMPARE(rectangle.clamped(Point2D(mm(-5), mm(50))), Point2D(mm(1), mm(6)));
        QCOMPARE(rectangle.distanceToFrame(Point2D(mm(10), mm(5))).value(), mm(1));
        QCOMPARE(rectangle.distanceToFrame(Point2D(mm(0), mm(5))).value(), qint64(-1000000));
        QCOMPARE(Rectangle(Point2D(minFixed, 0), Size(10, 10)).distanceToFrame(Point2D(minFixed + 3, 4)).value(), qint64(3));
    }

    // Every double becomes fixed by one rule: times 1000000, truncated toward zero, saturating. Project
    // files arrive as JSON text: an integer is the fixed value, any other number is millimetres. Qt stores
    // every integral JSON number as an integer, so "1.0" arrives as the integer 1: the writer therefore
    // always stores fixed integers.
    void valueFromVariant_data()
    {
        QTest::addColumn<QVariant>("variant");
        QTest::addColumn<qint64>("expected");
        const double bound = 9223372036854.775; // the double nearest the bound: times 1000000 it is 2^63
        QTest::newRow("1e20 saturates") << QVariant(1e20) << maxFixed;
        QTest::newRow("bound whose product is 2^63") << QVariant(bound) << maxFixed;
        QTest::newRow("just below the bound") << QVariant(std::nextafter(bound, 0.0)) << qint64(9223372036854773760);
        QTest::newRow("negative bound") << QVariant(-bound) << minFixed;
        QTest::newRow("infinity") << QVariant(infinity) << maxFixed;
        QTest::newRow("NaN") << QVariant(notANumber) << qint64(0);
        QTest::newRow("truncates small") << QVariant(0.0000004) << qint64(0);
        QTest::newRow("truncates toward zero") << QVariant(-1.9999999) << qint64(-1999999);
        QTest::newRow("qlonglong is the fixed value") << QVariant(qlonglong(-3)) << qint64(-3);
        QTest::newRow("int is millimetres") << QVariant(int(1)) << qint64(1000000);
        QTest::newRow("text is millimetres") << QVariant(QStringLiteral("2.5")) << qint64(2500000);
        QTest::newRow("text that is no number") << QVariant(QStringLiteral("abc")) << qint64(0);
        QTest::newRow("invalid") << QVariant() << qint64(0);
        QTest::newRow("JSON integer") << jsonNumber("9000000000000000000") << qint64(9000000000000000000);
        QTest::newRow("JSON fraction") << jsonNumber("-0.25") << qint64(-250000);
        QTest::newRow("JSON integral decimal") << jsonNumber("1.0") << qint64(1);
        QTest::newRow("JSON beyond 64 bits") << jsonNumber("1e300") << maxFixed;
    }
    void valueFromVariant()
    {
        QFETCH(QVariant, variant);
        QFETCH(qint64, expected);
        QCOMPARE(Value::fromVariant(variant).value(), expected);
        QCOMPARE(Angle::fromVariant(variant).value(), expected);
        QCOMPARE(Point2D::fromVariant(QVariantMap{{QStringLiteral("y"), variant}}), Point2D(0, expected));
        if (variant.typeId() == QMetaType::Double) {
            QCOMPARE(Length::fromDouble(variant.toDouble()).value(), expected);
        }
    }

    void formatsAndRoundTrips_data()
    {
        QTest::addColumn<QVariant>("data");
        QTest::addColumn<QByteArray>("json");
        QTest::addColumn<QVariant>("reread");
        const qint64 large = 9000000000000000123;
        addFormatRow("length", Length(-large), "[-9000000000000000123]");
        addFormatRow("point", Point2D(large, -2), R"([{"x":9000000000000000123,"y":-2}])");
        addFormatRow("size", Size(3, -4), R"([{"height":-4,"width":3}])");
        addFormatRow("rectangle", Rectangle(Point2D(1, 2), Size(3, 4)),
                     R"([{"origin":{"x":1,"y":2},"size":{"height":4,"width":3}}])");
        addFormatRow("circle", Circle(Point2D(1, 2), Length(large)),
                     R"([{"center":{"x":1,"y":2},"radius":9000000000000000123}])");
        addFormatRow("normal point", Normal2D(0.25, -1.5), R"([{"x":0.25,"y":-1.5}])");
        addFormatRow("normal range", NormalRange(0.5, 0.75), R"([{"begin":0.5,"end":0.75}])");
    }
    void formatsAndRoundTrips()
    {
        QFETCH(QVariant, data);
        QFETCH(QByteArray, json);
        QFETCH(QVariant, reread);
        QCOMPARE(QJsonDocument::fromVariant(QVariantList{data}).toJson(QJsonDocument::Compact), json);
        QCOMPARE(reread, data);
    }

    void normals()
    {
        QCOMPARE(Point2D::fromVariant(fromJson("[1, 2]")), Point2D(0, 0));
        QCOMPARE(Normal2D::fromVariant(fromJson(R"({"x": 2.5, "y": -3})")), Normal2D(2.5, -3.0));
        QCOMPARE(Normal2D::fromVariant(QVariantMap{{QStringLiteral("x"), notANumber}, {QStringLiteral("y"), 0.5}}),
                 Normal2D(0.0, 0.5));
        QCOMPARE(NormalRange::fromVariant(fromJson(R"({"begin": -3, "end": 2})")), NormalRange(-1.0, 1.0));
        QCOMPARE(NormalRange::fromVariant(fromJson(R"({"begin": 0.25, "end": -0.75})")), NormalRange(0.25, -0.75));
        QCOMPARE(NormalRange::fromVariant(QVariantMap{{QStringLiteral("begin"), notANumber}}), NormalRange(0.0, 0.0));
        QCOMPARE(NormalRange(2.0, 4.0).interpolated(1.5).value(), 5.0);
        QCOMPARE(NormalRange(1.0, 1.0).interpolated(notANumber).value(), 0.0);
        QCOMPARE(NormalRange(1.0, 1.0).interpolated(infinity).value(), 0.0);
        QCOMPARE(NormalRange(infinity, 0.5).interpolated(1.0).value(), 0.5);
        QCOMPARE(Normal2D(0.5, 0.1).distanceTo(Normal2D(0.5, 0.7)), std::abs(0.1 - 0.7));
        QCOMPARE(Normal2D(0, 0).distanceTo(Normal2D(3, 4)), 5.0);
        QCOMPARE(Normal2D(notANumber, 0).distanceTo(Normal2D(1, 1)), 0.0);
    }
};

MOTIFEX_TEST_MAIN(TestValues)
#include "tst_values.moc"
