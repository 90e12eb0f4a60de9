#pragma once

#include "geo/Angle.h"
#include "geo/Circle.h"
#include "geo/Length.h"
#include "geo/Normal1D.h"
#include "geo/Point2D.h"

#include <QSharedPointer>
#include <QString>
#include <QVariant>

namespace canvas {

// One placed copy of an item definition: the shape drawn, where and how large, and the style the renderer
// gives it (rotation, fill, opacity, stacking order).
class CanvasItem
{
public:
    CanvasItem(const QString& itemId, qint64 index, const QString& shapeId, const geo::Point2D& center,
               geo::Length radius);

    static QSharedPointer<CanvasItem> create(const QString& itemId, qint64 index, const QString& shapeId,
                                             const geo::Point2D& center, geo::Length radius);
    // Null when the data does not hold a valid item.
    static QSharedPointer<CanvasItem> create(const QVariant& data);

    // All or nothing: on failure the item is left unchanged.
    bool setFromData(const QVariant& data);
    QVariant toData() const;

    const QString& itemId() const noexcept { return m_itemId; }
    qint64 index() const noexcept { return m_index; }
    const QString& shapeId() const noexcept { return m_shapeId; }
    const geo::Circle& circle() const noexcept { return m_circle; }
    const geo::Point2D& center() const noexcept { return m_circle.center(); }
    geo::Length radius() const noexcept { return m_circle.radius(); }
    geo::Length overlap() const noexcept { return m_overlap; }
    geo::Angle angle() const noexcept { return m_angle; }
    const QString& fill() const noexcept { return m_fill; }
    geo::Normal1D fillOpacity() const noexcept { return m_fillOpacity; }
    geo::Normal1D orderZ() const noexcept { return m_orderZ; }

    void setShapeId(const QString& shapeId) { m_shapeId = shapeId; }
    void setAngle(geo::Angle angle) noexcept { m_angle = angle; }
    void setFill(const QString& fill) { m_fill = fill; }
    void setFillOpacity(geo::Normal1D fillOpacity) noexcept { m_fillOpacity = fillOpacity; }
    void setCircle(const geo::Circle& circle) noexcept { m_circle = circle; }
    void setRadius(geo::Length radius) noexcept { m_circle.setRadius(radius); }
    void setCenter(const geo::Point2D& center) noexcept { m_circle.setCenter(center); }
    void setOverlap(geo::Length overlap) noexcept { m_overlap = overlap; }
    void setOrderZ(geo::Normal1D orderZ) noexcept { m_orderZ = orderZ; }
    void moveCenter(const geo::Point2D& offset) noexcept { m_circle.moveCenter(offset); }

private:
    CanvasItem() = default;

    QString m_itemId;
    qint64 m_index = 0;
    QString m_shapeId;
    geo::Circle m_circle;
    geo::Length m_overlap;
    geo::Angle m_angle;
    QString m_fill;
    geo::Normal1D m_fillOpacity = 1.0;
    geo::Normal1D m_orderZ = 0.0;
};

} // namespace canvas
