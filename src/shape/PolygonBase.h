#pragma once

#include "shape/Base.h"

#include "geo/Value.h"

#include <vector>

namespace shape {

// A shape drawn from closed outline paths.
class PolygonBase : public Base
{
public:
    // A group with the id holding one even-odd path of createPaths(false).
    std::shared_ptr<svg::Node> createDefinition(const QString& id) const override;
    std::shared_ptr<svg::Node> createUse(const QString& id, const QSharedPointer<canvas::CanvasItem>& item,
                                         const geo::Point2D& offset) const override;
    bool hasComplexOutline() const override;
    // The outer outline in unit coordinates; the item is not used.
    geo::Path createComplexOutline(const QSharedPointer<canvas::CanvasItem>& item) const override;
    geo::Path createFramePath() const override;

    // The closed paths of the shape. With outlineOnly false, what is drawn (an outer path and any holes,
    // for the even-odd rule); with outlineOnly true, the single outer outline used for placement.
    virtual std::vector<geo::Path> createPaths(bool outlineOnly) const = 0;

protected:
    // The unit point at the angle times a fixed radius, each coordinate truncated toward zero.
    static geo::Point2D unitPointTimes(geo::Angle angle, qint64 radius) noexcept;
    // The count a level-0 modifier value stands for (value / 1000000, truncated toward zero).
    static qint64 countOf(geo::Value value) noexcept;
    // (1 − t) × 0.1 + t × end in fixed units, each term truncated on its own; a NaN 1 − t counts as 0.
    static qint64 radiusFromTenth(double t, qint64 end) noexcept;
    // The half outline mirrored about the vertical axis, in the order that continues it.
    static geo::Path mirroredHalf(const geo::Path& half);

private:
    geo::Path firstOutline() const;
};

} // namespace shape
