#include "frame/GenericShape.h"

#include "shape/Base.h"

#include <utility>

namespace frame {

GenericShape::GenericShape(std::shared_ptr<shape::Base> shapeObject, Shape frameShape)
    : m_shapeObject(std::move(shapeObject)), m_frameShape(frameShape)
{
}

void GenericShape::initialize()
{
    // The shape takes its modifier values from the frame's values in every case, so that a frame read
    // back from its data draws the outline it was made with.
    const std::vector<geo::Normal1D> frameValues = values();
    m_shapeObject->setModifierValues(std::vector<geo::Normal1D>(frameValues.begin() + 1, frameValues.end()));

    geo::Path outline = m_shapeObject->createFramePath();
    if (valueA().value() != 0.0) {
        outline.rotate(geo::Angle(geo::Angle::fullTurn) * valueA());
    }
    fitToRectangle(outline);
    setOutline(std::move(outline));
}

} // namespace frame
