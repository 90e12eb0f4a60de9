#include "mod/LinearValue.h"

namespace mod {

LinearValue::LinearValue(geo::Value begin, geo::Value end, const geo::Precision& precision, const QString& name,
                         geo::Normal1D defaultValue)
    : Modifier(Description(name, defaultValue)), m_begin(begin), m_end(end), m_precision(precision)
{
}

geo::Value LinearValue::value() const noexcept
{
    return geo::Value(m_precision.rounded(interpolatedFixed(m_begin.value(), m_end.value(), normalValue())));
}

void LinearValue::setValue(geo::Value value) noexcept
{
    const geo::Value rounded(m_precision.rounded(value.value()));
    setNormalValue(normalBetween(rounded.toDouble(), m_begin.toDouble(), m_end.toDouble()));
}

} // namespace mod
