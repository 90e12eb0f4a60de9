#include "mod/Modifier.h"

#include "geo/Fixed.h"

namespace mod {

Modifier::Modifier(const Description& description) : m_description(description)
{
    setNormalValue(description.defaultValue());
}

qint64 Modifier::interpolatedFixed(qint64 begin, qint64 end, double t) noexcept
{
    const qint64 beginTerm = geo::multiplyByFactor(begin, geo::zeroIfNaN(1.0 - t));
    const qint64 endTerm = geo::multiplyByFactor(end, t);
    return geo::saturatedAdd(beginTerm, endTerm);
}

geo::Normal1D Modifier::normalBetween(double value, double begin, double end) noexcept
{
    const double span = end - begin;
    if (span == 0.0) {
        return 0.0;
    }
    return geo::Normal1D((value - begin) / span).clamped();
}

} // namespace mod
