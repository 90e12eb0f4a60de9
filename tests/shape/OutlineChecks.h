#pragma once

#include "geo/Path.h"
#include "geo/Point2D.h"

#include <QString>

#include <cmath>
#include <cstdlib>
#include <vector>

// Brute-force checks of shape outlines in the unit square (1000000 = 1).
namespace outline {

inline __int128 cross(const geo::Point2D& origin, const geo::Point2D& a, const geo::Point2D& b)
{
    return static_cast<__int128>(a.x() - origin.x()) * (b.y() - origin.y())
        - static_cast<__int128>(a.y() - origin.y()) * (b.x() - origin.x());
}

inline int sign(__int128 value)
{
    return value > 0 ? 1 : (value < 0 ? -1 : 0);
}

inline bool isOnSegment(const geo::Point2D& p, const geo::Point2D& a, const geo::Point2D& b)
{
    return std::min(a.x(), b.x()) <= p.x() && p.x() <= std::max(a.x(), b.x()) && std::min(a.y(), b.y()) <= p.y()
        && p.y() <= std::max(a.y(), b.y());
}

// Whether the closed segments share any point (touching counts).
inline bool segmentsMeet(const geo::Point2D& a, const geo::Point2D& b, const geo::Point2D& c, const geo::Point2D& d)
{
    const int d1 = sign(cross(c, d, a));
    const int d2 = sign(cross(c, d, b));
    const int d3 = sign(cross(a, b, c));
    const int d4 = sign(cross(a, b, d));
    if (d1 * d2 < 0 && d3 * d4 < 0) {
        return true;
    }
    return (d1 == 0 && isOnSegment(a, c, d)) || (d2 == 0 && isOnSegment(b, c, d))
        || (d3 == 0 && isOnSegment(c, a, b)) || (d4 == 0 && isOnSegment(d, a, b));
}

// Twice the signed area of the closed outline.
inline __int128 twiceArea(const geo::Path& path)
{
    __int128 sum = 0;
    for (std::size_t i = 0; i < path.size(); ++i) {
        const geo::Point2D& a = path[i];
        const geo::Point2D& b = path[(i + 1) % path.size()];
        sum += static_cast<__int128>(a.x()) * b.y() - static_cast<__int128>(b.x()) * a.y();
    }
    return sum;
}

// An empty text when the outline is a simple polygon (no edge meets another except its neighbours at the
// shared corner, no neighbouring edges fold back), else what is wrong.
inline QString simplicityProblem(const geo::Path& path)
{
    const std::size_t n = path.size();
    if (n < 3) {
        return QStringLiteral("fewer than three points");
    }
    for (std::size_t i = 0; i < n; ++i) {
        const geo::Point2D& a = path[i];
        const geo::Point2D& b = path[(i + 1) % n];
        const geo::Point2D& c = path[(i + 2) % n];
        if (a == b) {
            return QStringLiteral("point %1 repeats").arg(i);
        }
        const __int128 dot = static_cast<__int128>(a.x() - b.x()) * (c.x() - b.x())
            + static_cast<__int128>(a.y() - b.y()) * (c.y() - b.y());
        if (cross(b, a, c) == 0 && dot > 0) {
            return QStringLiteral("edges fold back at point %1").arg((i + 1) % n);
        }
        for (std::size_t j = i + 2; j < n; ++j) {
            if (i == 0 && j == n - 1) {
                continue;
            }
            if (segmentsMeet(a, b, path[j], path[(j + 1) % n])) {
                return QStringLiteral("edge %1 meets edge %2").arg(i).arg(j);
            }
        }
    }
    return {};
}

// Every point within the unit square, allowing one unit lost to truncation.
inline bool isInsideUnitSquare(const geo::Path& path)
{
    for (const geo::Point2D& point : path.points()) {
        if (std::llabs(point.x()) > 1000001 || std::llabs(point.y()) > 1000001) {
            return false;
        }
    }
    return true;
}

inline double distanceFromCenter(const geo::Point2D& point)
{
    return std::hypot(static_cast<double>(point.x()), static_cast<double>(point.y()));
}

// The point at the angle (degrees) and radius (in units of 1), as the shapes compute it, to within a unit.
inline geo::Point2D polarPoint(double degrees, double radius)
{
    const double radians = degrees * M_PI / 180.0;
    return geo::Point2D(static_cast<qint64>(std::cos(radians) * radius * 1e6),
                        static_cast<qint64>(std::sin(radians) * radius * 1e6));
}

inline bool isNear(const geo::Point2D& actual, const geo::Point2D& expected, qint64 tolerance = 1)
{
    return std::llabs(actual.x() - expected.x()) <= tolerance && std::llabs(actual.y() - expected.y()) <= tolerance;
}

inline QString toText(const geo::Point2D& point)
{
    return QStringLiteral("(%1, %2)").arg(point.x()).arg(point.y());
}

} // namespace outline
