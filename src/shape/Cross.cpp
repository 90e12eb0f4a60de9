#include "shape/Cross.h"

#include <algorithm>
#include <cmath>

namespace shape {

namespace {

constexpr double halfSquareDiagonal = 0.7071067811865475;
// The inner corners between neighbouring bars stay within this distance of the centre.
constexpr double maximumInnerCornerDistance = 0.9;

constexpr qint64 degrees(qint64 wholeDegrees)
{
    return wholeDegrees * geo::fixedUnit;
}

// The widest bar that still leaves a simple outline for the bar count: the inner corners stay within 0.9
// of the centre, so neighbouring bars never meet at the rim.
double maximumBarWidth(qint64 barCount) noexcept
{
    if (barCount < 3) {
        return 1.0;
    }
    const geo::Angle halfStep = geo::Angle::fromDegrees(180.0 / static_cast<double>(barCount));
    return 2.0 * maximumInnerCornerDistance * halfStep.sin();
}

std::vector<geo::Point2D> twoBarPoints(geo::Angle rimAngle)
{
    return {
        geo::Point2D::normalFromAngle(rimAngle),
        geo::Point2D::normalFromAngle(geo::Angle(degrees(180)) - rimAngle),
        geo::Point2D::normalFromAngle(rimAngle + geo::Angle(degrees(180))),
        geo::Point2D::normalFromAngle(geo::Angle(degrees(360)) - rimAngle),
    };
}

} // namespace

Cross::Cross()
    : m_barCount(geo::Value(1000000), geo::Value(10000000), geo::Precision::fromLevel(0), QStringLiteral("Bars"), 0.5)
    , m_barWidth(0.1, 0.9, QStringLiteral("Width"), 0.5)
{
    registerModifier(&m_barCount);
    registerModifier(&m_barWidth);
}

Type Cross::type() const
{
    return Type::Cross;
}

std::vector<geo::Path> Cross::createPaths(bool /*outlineOnly*/) const
{
    const qint64 barCount = countOf(m_barCount.value());
    if (barCount < 1) {
        return {};
    }
    // Wider bars would meet at the rim and cross each other.
    const double width = std::min(static_cast<double>(m_barWidth.value()), maximumBarWidth(barCount));
    const double halfWidth = width * 0.5;
    const geo::Angle rimAngle = geo::Angle::fromDegrees(std::asin(halfWidth) * 180.0 / M_PI);
    if (barCount == 2) {
        return {geo::Path(twoBarPoints(rimAngle))};
    }
    if (barCount == 1) {
        const qint64 cornerDistance = geo::fixedFromDouble(halfWidth / halfSquareDiagonal);
        return {geo::Path({
            geo::Point2D::normalFromAngle(rimAngle),
            unitPointTimes(geo::Angle(degrees(135)), cornerDistance),
            unitPointTimes(geo::Angle(degrees(225)), cornerDistance),
            geo::Point2D::normalFromAngle(geo::Angle(degrees(360)) - rimAngle),
        })};
    }
    const geo::Angle halfStep = geo::Angle::fromDegrees(180.0 / static_cast<double>(barCount));
    const qint64 innerCornerDistance = geo::fixedFromDouble(halfWidth / halfStep.sin());
    const double step = 360.0 / static_cast<double>(barCount);
    const geo::Angle stepAngle = geo::Angle::fromDegrees(step);
    geo::Path path;
    for (qint64 i = 0; i < barCount; ++i) {
        const geo::Angle base = geo::Angle::fromDegrees(static_cast<double>(i) * step);
        path.addPoint(geo::Point2D::normalFromAngle(rimAngle + base));
        path.addPoint(unitPointTimes(halfStep + base, innerCornerDistance));
        path.addPoint(geo::Point2D::normalFromAngle(base - rimAngle + stepAngle));
    }
    return {path};
}

void Cross::setBarCount(int count) noexcept
{
    m_barCount.setValue(geo::Value(static_cast<qint64>(count) * geo::fixedUnit));
}

void Cross::setBarWidth(geo::Normal1D width) noexcept
{
    m_barWidth.setValue(width);
}

std::vector<std::shared_ptr<Base>> Cross::createBuiltIns()
{
    struct Group {
        const char* identifier;
        const char* name;
        double width;
    };
    const Group groups[] = {
        {"%1_bar_cross_thin", "Thin %1-Bar Shape", 0.2},
        {"%1_bar_cross", "%1-Bar Shape", 0.3},
        {"%1_bar_cross_thick", "Thick %1-Bar Shape", 0.4},
    };
    std::vector<std::shared_ptr<Base>> shapes;
    for (const Group& group : groups) {
        for (int count = 1; count <= 10; ++count) {
            auto cross = std::make_shared<Cross>();
            cross->setIdentifier(QString::fromLatin1(group.identifier).arg(count));
            cross->setName(QString::fromLatin1(group.name).arg(count));
            cross->setBarCount(count);
            cross->setBarWidth(group.width);
            cross->makeBuiltIn();
            shapes.push_back(cross);
        }
    }
    return shapes;
}

} // namespace shape
