#include "common/TestMain.h"

#include "mod/Angle.h"
#include "mod/LinearNormal.h"
#include "mod/LinearValue.h"
#include "mod/Object.h"

#include <cmath>
#include <limits>

namespace {

constexpr double notANumber = std::numeric_limits<double>::quiet_NaN();
constexpr double infinity = std::numeric_limits<double>::infinity();

geo::Angle degrees(qint64 value)
{
    return geo::Angle(value * 1000000);
}

// Three modifiers with distinct defaults, registered in a known order.
class ThreeModifiers : public mod::Object
{
public:
    ThreeModifiers()
    {
        registerModifier(&first);
        registerModifier(&second);
        registerModifier(&third);
    }

    mod::LinearNormal first{0.0, 1.0, QStringLiteral("First"), 0.1};
    mod::Angle second{geo::Angle(0), degrees(90), QStringLiteral("Second"), 0.2};
    mod::LinearValue third{geo::Value(0), geo::Value(10000000), geo::Precision::fromLevel(1), QStringLiteral("Third"), 0.3};
};

using Normals = std::vector<geo::Normal1D>;

} // namespace

class TestModifiers : public QObject
{
    Q_OBJECT

private slots:
    void angle()
    {
        mod::Angle angle(geo::Angle(0), degrees(180), QStringLiteral("Angle"), 0.5);
        QCOMPARE(angle.value(), degrees(90));
        for (const auto& [value, normal] : {std::pair{45, 0.25}, {270, 1.0}, {-10, 0.0}}) {
            angle.setValue(degrees(value));
            QCOMPARE(angle.normalValue().value(), normal);
        }
        mod::Angle backwards(geo::Angle(0), degrees(-90), QStringLiteral("Bulge"), 0.5);
        QCOMPARE(backwards.value(), degrees(-45));
        backwards.setValue(degrees(-90));
        QCOMPARE(backwards.normalValue().value(), 1.0);
    }

    void linearValueRoundsHalfAwayFromZero_data()
    {
        QTest::addColumn<double>("normal");
        QTest::addColumn<qint64>("expected");
        QTest::newRow("3.33 mm to 3.3") << 0.333 << qint64(3300000);
        QTest::newRow("3.35 mm to 3.4") << 0.335 << qint64(3400000);
        QTest::newRow("10 mm") << 1.0 << qint64(10000000);
    }
    void linearValueRoundsHalfAwayFromZero()
    {
        QFETCH(double, normal);
        QFETCH(qint64, expected);
        mod::LinearValue value(geo::Value(0), geo::Value(10000000), geo::Precision::fromLevel(1), QStringLiteral("V"), normal);
        QCOMPARE(value.value().value(), expected);
        value.setValue(geo::Value(3350000)); // rounded to 3.4 mm before it is mapped back
        QCOMPARE(value.normalValue().value(), 0.34);
    }

    void countsRoundToWholeNumbers()
    {
        // A count from 3 to 12 at its middle is 7.5, which rounds up to 8.
        mod::LinearValue count(geo::Value(3000000), geo::Value(12000000), geo::Precision::fromLevel(0), QStringLiteral("C"), 0.5);
        QCOMPARE(count.value().value(), qint64(8000000));
        for (qint64 n = 3; n <= 12; ++n) {
            count.setValue(geo::Value(n * 1000000));
            QCOMPARE(count.value().value(), n * 1000000);
        }
    }

    void linearNormal()
    {
        mod::LinearNormal normal(-0.5, 0.5, QStringLiteral("Shift"), 0.5);
        QCOMPARE(normal.value().value(), 0.0);
        for (const auto& [value, stored] : {std::pair{0.25, 0.75}, {2.0, 1.0}, {notANumber, 0.0}}) {
            normal.setValue(value);
            QCOMPARE(normal.normalValue().value(), stored);
        }
    }

    void zeroSpanStoresZero()
    {
        mod::Angle angle(degrees(5), degrees(5), QStringLiteral("A"), 0.5);
        angle.setValue(degrees(5));
        mod::LinearValue value(geo::Value(1000000), geo::Value(1000000), geo::Precision::fromLevel(0), QStringLiteral("V"), 0.5);
        value.setValue(geo::Value(7000000));
        mod::LinearNormal normal(0.3, 0.3, QStringLiteral("N"), 0.5);
        normal.setValue(0.9);
        QCOMPARE(angle.normalValue().value(), 0.0);
        QCOMPARE(value.normalValue().value(), 0.0);
        QCOMPARE(normal.normalValue().value(), 0.0);
    }

    // Every stored normal is kept within [0, 1]: an unchecked 1e5 would make values far outside their
    // range, and a NaN would poison every outline.
    void storedNormalsAreClamped_data()
    {
        QTest::addColumn<double>("given");
        QTest::addColumn<double>("stored");
        QTest::newRow("inside") << 0.25 << 0.25;
        QTest::newRow("huge") << 1e5 << 1.0;
        QTest::newRow("below") << -0.2 << 0.0;
        QTest::newRow("NaN") << notANumber << 0.0;
        QTest::newRow("infinity") << infinity << 1.0;
        QTest::newRow("minus infinity") << -infinity << 0.0;
    }
    void storedNormalsAreClamped()
    {
        QFETCH(double, given);
        QFETCH(double, stored);
        ThreeModifiers object;
        object.first.setNormalValue(given);
        QCOMPARE(object.first.normalValue().value(), stored);
        object.setModifierValues({given, given, given});
        QCOMPARE(object.modifierValues(), (Normals{stored, stored, stored}));
        const mod::Angle angle(geo::Angle(0), degrees(-90), QStringLiteral("A"), given);
        QCOMPARE(angle.value().value(), static_cast<qint64>(-90000000 * stored));
    }

    void setModifierValuesFillsWithDefaultsAndIgnoresExtras()
    {
        ThreeModifiers object;
        object.setModifierValues({0.9, 0.8, 0.7});
        object.setModifierValues({0.5});
        QCOMPARE(object.modifierValues(), (Normals{0.5, 0.2, 0.3}));
        QCOMPARE(object.modifierDescriptions().at(1).name(), QStringLiteral("Second"));
        object.setModifierValues({0.5, 0.6, 0.7, 0.8, 0.9});
        QCOMPARE(object.modifierValues(), (Normals{0.5, 0.6, 0.7}));
    }
};

MOTIFEX_TEST_MAIN(TestModifiers)
#include "tst_modifiers.moc"
