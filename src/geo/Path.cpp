#include "geo/Path.h"

#include "geo/Transform2D.h"
#include "geo/Vector.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace geo {

Path::Path(std::vector<Point2D> points) : m_points(std::move(points))
{
    updateBoundingBox();
}

void Path::addPoint(const Point2D& point)
{
    m_points.push_back(point);
    if (m_points.size() == 1) {
        m_boundingBox = Rectangle(point, Size());
        return;
    }
    // Growing the box by one point gives the same box as a full recomputation, in constant time.
    const Point2D farCorner = m_boundingBox.origin() + m_boundingBox.size().toPoint();
    const Point2D origin(std::min(m_boundingBox.x(), point.x()), std::min(m_boundingBox.y(), point.y()));
    const Point2D corner(std::max(farCorner.x(), point.x()), std::max(farCorner.y(), point.y()));
    m_boundingBox = Rectangle(origin, Size(saturatedSubtract(corner.x(), origin.x()), saturatedSubtract(corner.y(), origin.y())));
}

void Path::addPath(const Path& other)
{
    m_points.insert(m_points.end(), other.m_points.begin(), other.m_points.end());
    updateBoundingBox();
}

void Path::updateBoundingBox() noexcept
{
    m_boundingBox = Rectangle::boundingBox(m_points);
}

void Path::transform(const Transform2D& transform)
{
    for (Point2D& point : m_points) {
        point = transform.map(point);
    }
    updateBoundingBox();
}

Path Path::transformed(const Transform2D& transform) const
{
    Path result = *this;
    result.transform(transform);
    return result;
}

void Path::translate(const Point2D& offset)
{
    // Added exactly: going through a translation in millimetres could lose a unit in the double.
    for (Point2D& point : m_points) {
        point += offset;
    }
    updateBoundingBox();
}

Path Path::translated(const Point2D& offset) const
{
    Path result = *this;
    result.translate(offset);
    return result;
}

void Path::scale(const Normal2D& factors)
{
    const Normal2D safeFactors(zeroIfNaN(factors.x()), zeroIfNaN(factors.y()));
    for (Point2D& point : m_points) {
        point = point * safeFactors;
    }
    updateBoundingBox();
}

Path Path::scaled(const Normal2D& factors) const
{
    Path result = *this;
    result.scale(factors);
    return result;
}

void Path::rotate(Angle angle)
{
    const qint64 cosine = fixedFromDouble(angle.cos());
    const qint64 sine = fixedFromDouble(angle.sin());
    for (Point2D& point : m_points) {
        const qint64 x = saturatedSubtract(multiplyFixed(point.x(), cosine), multiplyFixed(point.y(), sine));
        const qint64 y = saturatedAdd(multiplyFixed(point.x(), sine), multiplyFixed(point.y(), cosine));
        point = Point2D(x, y);
    }
    updateBoundingBox();
}

Path Path::rotated(Angle angle) const
{
    Path result = *this;
    result.rotate(angle);
    return result;
}

void Path::reverse()
{
    std::reverse(m_points.begin(), m_points.end());
}

Path Path::reversed() const
{
    Path result = *this;
    result.reverse();
    return result;
}

void Path::joinClosePoints(const Precision& precision)
{
    if (m_points.size() < 2) {
        return;
    }
    std::size_t index = 0;
    while (index + 1 < m_points.size()) {
        const Point2D& current = m_points[index];
        const Point2D& next = m_points[index + 1];
        if (current.isEqualTo(next, precision)) {
            m_points[index] = Point2D(static_cast<qint64>((static_cast<__int128>(current.x()) + next.x()) / 2),
                                      static_cast<qint64>((static_cast<__int128>(current.y()) + next.y()) / 2));
            m_points.erase(m_points.begin() + static_cast<std::ptrdiff_t>(index) + 1);
            index += 2;
        } else {
            index += 1;
        }
    }
    updateBoundingBox();
}

namespace {

// The bounding-box test that doesIntersect starts with, for the ray from the point to the right: cheap
// enough to run for every edge of an outline, and it rejects almost all of them.
bool mayCrossRay(const Point2D& a, const Point2D& b, const Point2D& point) noexcept
{
    const bool isAbove = a.y() < point.y() && b.y() < point.y();
    const bool isBelow = a.y() > point.y() && b.y() > point.y();
    return !isAbove && !isBelow && (a.x() >= point.x() || b.x() >= point.x());
}

} // namespace

