#include "mod/LinearNormal.h"

#include "geo/Fixed.h"

namespace mod {

LinearNormal::LinearNormal(geo::Normal1D begin, geo::Normal1D end, const QString& name, geo::Normal1D defaultValue)
    : Modifier(Description(name, defaultValue)), m_begin(begin), m_end(end)
{
}

geo::Normal1D LinearNormal::value() const noexcept
{
    const double t = normalValue();
    const double beginTerm = geo::zeroIfNaN(m_begin * geo::zeroIfNaN(1.0 - t));
    const double endTerm = geo::zeroIfNaN(m_end * t);
    return geo::zeroIfNaN(beginTerm + endTerm);
}

void LinearNormal::setValue(geo::Normal1D value) noexcept
{
    setNormalValue(normalBetween(value, m_begin, m_end));
}

} // namespace mod
