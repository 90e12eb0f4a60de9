#pragma once

#include <QVariant>

#include <algorithm>
#include <cmath>

namespace geo {

// A normalised value: a double that is, as a rule, within [0, 1] (a factor, an opacity, a relative
// position). It converts to and from double freely; the named functions apply the rules of reading.
class Normal1D
{
public:
    constexpr Normal1D() noexcept = default;
    constexpr Normal1D(double value) noexcept : m_value(value) {} // NOLINT: a normal is a double with rules

    constexpr operator double() const noexcept { return m_value; }
    constexpr double value() const noexcept { return m_value; }

    bool isNaN() const noexcept { return std::isnan(m_value); }
    // NaN gives 0; every other value is unchanged.
    Normal1D orZero() const noexcept { return isNaN() ? 0.0 : m_value; }
    // Within [0, 1]; NaN gives 0.
    Normal1D clamped() const noexcept { return isNaN() ? 0.0 : std::clamp(m_value, 0.0, 1.0); }
    // Within [minimum, maximum]; NaN gives 0.
    Normal1D clamped(double minimum, double maximum) const noexcept
    {
        return isNaN() ? 0.0 : std::clamp(m_value, minimum, maximum);
    }

    QVariant toVariant() const { return QVariant(m_value); }
    // QVariant::toDouble with NaN as 0; not clamped.
    static Normal1D fromVariant(const QVariant& variant) { return Normal1D(variant.toDouble()).orZero(); }

private:
    double m_value = 0.0;
};

} // namespace geo
