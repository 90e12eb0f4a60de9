#pragma once

#include "shape/Base.h"
#include "shape/Type.h"

#include <map>
#include <memory>
#include <vector>

namespace shape {

// Creates the shapes of one family; the static functions are the registry of all families.
class Builder
{
public:
    Builder() = default;
    virtual ~Builder() = default;
    Builder(const Builder&) = delete;
    Builder& operator=(const Builder&) = delete;

    // A new shape with empty identifier and name, not built-in, modifiers at their defaults.
    virtual std::shared_ptr<Base> createShape() const = 0;
    virtual std::vector<std::shared_ptr<Base>> createBuiltIns() const = 0;

    // An empty pointer for a type without builder.
    static std::shared_ptr<Base> createShape(Type type);
    // Every family's built-in catalogue in ascending type order.
    static std::vector<std::shared_ptr<Base>> createAllBuiltIns();
    // Every registered type in ascending order.
    static std::vector<Type> editableTypes();
    static const std::map<Type, std::shared_ptr<Builder>>& builderMap();
};

template <typename T>
class BuilderT : public Builder
{
public:
    using Builder::createShape;
    std::shared_ptr<Base> createShape() const override { return std::make_shared<T>(); }
    std::vector<std::shared_ptr<Base>> createBuiltIns() const override { return T::createBuiltIns(); }
};

} // namespace shape
