#pragma once

#include "frame/Base.h"

#include <memory>

namespace shape {
class Base;
}

namespace frame {

// A frame whose outline is a shape's frame path, turned by value A "Rotation" and stretched over the frame
// rectangle; the values B to E are the shape's modifier values.
class GenericShape : public Base
{
public:
    GenericShape(std::shared_ptr<shape::Base> shapeObject, Shape frameShape);

    Shape shape() const override { return m_frameShape; }
    // Gives the shape the values B to E, then builds the outline from its frame path.
    void initialize() override;

    const std::shared_ptr<shape::Base>& shapeObject() const noexcept { return m_shapeObject; }

private:
    std::shared_ptr<shape::Base> m_shapeObject;
    Shape m_frameShape;
};

} // namespace frame
