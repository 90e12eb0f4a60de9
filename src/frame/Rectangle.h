#pragma once

#include "frame/Base.h"

namespace frame {

// The frame rectangle, or with a rotation between 0 and 1 a quadrilateral whose corners slide along the
// rectangle's edges (0.5 gives the diamond through the edge midpoints).
class Rectangle : public Base
{
public:
    Shape shape() const override { return Shape::Rectangle; }
    void initialize() override;
    // The plain rectangle measures the distance to its nearest edge directly.
    geo::PointAndDistance closestFramePoint(const geo::Point2D& point) const noexcept override;
    bool measuresToOutline() const noexcept override { return !isAxisAligned(); }
    // The plain rectangle is drawn as a rect element.
    std::shared_ptr<svg::Node> createSvg(const geo::Point2D& offset, const QString& fill) const override;

private:
    bool isAxisAligned() const noexcept;
};

} // namespace frame
