#include "shape/Arrow.h"

#include "geo/Point1D.h"

#include <algorithm>
#include <cmath>

namespace shape {

namespace {

constexpr qint64 top = -1000000;
constexpr qint64 bottom = 1000000;

// p × (1 − t) + q × t by the fixed-product rule; a NaN 1 − t counts as 0.
qint64 lerp(qint64 p, qint64 q, double t)
{
    const geo::Point1D result = geo::Point1D(p) * geo::zeroIfNaN(1.0 - t) + geo::Point1D(q) * t;
    return result.value();
}

} // namespace

Arrow::Arrow()
    : m_tipLength(0.1, 1.0, QStringLiteral("Tip Length"), 0.4)
    , m_tipWidth(0.0, 1.0, QStringLiteral("Tip Width"), 0.5)
    , m_lineLength(0.5, 1.0, QStringLiteral("Line Length"), 1.0)
    , m_lineWidth(0.1, 0.8, QStringLiteral("Line Width"), 0.4)
{
    registerModifier(&m_tipLength);
    registerModifier(&m_tipWidth);
    registerModifier(&m_lineLength);
    registerModifier(&m_lineWidth);
}

Type Arrow::type() const
{
    return Type::Arrow;
}

std::vector<geo::Path> Arrow::createPaths(bool /*outlineOnly*/) const
{
    const double lineWidth = m_lineWidth.value();
    const qint64 tipBase = lerp(top, bottom, geo::zeroIfNaN(m_tipLength.value() * m_lineLength.value()));
    // The tip is never narrower than the shaft.
    const qint64 tipHalfWidth = lerp(0, bottom, std::max(static_cast<double>(m_tipWidth.value()), lineWidth));
    const qint64 lineHalfWidth = lerp(0, bottom, lineWidth);
    const qint64 lineEnd = lerp(top, bottom, m_lineLength.value());
    const bool hasShoulders = lineHalfWidth < tipHalfWidth;
    const bool hasShaft = tipBase < lineEnd;

    geo::Path path;
    path.addPoint(geo::Point2D(0, top));
    path.addPoint(geo::Point2D(tipHalfWidth, tipBase));
    if (hasShoulders) {
        path.addPoint(geo::Point2D(lineHalfWidth, tipBase));
    }
    if (hasShaft) {
        path.addPoint(geo::Point2D(lineHalfWidth, lineEnd));
        path.addPoint(geo::Point2D(-lineHalfWidth, lineEnd));
    }
    if (hasShoulders) {
        path.addPoint(geo::Point2D(-lineHalfWidth, tipBase));
    }
    path.addPoint(geo::Point2D(-tipHalfWidth, tipBase));
    return {path};
}

void Arrow::setTipLength(const geo::Normal1D& value) noexcept
{
    m_tipLength.setValue(value);
}

void Arrow::setTipWidth(const geo::Normal1D& value) noexcept
{
    m_tipWidth.setValue(value);
}

void Arrow::setLineLength(const geo::Normal1D& value) noexcept
{
    m_lineLength.setValue(value);
}

void Arrow::setLineWidth(const geo::Normal1D& value) noexcept
{
    m_lineWidth.setValue(value);
}

std::vector<std::shared_ptr<Base>> Arrow::createBuiltIns()
{
    const double tipLengths[] = {0.2, 0.4, 0.6, 0.8};
    const double widths[] = {0.1, 0.2, 0.3, 0.4, 0.5};
    std::vector<std::shared_ptr<Base>> shapes;
    int number = 1;
    for (const double tipLength : tipLengths) {
        for (const double width : widths) {
            // The shaft ends where a circle of the unit radius leaves the shaft's width.
            const geo::Angle rimAngle = geo::Angle::fromDegrees(std::acos(width) * 180.0 / M_PI);
            const double rimHeight = geo::fixedToDouble(geo::Point2D::normalFromAngle(rimAngle).y());
            auto arrow = std::make_shared<Arrow>();
            arrow->setIdentifier(QStringLiteral("arrow-%1").arg(number));
            arrow->setName(QStringLiteral("Arrow %1").arg(number));
            arrow->setLineLength(0.5 + 0.5 * rimHeight);
            arrow->setLineWidth(width);
            arrow->setTipLength(tipLength);
            arrow->setTipWidth(width + 0.2);
            arrow->makeBuiltIn();
            shapes.push_back(arrow);
            ++number;
        }
    }
    return shapes;
}

} // namespace shape
