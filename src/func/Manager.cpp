#include "func/Manager.h"

#include "func/CubicBezier.h"
#include "func/QuadraticBezier.h"

#include <array>
#include <cmath>

namespace func {

namespace {

// Where a formula turns an intermediate value into a normal, a NaN becomes 0.
double normal(double value)
{
    return std::isnan(value) ? 0.0 : value;
}

double power(double x, int exponent)
{
    return exponent == 2 ? x * x : std::pow(x, exponent);
}

double logarithmic(double x)
{
    // (ln(x + 0.01) - ln 0.01) / (ln 1.01 - ln 0.01): 0 at 0 and 1 at 1.
    return normal((std::log(x + 0.01) + 4.605170185988091) / 4.615120516841259);
}

double triangle(double x, int count)
{
    double whole = 0.0;
    double fraction = std::modf(count * x, &whole);
    // The whole part stays a double: it may be huge, infinite or NaN. fmod is 1 exactly for odd
    // positive whole numbers.
    if (std::fmod(whole, 2.0) == 1.0) {
        fraction = 1.0 - fraction;
    }
    return normal(fraction);
}

double saw(double x, int count)
{
    if (x == 1.0) {
        return 1.0;
    }
    double whole = 0.0;
    return normal(std::modf(count * x, &whole));
}

double steps(double x, int count)
{
    const double last = count - 1;
    // Dividing by the step width (not multiplying by the count) decides which step a boundary
    // value such as 0.3 falls on; the step number stays a double, as x may be NaN or huge.
    double step = std::floor(x / (1.0 / count));
    step = step < 0.0 ? 0.0 : std::min(step, last);
    const double result = normal(step * (1.0 / last));
    return result < 0.0 ? 0.0 : std::min(result, 1.0);
}

QString superscript(int exponent)
{
    static const std::array<QChar, 4> digits{QChar(0x00B2), QChar(0x00B3), QChar(0x2074), QChar(0x2075)};
    return QString(digits.at(static_cast<std::size_t>(exponent - 2)));
}

QString twoDigits(int number)
{
    return QStringLiteral("%1").arg(number, 2, 10, QLatin1Char('0'));
}

QString oneDecimal(double value)
{
    return QString::number(value, 'f', 1);
}

} // namespace

const Manager& Manager::instance()
{
    static const Manager manager;
    return manager;
}

Manager::Manager()
{
    addSimple(QStringLiteral("linear"), QStringLiteral("Linear"), true, [](geo::Normal1D x) { return x; });
    addSimple(QStringLiteral("invert"), QStringLiteral("Invert"), false,
              [](geo::Normal1D x) { return geo::Normal1D(normal(1.0 - x.value())); });
    addPowers();
    addLogarithms();
    addBezierCurves();
    addWaves();
    addStepsAndDivisions();
}

Manager::~Manager() = default;

void Manager::addPowers()
{
    for (int exponent = 2; exponent <= 5; ++exponent) {
        addSimple(QStringLiteral("x^%1").arg(exponent), QStringLiteral("X") + superscript(exponent), true,
                  [exponent](geo::Normal1D x) { return geo::Normal1D(normal(power(x.value(), exponent))); });
    }
    for (int exponent = 2; exponent <= 5; ++exponent) {
        addSimple(QStringLiteral("1-(1-x)^%1").arg(exponent), QStringLiteral("1-(1-X)") + superscript(exponent), false,
                  [exponent](geo::Normal1D x) {
                      const double inverse = normal(1.0 - x.value());
                      return geo::Normal1D(normal(1.0 - normal(power(inverse, exponent))));
                  });
    }
}

void Manager::addLogarithms()
{
    addSimple(QStringLiteral("log"), QStringLiteral("Log"), true,
              [](geo::Normal1D x) { return geo::Normal1D(logarithmic(x.value())); });
    addSimple(QStringLiteral("1-log(1-x)"), QStringLiteral("Reversed Log"), false, [](geo::Normal1D x) {
        return geo::Normal1D(normal(1.0 - logarithmic(normal(1.0 - x.value()))));
    });
}

void Manager::addBezierCurves()
{
    static constexpr std::array<double, 6> quadraticControls{0.0, 0.2, 0.4, 0.6, 0.8, 1.0};
    int number = 1;
    for (const double p : quadraticControls) {
        addQuadraticBezier(QStringLiteral("quadratic_bezier_%1").arg(twoDigits(number)),
                           QStringLiteral("Bezier\u00B2 %1").arg(oneDecimal(p)), p);
        ++number;
    }
    static constexpr std::array<double, 3> firstControls{0.8, 0.9, 1.2};
    static constexpr std::array<double, 4> secondControls{0.6, 0.2, 0.1, -0.2};
    number = 1;
    for (const double p1 : firstControls) {
        for (const double p2 : secondControls) {
            addQubicBezier(QStringLiteral("qubic_bezier_%1").arg(twoDigits(number)),
                           QStringLiteral("Bezier\u00B3 %1,%2").arg(oneDecimal(p1), oneDecimal(p2)), p1, p2);
            ++number;
        }
    }
}

void Manager::addWaves()
{
    for (int count = 2; count <= 9; ++count) {
        addSimple(QStringLiteral("triangle_%1").arg(count), QStringLiteral("Triangle %1").arg(count), false,
                  [count](geo::Normal1D x) { return geo::Normal1D(triangle(x.value(), count)); });
    }
    for (int count = 2; count <= 9; ++count) {
        addSimple(QStringLiteral("saw_%1").arg(count), QStringLiteral("Saw %1").arg(count), false,
                  [count](geo::Normal1D x) { return geo::Normal1D(saw(x.value(), count)); });
    }
    for (int number = 1; number <= 8; ++number) {
        const double frequency = number + 1;
        addSimple(QStringLiteral("sine_%1").arg(twoDigits(number)), QStringLiteral("Sine %1").arg(number), false,
                  [frequency](geo::Normal1D x) {
                      return geo::Normal1D(normal(0.5 * std::sin(frequency * (x.value() * M_PI) - M_PI) + 0.5));
                  });
    }
    for (int number = 1; number <= 8; ++number) {
        const double frequency = number + 1;
        addSimple(QStringLiteral("cos_%1").arg(twoDigits(number)), QStringLiteral("Cosine %1").arg(number), false,
                  [frequency](geo::Normal1D x) {
                      return geo::Normal1D(normal(0.5 * std::cos(frequency * (x.value() * M_PI) - M_PI) + 0.5));
                  });
    }
}

void Manager::addStepsAndDivisions()
{
    for (const int count : {2, 3, 4, 5, 6, 7, 8, 9, 10, 16, 32, 64, 128}) {
        addSimple(QStringLiteral("steps_%1").arg(count), QStringLiteral("Steps %1").arg(count), true,
                  [count](geo::Normal1D x) { return geo::Normal1D(steps(x.value(), count)); });
    }
    for (int divisor = 2; divisor <= 10; ++divisor) {
        addSimple(QStringLiteral("divide_%1").arg(divisor), QStringLiteral("Divide %1").arg(divisor), false,
                  [divisor](geo::Normal1D x) { return geo::Normal1D(normal(x.value() / divisor)); });
    }
}

void Manager::add(const FunctionPtr& function, bool isDistribution)
{
    const QString identifier = function->identifier();
    m_identifiers.append(identifier);
    if (isDistribution) {
        m_distributionIdentifiers.append(identifier);
    }
    m_functions.insert(identifier, function);
}

void Manager::addSimple(const QString& identifier, const QString& name, bool isDistribution, Simple::Function function)
{
    add(std::make_shared<const Simple>(identifier, name, std::move(function)), isDistribution);
}

void Manager::addQuadraticBezier(const QString& identifier, const QString& name, geo::Normal1D p)
{
    add(std::make_shared<const QuadraticBezier>(identifier, name, p), true);
}

void Manager::addQubicBezier(const QString& identifier, const QString& name, geo::Normal1D p1, geo::Normal1D p2)
{
    add(std::make_shared<const CubicBezier>(identifier, name, p1, p2), false);
}

bool Manager::hasIdentifier(const QString& identifier) const
{
    return m_functions.contains(identifier);
}

QStringList Manager::identifierList() const
{
    return m_identifiers;
}

QStringList Manager::distributionFunctionIdentifierList() const
{
    return m_distributionIdentifiers;
}

FunctionPtr Manager::function(const QString& identifier) const
{
    return m_functions.value(identifier);
}

} // namespace func
