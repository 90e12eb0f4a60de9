#include "shape/Polygon.h"

#include <QStringList>

#include <cmath>

namespace shape {

namespace {

// An inner polygon closer than this to the centre or to the rim is not drawn.
constexpr qint64 minimumInnerRadius = 10000;
constexpr qint64 maximumInnerRadius = 989999;

geo::Angle cornerAngle(qint64 index, qint64 count)
{
    return geo::Angle::fromDegrees(static_cast<double>(index) * 360.0 / static_cast<double>(count) - 90.0);
}

} // namespace

Polygon::Polygon()
    : m_cornerCount(geo::Value(3000000), geo::Value(12000000), geo::Precision::fromLevel(0),
                    QStringLiteral("Corner Count"), 0.0)
    , m_frameSize(0.0, 1.0, QStringLiteral("Frame Size"), 0.0)
{
    registerModifier(&m_cornerCount);
    registerModifier(&m_frameSize);
}

Type Polygon::type() const
{
    return Type::Polygon;
}

std::vector<geo::Path> Polygon::createPaths(bool outlineOnly) const
{
    const qint64 count = countOf(m_cornerCount.value());
    if (count < 3) {
        return {};
    }
    geo::Path outer;
    for (qint64 i = 0; i < count; ++i) {
        outer.addPoint(geo::Point2D::normalFromAngle(cornerAngle(i, count)));
    }
    const double frameSize = m_frameSize.value();
    if (frameSize > 0.0 && !outlineOnly) {
        // The inner polygon's circumradius is the outer polygon's inradius less the frame size.
        const qint64 innerRadius = geo::fixedFromDouble(std::cos(M_PI / static_cast<double>(count)) - frameSize);
        if (innerRadius >= minimumInnerRadius && innerRadius <= maximumInnerRadius) {
            geo::Path inner;
            for (qint64 i = 0; i < count; ++i) {
                inner.addPoint(unitPointTimes(cornerAngle(i, count), innerRadius));
            }
            return {outer, inner};
        }
    }
    return {outer};
}

void Polygon::setCornerCount(int count) noexcept
{
    m_cornerCount.setValue(geo::Value(static_cast<qint64>(count) * geo::fixedUnit));
}

void Polygon::setFrameSize(const geo::Normal1D& normal) noexcept
{
    m_frameSize.setNormalValue(normal);
}

std::vector<std::shared_ptr<Base>> Polygon::createBuiltIns()
{
    const QStringList names{
        QStringLiteral("Triangle"), QStringLiteral("Square"),   QStringLiteral("Pentagon"),
        QStringLiteral("Hexagon"),  QStringLiteral("Heptagon"), QStringLiteral("Octagon"),
        QStringLiteral("Nonagon"),  QStringLiteral("Decagon"),  QStringLiteral("Hendecagon"),
        QStringLiteral("Dodecagon"),
    };
    constexpr int firstCornerCount = 3;
    std::vector<std::shared_ptr<Base>> shapes;
    for (const bool isFrame : {false, true}) {
        for (int row = 0; row < names.size(); ++row) {
            const QString& name = names.at(row);
            auto polygon = std::make_shared<Polygon>();
            if (isFrame) {
                polygon->setIdentifier(QStringLiteral("%1_frame").arg(name.toLower()));
                polygon->setName(QStringLiteral("%1 Frame").arg(name));
                polygon->setFrameSize(0.2);
            } else {
                polygon->setIdentifier(name.toLower());
                polygon->setName(name);
            }
            polygon->setCornerCount(firstCornerCount + row);
            polygon->makeBuiltIn();
            shapes.push_back(polygon);
        }
    }
    return shapes;
}

} // namespace shape
