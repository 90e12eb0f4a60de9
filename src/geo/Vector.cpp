#include "geo/Vector.h"

#include "geo/Precision.h"
#include "geo/Value.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace geo {

namespace {

using Wide = __int128;
using WideMagnitude = unsigned __int128;

WideMagnitude magnitudeOf(Wide value) noexcept
{
    return value < 0 ? -static_cast<WideMagnitude>(value) : static_cast<WideMagnitude>(value);
}

// (a × b) / 1000000, truncated toward zero. The factors are coordinate differences (below 2^64 in size),
// so their product fits the unsigned 128-bit magnitude and the quotient stays below 2^108. Products below
// 2^64, the common case, divide in 64 bits.
Wide scaledProduct(Wide a, Wide b) noexcept
{
    const WideMagnitude product = magnitudeOf(a) * magnitudeOf(b);
    const Wide quotient = product >> 64 == 0 ? static_cast<Wide>(static_cast<quint64>(product) / fixedUnit)
                                             : static_cast<Wide>(product / fixedUnit);
    return (a < 0) != (b < 0) ? -quotient : quotient;
}

// d² / 1000000 summed over both coordinates, in 128 bits so that no split is needed.
Wide scaledSquaredDistance(const Point2D& a, const Point2D& b) noexcept
{
    const Wide dx = static_cast<Wide>(a.x()) - b.x();
    const Wide dy = static_cast<Wide>(a.y()) - b.y();
    return scaledProduct(dx, dx) + scaledProduct(dy, dy);
}

bool rangesOverlap(qint64 a1, qint64 a2, qint64 b1, qint64 b2) noexcept
{
    return std::max(std::min(a1, a2), std::min(b1, b2)) <= std::min(std::max(a1, a2), std::max(b1, b2));
}

Point2D midpoint(const Point2D& a, const Point2D& b) noexcept
{
    return Point2D(static_cast<qint64>((static_cast<Wide>(a.x()) + b.x()) / 2),
                   static_cast<qint64>((static_cast<Wide>(a.y()) + b.y()) / 2));
}

// The bisection compares at 0.001 mm: Precision::fromLevel(3).rounded, written out for the inner loop
// (values here stay far from the saturation the general rounding guards against).
constexpr qint64 bisectionStep = 1000;

qint64 roundedForBisection(qint64 v) noexcept
{
    if (v > std::numeric_limits<qint64>::max() / 2 || v < std::numeric_limits<qint64>::min() / 2) {
        return Precision::fromLevel(3).rounded(v);
    }
    const qint64 remainder = v % bisectionStep;
    const qint64 base = v - remainder;
    if (remainder <= -bisectionStep / 2) {
        return base - bisectionStep;
    }
    if (remainder >= bisectionStep / 2) {
        return base + bisectionStep;
    }
    return base;
}

bool isEqualForBisection(const Point2D& a, const Point2D& b) noexcept
{
    return roundedForBisection(a.x()) == roundedForBisection(b.x()) && roundedForBisection(a.y()) == roundedForBisection(b.y());
}

} // namespace

Angle Vector::angle() const noexcept
{
    const qint64 dx = saturatedSubtract(m_end.x(), m_start.x());
    const qint64 dy = saturatedSubtract(m_end.y(), m_start.y());
    if (dx == 0 && dy == 0) {
        return Angle(0);
    }
    if (dx == 0) {
        return Angle(dy > 0 ? 90000000 : 270000000);
    }
    if (dy == 0) {
        return Angle(dx > 0 ? 0 : 180000000);
    }
    return Angle::fromDegrees(std::atan2(static_cast<double>(dy), static_cast<double>(dx)) * 180.0 / M_PI);
}

bool Vector::doesIntersect(const Vector& other) const noexcept
{
    const qint64 x1 = m_start.x(), y1 = m_start.y(), x2 = m_end.x(), y2 = m_end.y();
    const qint64 x3 = other.m_start.x(), y3 = other.m_start.y(), x4 = other.m_end.x(), y4 = other.m_end.y();
    if (!rangesOverlap(x1, x2, x3, x4) || !rangesOverlap(y1, y2, y3, y4)) {
        return false;
    }
    const Wide d = scaledProduct(Wide(y3) - y4, Wide(x1) - x2) - scaledProduct(Wide(y1) - y2, Wide(x3) - x4);
    if (d == 0) {
        return false;
    }
    const Wide u = scaledProduct(Wide(y3) - y4, Wide(x1) - x3) - scaledProduct(Wide(x3) - x4, Wide(y1) - y3);
    const Wide v = scaledProduct(Wide(x1) - x3, Wide(y1) - y2) - scaledProduct(Wide(y1) - y3, Wide(x1) - x2);
    for (const Wide numerator : {u, v}) {
        if (numerator != 0 && ((numerator < 0) != (d < 0))) {
            return false;
        }
        if ((d < 0 && numerator < d) || (d > 0 && numerator > d)) {
            return false;
        }
    }
    return true;
}

Vector Vector::closerSegment(const Point2D& point) const noexcept
{
    const Point2D middle = midpoint(m_start, m_end);
    if (isEqualForBisection(middle, m_start) || isEqualForBisection(middle, m_end)) {
        return Vector(middle, middle);
    }
    const Wide toStart = scaledSquaredDistance(point, m_start);
    const Wide toMiddle = scaledSquaredDistance(point, middle);
    const Wide toEnd = scaledSquaredDistance(point, m_end);
    if (roundedForBisection(saturated(toMiddle - toStart)) == roundedForBisection(saturated(toMiddle - toEnd))) {
        return Vector(middle, middle);
    }
    if (toStart < toEnd) {
        return Vector(m_start, middle);
    }
    return Vector(middle, m_end);
}

PointAndDistance Vector::closestPointAndDistanceOnPath(const Point2D& point) const noexcept
{
    if (point == m_start) {
        return {m_start, Length(0)};
    }
    if (point == m_end) {
        return {m_end, Length(0)};
    }
    Vector segment = *this;
    while (segment.m_start != segment.m_end) {
        segment = segment.closerSegment(point);
    }
    return {segment.m_start, segment.m_start.distanceTo(point)};
}

Point2D Vector::pointOnVectorAtDistance(Length distance) const noexcept
{
    const Length segmentLength = length();
    if (distance.value() == 0) {
        return m_start;
    }
    if (distance >= segmentLength) {
        return m_end;
    }
    const double t = std::clamp(zeroIfNaN(distance.toDouble() / segmentLength.toDouble()), 0.0, 1.0);
    const double x = fixedToDouble(m_start.x()) * (1.0 - t) + fixedToDouble(m_end.x()) * t;
    const double y = fixedToDouble(m_start.y()) * (1.0 - t) + fixedToDouble(m_end.y()) * t;
    return Point2D::fromMillimeters(x, y);
}

} // namespace geo
