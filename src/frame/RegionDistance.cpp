#include "frame/RegionDistance.h"

#include "frame/Base.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace frame {

namespace {

// How much farther than the nearest edge's farthest reach an edge may lie and still be chosen. The
// frame's bisection reports a distance up to about 0.016 mm above the exact one, and it looks at every
// edge within that report plus a small allowance; this covers both several times over.
constexpr double nearMargin = 65536.0;

struct Box {
    double left;
    double top;
    double right;
    double bottom;
};

double squaredToSegment(double x, double y, const geo::Point2D& a, const geo::Point2D& b) noexcept
{
    const double directionX = static_cast<double>(b.x()) - static_cast<double>(a.x());
    const double directionY = static_cast<double>(b.y()) - static_cast<double>(a.y());
    const double offsetX = x - static_cast<double>(a.x());
    const double offsetY = y - static_cast<double>(a.y());
    const double lengthSquared = directionX * directionX + directionY * directionY;
    double t = lengthSquared > 0.0 ? (offsetX * directionX + offsetY * directionY) / lengthSquared : 0.0;
    t = std::clamp(t, 0.0, 1.0);
    const double awayX = offsetX - t * directionX;
    const double awayY = offsetY - t * directionY;
    return awayX * awayX + awayY * awayY;
}

double squaredToBox(const geo::Point2D& point, const Box& box) noexcept
{
    const double x = static_cast<double>(point.x());
    const double y = static_cast<double>(point.y());
    const double dx = std::max({box.left - x, 0.0, x - box.right});
    const double dy = std::max({box.top - y, 0.0, y - box.bottom});
    return dx * dx + dy * dy;
}

// Liang-Barsky: whether the segment meets the box.
bool meetsBox(const geo::Point2D& a, const geo::Point2D& b, const Box& box) noexcept
{
    const double ax = static_cast<double>(a.x());
    const double ay = static_cast<double>(a.y());
    const double dx = static_cast<double>(b.x()) - ax;
    const double dy = static_cast<double>(b.y()) - ay;
    double enter = 0.0;
    double leave = 1.0;
    const double directions[4] = {-dx, dx, -dy, dy};
    const double room[4] = {ax - box.left, box.right - ax, ay - box.top, box.bottom - ay};
    for (int side = 0; side < 4; ++side) {
        if (directions[side] == 0.0) {
            if (room[side] < 0.0) {
                return false;
            }
            continue;
        }
        const double t = room[side] / directions[side];
        if (directions[side] < 0.0) {
            if (t > leave) {
                return false;
            }
            enter = std::max(enter, t);
        } else {
            if (t < enter) {
                return false;
            }
            leave = std::min(leave, t);
        }
    }
    return true;
}

double nearestToBox(const geo::Point2D& a, const geo::Point2D& b, const Box& box) noexcept
{
    if (meetsBox(a, b, box)) {
        return 0.0;
    }
    double squared = std::min(squaredToBox(a, box), squaredToBox(b, box));
    for (const double x : {box.left, box.right}) {
        for (const double y : {box.top, box.bottom}) {
            squared = std::min(squared, squaredToSegment(x, y, a, b));
        }
    }
    return std::sqrt(squared);
}

// A point's distance to a segment is convex in the point, so over the box it is largest at a corner.
double farthestFromBox(const geo::Point2D& a, const geo::Point2D& b, const Box& box) noexcept
{
    double squared = 0.0;
    for (const double x : {box.left, box.right}) {
        for (const double y : {box.top, box.bottom}) {
            squared = std::max(squared, squaredToSegment(x, y, a, b));
        }
    }
    return std::sqrt(squared);
}

} // namespace

RegionDistance::RegionDistance(const Base& frame) noexcept
    : m_frame(frame)
    , m_isOutlineBased(frame.measuresToOutline())
{
}

void RegionDistance::setRegion(const geo::Point2D& topLeft, const geo::Point2D& bottomRight)
{
    choose(nullptr, topLeft, bottomRight);
}

void RegionDistance::narrowTo(const RegionDistance& whole, const geo::Point2D& topLeft, const geo::Point2D& bottomRight)
{
    choose(&whole, topLeft, bottomRight);
}