namespace {

// What edge i adds to the count of crossings of the ray from the point to the right.
int rayCrossing(const std::vector<Point2D>& points, std::size_t i, const Point2D& point, const Vector& ray) noexcept
{
    const std::size_t count = points.size();
    const auto isOnRay = [&point](const Point2D& candidate) {
        return candidate.y() == point.y() && candidate.x() > point.x();
    };
    const Point2D& a = points[i];
    const Point2D& b = points[(i + 1) % count];
    if (isOnRay(b)) {
        // The outline meets the ray at b; edges ending on the ray are never tested, and the edge that
        // leaves the ray adds 1. Where the outline only touches the ray, this takes that 1 back. The
        // side it leaves to is decided by the first point after b off the ray, so that an outline
        // running along the ray before it crosses is not mistaken for a touch.
        std::size_t next = (i + 2) % count;
        for (std::size_t step = 0; step < count && isOnRay(points[next]); ++step) {
            next = (next + 1) % count;
        }
        const Point2D& c = points[next];
        if ((a.y() < b.y() && c.y() <= b.y()) || (a.y() > b.y() && c.y() >= b.y())) {
            return -1;
        }
        return 0;
    }
    return mayCrossRay(a, b, point) && ray.doesIntersect(Vector(a, b)) ? 1 : 0;
}

} // namespace

bool Path::containsPoint(const Point2D& point) const noexcept
{
    const std::size_t count = m_points.size();
    if (count < 3 || !m_boundingBox.contains(point)) {
        return false;
    }
    const Vector ray(point, Point2D(saturatedAdd(saturatedAdd(m_boundingBox.x(), m_boundingBox.width()), 10000000), point.y()));
    qint64 crossings = 0;
    for (std::size_t i = 0; i < count; ++i) {
        crossings += rayCrossing(m_points, i, point, ray);
    }
    return crossings % 2 != 0;
}

void Path::prepareRow(qint64 y, const std::vector<std::uint32_t>& edges, Row& row) const
{
    // The ray test forms truncated products: its crossing parameter differs from the exact one only for a
    // point within 3000000 / |rise| units of where the edge meets the row, and the ray ends 10 mm beyond
    // the outline, so farther left its answer is "crosses", farther right "does not". An edge that ends
    // on the row is left to the full test, which looks at its neighbours.
    row.y = y;
    row.edges.clear();
    const std::size_t count = m_points.size();
    for (const std::uint32_t edge : edges) {
        const Point2D& a = m_points[edge];
        const Point2D& b = m_points[edge + 1 == count ? 0 : edge + 1];
        if (y < std::min(a.y(), b.y()) || y > std::max(a.y(), b.y())) {
            continue;
        }
        RowEdge rowEdge{edge, std::max(a.x(), b.x()), -std::numeric_limits<double>::infinity(),
                        std::numeric_limits<double>::infinity()};
        if (b.y() != y) {
            const double rise = static_cast<double>(b.y()) - static_cast<double>(a.y());
            const double crossing = static_cast<double>(a.x())
                + (static_cast<double>(b.x()) - static_cast<double>(a.x())) * (static_cast<double>(y) - static_cast<double>(a.y())) / rise;
            const double band = 3000000.0 / std::abs(rise) + 4.0;
            rowEdge.crossesBefore = crossing - band;
            rowEdge.missesAfter = crossing + band;
        }
        row.edges.push_back(rowEdge);
    }
}

bool Path::containsPoint(const Point2D& point, const Row& row) const noexcept
{
    if (m_points.size() < 3 || !m_boundingBox.contains(point)) {
        return false;
    }
    const double x = static_cast<double>(point.x());
    qint64 crossings = 0;
    for (const RowEdge& rowEdge : row.edges) {
        if (point.x() > rowEdge.rightmost || x > rowEdge.missesAfter) {
            continue;
        }
        if (x < rowEdge.crossesBefore) {
            ++crossings;
        } else {
            const Vector ray(point, Point2D(saturatedAdd(saturatedAdd(m_boundingBox.x(), m_boundingBox.width()), 10000000), point.y()));
            crossings += rayCrossing(m_points, rowEdge.edge, point, ray);
        }
    }
    return crossings % 2 != 0;
}

PointAndDistance Path::closestPointAndDistanceOnPath(const Point2D& point) const noexcept
{
    if (m_points.empty()) {
        return {Point2D(), Length(0)};
    }
    const std::size_t count = m_points.size();
    PointAndDistance best{Point2D(), Length::maximum()};
    for (std::size_t i = 0; i < count; ++i) {
        const Point2D& start = m_points[i];
        const Point2D& end = m_points[(i + 1) % count];
        if (point == start || point == end) {
            return {point, Length(0)};
        }
        const PointAndDistance candidate = Vector(start, end).closestPointAndDistanceOnPath(point);
        if (i == 0 || candidate.distance < best.distance) {
            best = candidate;
        }
    }
    return best;
}

} // namespace geo
