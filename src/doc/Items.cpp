#include "doc/Items.h"

#include "doc/Item.h"

#include <QVariantList>

#include <algorithm>
#include <array>

namespace doc {

namespace {

struct DefaultItem {
    double radiusMillimeters;
    int count;
};

constexpr std::array<DefaultItem, 8> defaultItems{{
    {6.0, 1},
    {5.0, 4},
    {4.0, 8},
    {3.0, 16},
    {2.0, 32},
    {1.0, 64},
    {0.5, 128},
    {0.25, 1000},
}};

} // namespace

Items::Items(Document* document) : DocumentElement(document)
{
    resetToDefault();
}

Items::~Items()
{
    clear();
}

std::shared_ptr<Item> Items::createListenedItem()
{
    std::shared_ptr<Item> item = Item::create(document());
    item->addListener(this);
    return item;
}

void Items::clear()
{
    for (const std::shared_ptr<Item>& item : std::as_const(m_items)) {
        item->removeListener(this);
    }
    m_items.clear();
}

void Items::resetToDefault()
{
    clear();
    for (const DefaultItem& row : defaultItems) {
        std::shared_ptr<Item> item = createListenedItem();
        m_items.append(item);
        item->setRadius(geo::Length::fromDouble(row.radiusMillimeters));
        item->setCount(row.count);
    }
    documentElementReset();
}

std::shared_ptr<Item> Items::itemAt(int index) const
{
    return index >= 0 && index < m_items.size() ? m_items.at(index) : nullptr;
}

std::shared_ptr<Item> Items::item(const QString& itemId) const
{
    const auto found = std::find_if(m_items.cbegin(), m_items.cend(),
                                    [&itemId](const std::shared_ptr<Item>& item) { return item->itemId() == itemId; });
    return found != m_items.cend() ? *found : nullptr;
}

QSet<QString> Items::itemIds() const
{
    QSet<QString> identifiers;
    for (const std::shared_ptr<Item>& item : m_items) {
        identifiers.insert(item->itemId());
    }
    return identifiers;
}

QSet<QString> Items::shapeIds() const
{
    QSet<QString> identifiers;
    for (const std::shared_ptr<Item>& item : m_items) {
        if (!item->shapeId().isEmpty()) {
            identifiers.insert(item->shapeId());
        }
    }
    return identifiers;
}

std::shared_ptr<Item> Items::addItem()
{
    std::shared_ptr<Item> item = createListenedItem();
    m_items.append(item);
    documentElementAdded(item->itemId());
    return item;
}

std::shared_ptr<Item> Items::duplicateItem(int index)
{
    const std::shared_ptr<Item> original = itemAt(index);
    if (original == nullptr) {
        return nullptr;
    }
    std::shared_ptr<Item> duplicate = original->copy();
    duplicate->addListener(this);
    m_items.insert(index + 1, duplicate);
    documentElementAdded(duplicate->itemId());
    return duplicate;
}

void Items::removeItem(int index)
{
    const std::shared_ptr<Item> removed = itemAt(index);
    if (removed == nullptr) {
        return;
    }
    removed->removeListener(this);
    m_items.removeAt(index);
    documentElementRemoved(removed->itemId());
}

void Items::sort()
{
    std::stable_sort(m_items.begin(), m_items.end(), [](const std::shared_ptr<Item>& a, const std::shared_ptr<Item>& b) {
        return a->radius() > b->radius();
    });
    documentElementReset();
}

CompareResult Items::compare(const std::shared_ptr<Items>& other) const
{
    if (itemIds() != other->itemIds()) {
        return CompareResult::RequiresRegenerate;
    }
    CompareResult result = CompareResult::Equal;
    for (const std::shared_ptr<Item>& mine : m_items) {
        const CompareResult itemResult = mine->compare(other->item(mine->itemId()));
        if (itemResult == CompareResult::RequiresRegenerate) {
            return itemResult;
        }
        if (itemResult == CompareResult::Changed) {
            result = CompareResult::Changed;
        }
    }
    return result;
}

QVariant Items::toData() const
{
    QVariantList list;
    list.reserve(m_items.size());
    for (const std::shared_ptr<Item>& item : m_items) {
        list.append(item->toData());
    }
    return list;
}

void Items::setFromDataOrThrow(const QVariant& data)
{
    setFromDataOrThrow(data, ShapeIdMap{});
}

void Items::setFromDataOrThrow(const QVariant& data, const ShapeIdMap& shapeIdMap, EmptyList emptyList)
{
    clear();
    const QVariantList entries = data.typeId() == QMetaType::QVariantList ? data.toList() : QVariantList{};
    QSet<QString> takenItemIds;
    for (qsizetype index = 0; index < entries.size(); ++index) {
        std::shared_ptr<Item> item = createListenedItem();
        try {
            item->setFromDataOrThrowWithKey(QStringLiteral("[%1]").arg(index), entries.at(index), shapeIdMap);
        } catch (...) {
            item->removeListener(this);
            throw;
        }
        // Styling looks items up by identifier and comparison matches them by it: it must be unique.
        if (takenItemIds.contains(item->itemId())) {
            item->assignNewItemId();
        }
        takenItemIds.insert(item->itemId());
        m_items.append(item);
    }
    if (m_items.isEmpty() && emptyList == EmptyList::Defaults) {
        resetToDefault();
    }
    documentElementReset();
}

void Items::setFromDataOrThrowWithKey(const QString& key, const QVariant& data, const ShapeIdMap& shapeIdMap,
                                      EmptyList emptyList)
{
    readWithKeyOrThrow(key, [&] { setFromDataOrThrow(data, shapeIdMap, emptyList); });
}

void Items::onDocumentPropertyChanged(const QString& name, const DocumentElement* element)
{
    if (const auto* item = dynamic_cast<const Item*>(element)) {
        propertyChanged(item->itemId(), name);
    }
}

} // namespace doc
