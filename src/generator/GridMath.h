#pragma once

#include "geo/Fixed.h"
#include "geo/Point2D.h"

#include <cmath>
#include <cstdlib>

// Distance arithmetic of the placement's inner loops. Every result equals that of geo::Point2D::distanceTo;
// only the way there is cheaper.
namespace gridmath {

// geo::Point2D::distanceTo for a difference (dx, dy). Differences below 2^32 per axis square in 64 bits,
// where the division by 1000000 is a multiplication; larger ones take the general path.
inline qint64 distance(const geo::Point2D& from, const geo::Point2D& to) noexcept
{
    const __int128 dx = static_cast<__int128>(to.x()) - from.x();
    const __int128 dy = static_cast<__int128>(to.y()) - from.y();
    constexpr __int128 limit = static_cast<__int128>(1) << 32;
    if (dx <= -limit || dx >= limit || dy <= -limit || dy >= limit) {
        return from.distanceTo(to).value();
    }
    const quint64 ax = static_cast<quint64>(dx < 0 ? -dx : dx);
    const quint64 ay = static_cast<quint64>(dy < 0 ? -dy : dy);
    if (ax == 0) {
        return static_cast<qint64>(ay);
    }
    if (ay == 0) {
        return static_cast<qint64>(ax);
    }
    // The same steps as the general rule: scaled squares, their sum's root in thousandths of a millimetre.
    const quint64 sum = ax * ax / 1000000u + ay * ay / 1000000u;
    const double millimeters = std::sqrt(static_cast<double>(sum)) / 1000.0;
    return geo::fixedFromDouble(millimeters);
}

// True when the distance between two points whose squared Euclidean difference is squaredDelta is
// certainly at least `bound` as distanceTo computes it. distanceTo floors two scaled squares and truncates
// its result, so it can fall short of the true distance by a little: its value is at least
// sqrt(q − 2000000) − 2 for the exact square sum q. The relative slack covers the rounding of the doubles.
inline bool isCertainlyAtLeast(double squaredDelta, double bound) noexcept
{
    if (bound <= 0.0) {
        return true;
    }
    const double reach = bound + 2.0;
    return squaredDelta >= (reach * reach + 2000000.0) * (1.0 + 1e-9);
}

inline double squaredDelta(const geo::Point2D& a, const geo::Point2D& b) noexcept
{
    const double dx = static_cast<double>(a.x()) - static_cast<double>(b.x());
    const double dy = static_cast<double>(a.y()) - static_cast<double>(b.y());
    return dx * dx + dy * dy;
}

} // namespace gridmath
