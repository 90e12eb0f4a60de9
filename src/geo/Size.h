#pragma once

#include "geo/Normal2D.h"
#include "geo/Point2D.h"

#include <QVariant>

namespace geo {

// A width and height in millionths of a millimetre.
class Size
{
public:
    constexpr Size() noexcept = default;
    constexpr Size(qint64 width, qint64 height) noexcept : m_width(width), m_height(height) {}

    static Size fromMillimeters(double width, double height) noexcept
    {
        return Size(fixedFromDouble(width), fixedFromDouble(height));
    }

    constexpr qint64 width() const noexcept { return m_width; }
    constexpr qint64 height() const noexcept { return m_height; }
    void setWidth(qint64 width) noexcept { m_width = width; }
    void setHeight(qint64 height) noexcept { m_height = height; }

    // (width / 2, height / 2), truncated toward zero.
    constexpr Point2D centerPoint() const noexcept { return Point2D(m_width / 2, m_height / 2); }
    constexpr Point2D toPoint() const noexcept { return Point2D(m_width, m_height); }
    // The half sizes times the normal's components.
    Point2D toPoint(const Normal2D& normal) const noexcept { return centerPoint() * normal; }

    // 0 ≤ x ≤ width and 0 ≤ y ≤ height.
    constexpr bool contains(const Point2D& point) const noexcept
    {
        return point.x() >= 0 && point.x() <= m_width && point.y() >= 0 && point.y() <= m_height;
    }
    constexpr bool isInRange(const Size& minimum, const Size& maximum) const noexcept
    {
        return minimum.m_width <= m_width && m_width <= maximum.m_width && minimum.m_height <= m_height
            && m_height <= maximum.m_height;
    }
    // The point relative to the size, each component within [0, 1]; a zero width or height gives (0, 0).
    Normal2D normalOfPoint(const Point2D& point) const noexcept;

    constexpr bool operator==(const Size& other) const noexcept
    {
        return m_width == other.m_width && m_height == other.m_height;
    }
    constexpr bool operator!=(const Size& other) const noexcept { return !(*this == other); }

    // {"width", "height"} as fixed integers.
    QVariant toVariant() const;
    // Each key as a length; no check for negative sizes.
    static Size fromVariant(const QVariant& variant);

private:
    qint64 m_width = 0;
    qint64 m_height = 0;
};

} // namespace geo
