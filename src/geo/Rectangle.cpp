#include "geo/Rectangle.h"

#include "geo/Path.h"

#include <QVariantMap>

#include <algorithm>

namespace geo {

Rectangle Rectangle::inset(Length length) const noexcept
{
    const qint64 twice = saturatedAdd(length.value(), length.value());
    return Rectangle(m_origin + Point2D(length.value(), length.value()),
                     Size(saturatedSubtract(width(), twice), saturatedSubtract(height(), twice)));
}

Point2D Rectangle::clamped(const Point2D& point) const noexcept
{
    const Point2D farCorner = m_origin + m_size.toPoint();
    return Point2D(std::clamp(point.x(), x(), std::max(x(), farCorner.x())),
                   std::clamp(point.y(), y(), std::max(y(), farCorner.y())));
}

Length Rectangle::distanceToFrame(const Point2D& point) const noexcept
{
    if (!contains(point)) {
        return Length(-fixedUnit);
    }
    const Point2D farCorner = m_origin + m_size.toPoint();
    return Length(std::min({saturatedSubtract(point.x(), x()), saturatedSubtract(farCorner.x(), point.x()),
                            saturatedSubtract(point.y(), y()), saturatedSubtract(farCorner.y(), point.y())}));
}

Path Rectangle::toPath() const
{
    const Point2D farCorner = m_origin + m_size.toPoint();
    return Path({m_origin, Point2D(farCorner.x(), y()), farCorner, Point2D(x(), farCorner.y())});
}

Rectangle Rectangle::boundingBox(const std::vector<Point2D>& points) noexcept
{
    if (points.empty()) {
        return Rectangle();
    }
    qint64 minimumX = points.front().x();
    qint64 maximumX = minimumX;
    qint64 minimumY = points.front().y();
    qint64 maximumY = minimumY;
    for (const Point2D& point : points) {
        minimumX = std::min(minimumX, point.x());
        maximumX = std::max(maximumX, point.x());
        minimumY = std::min(minimumY, point.y());
        maximumY = std::max(maximumY, point.y());
    }
    return Rectangle(Point2D(minimumX, minimumY),
                     Size(saturatedSubtract(maximumX, minimumX), saturatedSubtract(maximumY, minimumY)));
}

PointAndDistance Rectangle::closestPointOnPath(const Point2D& point) const noexcept
{
    const Point2D farCorner = m_origin + m_size.toPoint();
    const Length left = point.x1D().absDistanceTo(m_origin.x1D());
    const Length right = point.x1D().absDistanceTo(farCorner.x1D());
    const Length top = point.y1D().absDistanceTo(m_origin.y1D());
    const Length bottom = point.y1D().absDistanceTo(farCorner.y1D());
    const Length smallest = std::min({left, right, top, bottom});
    if (smallest == left) {
        return {Point2D(x(), point.y()), left};
    }
    if (smallest == right) {
        return {Point2D(farCorner.x(), point.y()), right};
    }
    if (smallest == top) {
        return {Point2D(point.x(), y()), top};
    }
    return {Point2D(point.x(), farCorner.y()), bottom};
}

QVariant Rectangle::toVariant() const
{
    return QVariantMap{{QStringLiteral("origin"), m_origin.toVariant()}, {QStringLiteral("size"), m_size.toVariant()}};
}

Rectangle Rectangle::fromVariant(const QVariant& variant)
{
    const QVariantMap map = variant.toMap();
    return Rectangle(Point2D::fromVariant(map.value(QStringLiteral("origin"))),
                     Size::fromVariant(map.value(QStringLiteral("size"))));
}

} // namespace geo
