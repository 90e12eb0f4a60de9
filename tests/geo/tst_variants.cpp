#include "common/TestMain.h"

#include "geo/Angle.h"
#include "geo/Circle.h"
#include "geo/Length.h"
#include "geo/Normal2D.h"
#include "geo/NormalRange.h"
#include "geo/Point2D.h"
#include "geo/Rectangle.h"
#include "geo/Size.h"
#include "geo/Value.h"

#include <QJsonDocument>

#include <limits>

using namespace geo;

namespace {

QVariant fromJson(const char* text)
{
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(QByteArray(text), &error);
    if (error.error != QJsonParseError::NoError) {
        qFatal("Bad JSON in the test: %s", text);
    }
    return document.toVariant();
}

// Through JSON text and back, as a project file stores the values.
QVariant throughJson(const QVariant& data)
{
    return QJsonDocument::fromVariant(data).toVariant();
}

QByteArray compactJson(const QVariant& data)
{
    return QJsonDocument::fromVariant(data).toJson(QJsonDocument::Compact);
}

} // namespace

class TestVariants : public QObject
{
    Q_OBJECT

private slots:
    void valueFromVariant_data()
    {
        QTest::addColumn<QVariant>("variant");
        QTest::addColumn<qint64>("expected");
        QTest::newRow("qlonglong is the fixed value") << QVariant(qlonglong(1000000)) << qint64(1000000);
        QTest::newRow("negative qlonglong") << QVariant(qlonglong(-3)) << qint64(-3);
        QTest::newRow("double is millimetres") << QVariant(1.0) << qint64(1000000);
        QTest::newRow("fractional double") << QVariant(2.5) << qint64(2500000);
        QTest::newRow("int is millimetres") << QVariant(int(1)) << qint64(1000000);
        QTest::newRow("uint is millimetres") << QVariant(uint(3)) << qint64(3000000);
        QTest::newRow("text is millimetres") << QVariant(QStringLiteral("2.5")) << qint64(2500000);
        QTest::newRow("text that is no number") << QVariant(QStringLiteral("abc")) << qint64(0);
        QTest::newRow("invalid") << QVariant() << qint64(0);
        QTest::newRow("huge double saturates") << QVariant(1e20) << std::numeric_limits<qint64>::max();
        QTest::newRow("NaN") << QVariant(std::numeric_limits<double>::quiet_NaN()) << qint64(0);
    }
    void valueFromVariant()
    {
        QFETCH(QVariant, variant);
        QFETCH(qint64, expected);
        QCOMPARE(Value::fromVariant(variant).value(), expected);
        QCOMPARE(Length::fromVariant(variant).value(), expected);
        QCOMPARE(Angle::fromVariant(variant).value(), expected);
        QCOMPARE(Point2D::fromVariant(QVariantMap{{QStringLiteral("y"), variant}}), Point2D(0, expected));
    }

    void lengthToVariant()
    {
        const QVariant variant = Length(-123456789012345).toVariant();
        QCOMPARE(variant.typeId(), QMetaType::LongLong);
        QCOMPARE(variant.toLongLong(), qlonglong(-123456789012345));
        const QVariant stored = throughJson(QVariantList{variant}).toList().value(0);
        QCOMPARE(Length::fromVariant(stored).value(), qint64(-123456789012345));
    }

