#include "geo/NormalRange.h"

#include "geo/Fixed.h"

#include <QVariantMap>

namespace geo {

Normal1D NormalRange::interpolated(Normal1D t) const noexcept
{
    const double inverse = zeroIfNaN(1.0 - t);
    const double beginTerm = zeroIfNaN(m_begin * inverse);
    const double endTerm = zeroIfNaN(m_end * t);
    return zeroIfNaN(beginTerm + endTerm);
}

QVariant NormalRange::toVariant() const
{
    return QVariantMap{{QStringLiteral("begin"), m_begin.value()}, {QStringLiteral("end"), m_end.value()}};
}

NormalRange NormalRange::fromVariant(const QVariant& variant)
{
    const QVariantMap map = variant.toMap();
    return NormalRange(Normal1D::fromVariant(map.value(QStringLiteral("begin"))).clamped(-1.0, 1.0),
                       Normal1D::fromVariant(map.value(QStringLiteral("end"))).clamped(-1.0, 1.0));
}

} // namespace geo
