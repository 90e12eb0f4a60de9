#include "common/TestMain.h"

#include "func/Manager.h"

#include <QtConcurrent>

#include <cmath>
#include <functional>
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

// The plain formulas of the library, one per identifier, written without the library's helpers.
using Formula = std::function<double(double)>;

double orZero(double value)
{
    return std::isnan(value) ? 0.0 : value;
}

double referenceLog(double x)
{
    return orZero((std::log(x + 0.01) - std::log(0.01)) / (std::log(1.01) - std::log(0.01)));
}

QHash<QString, Formula> referenceFormulas()
{
    QHash<QString, Formula> formulas;
    formulas.insert(QStringLiteral("linear"), [](double x) { return x; });
    formulas.insert(QStringLiteral("invert"), [](double x) { return orZero(1 - x); });
    for (int n = 2; n <= 5; ++n) {
        formulas.insert(QStringLiteral("x^%1").arg(n), [n](double x) { return orZero(std::pow(x, n)); });
        formulas.insert(QStringLiteral("1-(1-x)^%1").arg(n),
                        [n](double x) { return orZero(1 - orZero(std::pow(orZero(1 - x), n))); });
    }
    formulas.insert(QStringLiteral("log"), referenceLog);
    formulas.insert(QStringLiteral("1-log(1-x)"), [](double x) { return orZero(1 - referenceLog(orZero(1 - x))); });
    const double quadratic[] = {0.0, 0.2, 0.4, 0.6, 0.8, 1.0};
    for (int i = 0; i < 6; ++i) {
        const double p = quadratic[i];
        formulas.insert(numbered(QStringLiteral("quadratic_bezier_%1"), {i + 1}, true).constFirst(),
                        [p](double t) { return 2 * (1 - t) * t * p + t * t; });
    }
    const double first[] = {0.8, 0.9, 1.2};
    const double second[] = {0.6, 0.2, 0.1, -0.2};
    for (int i = 0; i < 12; ++i) {
        const double p1 = first[i / 4];
        const double p2 = second[i % 4];
        formulas.insert(numbered(QStringLiteral("qubic_bezier_%1"), {i + 1}, true).constFirst(), [p1, p2](double t) {
            return 3 * (1 - t) * (1 - t) * t * p1 + 3 * (1 - t) * t * t * p2 + t * t * t;
        });
    }
    for (int n = 2; n <= 9; ++n) {
        formulas.insert(QStringLiteral("triangle_%1").arg(n), [n](double x) {
            double whole = 0;
            double f = std::modf(n * x, &whole);
            if (whole > 0 && whole < 1e15 && static_cast<long long>(whole) % 2 == 1) {
                f = 1 - f;
            }
            return orZero(f);
        });
        formulas.insert(QStringLiteral("saw_%1").arg(n), [n](double x) {
            double whole = 0;
            return x == 1.0 ? 1.0 : orZero(std::modf(n * x, &whole));
        });
    }
    for (int number = 1; number <= 8; ++number) {
        const double n = number + 1;
        formulas.insert(numbered(QStringLiteral("sine_%1"), {number}, true).constFirst(),
                        [n](double x) { return orZero(0.5 * std::sin(n * (x * M_PI) - M_PI) + 0.5); });
        formulas.insert(numbered(QStringLiteral("cos_%1"), {number}, true).constFirst(),
                        [n](double x) { return orZero(0.5 * std::cos(n * (x * M_PI) - M_PI) + 0.5); });
    }
    for (const int n : stepCounts) {
        formulas.insert(QStringLiteral("steps_%1").arg(n), [n](double x) {
            double k = std::floor(x / (1.0 / n));
            if (std::isnan(k)) {
                return 0.0;
            }
            k = k < 0 ? 0 : std::min<double>(k, n - 1);
            return std::clamp(k * (1.0 / (n - 1)), 0.0, 1.0);
        });
    }
    for (int n = 2; n <= 10; ++n) {
        formulas.insert(QStringLiteral("divide_%1").arg(n), [n](double x) { return orZero(x / n); });
    }
    return formulas;
}

bool isSame(double actual, double expected)
{
    if (std::isnan(expected) || std::isnan(actual)) {
        return std::isnan(expected) && std::isnan(actual);
    }
    if (std::isinf(expected) || std::isinf(actual)) {
        return actual == expected;
    }
    return std::abs(actual - expected) <= 1e-12 * std::max(1.0, std::abs(expected));
}

} // namespace

