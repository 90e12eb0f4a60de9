#include "geo/Angle.h"

#include <cmath>

namespace geo {

double Angle::radians() const noexcept
{
    return degrees() * M_PI / 180.0;
}

double Angle::sin() const noexcept
{
    return zeroIfNaN(std::sin(radians()));
}

double Angle::cos() const noexcept
{
    return zeroIfNaN(std::cos(radians()));
}

Normal2D Angle::toNormal2D() const noexcept
{
    const Angle angle = normalized();
    return Normal2D(angle.cos(), angle.sin());
}

} // namespace geo
