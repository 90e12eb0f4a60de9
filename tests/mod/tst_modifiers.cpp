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
    mod::Angle second{geo::Angle(0), geo::Angle(90000000), QStringLiteral("Second"), 0.2};
    mod::LinearValue third{geo::Value(0), geo::Value(10000000), geo::Precision::fromLevel(1), QStringLiteral("Third"), 0.3};
};

std::vector<double> toDoubles(const std::vector<geo::Normal1D>& values)
{
    return std::vector<double>(values.begin(), values.end());
}

} // namespace

class TestModifiers : public QObject
{
    Q_OBJECT

private slots:
    void angleInterpolatesExactly()
    {
        mod::Angle angle(geo::Angle(0), geo::Angle(180000000), QStringLiteral("Angle"), 0.5);
        QCOMPARE(angle.value().value(), qint64(90000000));
        angle.setNormalValue(0.0);
        QCOMPARE(angle.value().value(), qint64(0));
        angle.setNormalValue(1.0);
        QCOMPARE(angle.value().value(), qint64(180000000));
    }

    void angleRunningBackwards()
    {
        mod::Angle angle(geo::Angle(0), geo::Angle(-90000000), QStringLiteral("Bulge"), 0.5);
        QCOMPARE(angle.value().value(), qint64(-45000000));
        angle.setValue(geo::Angle(-90000000));
        QCOMPARE(angle.normalValue().value(), 1.0);
    }

    void angleSetValueClamps_data()
    {
        QTest::addColumn<qint64>("degrees");
        QTest::addColumn<double>("normal");
        QTest::newRow("inside") << qint64(45) << 0.25;
        QTest::newRow("above the end") << qint64(270) << 1.0;
        QTest::newRow("below the begin") << qint64(-10) << 0.0;
    }
    void angleSetValueClamps()
    {
        QFETCH(qint64, degrees);
        QFETCH(double, normal);
        mod::Angle angle(geo::Angle(0), geo::Angle(180000000), QStringLiteral("Angle"), 0.5);
        angle.setValue(geo::Angle(degrees * 1000000));
        QCOMPARE(angle.normalValue().value(), normal);
    }

    void linearValueRoundsHalfAwayFromZero_data()
    {
        QTest::addColumn<double>("normal");
        QTest::addColumn<qint64>("expected");
        QTest::newRow("3.33 mm to 3.3") << 0.333 << qint64(3300000);
        QTest::newRow("3.35 mm to 3.4") << 0.335 << qint64(3400000);
        QTest::newRow("0") << 0.0 << qint64(0);
        QTest::newRow("10 mm") << 1.0 << qint64(10000000);
    }
    void linearValueRoundsHalfAwayFromZero()
    {
        QFETCH(double, normal);
        QFETCH(qint64, expected);
        mod::LinearValue value(geo::Value(0), geo::Value(10000000), geo::Precision::fromLevel(1), QStringLiteral("V"), normal);
        QCOMPARE(value.value().value(), expected);
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

    void linearValueSetValueRoundsFirst()
    {
        mod::LinearValue value(geo::Value(0), geo::Value(10000000), geo::Precision::fromLevel(1), QStringLiteral("V"), 0.0);
        value.setValue(geo::Value(3350000));
        QCOMPARE(value.normalValue().value(), 0.34);
    }

    void linearNormal()
    {
        mod::LinearNormal normal(-0.5, 0.5, QStringLiteral("Shift"), 0.5);
        QCOMPARE(normal.value().value(), 0.0);
        normal.setValue(0.25);
        QCOMPARE(normal.normalValue().value(), 0.75);
        normal.setValue(2.0);
        QCOMPARE(normal.normalValue().value(), 1.0);
        normal.setValue(notANumber);
        QCOMPARE(normal.normalValue().value(), 0.0);
    }

    void zeroSpanStoresZero()
    {
        mod::Angle angle(geo::Angle(5000000), geo::Angle(5000000), QStringLiteral("A"), 0.5);
        angle.setValue(geo::Angle(5000000));
        QCOMPARE(angle.normalValue().value(), 0.0);
        mod::LinearValue value(geo::Value(1000000), geo::Value(1000000), geo::Precision::fromLevel(0), QStringLiteral("V"), 0.5);
        value.setValue(geo::Value(7000000));
        QCOMPARE(value.normalValue().value(), 0.0);
        mod::LinearNormal normal(0.3, 0.3, QStringLiteral("N"), 0.5);
        normal.setValue(0.9);
        QCOMPARE(normal.normalValue().value(), 0.0);
    }

    void storedNormalsAreClamped_data()
    {
        QTest::addColumn<double>("given");
        QTest::addColumn<double>("stored");
        QTest::newRow("inside") << 0.25 << 0.25;
        QTest::newRow("above") << 1.7 << 1.0;
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
        QCOMPARE(toDoubles(object.modifierValues()), (std::vector<double>{stored, stored, stored}));
    }

    void clampedValuesStayInRange()
    {
        // An unchecked normal of 1e5 would make a value far outside its range.
        mod::LinearValue count(geo::Value(3000000), geo::Value(12000000), geo::Precision::fromLevel(0), QStringLiteral("C"), 1e5);
        QCOMPARE(count.value().value(), qint64(12000000));
        mod::Angle angle(geo::Angle(0), geo::Angle(-90000000), QStringLiteral("A"), notANumber);
        QCOMPARE(angle.value().value(), qint64(0));
    }

    void setModifierValuesFillsWithDefaults()
    {
        ThreeModifiers object;
        object.setModifierValues({0.9, 0.8, 0.7});
        object.setModifierValues({0.5});
        QCOMPARE(toDoubles(object.modifierValues()), (std::vector<double>{0.5, 0.2, 0.3}));
        QCOMPARE(object.modifierDescriptions().at(1).name(), QStringLiteral("Second"));
    }

    void setModifierValuesIgnoresExtraValues()
    {
        ThreeModifiers object;
        object.setModifierValues({0.5, 0.6, 0.7, 0.8, 0.9});
        QCOMPARE(toDoubles(object.modifierValues()), (std::vector<double>{0.5, 0.6, 0.7}));
    }
};

MOTIFEX_TEST_MAIN(TestModifiers)
#include "tst_modifiers.moc"
