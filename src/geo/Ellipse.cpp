#include "geo/Ellipse.h"

#include "geo/Path.h"

#include <cmath>

namespace geo {

Path Ellipse::toPath(int segments) const
{
    if (segments < 1) {
        return Path();
    }
    std::vector<Point2D> points;
    points.reserve(static_cast<std::size_t>(segments));
    const double centerX = fixedToDouble(m_center.x());
    const double centerY = fixedToDouble(m_center.y());
    const double radiusX = fixedToDouble(m_radii.width());
    const double radiusY = fixedToDouble(m_radii.height());
    for (int i = 0; i < segments; ++i) {
        const double theta = i * 2.0 * M_PI / segments;
        points.push_back(Point2D::fromMillimeters(centerX + radiusX * std::cos(theta), centerY + radiusY * std::sin(theta)));
    }
    return Path(std::move(points));
}

Point2D Ellipse::framePoint(Angle angle) const noexcept
{
    const qint64 radiusX = m_radii.width();
    const qint64 radiusY = m_radii.height();
    const qint64 normalized = angle.normalized().value();
    switch (normalized) {
    case 0:
        return m_center + Point2D(radiusX, 0);
    case 90000000:
        return m_center + Point2D(0, radiusY);
    case 180000000:
        return m_center - Point2D(radiusX, 0);
    default:
        break;
    }
    if (radiusX == radiusY) {
        return m_center + Point2D(radiusX, radiusY) * Angle(normalized).toNormal2D();
    }
    double theta = std::atan(std::tan(Angle(normalized).radians()) * static_cast<double>(radiusX) / static_cast<double>(radiusY));
    if (normalized > 90000000 && normalized <= 270000000) {
        theta += M_PI;
    }
    return m_center + Point2D(multiplyByFactor(radiusX, std::cos(theta)), multiplyByFactor(radiusY, std::sin(theta)));
}

} // namespace geo
