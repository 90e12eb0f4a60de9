#include "canvas/CanvasItem.h"

#include <QColor>
#include <QVariantMap>

#include <array>

namespace canvas {

namespace {

const QString itemIdKey = QStringLiteral("itemId");
const QString indexKey = QStringLiteral("index");
const QString shapeIdKey = QStringLiteral("shapeId");
const QString centerKey = QStringLiteral("center");
const QString overlapKey = QStringLiteral("overlap");
const QString angleKey = QStringLiteral("angle");
const QString fillKey = QStringLiteral("fill");
const QString fillOpacityKey = QStringLiteral("fillOpacity");
const QString orderZKey = QStringLiteral("orderZ");

bool hasAllKeys(const QVariantMap& map)
{
    const std::array<const QString*, 9> keys{&itemIdKey, &indexKey,   &shapeIdKey,     &centerKey, &overlapKey,
                                             &angleKey,  &fillKey,    &fillOpacityKey, &orderZKey};
    for (const QString* key : keys) {
        if (!map.contains(*key)) {
            return false;
        }
    }
    return true;
}

// The fill ends up in SVG and in QColor; a text that names no colour reads as the default.
QString fillFromText(const QString& text)
{
    if (text.isEmpty() || !QColor::isValidColorName(text)) {
        return QStringLiteral("black");
    }
    return text;
}

} // namespace

CanvasItem::CanvasItem(const QString& itemId, qint64 index, const QString& shapeId, const geo::Point2D& center,
                       geo::Length radius)
    : m_itemId(itemId), m_index(index), m_shapeId(shapeId), m_circle(center, radius)
{
}

QSharedPointer<CanvasItem> CanvasItem::create(const QString& itemId, qint64 index, const QString& shapeId,
                                              const geo::Point2D& center, geo::Length radius)
{
    return QSharedPointer<CanvasItem>::create(itemId, index, shapeId, center, radius);
}

QSharedPointer<CanvasItem> CanvasItem::create(const QVariant& data)
{
    QSharedPointer<CanvasItem> item(new CanvasItem());
    if (!item->setFromData(data)) {
        return {};
    }
    return item;
}

bool CanvasItem::setFromData(const QVariant& data)
{
    const QVariantMap map = data.toMap();
    if (!hasAllKeys(map)) {
        return false;
    }
    CanvasItem read;
    read.m_itemId = map.value(itemIdKey).toString();
    if (read.m_itemId.isEmpty()) {
        return false;
    }
    read.m_index = map.value(indexKey).toLongLong();
    if (read.m_index < 0) {
        return false;
    }
    read.m_shapeId = map.value(shapeIdKey).toString();
    if (read.m_shapeId.isEmpty()) {
        return false;
    }
    read.m_circle = geo::Circle::fromVariant(map.value(centerKey));
    if (read.m_circle.radius().value() <= 0) {
        return false;
    }
    read.m_overlap = geo::Length::fromVariant(map.value(overlapKey));
    read.m_angle = geo::Angle::fromVariant(map.value(angleKey));
    read.m_fill = fillFromText(map.value(fillKey).toString());
    read.m_fillOpacity = geo::Normal1D::fromVariant(map.value(fillOpacityKey)).clamped();
    read.m_orderZ = geo::Normal1D::fromVariant(map.value(orderZKey));
    *this = read;
    return true;
}

QVariant CanvasItem::toData() const
{
    return QVariantMap{
        {itemIdKey, m_itemId},
        {indexKey, static_cast<qlonglong>(m_index)},
        {shapeIdKey, m_shapeId},
        {centerKey, m_circle.toVariant()},
        {overlapKey, m_overlap.toVariant()},
        {angleKey, m_angle.toVariant()},
        {fillKey, m_fill},
        {fillOpacityKey, m_fillOpacity.value()},
        {orderZKey, m_orderZ.value()},
    };
}

} // namespace canvas