class TestLibrary : public QObject
{
    Q_OBJECT

private slots:
    // Runs first, so that the registry is created by concurrent first calls.
    void instanceIsOneObjectForAllThreads()
    {
        const QList<int> calls = range(1, 16);
        const QList<const func::Manager*> instances = QtConcurrent::blockingMapped<QList<const func::Manager*>>(
            calls, [](int) { return &func::Manager::instance(); });
        for (const func::Manager* instance : instances) {
            QCOMPARE(instance, &func::Manager::instance());
        }
    }

    void identifiersInRegistrationOrder()
    {
        QStringList expected{QStringLiteral("linear"), QStringLiteral("invert"),
                             QStringLiteral("x^2"), QStringLiteral("x^3"),
                             QStringLiteral("x^4"), QStringLiteral("x^5"),
                             QStringLiteral("1-(1-x)^2"), QStringLiteral("1-(1-x)^3"),
                             QStringLiteral("1-(1-x)^4"), QStringLiteral("1-(1-x)^5"),
                             QStringLiteral("log"), QStringLiteral("1-log(1-x)")};
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
        QCOMPARE(manager.identifierList().at(25), QStringLiteral("qubic_bezier_08"));
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
        for (const QString& identifier : {QStringLiteral("nope"), QStringLiteral("Linear"), QString(),
                                          QStringLiteral("cosine_01"), QStringLiteral("cubic_bezier_01")}) {
            QVERIFY(!manager.hasIdentifier(identifier));
            QVERIFY(manager.function(identifier) == nullptr);
        }
    }

    void labels_data()
    {
        QTest::addColumn<QString>("identifier");
        QTest::addColumn<QString>("label");
        const auto row = [](const char* identifier, const QString& label) {
            QTest::newRow(identifier) << QString::fromUtf8(identifier) << label;
        };
        row("linear", QStringLiteral("Linear"));
        row("invert", QStringLiteral("Invert"));
        row("x^2", QStringLiteral("X\u00B2"));
        row("x^3", QStringLiteral("X\u00B3"));
        row("x^4", QStringLiteral("X\u2074"));
        row("x^5", QStringLiteral("X\u2075"));
        row("1-(1-x)^2", QStringLiteral("1-(1-X)\u00B2"));
        row("1-(1-x)^5", QStringLiteral("1-(1-X)\u2075"));
        row("log", QStringLiteral("Log"));
        row("1-log(1-x)", QStringLiteral("Reversed Log"));
        row("quadratic_bezier_01", QStringLiteral("Bezier\u00B2 0.0"));
        row("quadratic_bezier_04", QStringLiteral("Bezier\u00B2 0.6"));
        row("quadratic_bezier_06", QStringLiteral("Bezier\u00B2 1.0"));
        row("qubic_bezier_01", QStringLiteral("Bezier\u00B3 0.8,0.6"));
        row("qubic_bezier_04", QStringLiteral("Bezier\u00B3 0.8,-0.2"));
        row("qubic_bezier_05", QStringLiteral("Bezier\u00B3 0.9,0.6"));
        row("qubic_bezier_11", QStringLiteral("Bezier\u00B3 1.2,0.1"));
        row("qubic_bezier_12", QStringLiteral("Bezier\u00B3 1.2,-0.2"));
        row("triangle_2", QStringLiteral("Triangle 2"));
        row("saw_9", QStringLiteral("Saw 9"));
        row("sine_01", QStringLiteral("Sine 1"));
        row("sine_08", QStringLiteral("Sine 8"));
        row("cos_01", QStringLiteral("Cosine 1"));
        row("steps_10", QStringLiteral("Steps 10"));
        row("steps_128", QStringLiteral("Steps 128"));
        row("divide_10", QStringLiteral("Divide 10"));
    }

