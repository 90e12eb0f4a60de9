#pragma once

#include "shape/Base.h"

#include <vector>

namespace shape {

// The plain circle: no modifiers, no outline paths, drawn as an SVG circle element.
class Circle : public Base
{
public:
    Type type() const override;
    // A circle element at the item's centre plus the offset, with the item's radius plus overlap.
    std::shared_ptr<svg::Node> createUse(const QString& id, const QSharedPointer<canvas::CanvasItem>& item,
                                         const geo::Point2D& offset) const override;

    static std::vector<std::shared_ptr<Base>> createBuiltIns();
};

} // namespace shape
