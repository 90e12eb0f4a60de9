#include "mod/Angle.h"

namespace mod {

Angle::Angle(geo::Angle begin, geo::Angle end, const QString& name, geo::Normal1D defaultValue)
    : Modifier(Description(name, defaultValue)), m_begin(begin), m_end(end)
{
}

geo::Angle Angle::value() const noexcept
{
    return geo::Angle(interpolatedFixed(m_begin.value(), m_end.value(), normalValue()));
}

void Angle::setValue(geo::Angle value) noexcept
{
    setNormalValue(normalBetween(value.toDouble(), m_begin.toDouble(), m_end.toDouble()));
}

} // namespace mod
