#include "doc/DynamicValue.h"

#include "doc/InputFunctions.h"
#include "geo/Angle.h"
#include "geo/Fixed.h"
#include "geo/Size.h"
#include "geo/Vector.h"

#include <QBasicMutex>
#include <QMutexLocker>
#include <QRandomGenerator>
#include <QVariantMap>

#include <algorithm>
#include <cmath>
#include <random>

namespace doc {

namespace {

const geo::NormalRange defaultRange{0.0, 1.0};
const geo::Normal2D defaultCenter{0.5, 0.5};

// The polar angle is measured between integer points on a 100 mm square.
constexpr qint64 polarSquareSide = 100000000;
constexpr qint64 halfTurn = 180000000;

QString formatNumber(double value)
{
    return QString::number(value, 'f', 3);
}

std::ranlux48& randomEngine()
{
    static std::ranlux48 engine(DynamicValue::randomSeed([] { return quint64(std::random_device()()); }));
    return engine;
}

} // namespace

DynamicValue::DynamicValue(Document* document)
    : DynamicValue(document, DynamicValueInput::Zero, 0.0, defaultRange, defaultCenter)
{
}

DynamicValue::DynamicValue(Document* document, DynamicValueInput input, geo::Normal1D offset,
                           geo::NormalRange range, geo::Normal2D center)
    : DocumentElement(document),
      m_input(input),
      m_functions(std::make_shared<InputFunctions>(document)),
      m_offset(offset),
      m_range(range),
      m_center(center)
{
    m_functions->addListener(this);
}

DynamicValue::~DynamicValue()
{
    m_functions->removeListener(this);
}

QVariant DynamicValue::toData() const
{
    return QVariantMap{
        {QStringLiteral("input"), dynamicValueInputToString(m_input)},
        {QStringLiteral("functions"), m_functions->toData()},
        {QStringLiteral("offset"), m_offset.value()},
        {QStringLiteral("range"), m_range.toVariant()},
        {QStringLiteral("center"), m_center.toVariant()},
    };
}

void DynamicValue::setFromDataOrThrow(const QVariant& data)
{
    const QVariantMap map = data.toMap();
    m_input = dynamicValueInputFromString(map.value(QStringLiteral("input")).toString());
    m_functions->setFromDataOrThrow(map.value(QStringLiteral("functions")));
    m_offset = geo::Normal1D::fromVariant(map.value(QStringLiteral("offset")));
    m_range = geo::NormalRange::fromVariant(map.value(QStringLiteral("range")));
    m_center = geo::Normal2D::fromVariant(map.value(QStringLiteral("center"))).clamped();
    documentElementReset();
}

void DynamicValue::onDocumentPropertyChanged(const QString&, const DocumentElement* element)
{
    if (element == m_functions.get()) {
        propertyChanged(QStringLiteral("functions"));
    }
}

// The value listens to its chain alone, so every addition, removal or reset comes from it.
void DynamicValue::onDocumentElementAdded(const QString&)
{
    propertyChanged(QStringLiteral("functions"));
}

void DynamicValue::onDocumentElementRemoved(const QString&)
{
    propertyChanged(QStringLiteral("functions"));
}

void DynamicValue::onDocumentElementReset()
{
    propertyChanged(QStringLiteral("functions"));
}

void DynamicValue::setInput(DynamicValueInput input)
{
    if (m_input == input) {
        return;
    }
    m_input = input;
    propertyChanged(QStringLiteral("input"));
}

void DynamicValue::setOffset(geo::Normal1D offset)
{
    if (m_offset.value() == offset.value()) {
        return;
    }
    m_offset = offset;
    propertyChanged(QStringLiteral("offset"));
}

void DynamicValue::setRange(const geo::NormalRange& range)
{
    if (m_range == range) {
        return;
    }
    m_range = range;
    propertyChanged(QStringLiteral("range"));
}

void DynamicValue::setCenter(const geo::Normal2D& center)
{
    if (m_center == center) {
        return;
    }
    m_center = center;
    propertyChanged(QStringLiteral("center"));
}

void DynamicValue::setParent(const std::shared_ptr<DynamicValue>& parent)
{
    m_parent = parent;
}

void DynamicValue::resetToDefaults()
{
    resetTo(DynamicValueInput::Zero);
}

void DynamicValue::resetToInheritFromParent()
{
    resetTo(DynamicValueInput::Parent);
}

void DynamicValue::resetTo(DynamicValueInput input)
{
    m_input = input;
    // The chain's own reset reaches this value as a "functions" change before the value's reset.
    m_functions->resetToDefaults();
    m_offset = 0.0;
    m_range = defaultRange;
    m_center = defaultCenter;
    documentElementReset();
}

geo::Normal1D DynamicValue::normal(const ItemStyleInput& in, bool cyclic) const
{
    if (m_input == DynamicValueInput::Zero) {
        return wrappedOrClamped(m_offset, cyclic);
    }
    double value = m_functions->normal(inputValue(in, cyclic));
    // A parent's result is already mapped into its own range.
    if (m_input != DynamicValueInput::Parent) {
        value = m_range.interpolated(value);
    }
    return wrappedOrClamped(m_offset + value, cyclic);
}

double DynamicValue::inputValue(const ItemStyleInput& in, bool cyclic) const
{
    const geo::Normal2D point = geo::Normal2D(in.x, in.y).clamped();
    switch (m_input) {
    case DynamicValueInput::Parent:
        return m_parent != nullptr ? m_parent->normal(in, cyclic).value() : 0.0;
    case DynamicValueInput::Zero:
        return 0.0;
    case DynamicValueInput::X:
        return point.x();
    case DynamicValueInput::Y:
        return point.y();
    case DynamicValueInput::PolarAngle:
        return polarAngle(point);
    case DynamicValueInput::PolarDistance:
        return polarDistance(point);
    case DynamicValueInput::ItemRadius:
        return in.radius;
    case DynamicValueInput::ItemIndex:
        return in.index;
    case DynamicValueInput::Random:
        return randomNormal();
    }
    return 0.0;
}

// 0 to the left of the center, 0.25 above, 0.5 to the right (and on the center), 0.75 below.
double DynamicValue::polarAngle(const geo::Normal2D& point) const
{
    const geo::Size square(polarSquareSide, polarSquareSide);
    const geo::Vector vector(square.toPoint(m_center), square.toPoint(point));
    const geo::Angle angle = (vector.angle() - geo::Angle(halfTurn)).normalized();
    return geo::zeroIfNaN(static_cast<double>(angle.value()) / 1e6 / 360.0);
}

// 1 at the corner farthest from the center.
double DynamicValue::polarDistance(const geo::Normal2D& point) const
{
    const double farthest = std::max({m_center.distanceTo(geo::Normal2D(0.0, 0.0)),
                                      m_center.distanceTo(geo::Normal2D(1.0, 0.0)),
                                      m_center.distanceTo(geo::Normal2D(0.0, 1.0)),
                                      m_center.distanceTo(geo::Normal2D(1.0, 1.0))});
    return geo::zeroIfNaN(m_center.distanceTo(point) / farthest);
}

geo::Normal1D DynamicValue::wrappedOrClamped(double value, bool cyclic)
{
    if (!cyclic) {
        return geo::Normal1D(value).clamped();
    }
    double whole = 0.0;
    const double fraction = std::abs(std::modf(value, &whole));
    return geo::zeroIfNaN(value < 0.0 ? 1.0 - fraction : fraction);
}

geo::Normal1D DynamicValue::randomNormal()
{
    static QBasicMutex mutex;
    const QMutexLocker locker(&mutex);
    std::uniform_real_distribution<double> distribution(0.0, 1.0);
    return geo::Normal1D(distribution(randomEngine())).orZero();
}

quint64 DynamicValue::randomSeed(const std::function<quint64()>& device)
{
    try {
        return device();
    } catch (const std::exception&) {
        // A system without a usable random device still has the generator Qt reads from the OS.
        return QRandomGenerator::system()->generate64();
    }
}

QString DynamicValue::toString() const
{
    return QStringLiteral("{%1;%2;%3;%4-%5;%6,%7}")
        .arg(dynamicValueInputToString(m_input), m_functions->toString(), formatNumber(m_offset),
             formatNumber(m_range.begin()), formatNumber(m_range.end()), formatNumber(m_center.x()),
             formatNumber(m_center.y()));
}

} // namespace doc
