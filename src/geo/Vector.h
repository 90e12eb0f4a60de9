#pragma once

#include "geo/Angle.h"
#include "geo/Length.h"
#include "geo/Point2D.h"

namespace geo {

// A directed segment from start to end.
class Vector
{
public:
    constexpr Vector() noexcept = default;
    constexpr Vector(const Point2D& start, const Point2D& end) noexcept : m_start(start), m_end(end) {}

    constexpr const Point2D& start() const noexcept { return m_start; }
    constexpr const Point2D& end() const noexcept { return m_end; }
    void setStart(const Point2D& start) noexcept { m_start = start; }
    void setEnd(const Point2D& end) noexcept { m_end = end; }

    Length length() const noexcept { return m_start.distanceTo(m_end); }
    // The direction from start to end, not normalised: exact on the axes, otherwise atan2 in (−180, 180].
    Angle angle() const noexcept;
    // Whether the two segments share a point; touching at an end counts, parallel segments never do.
    bool doesIntersect(const Vector& other) const noexcept;
    // One bisection step toward the point: the half whose end is closer, or (m, m) when done.
    Vector closerSegment(const Point2D& point) const noexcept;
    // The closest point on the segment by bisection, and its distance to the point.
    PointAndDistance closestPointAndDistanceOnPath(const Point2D& point) const noexcept;
    // The point at the distance along the segment, limited to its ends.
    Point2D pointOnVectorAtDistance(Length distance) const noexcept;

    constexpr bool operator==(const Vector& other) const noexcept
    {
        return m_start == other.m_start && m_end == other.m_end;
    }
    constexpr bool operator!=(const Vector& other) const noexcept { return !(*this == other); }

private:
    Point2D m_start;
    Point2D m_end;
};

} // namespace geo