    // Project files arrive as JSON text. An integer is the fixed value; a number with a fraction is
    // millimetres. Qt stores every integral JSON number as an integer, so "1.0" arrives as the integer 1:
    // the writer therefore always stores fixed integers.
    void pointFromJsonText_data()
    {
        QTest::addColumn<QByteArray>("json");
        QTest::addColumn<Point2D>("expected");
        QTest::newRow("integer") << QByteArray(R"({"x": 1000000})") << Point2D(1000000, 0);
        QTest::newRow("fraction") << QByteArray(R"({"x": 2.5, "y": -0.25})") << Point2D(2500000, -250000);
        QTest::newRow("both integers") << QByteArray(R"({"x": -3, "y": 9000000000000000000})")
                                       << Point2D(-3, 9000000000000000000);
        QTest::newRow("integral decimal is an integer") << QByteArray(R"({"x": 1.0})") << Point2D(1, 0);
        QTest::newRow("beyond 64 bits") << QByteArray(R"({"x": 1e300})") << Point2D(std::numeric_limits<qint64>::max(), 0);
        QTest::newRow("text") << QByteArray(R"({"x": "1.5"})") << Point2D(1500000, 0);
        QTest::newRow("null") << QByteArray(R"({"x": null})") << Point2D(0, 0);
        QTest::newRow("empty") << QByteArray(R"({})") << Point2D(0, 0);
        QTest::newRow("not a map") << QByteArray(R"([1, 2])") << Point2D(0, 0);
    }
    void pointFromJsonText()
    {
        QFETCH(QByteArray, json);
        QFETCH(Point2D, expected);
        QCOMPARE(Point2D::fromVariant(fromJson(json.constData())), expected);
    }

    void pointFromVariantMap()
    {
        QCOMPARE(Point2D::fromVariant(QVariantMap{{QStringLiteral("x"), 1.0}}), Point2D(1000000, 0));
        QCOMPARE(Point2D::fromVariant(QVariantMap{{QStringLiteral("x"), qlonglong(1000000)}}), Point2D(1000000, 0));
        QCOMPARE(Point2D::fromVariant(QVariant(5)), Point2D(0, 0));
    }

    void formats_data()
    {
        QTest::addColumn<QVariant>("data");
        QTest::addColumn<QByteArray>("json");
        QTest::newRow("point") << Point2D(1, -2).toVariant() << QByteArray(R"({"x":1,"y":-2})");
        QTest::newRow("size") << Size(3, 4).toVariant() << QByteArray(R"({"height":4,"width":3})");
        QTest::newRow("rectangle") << Rectangle(Point2D(1, 2), Size(3, 4)).toVariant()
                                   << QByteArray(R"({"origin":{"x":1,"y":2},"size":{"height":4,"width":3}})");
        QTest::newRow("circle") << Circle(Point2D(1, 2), Length(5)).toVariant()
                                << QByteArray(R"({"center":{"x":1,"y":2},"radius":5})");
        QTest::newRow("normal point") << Normal2D(0.25, -1.5).toVariant() << QByteArray(R"({"x":0.25,"y":-1.5})");
        QTest::newRow("normal range") << NormalRange(0.5, 0.75).toVariant() << QByteArray(R"({"begin":0.5,"end":0.75})");
    }
    void formats()
    {
        QFETCH(QVariant, data);
        QFETCH(QByteArray, json);
        QCOMPARE(compactJson(data), json);
    }

    void roundTrips()
    {
        const qint64 large = 9000000000000000123;
        const Point2D point(large, -large);
        QCOMPARE(Point2D::fromVariant(throughJson(point.toVariant())), point);
        const Size size(large, 7);
        QCOMPARE(Size::fromVariant(throughJson(size.toVariant())), size);
        const Rectangle rectangle(Point2D(-5, large), Size(-1, 2));
        QCOMPARE(Rectangle::fromVariant(throughJson(rectangle.toVariant())), rectangle);
        QCOMPARE(Rectangle::fromVariant(QVariant()), Rectangle());
        const Circle circle(Point2D(3, -3), Length(large));
        QCOMPARE(Circle::fromVariant(throughJson(circle.toVariant())), circle);
        const Normal2D normal(0.125, 2.5);
        QCOMPARE(Normal2D::fromVariant(throughJson(normal.toVariant())), normal);
    }

    void sizeAllowsNegative()
    {
        QCOMPARE(Size::fromVariant(fromJson(R"({"width": -1.5, "height": 2})")), Size(-1500000, 2));
    }

