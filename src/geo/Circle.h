#pragma once

#include "geo/AngleSegment.h"
#include "geo/Length.h"
#include "geo/Point2D.h"

#include <QVariant>

#include <utility>

namespace geo {

class Path;

// A centre and a radius.
class Circle
{
public:
    constexpr Circle() noexcept = default;
    constexpr Circle(const Point2D& center, Length radius) noexcept : m_center(center), m_radius(radius) {}

    constexpr const Point2D& center() const noexcept { return m_center; }
    constexpr Length radius() const noexcept { return m_radius; }
    void setCenter(const Point2D& center) noexcept { m_center = center; }
    void setRadius(Length radius) noexcept { m_radius = radius; }
    void moveCenter(const Point2D& offset) noexcept { m_center += offset; }

    // center + unit vector × radius.
    Point2D pointAtAngle(Angle angle) const noexcept;
    // For a point outside the circle: (base − delta, base + delta), the angles at which the tangents from
    // the point touch the circle.
    AngleSegment tangentAngles(const Point2D& point) const noexcept;
    std::pair<Point2D, Point2D> tangentPoints(const Point2D& point) const noexcept;
    // The points at every angle of segment.toSequence(step).
    Path toPath(const AngleSegment& segment, Angle step) const;

    constexpr bool operator==(const Circle& other) const noexcept
    {
        return m_center == other.m_center && m_radius == other.m_radius;
    }
    constexpr bool operator!=(const Circle& other) const noexcept { return !(*this == other); }

    // {"center": point map, "radius": fixed integer}.
    QVariant toVariant() const;
    static Circle fromVariant(const QVariant& variant);

private:
    Point2D m_center;
    Length m_radius;
};

} // namespace geo
