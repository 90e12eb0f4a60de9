#include "frame/Ellipse.h"

#include "svg/Node.h"

namespace frame {

namespace {

constexpr int outlineSegments = 360;

} // namespace

void Ellipse::initialize()
{
    m_ellipse = geo::Ellipse(rectangle().centerPoint(), rectangle().size());
    setOutline(m_ellipse.toPath(outlineSegments));
}

std::shared_ptr<svg::Node> Ellipse::createSvg(const geo::Point2D& offset, const QString& fill) const
{
    auto ellipse = svg::Node::create(svg::Element::Ellipse);
    ellipse->setCenter(m_ellipse.center() + offset);
    ellipse->setRadius2D(m_ellipse.radii());
    ellipse->setFill(fill);
    return ellipse;
}

} // namespace frame
