#include "shape/Star.h"

#include "geo/NormalRange.h"

namespace shape {

Star::Star()
    : m_pointCount(geo::Value(3000000), geo::Value(12000000), geo::Precision::fromLevel(0),
                   QStringLiteral("Point Count"), 0.5)
    , m_valleyRatio(0.0, 1.0, QStringLiteral("Valley Ratio"), 0.5)
    , m_valleyShift(-0.5, 0.5, QStringLiteral("Valley Shift"), 0.5)
{
    registerModifier(&m_pointCount);
    registerModifier(&m_valleyRatio);
    registerModifier(&m_valleyShift);
}

Type Star::type() const
{
    return Type::Star;
}

std::vector<geo::Path> Star::createPaths(bool /*outlineOnly*/) const
{
    const qint64 pointCount = countOf(m_pointCount.value());
    if (pointCount < 3) {
        return {};
    }
    const qint64 vertexCount = 2 * pointCount;
    const double step = 360.0 / static_cast<double>(vertexCount);
    const geo::Angle shift = geo::Angle::fromDegrees(m_valleyShift.value() * step);
    const qint64 valleyRadius = geo::fixedFromDouble(geo::NormalRange(0.05, 1.0).interpolated(m_valleyRatio.value()));
    geo::Path path;
    for (qint64 i = 0; i < vertexCount; ++i) {
        const geo::Angle angle =
            geo::Angle::fromDegrees(static_cast<double>(i) * 360.0 / static_cast<double>(vertexCount) - 90.0);
        if (i % 2 == 0) {
            path.addPoint(geo::Point2D::normalFromAngle(angle));
        } else {
            path.addPoint(unitPointTimes(angle + shift, valleyRadius));
        }
    }
    return {path};
}

void Star::setPointCount(int count) noexcept
{
    m_pointCount.setValue(geo::Value(static_cast<qint64>(count) * geo::fixedUnit));
}

void Star::setInnerCorners(const geo::Normal1D& normal) noexcept
{
    m_valleyRatio.setNormalValue(normal);
}

void Star::setInnerShift(const geo::Normal1D& normal) noexcept
{
    m_valleyShift.setNormalValue(normal);
}

std::vector<std::shared_ptr<Base>> Star::createBuiltIns()
{
    struct Group {
        const char* identifier;
        const char* name;
        double valleyRatio;
    };
    const Group groups[] = {
        {"%1_point_star_blunt", "Blunt %1-Point Star", 0.75},
        {"%1_point_star", "%1-Point Star", 0.5},
        {"%1_point_star_sharp", "Sharp %1-Point Star", 0.35},
    };
    std::vector<std::shared_ptr<Base>> shapes;
    for (const Group& group : groups) {
        for (int count = 3; count <= 12; ++count) {
            auto star = std::make_shared<Star>();
            star->setIdentifier(QString::fromLatin1(group.identifier).arg(count));
            star->setName(QString::fromLatin1(group.name).arg(count));
            star->setPointCount(count);
            star->setInnerCorners(group.valleyRatio);
            star->makeBuiltIn();
            shapes.push_back(star);
        }
    }
    return shapes;
}

} // namespace shape
