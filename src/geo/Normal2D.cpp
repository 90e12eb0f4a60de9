#include "geo/Normal2D.h"

#include "geo/Fixed.h"

#include <QVariantMap>

#include <cmath>

namespace geo {

Normal2D Normal2D::clamped() const noexcept
{
    return Normal2D(Normal1D(m_x).clamped(), Normal1D(m_y).clamped());
}

double Normal2D::distanceTo(const Normal2D& other) const noexcept
{
    if (m_x == other.m_x && m_y == other.m_y) {
        return 0.0;
    }
    if (m_x == other.m_x) {
        return zeroIfNaN(std::abs(m_y - other.m_y));
    }
    if (m_y == other.m_y) {
        return zeroIfNaN(std::abs(m_x - other.m_x));
    }
    return zeroIfNaN(std::hypot(m_x - other.m_x, m_y - other.m_y));
}

QVariant Normal2D::toVariant() const
{
    return QVariantMap{{QStringLiteral("x"), m_x}, {QStringLiteral("y"), m_y}};
}

Normal2D Normal2D::fromVariant(const QVariant& variant)
{
    const QVariantMap map = variant.toMap();
    return Normal2D(Normal1D::fromVariant(map.value(QStringLiteral("x"))),
                    Normal1D::fromVariant(map.value(QStringLiteral("y"))));
}

} // namespace geo