    void normal2DFromVariant_data()
    {
        QTest::addColumn<QVariant>("data");
        QTest::addColumn<Normal2D>("expected");
        const double nan = std::numeric_limits<double>::quiet_NaN();
        QTest::newRow("not clamped") << QVariant(QVariantMap{{QStringLiteral("x"), 2.5}, {QStringLiteral("y"), -3}})
                                     << Normal2D(2.5, -3.0);
        QTest::newRow("NaN gives 0") << QVariant(QVariantMap{{QStringLiteral("x"), nan}, {QStringLiteral("y"), 0.5}})
                                     << Normal2D(0.0, 0.5);
        QTest::newRow("missing") << QVariant(QVariantMap{}) << Normal2D(0.0, 0.0);
    }
    void normal2DFromVariant()
    {
        QFETCH(QVariant, data);
        QFETCH(Normal2D, expected);
        QCOMPARE(Normal2D::fromVariant(data), expected);
    }

    void normalRangeFromVariant_data()
    {
        QTest::addColumn<QVariant>("data");
        QTest::addColumn<NormalRange>("expected");
        QTest::newRow("clamped") << fromJson(R"({"begin": -3, "end": 2})") << NormalRange(-1.0, 1.0);
        QTest::newRow("inside") << fromJson(R"({"begin": 0.25, "end": -0.75})") << NormalRange(0.25, -0.75);
        QTest::newRow("NaN gives 0") << QVariant(QVariantMap{{QStringLiteral("begin"), std::numeric_limits<double>::quiet_NaN()},
                                                             {QStringLiteral("end"), 0.5}})
                                     << NormalRange(0.0, 0.5);
        QTest::newRow("missing") << QVariant() << NormalRange(0.0, 0.0);
    }
    void normalRangeFromVariant()
    {
        QFETCH(QVariant, data);
        QFETCH(NormalRange, expected);
        QCOMPARE(NormalRange::fromVariant(data), expected);
    }

    void normalRangeInterpolated_data()
    {
        QTest::addColumn<NormalRange>("range");
        QTest::addColumn<double>("t");
        QTest::addColumn<double>("expected");
        const double infinity = std::numeric_limits<double>::infinity();
        QTest::newRow("quarter") << NormalRange(0.0, 1.0) << 0.25 << 0.25;
        QTest::newRow("beyond the range") << NormalRange(2.0, 4.0) << 1.5 << 5.0;
        QTest::newRow("NaN t") << NormalRange(1.0, 1.0) << std::numeric_limits<double>::quiet_NaN() << 0.0;
        QTest::newRow("infinite t") << NormalRange(1.0, 1.0) << infinity << 0.0;
        QTest::newRow("zero times infinity") << NormalRange(infinity, 0.5) << 1.0 << 0.5;
    }
    void normalRangeInterpolated()
    {
        QFETCH(NormalRange, range);
        QFETCH(double, t);
        QFETCH(double, expected);
        QCOMPARE(range.interpolated(t).value(), expected);
    }

    void normal2DDistance_data()
    {
        QTest::addColumn<Normal2D>("a");
        QTest::addColumn<Normal2D>("b");
        QTest::addColumn<double>("expected");
        const double nan = std::numeric_limits<double>::quiet_NaN();
        QTest::newRow("equal") << Normal2D(0.5, 0.5) << Normal2D(0.5, 0.5) << 0.0;
        QTest::newRow("equal x") << Normal2D(0.5, 0.1) << Normal2D(0.5, 0.7) << std::abs(0.1 - 0.7);
        QTest::newRow("equal y") << Normal2D(0.9, 0.1) << Normal2D(0.2, 0.1) << std::abs(0.9 - 0.2);
        QTest::newRow("3-4-5") << Normal2D(0, 0) << Normal2D(3, 4) << 5.0;
        QTest::newRow("NaN") << Normal2D(nan, 0) << Normal2D(1, 1) << 0.0;
    }
    void normal2DDistance()
    {
        QFETCH(Normal2D, a);
        QFETCH(Normal2D, b);
        QFETCH(double, expected);
        QCOMPARE(a.distanceTo(b), expected);
    }
};

MOTIFEX_TEST_MAIN(TestVariants)
#include "tst_variants.moc"
