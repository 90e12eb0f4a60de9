#include "shape/Ring.h"

#include "geo/AngleSegment.h"
#include "geo/Circle.h"

namespace shape {

namespace {

// 72 points from 0 to 355 degrees: the closing edge from 355 back to 0 completes the circle.
const geo::AngleSegment circleRange(geo::Angle(0), geo::Angle(355000000));
const geo::Angle circleStep(5000000);

} // namespace

Ring::Ring() : m_ratio(0.0, 1.0, QStringLiteral("Ring Ratio"), 0.0)
{
    registerModifier(&m_ratio);
}

Type Ring::type() const
{
    return Type::Ring;
}

std::vector<geo::Path> Ring::createPaths(bool outlineOnly) const
{
    geo::Path outer = geo::Circle(geo::Point2D(), geo::Length(geo::fixedUnit)).toPath(circleRange, circleStep);
    if (outlineOnly) {
        return {outer};
    }
    // The hole runs against the outer path, so the even-odd rule leaves it empty.
    const geo::Circle hole(geo::Point2D(), geo::Length(radiusFromTenth(m_ratio.value(), 900000)));
    return {outer, hole.toPath(circleRange.reversed(), circleStep)};
}

void Ring::setRatio(geo::Normal1D normal) noexcept
{
    m_ratio.setNormalValue(normal);
}

std::vector<std::shared_ptr<Base>> Ring::createBuiltIns()
{
    std::vector<std::shared_ptr<Base>> shapes;
    for (int k = 0; k < 9; ++k) {
        auto ring = std::make_shared<Ring>();
        ring->setIdentifier(QStringLiteral("ring_%1").arg(k));
        ring->setName(QStringLiteral("Ring %1").arg(k + 1));
        ring->setRatio(k * 0.125);
        ring->makeBuiltIn();
        shapes.push_back(ring);
    }
    return shapes;
}

} // namespace shape
