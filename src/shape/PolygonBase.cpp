#include "shape/PolygonBase.h"

#include "geo/Fixed.h"
#include "svg/Node.h"

namespace shape {

std::shared_ptr<svg::Node> PolygonBase::createDefinition(const QString& id) const
{
    const auto group = svg::Node::create(svg::Element::G);
    group->setId(id);
    const std::vector<geo::Path> paths = createPaths(false);
    if (!paths.empty()) {
        group->addMultiPath(paths);
    }
    return group;
}

std::shared_ptr<svg::Node> PolygonBase::createUse(const QString& id, const QSharedPointer<canvas::CanvasItem>& item,
                                                  const geo::Point2D& offset) const
{
    return createTransformUse(id, item, offset);
}

bool PolygonBase::hasComplexOutline() const
{
    return true;
}

geo::Path PolygonBase::createComplexOutline(const QSharedPointer<canvas::CanvasItem>& /*item*/) const
{
    return firstOutline();
}

geo::Path PolygonBase::createFramePath() const
{
    return firstOutline();
}

geo::Point2D PolygonBase::unitPointTimes(geo::Angle angle, qint64 radius) noexcept
{
    const geo::Point2D unit = geo::Point2D::normalFromAngle(angle);
    return geo::Point2D(geo::multiplyFixed(unit.x(), radius), geo::multiplyFixed(unit.y(), radius));
}

qint64 PolygonBase::countOf(geo::Value value) noexcept
{
    return value.value() / geo::fixedUnit;
}

qint64 PolygonBase::radiusFromTenth(double t, qint64 end) noexcept
{
    return geo::fixedFromDouble(geo::zeroIfNaN(1.0 - t)) / 10 + geo::multiplyFixed(geo::fixedFromDouble(t), end);
}

geo::Path PolygonBase::mirroredHalf(const geo::Path& half)
{
    geo::Path mirror = half.scaled(geo::Normal2D(-1.0, 1.0));
    mirror.reverse();
    return mirror;
}

geo::Path PolygonBase::firstOutline() const
{
    const std::vector<geo::Path> paths = createPaths(true);
    return paths.empty() ? geo::Path() : paths.front();
}

} // namespace shape
