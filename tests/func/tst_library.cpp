#include "common/TestMain.h"

#include "func/Manager.h"

#include <QtConcurrent>

#include <cmath>
#include <limits>

namespace {

constexpr double notANumber = std::numeric_limits<double>::quiet_NaN();
constexpr double infinity = std::numeric_limits<double>::infinity();

QStringList numbered(const QString& pattern, const QList<int>& numbers, bool isTwoDigit)
{
    QStringList result;
    for (const int number : numbers) {
        result.append(pattern.arg(isTwoDigit ? QStringLiteral("%1").arg(number, 2, 10, QLatin1Char('0'))
                                             : QString::number(number)));
    }
    return result;
}

QList<int> range(int first, int last)
{
    QList<int> result;
    for (int number = first; number <= last; ++number) {
        result.append(number);
    }
    return result;
}

const QList<int> stepCounts{2, 3, 4, 5, 6, 7, 8, 9, 10, 16, 32, 64, 128};

bool isSame(double actual, double expected)
{
    return std::isnan(expected) ? std::isnan(actual) : std::abs(actual - expected) <= 1e-12 * std::max(1.0, std::abs(expected));
}

} // namespace

class TestLibrary : public QObject
{
    Q_OBJECT

private slots:
    // Runs first, so that the registry is created by concurrent first calls.
    void instanceIsOneObjectForAllThreads()
    {
        const QList<const func::Manager*> instances = QtConcurrent::blockingMapped<QList<const func::Manager*>>(
            range(1, 16), [](int) { return &func::Manager::instance(); });
        for (const func::Manager* instance : instances) {
            QCOMPARE(instance, &func::Manager::instance());
        }
    }

    void identifiersInRegistrationOrder()
    {
        QStringList expected{QStringLiteral("linear"), QStringLiteral("invert"), QStringLiteral("x^2"), QStringLiteral("x^3"),
                             QStringLiteral("x^4"), QStringLiteral("x^5"), QStringLiteral("1-(1-x)^2"), QStringLiteral("1-(1-x)^3"),
                             QStringLiteral("1-(1-x)^4"), QStringLiteral("1-(1-x)^5"), QStringLiteral("log"),
                             QStringLiteral("1-log(1-x)")};
        expected << numbered(QStringLiteral("quadratic_bezier_%1"), range(1, 6), true)
                 << numbered(QStringLiteral("qubic_bezier_%1"), range(1, 12), true)
                 << numbered(QStringLiteral("triangle_%1"), range(2, 9), false)
                 << numbered(QStringLiteral("saw_%1"), range(2, 9), false)
                 << numbered(QStringLiteral("sine_%1"), range(1, 8), true)
                 << numbered(QStringLiteral("cos_%1"), range(1, 8), true)
                 << numbered(QStringLiteral("steps_%1"), stepCounts, false)
                 << numbered(QStringLiteral("divide_%1"), range(2, 10), false);
        const func::Manager& manager = func::Manager::instance();
        QCOMPARE(expected.size(), 84);
        QCOMPARE(manager.identifierList(), expected);
        QCOMPARE(manager.identifierList().at(54), QStringLiteral("cos_01"));
        for (const QString& identifier : expected) {
            QVERIFY(manager.hasIdentifier(identifier));
            QCOMPARE(manager.function(identifier)->identifier(), identifier);
        }
    }

    void distributionFunctions()
    {
        QStringList expected{QStringLiteral("linear"), QStringLiteral("x^2"), QStringLiteral("x^3"),
                             QStringLiteral("x^4"), QStringLiteral("x^5"), QStringLiteral("log")};
        expected << numbered(QStringLiteral("quadratic_bezier_%1"), range(1, 6), true)
                 << numbered(QStringLiteral("steps_%1"), stepCounts, false);
        QCOMPARE(expected.size(), 25);
        QCOMPARE(func::Manager::instance().distributionFunctionIdentifierList(), expected);
    }

    void unknownIdentifier()
    {
        const func::Manager& manager = func::Manager::instance();
        for (const QString& identifier : {QStringLiteral("Linear"), QString(), QStringLiteral("cubic_bezier_01")}) {
            QVERIFY(!manager.hasIdentifier(identifier) && manager.function(identifier) == nullptr);
        }
    }

