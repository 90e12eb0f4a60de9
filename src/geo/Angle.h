#pragma once

#include "geo/FixedValue.h"
#include "geo/Normal2D.h"

namespace geo {

// An angle in millionths of a degree; a full turn is 360000000. 0 points along +x, 90 degrees along +y
// (downwards on screen).
class Angle : public FixedValue<Angle>
{
public:
    using FixedValue::FixedValue;

    static constexpr qint64 fullTurn = 360000000;

    static Angle fromDegrees(double degrees) noexcept { return fromDouble(degrees); }
    constexpr double degrees() const noexcept { return toDouble(); }
    double radians() const noexcept;

    // Within [0, 360) degrees.
    constexpr Angle normalized() const noexcept
    {
        const qint64 remainder = m_value % fullTurn;
        return Angle(remainder < 0 ? remainder + fullTurn : remainder);
    }
    constexpr Angle toAbs() const noexcept { return m_value < 0 ? -Angle(m_value) : Angle(m_value); }

    // NaN results give 0.
    double sin() const noexcept;
    double cos() const noexcept;
    // (cos, sin) of the normalized angle.
    Normal2D toNormal2D() const noexcept;
};

} // namespace geo
