#pragma once

#include "frame/Base.h"
#include "geo/Ellipse.h"

namespace frame {

// The ellipse inscribed in the frame rectangle, measured on a 360-point outline.
class Ellipse : public Base
{
public:
    Shape shape() const override { return Shape::Ellipse; }
    void initialize() override;
    // Drawn as a true ellipse element.
    std::shared_ptr<svg::Node> createSvg(const geo::Point2D& offset, const QString& fill) const override;

    const geo::Ellipse& ellipse() const noexcept { return m_ellipse; }

private:
    geo::Ellipse m_ellipse;
};

} // namespace frame
