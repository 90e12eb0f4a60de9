#pragma once

#include "geo/Normal1D.h"

#include <QVariant>

namespace geo {

// A normalised point or a pair of factors.
class Normal2D
{
public:
    constexpr Normal2D() noexcept = default;
    constexpr Normal2D(double x, double y) noexcept : m_x(x), m_y(y) {}

    constexpr double x() const noexcept { return m_x; }
    constexpr double y() const noexcept { return m_y; }
    void setX(double x) noexcept { m_x = x; }
    void setY(double y) noexcept { m_y = y; }

    // Each component within [0, 1]; NaN gives 0.
    Normal2D clamped() const noexcept;
    // Euclidean distance; equal x gives |dy|, equal y gives |dx|; NaN gives 0.
    double distanceTo(const Normal2D& other) const noexcept;

    // {"x", "y"} as doubles.
    QVariant toVariant() const;
    // Each key with QVariant::toDouble, NaN as 0; not clamped.
    static Normal2D fromVariant(const QVariant& variant);

    constexpr bool operator==(const Normal2D& other) const noexcept { return m_x == other.m_x && m_y == other.m_y; }
    constexpr bool operator!=(const Normal2D& other) const noexcept { return !(*this == other); }

private:
    double m_x = 0.0;
    double m_y = 0.0;
};

} // namespace geo
