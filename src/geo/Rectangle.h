#pragma once

#include "geo/Length.h"
#include "geo/Point2D.h"
#include "geo/Size.h"

#include <QVariant>

#include <vector>

namespace geo {

class Path;

// An origin (the top-left corner) and a size.
class Rectangle
{
public:
    constexpr Rectangle() noexcept = default;
    constexpr Rectangle(const Point2D& origin, const Size& size) noexcept : m_origin(origin), m_size(size) {}

    constexpr const Point2D& origin() const noexcept { return m_origin; }
    constexpr const Size& size() const noexcept { return m_size; }
    constexpr qint64 x() const noexcept { return m_origin.x(); }
    constexpr qint64 y() const noexcept { return m_origin.y(); }
    constexpr qint64 width() const noexcept { return m_size.width(); }
    constexpr qint64 height() const noexcept { return m_size.height(); }
    void setOrigin(const Point2D& origin) noexcept { m_origin = origin; }
    void setSize(const Size& size) noexcept { m_size = size; }

    Point2D centerPoint() const noexcept { return m_origin + m_size.centerPoint(); }
    bool contains(const Point2D& point) const noexcept { return m_size.contains(point - m_origin); }
    // Origin moved by (length, length), size reduced by 2 × length; a negative length grows it.
    Rectangle inset(Length length) const noexcept;
    // The point with each coordinate limited to the rectangle.
    Point2D clamped(const Point2D& point) const noexcept;
    // −1 mm for a point outside, else the smallest distance to the four edges.
    Length distanceToFrame(const Point2D& point) const noexcept;

    // The four corners: top-left, top-right, bottom-right, bottom-left.
    Path toPath() const;
    // The smallest rectangle holding all points; an empty list gives an all-zero rectangle.
    static Rectangle boundingBox(const std::vector<Point2D>& points) noexcept;
    // The closest point on the nearest edge; ties go to left, right, top, bottom in this order.
    PointAndDistance closestPointOnPath(const Point2D& point) const noexcept;

    constexpr bool operator==(const Rectangle& other) const noexcept
    {
        return m_origin == other.m_origin && m_size == other.m_size;
    }
    constexpr bool operator!=(const Rectangle& other) const noexcept { return !(*this == other); }

    // {"origin": point map, "size": size map}.
    QVariant toVariant() const;
    static Rectangle fromVariant(const QVariant& variant);

private:
    Point2D m_origin;
    Size m_size;
};

} // namespace geo
