#pragma once

#include "geo/FixedValue.h"

namespace geo {

class Point1D;

// A length in millionths of a millimetre (1 mm = 1000000).
class Length : public FixedValue<Length>
{
public:
    using FixedValue::FixedValue;

    static constexpr Length maximum() noexcept { return Length(fixedMaximum); }

    Point1D toPoint1D() const noexcept;
    // The length from the origin to a coordinate.
    static Length fromZeroToPoint(Point1D point) noexcept;
};

} // namespace geo
