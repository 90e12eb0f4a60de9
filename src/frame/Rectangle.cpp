#include "frame/Rectangle.h"

#include "svg/Node.h"

#include <algorithm>

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
    // geo::Rectangle::closestPointOnPath and the Manhattan distance to its point, written out: inside the
    // frame the point's distances to the four edges are plain differences, and the distance to the chosen
    // edge point is the smallest of them.
    const qint64 farX = geo::saturatedAdd(frame.x(), frame.width());
    const qint64 farY = geo::saturatedAdd(frame.y(), frame.height());
    const qint64 left = point.x() - frame.x();
    const qint64 right = farX - point.x();
    const qint64 top = point.y() - frame.y();
    const qint64 bottom = farY - point.y();
    const qint64 smallest = std::min({left, right, top, bottom});
    if (smallest == left) {
        return {geo::Point2D(frame.x(), point.y()), geo::Length(left)};
    }
    if (smallest == right) {
        return {geo::Point2D(farX, point.y()), geo::Length(right)};
    }
    if (smallest == top) {
        return {geo::Point2D(point.x(), frame.y()), geo::Length(top)};
    }
    return {geo::Point2D(point.x(), farY), geo::Length(bottom)};
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
