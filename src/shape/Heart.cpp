#include "shape/Heart.h"

#include "geo/AngleSegment.h"
#include "geo/Circle.h"
#include "geo/Transform2D.h"

#include <cmath>
#include <optional>

namespace shape {

namespace {

constexpr qint64 degrees(qint64 whole) noexcept
{
    return whole * geo::fixedUnit;
}

const geo::Angle arcStep(degrees(5));
// How far below the bulge centre's height the notch between two separate bulges lies.
constexpr qint64 notchDrop = 50000;

} // namespace

Heart::Heart()
    : m_ratio(0.0, 1.0, QStringLiteral("Bulge Ratio"), 0.5),
      m_angle(geo::Angle(0), geo::Angle(degrees(-90)), QStringLiteral("Bulge Angle"), 0.5)
{
    registerModifier(&m_ratio);
    registerModifier(&m_angle);
}

Type Heart::type() const
{
    return Type::Heart;
}

std::vector<geo::Path> Heart::createPaths(bool /*outlineOnly*/) const
{
    return {createPath(m_ratio.value(), m_angle.value())};
}

void Heart::setRatio(const geo::Normal1D& ratio) noexcept
{
    m_ratio.setValue(ratio);
}

void Heart::setAngle(const geo::Normal1D& normal) noexcept
{
    m_angle.setNormalValue(normal);
}

geo::Path Heart::createPath(geo::Normal1D ratio, geo::Angle angle)
{
    // Beyond [0, 1] the bulge would reach past the unit circle and the tangents would not exist.
    const qint64 radius = radiusFromTenth(ratio.clamped(), 750000);
    const geo::Point2D tip(0, geo::fixedUnit);
    const geo::Point2D center = unitPointTimes(angle, geo::fixedUnit - radius);
    const geo::Circle bulge(center, geo::Length(radius));
    const geo::Angle begin = bulge.tangentAngles(tip).begin();

    std::optional<geo::Point2D> notch;
    geo::Angle end;
    if (center.x() == 0) {
        end = geo::Angle(degrees(270));
    } else if (radius == center.x()) {
        end = geo::Angle(degrees(180));
    } else if (radius < center.x()) {
        notch = geo::Point2D(0, center.y() - notchDrop);
        end = bulge.tangentAngles(*notch).end();
    } else {
        // The circle crosses the axis; the arc ends at the upper crossing.
        const double crossing = std::acos(static_cast<double>(center.x()) / static_cast<double>(radius));
        end = geo::Angle::fromDegrees(crossing * 180.0 / M_PI) - geo::Angle(degrees(180));
    }
    if (end > begin) {
        end -= geo::Angle(geo::Angle::fullTurn);
    }

    geo::Path half;
    for (const geo::Angle arcAngle : geo::AngleSegment(begin, end).toSequence(arcStep)) {
        half.addPoint(bulge.pointAtAngle(arcAngle));
    }
    if (notch) {
        half.addPoint(*notch);
    }

    geo::Path outline;
    outline.addPoint(tip);
    outline.addPath(half);
    outline.addPath(mirroredHalf(half));
    outline.joinClosePoints(geo::Precision::fromLevel(geo::Precision::maximumLevel));
    if (center.x() == 0) {
        outline.transform(geo::Transform2D::rotation(geo::Angle(degrees(180))));
    }
    return outline;
}

std::vector<std::shared_ptr<Base>> Heart::createBuiltIns()
{
    std::vector<std::shared_ptr<Base>> shapes;
    for (int i = 0; i < 4; ++i) {
        for (int j = 0; j < 5; ++j) {
            auto heart = std::make_shared<Heart>();
            heart->setIdentifier(QStringLiteral("heart_%1_%2").arg(i).arg(j));
            heart->setName(QStringLiteral("Heart %1").arg(5 * i + j + 1));
            heart->setAngle(static_cast<double>(j) / static_cast<double>(2 * i + 5));
            heart->setRatio(static_cast<double>(i) / 5.0 + 0.2);
            heart->makeBuiltIn();
            shapes.push_back(heart);
        }
    }
    for (int k = 0; k < 10; ++k) {
        auto drop = std::make_shared<Heart>();
        drop->setIdentifier(QStringLiteral("drop_%1").arg(k));
        drop->setName(QStringLiteral("Drop %1").arg(k + 1));
        drop->setAngle(1.0);
        drop->setRatio(static_cast<double>(k) / 9.0);
        drop->makeBuiltIn();
        shapes.push_back(drop);
    }
    return shapes;
}

} // namespace shape
