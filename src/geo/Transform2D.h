#pragma once

#include "geo/Angle.h"
#include "geo/Point2D.h"

#include <array>

namespace geo {

// An affine map, a 3 × 3 matrix in row order (a, b, tx; c, d, ty; 0, 0, 1). a, b, c and d are factors;
// tx and ty are millimetres.
class Transform2D
{
public:
    // The identity.
    constexpr Transform2D() noexcept = default;
    constexpr Transform2D(double a, double b, double tx, double c, double d, double ty) noexcept
        : m_matrix{a, b, tx, c, d, ty, 0.0, 0.0, 1.0}
    {
    }

    static Transform2D translation(const Point2D& offset) noexcept;
    static constexpr Transform2D scaling(double x, double y) noexcept { return Transform2D(x, 0, 0, 0, y, 0); }
    // About (0, 0); NaN sines and cosines count as 0.
    static Transform2D rotation(Angle angle) noexcept;

    constexpr double a() const noexcept { return m_matrix[0]; }
    constexpr double b() const noexcept { return m_matrix[1]; }
    constexpr double tx() const noexcept { return m_matrix[2]; }
    constexpr double c() const noexcept { return m_matrix[3]; }
    constexpr double d() const noexcept { return m_matrix[4]; }
    constexpr double ty() const noexcept { return m_matrix[5]; }

    // (x × a + y × b + tx, x × c + y × d + ty): products by the fixed-product rule, tx and ty by the
    // saturating conversion.
    Point2D map(const Point2D& point) const noexcept;
    // The map that applies other first, then this.
    Transform2D operator*(const Transform2D& other) const noexcept;

private:
    std::array<double, 9> m_matrix{1.0, 0.0, 0.0, 0.0, 1.0, 0.0, 0.0, 0.0, 1.0};
};

} // namespace geo
