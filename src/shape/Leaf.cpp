#include "shape/Leaf.h"

#include "geo/AngleSegment.h"
#include "geo/Circle.h"

namespace shape {

namespace {

const geo::Angle arcStep(5000000);
const geo::Angle quarterTurn(90000000);
const geo::Angle fullTurn(geo::Angle::fullTurn);
const geo::Angle halfTurn(geo::Angle::fullTurn / 2);

} // namespace

Leaf::Leaf()
    : m_width(0.2, 1.0, QStringLiteral("Width"), 0.6),
      m_radius(0.0, 0.8, QStringLiteral("Radius"), 0.5),
      m_veinLength(0.0, 0.8, QStringLiteral("Vein Length"), 0.0),
      m_veinAngle(geo::Value(2000000), geo::Value(60000000), geo::Precision::fromLevel(1), QStringLiteral("Vein Angle"),
                  0.2)
{
    registerModifier(&m_width);
    registerModifier(&m_radius);
    registerModifier(&m_veinLength);
    registerModifier(&m_veinAngle);
}

Type Leaf::type() const
{
    return Type::Leaf;
}

std::vector<geo::Path> Leaf::createPaths(bool /*outlineOnly*/) const
{
    const double width = m_width.value();
    const double radius = m_radius.value();
    const geo::Normal1D veinLength = m_veinLength.value();
    const bool hasVein = veinLength != 0.0;

    const geo::Point2D topTip(0, -geo::fixedUnit);
    // With a vein the side ends on the unit circle half the vein angle right of the bottom.
    const geo::Point2D lower = hasVein
        ? geo::Point2D::normalFromAngle(quarterTurn - geo::Angle(m_veinAngle.value().value() / 2))
        : geo::Point2D(0, geo::fixedUnit);

    geo::Path half;
    half.addPoint(topTip);
    if (radius == 0.0) {
        half.addPoint(geo::Point2D(geo::fixedFromDouble(width), 0));
    } else {
        const geo::Circle edge(geo::Point2D(geo::fixedFromDouble(width - radius), 0),
                               geo::Length(geo::fixedFromDouble(radius)));
        const geo::Angle begin = edge.tangentAngles(topTip).end().normalized() - fullTurn;
        geo::Angle end = edge.tangentAngles(lower).begin().normalized();
        // The side runs the short way between the tangents. Only a narrow leaf with a large radius and a
        // wide vein puts the lower tangent at or above the upper one; the arc would then go once around
        // the circle, far outside the unit square.
        while (end >= begin + halfTurn) {
            end -= fullTurn;
        }
        for (const geo::Angle angle : geo::AngleSegment(begin, end).toSequence(arcStep)) {
            half.addPoint(edge.pointAtAngle(angle));
        }
    }
    if (hasVein) {
        half.addPoint(lower);
        const geo::Point1D veinEnd =
            geo::Point1D(geo::fixedUnit) * geo::Normal1D(1.0 - veinLength) + geo::Point1D(-geo::fixedUnit) * veinLength;
        half.addPoint(geo::Point2D(geo::Point1D(0), veinEnd));
    } else {
        half.addPoint(geo::Point2D(0, geo::fixedUnit));
    }

    std::vector<geo::Point2D> points = half.points();
    const geo::Path mirror = mirroredHalf(half);
    // The mirror half ends at the top tip again, where the closed outline returns anyway.
    points.insert(points.end(), mirror.points().cbegin(), mirror.points().cend() - 1);
    geo::Path outline(std::move(points));
    outline.joinClosePoints(geo::Precision::fromLevel(geo::Precision::maximumLevel));
    return {outline};
}

void Leaf::setWidth(const geo::Normal1D& width) noexcept
{
    m_width.setValue(width);
}

void Leaf::setRadius(const geo::Normal1D& radius) noexcept
{
    m_radius.setValue(radius);
}

void Leaf::setVeinLength(const geo::Normal1D& length) noexcept
{
    m_veinLength.setValue(length);
}

void Leaf::setVeinAngle(const geo::Angle& angle) noexcept
{
    m_veinAngle.setValue(geo::Value(angle.value()));
}

std::vector<std::shared_ptr<Base>> Leaf::createBuiltIns()
{
    std::vector<std::shared_ptr<Base>> shapes;
    int number = 1;
    for (const double radius : {0.8, 0.3, 0.0}) {
        for (const double veinLength : {0.0, 0.2, 0.8}) {
            for (const double width : {1.0, 0.8, 0.6, 0.4}) {
                // The widest leaf has no room for a vein.
                if (width >= 1.0 && veinLength > 0.0) {
                    continue;
                }
                auto leaf = std::make_shared<Leaf>();
                leaf->setIdentifier(QStringLiteral("leaf-%1").arg(number));
                leaf->setName(QStringLiteral("Leaf %1").arg(number));
                leaf->setWidth(width);
                leaf->setVeinLength(veinLength);
                leaf->setRadius(radius);
                leaf->setVeinAngle(geo::Angle::fromDegrees(20.0 * width + 5.0));
                leaf->makeBuiltIn();
                shapes.push_back(leaf);
                ++number;
            }
        }
    }
    return shapes;
}

} // namespace shape
