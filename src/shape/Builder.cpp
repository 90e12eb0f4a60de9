#include "shape/Builder.h"

#include "shape/Arrow.h"
#include "shape/Circle.h"
#include "shape/Cross.h"
#include "shape/Heart.h"
#include "shape/Leaf.h"
#include "shape/Polygon.h"
#include "shape/Ring.h"
#include "shape/Star.h"

namespace shape {

std::shared_ptr<Base> Builder::createShape(Type type)
{
    const auto& builders = builderMap();
    const auto found = builders.find(type);
    return found != builders.end() ? found->second->createShape() : std::shared_ptr<Base>();
}

std::vector<std::shared_ptr<Base>> Builder::createAllBuiltIns()
{
    std::vector<std::shared_ptr<Base>> shapes;
    for (const auto& [type, builder] : builderMap()) {
        std::vector<std::shared_ptr<Base>> family = builder->createBuiltIns();
        shapes.insert(shapes.end(), family.begin(), family.end());
    }
    return shapes;
}

std::vector<Type> Builder::editableTypes()
{
    std::vector<Type> types;
    for (const auto& entry : builderMap()) {
        types.push_back(entry.first);
    }
    return types;
}

const std::map<Type, std::shared_ptr<Builder>>& Builder::builderMap()
{
    static const std::map<Type, std::shared_ptr<Builder>> builders{
        {Type::Circle, std::make_shared<BuilderT<Circle>>()},
        {Type::Ring, std::make_shared<BuilderT<Ring>>()},
        {Type::Polygon, std::make_shared<BuilderT<Polygon>>()},
        {Type::Star, std::make_shared<BuilderT<Star>>()},
        {Type::Cross, std::make_shared<BuilderT<Cross>>()},
        {Type::Heart, std::make_shared<BuilderT<Heart>>()},
        {Type::Arrow, std::make_shared<BuilderT<Arrow>>()},
        {Type::Leaf, std::make_shared<BuilderT<Leaf>>()},
    };
    return builders;
}

} // namespace shape
