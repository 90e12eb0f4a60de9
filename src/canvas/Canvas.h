#pragma once

#include "canvas/CanvasItem.h"
#include "geo/Length.h"
#include "geo/Size.h"

#include <QList>
#include <QSharedPointer>
#include <QVariant>

#include <memory>
#include <utility>

namespace frame {
class Base;
}

namespace canvas {

// The result of one generation run: the canvas size, the frame the items were placed in, and the placed
// items in placement order. Plain data, shared between the generator, the preview and the file handling.
class Canvas
{
public:
    using ItemList = QList<QSharedPointer<CanvasItem>>;

    Canvas(const geo::Size& size, std::shared_ptr<frame::Base> frame);

    static QSharedPointer<Canvas> create(const geo::Size& size, std::shared_ptr<frame::Base> frame);
    // Null for data that setFromData cannot read.
    static QSharedPointer<Canvas> create(const QVariant& data);

    // Reads {"size", "frame", "items"}; all or nothing: on failure the canvas is left unchanged. Never
    // throws. The frame is read through frame::Manager::instance().
    bool setFromData(const QVariant& data);
    QVariant toData() const;

    void addItem(const QSharedPointer<CanvasItem>& item);
    // The smallest and largest radius + overlap; (largest length, 0) for a canvas without items.
    std::pair<geo::Length, geo::Length> radiusRange() const;

    const geo::Size& size() const noexcept { return m_size; }
    const std::shared_ptr<frame::Base>& frame() const noexcept { return m_frame; }
    const ItemList& items() const noexcept { return m_items; }

private:
    geo::Size m_size;
    std::shared_ptr<frame::Base> m_frame;
    ItemList m_items;
};

} // namespace canvas
