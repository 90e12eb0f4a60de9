#include "frame/Rectangle.h"

#include "svg/Node.h"

namespace frame {

void Rectangle::initialize()
{
    const geo::Rectangle& frame = rectangle();
    if (isAxisAligned()) {
        setOutline(frame.toPath());
        return;
    }
    const geo::Normal1D f = valueA();
    const qint64 left = frame.x();
    const qint64 top = frame.y();
    const qint64 right = geo::saturatedAdd(left, frame.width());
    const qint64 bottom = geo::saturatedAdd(top, frame.height());
    setOutline(geo::Path({
        geo::Point2D(lerp(left, right, f), top),
        geo::Point2D(right, lerp(top, bottom, f)),
        geo::Point2D(lerp(right, left, f), bottom),
        geo::Point2D(left, lerp(bottom, top, f)),
    }));
}

geo::PointAndDistance Rectangle::closestFramePoint(const geo::Point2D& point) const noexcept
{
    if (!isAxisAligned()) {
        return Base::closestFramePoint(point);
    }
    const geo::Rectangle& frame = rectangle();
    if (!frame.contains(point)) {
        return {geo::Point2D(), outsideDistance};
    }
    const geo::Point2D edgePoint = frame.closestPointOnPath(point).point;
    return {edgePoint, point.manhattanDistanceTo(edgePoint)};
}

std::shared_ptr<svg::Node> Rectangle::createSvg(const geo::Point2D& offset, const QString& fill) const
{
    if (!isAxisAligned()) {
        return Base::createSvg(offset, fill);
    }
    auto rect = svg::Node::create(svg::Element::Rect);
    rect->setPoint(offset + rectangle().origin());
    rect->setSize(rectangle().size());
    rect->setFill(fill);
    return rect;
}

bool Rectangle::isAxisAligned() const noexcept
{
    return valueA() == 0.0 || valueA() == 1.0;
}

} // namespace frame
