#include "geo/Size.h"

#include <QVariantMap>

namespace geo {

Normal2D Size::normalOfPoint(const Point2D& point) const noexcept
{
    if (m_width == 0 || m_height == 0) {
        return Normal2D(0.0, 0.0);
    }
    return Normal2D(static_cast<double>(point.x()) / static_cast<double>(m_width),
                    static_cast<double>(point.y()) / static_cast<double>(m_height))
        .clamped();
}

QVariant Size::toVariant() const
{
    return QVariantMap{{QStringLiteral("width"), static_cast<qlonglong>(m_width)},
                       {QStringLiteral("height"), static_cast<qlonglong>(m_height)}};
}

Size Size::fromVariant(const QVariant& variant)
{
    const QVariantMap map = variant.toMap();
    return Size(Length::fromVariant(map.value(QStringLiteral("width"))).value(),
                Length::fromVariant(map.value(QStringLiteral("height"))).value());
}

} // namespace geo