    void labels()
    {
        const QList<std::pair<const char*, QString>> labels{
            {"linear", QStringLiteral("Linear")}, {"invert", QStringLiteral("Invert")}, {"x^2", QStringLiteral("X\u00B2")},
            {"x^5", QStringLiteral("X\u2075")}, {"1-(1-x)^2", QStringLiteral("1-(1-X)\u00B2")},
            {"1-(1-x)^5", QStringLiteral("1-(1-X)\u2075")}, {"log", QStringLiteral("Log")},
            {"1-log(1-x)", QStringLiteral("Reversed Log")}, {"quadratic_bezier_01", QStringLiteral("Bezier\u00B2 0.0")},
            {"quadratic_bezier_04", QStringLiteral("Bezier\u00B2 0.6")}, {"qubic_bezier_01", QStringLiteral("Bezier\u00B3 0.8,0.6")},
            {"qubic_bezier_04", QStringLiteral("Bezier\u00B3 0.8,-0.2")}, {"qubic_bezier_05", QStringLiteral("Bezier\u00B3 0.9,0.6")},
            {"qubic_bezier_12", QStringLiteral("Bezier\u00B3 1.2,-0.2")}, {"triangle_2", QStringLiteral("Triangle 2")},
            {"saw_9", QStringLiteral("Saw 9")}, {"sine_01", QStringLiteral("Sine 1")}, {"cos_08", QStringLiteral("Cosine 8")},
            {"steps_128", QStringLiteral("Steps 128")}, {"divide_10", QStringLiteral("Divide 10")}};
        for (const auto& [identifier, label] : labels) {
            QCOMPARE(func::Manager::instance().function(QString::fromUtf8(identifier))->name(), label);
        }
    }

    void values_data()
    {
        QTest::addColumn<QString>("identifier");
        QTest::addColumn<double>("x");
        QTest::addColumn<double>("expected");
        const auto row = [](const char* name, const char* identifier, double x, double expected) {
            QTest::newRow(name) << QString::fromUtf8(identifier) << x << expected;
        };
        row("linear passes NaN on", "linear", notANumber, notANumber);
        row("invert does not clamp", "invert", 1.3, 1 - 1.3);
        row("invert NaN", "invert", notANumber, 0);
        row("cube of negative", "x^3", -1, -1);
        row("fifth power", "x^5", 0.5, 0.03125);
        row("square NaN", "x^2", notANumber, 0);
        row("reversed square beyond 1", "1-(1-x)^2", 1.5, 0.75);
        row("reversed cube NaN", "1-(1-x)^3", notANumber, 1);
        row("log at 0", "log", 0, 0);
        row("log at 1", "log", 1, 1);
        row("reversed log at 0", "1-log(1-x)", 0, 0);
        row("reversed log at 1", "1-log(1-x)", 1, 1);
        row("quadratic bezier p 0.6", "quadratic_bezier_04", 0.5, 0.55);
        row("quadratic bezier NaN", "quadratic_bezier_02", notANumber, notANumber);
        row("cubic bezier 0.8 0.6", "qubic_bezier_01", 0.5, 0.65);
        row("cubic bezier 1.2 -0.2", "qubic_bezier_12", 0.5, 0.5);
        row("triangle odd whole part", "triangle_2", 0.75, 0.5);
        row("triangle even whole part", "triangle_2", 0.25, 0.5);
        row("triangle negative", "triangle_3", -0.25, -0.75);
        row("triangle whole part beyond int", "triangle_2", 2147483648.625, 0.75);
        row("triangle huge", "triangle_4", 1e300, 0);
        row("triangle NaN", "triangle_2", notANumber, 0);
        row("saw at 1", "saw_4", 1, 1);
        row("saw just below 1", "saw_4", 0.99, 3.96 - 3);
        row("sine at 0", "sine_01", 0, 0.5);
        row("sine 9 at half", "sine_08", 0.5, 0);
        row("cosine at 0", "cos_01", 0, 0);
        row("cosine 3 at 1", "cos_02", 1, 1);
        row("cosine 6 at a twelfth", "cos_05", 1.0 / 12, 0.5);
        row("steps at 1", "steps_4", 1, 1);
        row("steps below first edge", "steps_4", 0.24, 0);
        row("steps above first edge", "steps_4", 0.26, 1.0 / 3);
        row("steps divide by the step width", "steps_10", 0.3, 2.0 / 9);
        row("steps above 1", "steps_5", 1.7, 1);
        row("steps infinite", "steps_128", infinity, 1);
        row("steps minus infinite", "steps_2", -infinity, 0);
        row("steps NaN", "steps_16", notANumber, 0);
        row("divide NaN", "divide_3", notANumber, 0);
    }

    void values()
    {
        QFETCH(QString, identifier);
        QFETCH(double, x);
        QFETCH(double, expected);
        const double actual = func::Manager::instance().function(identifier)->value(x);
        QVERIFY2(isSame(actual, expected), qPrintable(QString::number(actual, 'g', 17)));
    }

    void distributionFunctionsRiseFromZeroToOne()
    {
        const func::Manager& manager = func::Manager::instance();
        for (const QString& identifier : manager.distributionFunctionIdentifierList()) {
            const func::FunctionPtr function = manager.function(identifier);
            QVERIFY2(isSame(function->value(0), 0) && std::abs(function->value(1) - 1) < 1e-12, qPrintable(identifier));
            double previous = function->value(0);
            for (int step = 1; step <= 1000; ++step) {
                const double current = function->value(step / 1000.0);
                QVERIFY2(current >= previous - 1e-12, qPrintable(identifier));
                previous = current;
            }
        }
    }
};

MOTIFEX_TEST_MAIN(TestLibrary)
#include "tst_library.moc"
