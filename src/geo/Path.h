#pragma once

#include "geo/Angle.h"
#include "geo/Normal2D.h"
#include "geo/Point2D.h"
#include "geo/Precision.h"
#include "geo/Rectangle.h"

#include <cstdint>
#include <vector>

namespace geo {

class Transform2D;

// A closed outline: the last point connects back to the first. The bounding box follows every change
// of the points (a reversal leaves it as it is).
class Path
{
public:
    Path() = default;
    explicit Path(std::vector<Point2D> points);

    const std::vector<Point2D>& points() const noexcept { return m_points; }
    const Rectangle& boundingBox() const noexcept { return m_boundingBox; }
    std::size_t size() const noexcept { return m_points.size(); }
    bool isEmpty() const noexcept { return m_points.empty(); }
    const Point2D& at(std::size_t index) const { return m_points.at(index); }
    const Point2D& operator[](std::size_t index) const noexcept { return m_points[index]; }

    void addPoint(const Point2D& point);
    void addPath(const Path& other);
    void updateBoundingBox() noexcept;

    void transform(const Transform2D& transform);
    Path transformed(const Transform2D& transform) const;
    void translate(const Point2D& offset);
    Path translated(const Point2D& offset) const;
    // x × factor.x, y × factor.y; a NaN factor counts as 0.
    void scale(const Normal2D& factors);
    Path scaled(const Normal2D& factors) const;
    // About (0, 0).
    void rotate(Angle angle);
    Path rotated(Angle angle) const;
    void reverse();
    Path reversed() const;

    // Merges neighbours that are equal at the precision into their midpoint; after a merge the scan skips
    // a pair, and the last and first point are never compared.
    void joinClosePoints(const Precision& precision);
    // Even-odd ray count toward +x; the outline's own points count as described in the .cpp.
    bool containsPoint(const Point2D& point) const noexcept;
    // The edges that reach one row, prepared for many containsPoint questions on that row: where each
    // meets the row, and how far to either side the answer is certain without the full ray test.
    struct RowEdge {
        std::uint32_t edge;   // edge i runs from point i to the next
        qint64 rightmost;     // the larger x of its ends: a point beyond it is never crossed
        double crossesBefore; // a point left of this is certainly crossed
        double missesAfter;   // a point right of this is certainly not
    };
    struct Row {
        qint64 y = 0;
        std::vector<RowEdge> edges;
    };
    // Prepares the row y from the given edges, which must hold every edge that reaches the row to the
    // right of the points to be asked about.
    void prepareRow(qint64 y, const std::vector<std::uint32_t>& edges, Row& row) const;
    // containsPoint for a point on the prepared row: the same answer.
    bool containsPoint(const Point2D& point, const Row& row) const noexcept;
    // The closest point on any edge (bisection per edge; the first edge wins ties) and its distance.
    PointAndDistance closestPointAndDistanceOnPath(const Point2D& point) const noexcept;

    bool operator==(const Path& other) const noexcept { return m_points == other.m_points; }
    bool operator!=(const Path& other) const noexcept { return !(*this == other); }

private:
    Rectangle m_boundingBox;
    std::vector<Point2D> m_points;
};

} // namespace geo
