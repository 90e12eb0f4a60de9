#pragma once

#include "geo/FixedValue.h"
#include "geo/Length.h"

namespace geo {

// One coordinate in millionths of a millimetre.
class Point1D : public FixedValue<Point1D>
{
public:
    using FixedValue::FixedValue;

    Length absDistanceTo(Point1D other) const noexcept
    {
        const qint64 difference = saturatedSubtract(m_value, other.m_value);
        return Length(difference < 0 ? saturatedSubtract(0, difference) : difference);
    }
};

inline Point1D Length::toPoint1D() const noexcept
{
    return Point1D(m_value);
}

inline Length Length::fromZeroToPoint(Point1D point) noexcept
{
    return Length(point.value());
}

} // namespace geo
