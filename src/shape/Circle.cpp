#include "shape/Circle.h"

#include "canvas/CanvasItem.h"
#include "svg/Node.h"

namespace shape {

Type Circle::type() const
{
    return Type::Circle;
}

std::shared_ptr<svg::Node> Circle::createUse(const QString& /*id*/, const QSharedPointer<canvas::CanvasItem>& item,
                                             const geo::Point2D& offset) const
{
    const auto circle = svg::Node::create(svg::Element::Circle);
    circle->setFill(item->fill());
    circle->setFillOpacity(item->fillOpacity());
    circle->setCenter(item->center() + offset);
    circle->setRadius(item->radius() + item->overlap());
    return circle;
}

std::vector<std::shared_ptr<Base>> Circle::createBuiltIns()
{
    auto circle = std::make_shared<Circle>();
    circle->setIdentifier(QStringLiteral("circle"));
    circle->setName(QStringLiteral("Circle"));
    circle->makeBuiltIn();
    return {circle};
}

} // namespace shape