    void labels()
    {
        QFETCH(QString, identifier);
        QFETCH(QString, label);
        QCOMPARE(func::Manager::instance().function(identifier)->name(), label);
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
        row("linear does not clamp", "linear", 1.3, 1.3);
        row("invert does not clamp", "invert", 1.3, 1 - 1.3);
        row("invert NaN", "invert", notANumber, 0);
        row("square", "x^2", 0.5, 0.25);
        row("cube of negative", "x^3", -1, -1);
        row("square NaN", "x^2", notANumber, 0);
        row("reversed square beyond 1", "1-(1-x)^2", 1.5, 0.75);
        row("reversed cube NaN", "1-(1-x)^3", notANumber, 1);
        row("log at 0", "log", 0, 0);
        row("log at 1", "log", 1, 1);
        row("log of negative", "log", -0.5, 0);
        row("reversed log at 0", "1-log(1-x)", 0, 0);
        row("reversed log at 1", "1-log(1-x)", 1, 1);
        row("quadratic bezier p 0", "quadratic_bezier_01", 0.5, 0.25);
        row("quadratic bezier p 0.6", "quadratic_bezier_04", 0.5, 0.55);
        row("quadratic bezier NaN", "quadratic_bezier_02", notANumber, notANumber);
        row("cubic bezier 0.8 0.6", "qubic_bezier_01", 0.5, 0.65);
        row("cubic bezier 1.2 -0.2", "qubic_bezier_12", 0.5, 0.5);
        row("triangle odd whole part", "triangle_2", 0.75, 0.5);
        row("triangle even whole part", "triangle_2", 0.25, 0.5);
        row("triangle at 1", "triangle_3", 1, 1);
        row("triangle negative", "triangle_3", -0.25, -0.75);
        row("triangle whole part beyond int", "triangle_2", 2147483648.625, 0.75);
        row("triangle huge", "triangle_4", 1e300, 0);
        row("triangle infinite", "triangle_5", infinity, 0);
        row("triangle NaN", "triangle_2", notANumber, 0);
        row("saw at 1", "saw_4", 1, 1);
        row("saw just below 1", "saw_4", 0.99, 3.96 - 3);
        row("saw negative", "saw_2", -0.25, -0.5);
        row("saw infinite", "saw_2", infinity, 0);
        row("sine at 0", "sine_01", 0, 0.5);
        row("sine at 1", "sine_01", 1, 0.5);
        row("sine 9 at half", "sine_08", 0.5, 0);
        row("sine NaN", "sine_03", notANumber, 0);
        row("cosine at 0", "cos_01", 0, 0);
        row("cosine 3 at 1", "cos_02", 1, 1);
        row("steps at 1", "steps_4", 1, 1);
        row("steps below first edge", "steps_4", 0.24, 0);
        row("steps above first edge", "steps_4", 0.26, 1.0 / 3);
        row("steps divide by the step width", "steps_10", 0.3, 2.0 / 9);
        row("steps below 0", "steps_5", -0.5, 0);
        row("steps above 1", "steps_5", 1.7, 1);
        row("steps huge", "steps_3", 1e300, 1);
        row("steps infinite", "steps_128", infinity, 1);
        row("steps minus infinite", "steps_2", -infinity, 0);
        row("steps NaN", "steps_16", notANumber, 0);
        row("divide", "divide_2", 0.5, 0.25);
        row("divide at 1", "divide_10", 1, 0.1);
        row("divide NaN", "divide_3", notANumber, 0);
    }

    void values()
    {
        QFETCH(QString, identifier);
        QFETCH(double, x);
        QFETCH(double, expected);
        const double actual = func::Manager::instance().function(identifier)->value(x);
        QVERIFY2(isSame(actual, expected), qPrintable(QStringLiteral("%1(%2) = %3, expected %4")
                                                          .arg(identifier)
                                                          .arg(x)
                                                          .arg(actual, 0, 'g', 17)
                                                          .arg(expected, 0, 'g', 17)));
    }

    void everyFunctionFollowsItsFormula()
    {
        const QHash<QString, Formula> formulas = referenceFormulas();
        const func::Manager& manager = func::Manager::instance();
        QCOMPARE(formulas.size(), 84);
        const double inputs[] = {0, 0.5, 1, 0.1, 0.25, 0.3, 0.7, 0.99, 1e-9, -0.3, 1.3, 2.5, notANumber};
        for (const QString& identifier : manager.identifierList()) {
            QVERIFY2(formulas.contains(identifier), qPrintable(identifier));
            for (const double x : inputs) {
                const double actual = manager.function(identifier)->value(x);
                const double expected = formulas.value(identifier)(x);
                QVERIFY2(isSame(actual, expected), qPrintable(QStringLiteral("%1(%2) = %3, expected %4")
                                                                  .arg(identifier)
                                                                  .arg(x)
                                                                  .arg(actual, 0, 'g', 17)
                                                                  .arg(expected, 0, 'g', 17)));
            }
        }
    }

    void distributionFunctionsRiseFromZeroToOne()
    {
        const func::Manager& manager = func::Manager::instance();
        for (const QString& identifier : manager.distributionFunctionIdentifierList()) {
            const func::FunctionPtr function = manager.function(identifier);
            QVERIFY2(isSame(function->value(0), 0), qPrintable(identifier));
            QVERIFY2(std::abs(function->value(1) - 1) < 1e-12, qPrintable(identifier));
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
