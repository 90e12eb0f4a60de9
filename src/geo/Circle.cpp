#include "geo/Circle.h"

#include "geo/Path.h"
#include "geo/Vector.h"

#include <QVariantMap>

#include <algorithm>
#include <cmath>

namespace geo {

Point2D Circle::pointAtAngle(Angle angle) const noexcept
{
    const Point2D unit = Point2D::normalFromAngle(angle);
    return m_center + Point2D(multiplyFixed(unit.x(), m_radius.value()), multiplyFixed(unit.y(), m_radius.value()));
}

AngleSegment Circle::tangentAngles(const Point2D& point) const noexcept
{
    const Angle base = Vector(m_center, point).angle();
    const double distance = m_center.distanceTo(point).toDouble();
    // Truncation can leave the ratio a hair above 1 for a point on the circle.
    const double ratio = std::clamp(zeroIfNaN(m_radius.toDouble() / distance), -1.0, 1.0);
    const Angle delta = Angle::fromDegrees(std::acos(ratio) * 180.0 / M_PI);
    return AngleSegment(base - delta, base + delta);
}

std::pair<Point2D, Point2D> Circle::tangentPoints(const Point2D& point) const noexcept
{
    const AngleSegment angles = tangentAngles(point);
    return {pointAtAngle(angles.begin()), pointAtAngle(angles.end())};
}

Path Circle::toPath(const AngleSegment& segment, Angle step) const
{
    std::vector<Point2D> points;
    for (const Angle angle : segment.toSequence(step)) {
        points.push_back(pointAtAngle(angle));
    }
    return Path(std::move(points));
}

QVariant Circle::toVariant() const
{
    return QVariantMap{{QStringLiteral("center"), m_center.toVariant()}, {QStringLiteral("radius"), m_radius.toVariant()}};
}

Circle Circle::fromVariant(const QVariant& variant)
{
    const QVariantMap map = variant.toMap();
    return Circle(Point2D::fromVariant(map.value(QStringLiteral("center"))),
                  Length::fromVariant(map.value(QStringLiteral("radius"))));
}

} // namespace geo
