#include "geo/Point2D.h"

#include "geo/Precision.h"
#include "geo/Value.h"

#include <QVariantMap>

#include <cmath>

namespace geo {

namespace {

// d² / 1000000 for a coordinate difference of up to 65 bits, exact and without overflow.
unsigned __int128 scaledSquare(__int128 difference) noexcept
{
    const unsigned __int128 magnitude = static_cast<unsigned __int128>(difference < 0 ? -difference : difference);
    return magnitude * magnitude / static_cast<unsigned __int128>(fixedUnit);
}

} // namespace

Point2D Point2D::normalFromAngle(Angle angle) noexcept
{
    const Angle normalized = angle.normalized();
    switch (normalized.value()) {
    case 0:
        return Point2D(fixedUnit, 0);
    case 90000000:
        return Point2D(0, fixedUnit);
    case 180000000:
        return Point2D(-fixedUnit, 0);
    case 270000000:
        return Point2D(0, -fixedUnit);
    default:
        return Point2D(fixedFromDouble(normalized.cos()), fixedFromDouble(normalized.sin()));
    }
}

Length Point2D::distanceTo(const Point2D& other) const noexcept
{
    const __int128 dx = static_cast<__int128>(other.m_x) - m_x;
    const __int128 dy = static_cast<__int128>(other.m_y) - m_y;
    if (dx == 0 && dy == 0) {
        return Length(0);
    }
    if (dx == 0) {
        return Length(saturated(dy < 0 ? -dy : dy));
    }
    if (dy == 0) {
        return Length(saturated(dx < 0 ? -dx : dx));
    }
    // The sum of the two scaled squares is in square millionths of a millimetre divided by 1000000,
    // so its square root is in thousandths of a millimetre.
    const unsigned __int128 sum = scaledSquare(dx) + scaledSquare(dy);
    const double millimeters = std::sqrt(static_cast<double>(sum)) / 1000.0;
    return Length(fixedFromDouble(millimeters));
}

Length Point2D::manhattanDistanceTo(const Point2D& other) const noexcept
{
    const __int128 dx = static_cast<__int128>(other.m_x) - m_x;
    const __int128 dy = static_cast<__int128>(other.m_y) - m_y;
    return Length(saturated((dx < 0 ? -dx : dx) + (dy < 0 ? -dy : dy)));
}

bool Point2D::isEqualTo(const Point2D& other, const Precision& precision) const noexcept
{
    return Value(m_x).isEqualTo(Value(other.m_x), precision) && Value(m_y).isEqualTo(Value(other.m_y), precision);
}

Point2D Point2D::operator*(Normal1D factor) const noexcept
{
    const qint64 fixedFactor = fixedFromDouble(factor);
    return Point2D(multiplyFixed(m_x, fixedFactor), multiplyFixed(m_y, fixedFactor));
}

Point2D Point2D::operator*(const Normal2D& factors) const noexcept
{
    return Point2D(multiplyByFactor(m_x, factors.x()), multiplyByFactor(m_y, factors.y()));
}

Point2D Point2D::operator/(Normal1D factor) const noexcept
{
    const qint64 fixedFactor = fixedFromDouble(factor);
    return Point2D(divideFixed(m_x, fixedFactor), divideFixed(m_y, fixedFactor));
}

Point2D Point2D::operator/(const Normal2D& factors) const noexcept
{
    return Point2D(divideByFactor(m_x, factors.x()), divideByFactor(m_y, factors.y()));
}

QVariant Point2D::toVariant() const
{
    return QVariantMap{{QStringLiteral("x"), static_cast<qlonglong>(m_x)},
                       {QStringLiteral("y"), static_cast<qlonglong>(m_y)}};
}

Point2D Point2D::fromVariant(const QVariant& variant)
{
    const QVariantMap map = variant.toMap();
    return Point2D(Length::fromVariant(map.value(QStringLiteral("x"))).value(),
                   Length::fromVariant(map.value(QStringLiteral("y"))).value());
}

} // namespace geo
