#include "frame/Heart.h"

#include "geo/AngleSegment.h"
#include "geo/Circle.h"
#include "geo/Precision.h"

#include <cmath>
#include <optional>

namespace frame {

namespace {

constexpr qint64 unit = geo::fixedUnit;
constexpr qint64 largestBulge = 750000;
constexpr qint64 notchHeight = 50000;
const geo::Angle arcStep(10000000);
const geo::Angle halfTurn(180000000);
const geo::Angle threeQuarterTurn(270000000);
const geo::Angle fullTurn(geo::Angle::fullTurn);

// The bulge circle of the right half: it touches the unit circle from inside in the bulge direction.
geo::Circle bulgeCircle(geo::Normal1D bulgeAngle, geo::Normal1D bulgeRatio)
{
    const geo::Angle direction = geo::Angle(-90000000) * bulgeAngle;
    const qint64 radius = geo::fixedFromDouble(geo::zeroIfNaN(1.0 - bulgeRatio.value())) / 10
        + geo::multiplyFixed(largestBulge, geo::fixedFromDouble(bulgeRatio));
    const geo::Point2D unitPoint = geo::Point2D::normalFromAngle(direction);
    const geo::Point2D center(geo::multiplyFixed(unitPoint.x(), unit - radius), geo::multiplyFixed(unitPoint.y(), unit - radius));
    return geo::Circle(center, geo::Length(radius));
}

// A heart of height 1 mm around (0, 0) with its tip at the bottom, before fitting.
geo::Path createUnitOutline(geo::Normal1D bulgeAngle, geo::Normal1D bulgeRatio, geo::Normal1D rotation)
{
    const geo::Point2D tip(0, unit);
    const geo::Circle circle = bulgeCircle(bulgeAngle, bulgeRatio);
    const qint64 centerX = circle.center().x();
    const qint64 radius = circle.radius().value();

    const geo::Angle startAngle = circle.tangentAngles(tip).begin();
    geo::Angle endAngle;
    std::optional<geo::Point2D> notch;
    if (centerX == 0) {
        endAngle = threeQuarterTurn;
    } else if (radius == centerX) {
        endAngle = halfTurn;
    } else if (centerX < radius) {
        // Where the circle crosses the vertical axis above its centre.
        const double crossing = std::acos(static_cast<double>(centerX) / static_cast<double>(radius)) * 180.0 / M_PI;
        endAngle = geo::Angle::fromDegrees(crossing) - halfTurn;
    } else {
        notch = geo::Point2D(0, circle.center().y() - notchHeight);
        endAngle = circle.tangentAngles(*notch).end();
    }
    if (endAngle > startAngle) {
        endAngle -= fullTurn;
    }

    geo::Path arc;
    for (const geo::Angle angle : geo::AngleSegment(startAngle, endAngle).toSequence(arcStep)) {
        arc.addPoint(circle.pointAtAngle(angle));
    }
    if (notch) {
        arc.addPoint(*notch);
    }
    geo::Path mirrored = arc.scaled(geo::Normal2D(-1.0, 1.0));
    mirrored.reverse();

    geo::Path outline({tip});
    outline.addPath(arc);
    outline.addPath(mirrored);
    outline.joinClosePoints(geo::Precision::fromLevel(geo::Precision::maximumLevel));
    if (rotation.value() != 0.0) {
        outline.rotate(geo::Angle(geo::Angle::fullTurn) * rotation);
    }
    return outline;
}

} // namespace

void Heart::initialize()
{
    geo::Path outline = createUnitOutline(valueA(), valueB(), valueC());
    fitToRectangle(outline);
    setOutline(std::move(outline));
}

} // namespace frame
