#pragma once

#include "doc/CompareResult.h"
#include "doc/DocumentChangeListener.h"
#include "doc/DocumentElement.h"

#include <QList>
#include <QSet>
#include <QString>

#include <map>
#include <memory>

namespace doc {

class Item;

// The document's item definitions in order. A change of an item is announced as "<itemId>/<its path>";
// an added or removed item by its identifier.
class Items : public DocumentElement, public DocumentChangeListener
{
public:
    // Shape identifier in the data → identifier under which the shape database holds it.
    using ShapeIdMap = std::map<QString, QString>;

    // Holds the default items.
    explicit Items(Document* document);
    ~Items() override;

    // Eight items from 6 mm down to 0.25 mm; the new items' radius and count are announced, then one reset.
    void resetToDefault();

    const QList<std::shared_ptr<Item>>& items() const { return m_items; }
    // Empty for an index outside the list.
    std::shared_ptr<Item> itemAt(int index) const;
    // The first item with the identifier; empty when there is none.
    std::shared_ptr<Item> item(const QString& itemId) const;
    QSet<QString> itemIds() const;
    // The non-empty shape identifiers of all items.
    QSet<QString> shapeIds() const;

    // Appends a new item and announces it.
    std::shared_ptr<Item> addItem();
    // Inserts a copy after the item at index and announces it; empty (and nothing done) for a bad index.
    std::shared_ptr<Item> duplicateItem(int index);
    // A bad index does nothing.
    void removeItem(int index);
    // Largest radius first; equal radii keep their order.
    void sort();

    // The order of the items does not matter; items are matched by identifier.
    CompareResult compare(const std::shared_ptr<Items>& other) const;

    // What an empty list reads as: the default items (project data), or no items (an exact copy of a
    // list from which the user removed every item).
    enum class EmptyList { Defaults, Empty };

    QVariant toData() const override;
    void setFromDataOrThrow(const QVariant& data) override;
    // Reads every entry of the list. An item whose identifier is missing, empty or already taken gets a
    // new one, so that identifiers stay unique.
    void setFromDataOrThrow(const QVariant& data, const ShapeIdMap& shapeIdMap,
                            EmptyList emptyList = EmptyList::Defaults);
    using DocumentElement::setFromDataOrThrowWithKey;
    void setFromDataOrThrowWithKey(const QString& key, const QVariant& data, const ShapeIdMap& shapeIdMap,
                                   EmptyList emptyList = EmptyList::Defaults);

    void onDocumentPropertyChanged(const QString& name, const DocumentElement* element) override;

private:
    std::shared_ptr<Item> createListenedItem();
    void clear();

    QList<std::shared_ptr<Item>> m_items;
};

} // namespace doc