void RegionDistance::choose(const RegionDistance* whole, const geo::Point2D& topLeft, const geo::Point2D& bottomRight)
{
    m_crossingEdges.clear();
    m_nearEdges.clear();
    m_hasNearEdges = false;
    m_hasRow = false;
    if (!m_isOutlineBased) {
        return;
    }
    const std::vector<geo::Point2D>& points = m_frame.outline().points();
    const std::size_t count = points.size();
    const auto edgeEnd = [&points, count](std::uint32_t edge) -> const geo::Point2D& {
        return points[edge + 1 == count ? 0 : edge + 1];
    };
    const auto forEachEdge = [count](const std::vector<std::uint32_t>* from, auto&& visit) {
        if (from != nullptr) {
            for (const std::uint32_t edge : *from) {
                visit(edge);
            }
        } else {
            for (std::uint32_t edge = 0; edge < count; ++edge) {
                visit(edge);
            }
        }
    };

    // An edge can meet a point's ray to the right only when it reaches the point's row and lies not
    // wholly to the left of the region.
    forEachEdge(whole != nullptr ? &whole->m_crossingEdges : nullptr, [&](std::uint32_t edge) {
        const geo::Point2D& a = points[edge];
        const geo::Point2D& b = edgeEnd(edge);
        if (std::min(a.y(), b.y()) <= bottomRight.y() && std::max(a.y(), b.y()) >= topLeft.y()
            && std::max(a.x(), b.x()) >= topLeft.x()) {
            m_crossingEdges.push_back(edge);
        }
    });

    m_whole = whole;
    m_topLeft = topLeft;
    m_bottomRight = bottomRight;
}

void RegionDistance::chooseNearEdges() const
{
    // No point of the region is farther from its nearest edge than the smallest farthest reach of any
    // edge; an edge whose nearest approach to the region lies beyond that (and the margin) is never near
    // enough to matter. The choice counts as made only once complete: a failed allocation leaves it to
    // be made again.
    m_nearEdges.clear();
    const std::vector<std::uint32_t>* from = nullptr;
    if (m_whole != nullptr) {
        if (!m_whole->m_hasNearEdges) {
            m_whole->chooseNearEdges();
        }
        from = &m_whole->m_nearEdges;
    }
    const std::vector<geo::Point2D>& points = m_frame.outline().points();
    const std::size_t count = points.size();
    const Box box{static_cast<double>(m_topLeft.x()), static_cast<double>(m_topLeft.y()),
                  static_cast<double>(m_bottomRight.x()), static_cast<double>(m_bottomRight.y())};
    m_nearest.clear();
    double bound = std::numeric_limits<double>::infinity();
    const auto measure = [&](std::uint32_t edge) {
        const geo::Point2D& a = points[edge];
        const geo::Point2D& b = points[edge + 1 == count ? 0 : edge + 1];
        bound = std::min(bound, farthestFromBox(a, b, box));
        m_nearest.push_back(nearestToBox(a, b, box));
    };
    if (from != nullptr) {
        for (const std::uint32_t edge : *from) {
            measure(edge);
        }
    } else {
        for (std::uint32_t edge = 0; edge < count; ++edge) {
            measure(edge);
        }
    }
    for (std::size_t position = 0; position < m_nearest.size(); ++position) {
        if (m_nearest[position] <= bound + nearMargin) {
            m_nearEdges.push_back(from != nullptr ? (*from)[position] : static_cast<std::uint32_t>(position));
        }
    }
    m_hasNearEdges = true;
}

geo::PointAndDistance RegionDistance::closestFramePoint(const geo::Point2D& point) const
{
    if (!m_isOutlineBased) {
        return m_frame.closestFramePoint(point);
    }
    if (!m_hasRow || m_row.y != point.y()) {
        // A row left half prepared by a failed allocation is prepared again.
        m_hasRow = false;
        m_frame.outline().prepareRow(point.y(), m_crossingEdges, m_row);
        m_hasRow = true;
    }
    if (!m_frame.outline().containsPoint(point, m_row)) {
        return {geo::Point2D(), Base::outsideDistance};
    }
    if (!m_hasNearEdges) {
        chooseNearEdges();
    }
    return m_frame.closestOutlinePointAmong(point, m_nearEdges);
}

} // namespace frame
