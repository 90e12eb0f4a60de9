#include "canvas/Canvas.h"

#include "frame/Base.h"
#include "frame/Manager.h"

#include <QVariantList>
#include <QVariantMap>

#include <algorithm>

namespace canvas {

namespace {

const QString keySize = QStringLiteral("size");
const QString keyFrame = QStringLiteral("frame");
const QString keyItems = QStringLiteral("items");

// Two or more items with index 0 mean the indexes were not kept; the items are numbered by position.
void renumberWhenIndexesAreMissing(Canvas::ItemList& items)
{
    const auto zeroIndexes = std::count_if(items.cbegin(), items.cend(), [](const QSharedPointer<CanvasItem>& item) {
        return item->index() == 0;
    });
    if (zeroIndexes < 2) {
        return;
    }
    for (qsizetype position = 0; position < items.size(); ++position) {
        const CanvasItem& read = *items.at(position);
        auto numbered = CanvasItem::create(read.itemId(), position, read.shapeId(), read.center(), read.radius());
        numbered->setOverlap(read.overlap());
        numbered->setAngle(read.angle());
        numbered->setFill(read.fill());
        numbered->setFillOpacity(read.fillOpacity());
        numbered->setOrderZ(read.orderZ());
        items[position] = numbered;
    }
}

} // namespace

Canvas::Canvas(const geo::Size& size, std::shared_ptr<frame::Base> frame) : m_size(size), m_frame(std::move(frame))
{
}

QSharedPointer<Canvas> Canvas::create(const geo::Size& size, std::shared_ptr<frame::Base> frame)
{
    return QSharedPointer<Canvas>::create(size, std::move(frame));
}

QSharedPointer<Canvas> Canvas::create(const QVariant& data)
{
    auto canvas = QSharedPointer<Canvas>::create(geo::Size(), nullptr);
    if (!canvas->setFromData(data)) {
        return nullptr;
    }
    return canvas;
}

bool Canvas::setFromData(const QVariant& data)
{
    const QVariantMap map = data.toMap();
    if (!map.contains(keySize) || !map.contains(keyFrame) || !map.contains(keyItems)) {
        return false;
    }
    // The same rule as for the frame's own size: a canvas with a negative size cannot hold its frame.
    const geo::Size size = geo::Size::fromVariant(map.value(keySize));
    if (!frame::Base::isUsableSize(size)) {
        return false;
    }
    const frame::Manager* frames = frame::Manager::instance();
    if (frames == nullptr) {
        return false;
    }
    std::shared_ptr<frame::Base> frame = frames->createFrame(map.value(keyFrame));
    if (!frame) {
        return false;
    }
    const QVariantList itemList = map.value(keyItems).toList();
    if (itemList.isEmpty()) {
        return false;
    }
    ItemList items;
    items.reserve(itemList.size());
    for (const QVariant& itemData : itemList) {
        QSharedPointer<CanvasItem> item = CanvasItem::create(itemData);
        if (!item) {
            return false;
        }
        items.append(item);
    }
    renumberWhenIndexesAreMissing(items);

    m_size = size;
    m_frame = std::move(frame);
    m_items = std::move(items);
    return true;
}

QVariant Canvas::toData() const
{
    QVariantList itemList;
    itemList.reserve(m_items.size());
    for (const QSharedPointer<CanvasItem>& item : m_items) {
        itemList.append(item->toData());
    }
    return QVariantMap{
        {keySize, m_size.toVariant()},
        {keyFrame, m_frame ? m_frame->toData() : QVariant()},
        {keyItems, itemList},
    };
}

void Canvas::addItem(const QSharedPointer<CanvasItem>& item)
{
    m_items.append(item);
}

std::pair<geo::Length, geo::Length> Canvas::radiusRange() const
{
    geo::Length smallest = geo::Length::maximum();
    geo::Length largest(0);
    for (const QSharedPointer<CanvasItem>& item : m_items) {
        const geo::Length extent = item->radius() + item->overlap();
        smallest = std::min(smallest, extent);
        largest = std::max(largest, extent);
    }
    return {smallest, largest};
}

} // namespace canvas
