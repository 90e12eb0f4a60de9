#include "frame/Shape.h"

#include <algorithm>

namespace frame {

const std::vector<ShapeListEntry>& shapeList()
{
    static const std::vector<ShapeListEntry> list{
        {Shape::Rectangle, QStringLiteral("rectangle"), QStringLiteral("Rectangle")},
        {Shape::Ellipse, QStringLiteral("ellipse"), QStringLiteral("Ellipse")},
        {Shape::Triangle, QStringLiteral("triangle"), QStringLiteral("Triangle")},
        {Shape::Heart, QStringLiteral("heart"), QStringLiteral("Heart")},
        {Shape::Arrow, QStringLiteral("arrow"), QStringLiteral("Arrow")},
        {Shape::Star, QStringLiteral("star"), QStringLiteral("Star")},
        {Shape::Cross, QStringLiteral("cross"), QStringLiteral("Cross")},
        {Shape::Leaf, QStringLiteral("leaf"), QStringLiteral("Leaf")},
        {Shape::Polygon, QStringLiteral("polygon"), QStringLiteral("Polygon")},
    };
    return list;
}

Shape shapeFromString(const QString& identifier)
{
    const auto& list = shapeList();
    const auto found = std::find_if(list.begin(), list.end(), [&identifier](const ShapeListEntry& entry) {
        return entry.identifier == identifier;
    });
    return found != list.end() ? found->shape : Shape::NoShape;
}

QString shapeToString(Shape shape)
{
    const auto& list = shapeList();
    const auto found = std::find_if(list.begin(), list.end(), [shape](const ShapeListEntry& entry) {
        return entry.shape == shape;
    });
    return found != list.end() ? found->identifier : QString();
}

} // namespace frame
