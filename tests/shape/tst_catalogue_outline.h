#pragma once

#include "geo/Path.h"

#include <QString>

#include <algorithm>
#include <cstdlib>

// Brute-force checks of unit-square outlines, shared by the shape family tests.
namespace outlinecheck {

inline __int128 cross(const geo::Point2D& origin, const geo::Point2D& a, const geo::Point2D& b)
{
    return static_cast<__int128>(a.x() - origin.x()) * (b.y() - origin.y())
        - static_cast<__int128>(a.y() - origin.y()) * (b.x() - origin.x());
}

inline int sign(__int128 value)
{
    return value > 0 ? 1 : (value < 0 ? -1 : 0);
}

inline bool liesWithinBox(const geo::Point2D& p, const geo::Point2D& a, const geo::Point2D& b)
{
    return std::min(a.x(), b.x()) <= p.x() && p.x() <= std::max(a.x(), b.x()) && std::min(a.y(), b.y()) <= p.y()
        && p.y() <= std::max(a.y(), b.y());
}

// Whether two closed segments share a point.
inline bool segmentsMeet(const geo::Point2D& a, const geo::Point2D& b, const geo::Point2D& c, const geo::Point2D& d)
{
    const int d1 = sign(cross(c, d, a));
    const int d2 = sign(cross(c, d, b));
    const int d3 = sign(cross(a, b, c));
    const int d4 = sign(cross(a, b, d));
    if (d1 * d2 < 0 && d3 * d4 < 0) {
        return true;
    }
    return (d1 == 0 && liesWithinBox(a, c, d)) || (d2 == 0 && liesWithinBox(b, c, d))
        || (d3 == 0 && liesWithinBox(c, a, b)) || (d4 == 0 && liesWithinBox(d, a, b));
}

// Twice the signed area enclosed by the closed outline.
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

// Empty when the closed outline is a simple polygon with at least three distinct corners; otherwise
// what is wrong. Every pair of edges that are not neighbours is tested.
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
            return QStringLiteral("the outline folds back at point %1").arg((i + 1) % n);
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
    if (twiceArea(path) == 0) {
        return QStringLiteral("no area");
    }
    return {};
}

// Every point within the unit square, allowing one unit lost to truncation.
inline bool isInsideUnitSquare(const geo::Path& path)
{
    return std::all_of(path.points().cbegin(), path.points().cend(), [](const geo::Point2D& point) {
        return std::llabs(point.x()) <= 1000001 && std::llabs(point.y()) <= 1000001;
    });
}

inline bool isMirroredAboutVerticalAxis(const geo::Path& path)
{
    const auto& points = path.points();
    return std::all_of(points.cbegin(), points.cend(), [&points](const geo::Point2D& point) {
        return std::find(points.cbegin(), points.cend(), geo::Point2D(-point.x(), point.y())) != points.cend();
    });
}

} // namespace outlinecheck
