#pragma once

#include "geo/Angle.h"
#include "geo/Length.h"
#include "geo/Normal1D.h"
#include "geo/Normal2D.h"
#include "geo/Point1D.h"

#include <QVariant>

namespace geo {

class Precision;

// A position in millionths of a millimetre; x grows to the right, y downwards.
class Point2D
{
public:
    constexpr Point2D() noexcept = default;
    constexpr Point2D(qint64 x, qint64 y) noexcept : m_x(x), m_y(y) {}
    constexpr Point2D(Point1D x, Point1D y) noexcept : m_x(x.value()), m_y(y.value()) {}

    static Point2D fromMillimeters(double x, double y) noexcept { return Point2D(fixedFromDouble(x), fixedFromDouble(y)); }
    // The unit vector of the angle (length 1000000); exact at 0, 90, 180 and 270 degrees.
    static Point2D normalFromAngle(Angle angle) noexcept;

    constexpr qint64 x() const noexcept { return m_x; }
    constexpr qint64 y() const noexcept { return m_y; }
    constexpr Point1D x1D() const noexcept { return Point1D(m_x); }
    constexpr Point1D y1D() const noexcept { return Point1D(m_y); }
    void setX(qint64 x) noexcept { m_x = x; }
    void setY(qint64 y) noexcept { m_y = y; }

    // Euclidean distance, exact for equal x or y, without overflow for any two points.
    Length distanceTo(const Point2D& other) const noexcept;
    // |dx| + |dy|.
    Length manhattanDistanceTo(const Point2D& other) const noexcept;
    // Equal at the precision in both coordinates.
    bool isEqualTo(const Point2D& other, const Precision& precision) const noexcept;

    constexpr Point2D operator+(const Point2D& other) const noexcept
    {
        return Point2D(saturatedAdd(m_x, other.m_x), saturatedAdd(m_y, other.m_y));
    }
    constexpr Point2D operator-(const Point2D& other) const noexcept
    {
        return Point2D(saturatedSubtract(m_x, other.m_x), saturatedSubtract(m_y, other.m_y));
    }
    constexpr Point2D operator-() const noexcept { return Point2D(saturatedSubtract(0, m_x), saturatedSubtract(0, m_y)); }
    Point2D& operator+=(const Point2D& other) noexcept { return *this = *this + other; }
    Point2D& operator-=(const Point2D& other) noexcept { return *this = *this - other; }

    // Each coordinate times the factor by the fixed-product rule.
    Point2D operator*(Normal1D factor) const noexcept;
    Point2D operator*(const Normal2D& factors) const noexcept;
    Point2D operator/(Normal1D factor) const noexcept;
    Point2D operator/(const Normal2D& factors) const noexcept;

    constexpr bool operator==(const Point2D& other) const noexcept { return m_x == other.m_x && m_y == other.m_y; }
    constexpr bool operator!=(const Point2D& other) const noexcept { return !(*this == other); }

    // {"x", "y"} as fixed integers.
    QVariant toVariant() const;
    // Each key as a length (an integer is the fixed value, any other number millimetres); missing gives 0.
    static Point2D fromVariant(const QVariant& variant);

private:
    qint64 m_x = 0;
    qint64 m_y = 0;
};

// The result of the closest-point queries.
struct PointAndDistance {
    Point2D point;
    Length distance;
};

} // namespace geo
