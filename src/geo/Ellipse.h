#pragma once

#include "geo/Angle.h"
#include "geo/Point2D.h"
#include "geo/Size.h"

namespace geo {

class Path;

// An ellipse by its centre and its half width and half height.
class Ellipse
{
public:
    constexpr Ellipse() noexcept = default;
    // Stores half the size (integer division).
    constexpr Ellipse(const Point2D& center, const Size& size) noexcept
        : m_center(center), m_radii(size.width() / 2, size.height() / 2)
    {
    }

    constexpr const Point2D& center() const noexcept { return m_center; }
    constexpr const Size& radii() const noexcept { return m_radii; }

    // The points at θ = i × 2π / segments; fewer than 1 segment gives an empty path.
    Path toPath(int segments) const;
    // Where the ray from the centre at the angle meets the ellipse.
    Point2D framePoint(Angle angle) const noexcept;

private:
    Point2D m_center;
    Size m_radii;
};

} // namespace geo
