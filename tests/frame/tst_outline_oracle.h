#pragma once

#include "geo/Path.h"
#include "geo/Point2D.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <vector>

// Plain references for the frame queries, computed in doubles (fixed units) straight from the outline.
namespace oracle {

struct Sample {
    double x;
    double y;
};

// The outline walked edge by edge, a sample at least every step units, the corners included.
inline std::vector<Sample> sampleOutline(const geo::Path& outline, double step)
{
    std::vector<Sample> samples;
    const auto& points = outline.points();
    for (std::size_t i = 0; i < points.size(); ++i) {
        const geo::Point2D& start = points[i];
        const geo::Point2D& end = points[(i + 1) % points.size()];
        const double dx = double(end.x()) - double(start.x());
        const double dy = double(end.y()) - double(start.y());
        const int count = std::max(1, int(std::ceil(std::hypot(dx, dy) / step)));
        for (int k = 0; k < count; ++k) {
            const double t = double(k) / count;
            samples.push_back({double(start.x()) + t * dx, double(start.y()) + t * dy});
        }
    }
    return samples;
}

// The distance to the nearest sample, by looking at every one.
inline double nearestSampleDistance(const std::vector<Sample>& samples, const geo::Point2D& point)
{
    double nearest = std::numeric_limits<double>::infinity();
    for (const Sample& sample : samples) {
        nearest = std::min(nearest, std::hypot(sample.x - double(point.x()), sample.y - double(point.y())));
    }
    return nearest;
}

// The exact distance to the outline's edges.
inline double distanceToOutline(const geo::Path& outline, double x, double y)
{
    double nearest = std::numeric_limits<double>::infinity();
    const auto& points = outline.points();
    for (std::size_t i = 0; i < points.size(); ++i) {
        const geo::Point2D& start = points[i];
        const geo::Point2D& end = points[(i + 1) % points.size()];
        const double dx = double(end.x()) - double(start.x());
        const double dy = double(end.y()) - double(start.y());
        const double lengthSquared = dx * dx + dy * dy;
        double t = lengthSquared > 0 ? ((x - double(start.x())) * dx + (y - double(start.y())) * dy) / lengthSquared : 0.0;
        t = std::clamp(t, 0.0, 1.0);
        nearest = std::min(nearest, std::hypot(x - (double(start.x()) + t * dx), y - (double(start.y()) + t * dy)));
    }
    return nearest;
}

// Even-odd containment by the classic crossing count; only meaningful away from the outline.
inline bool contains(const geo::Path& outline, const geo::Point2D& point)
{
    const double x = double(point.x());
    const double y = double(point.y());
    const auto& points = outline.points();
    bool inside = false;
    for (std::size_t i = 0, j = points.size() - 1; i < points.size(); j = i++) {
        const double xi = double(points[i].x()), yi = double(points[i].y());
        const double xj = double(points[j].x()), yj = double(points[j].y());
        if ((yi > y) != (yj > y) && x < (xj - xi) * (y - yi) / (yj - yi) + xi) {
            inside = !inside;
        }
    }
    return inside;
}

} // namespace oracle
