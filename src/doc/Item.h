#pragma once

#include "doc/CompareResult.h"
#include "doc/DocumentChangeListener.h"
#include "doc/DocumentElement.h"
#include "func/Base.h"
#include "geo/Length.h"

#include <QString>

#include <map>
#include <memory>
#include <vector>

namespace doc {

class ChildResetRelay;
class Color;
class DynamicValue;
class Items;

// One item definition: which shape to place, how many copies, and how their radius runs from the
// radius to the end radius through a transition function; with rotation, order and colour that inherit
// the document's world values. Made only through create and copy. A reset of a style value (the item put
// back to its starting data) is announced as a change of its key: "rotation", "orderZ" or "color".
class Item : public DocumentElement, private DocumentChangeListener
{
    struct PrivateTag {
        explicit PrivateTag() = default;
    };

public:
    // Shape identifier in the data → identifier under which the shape database holds it.
    using ShapeIdMap = std::map<QString, QString>;

    Item(PrivateTag, Document* document);
    ~Item() override;

    // A new item: a new identifier, no shape (the world shape), radius 4 mm, no transition, 10 copies,
    // style values inheriting the world values.
    static std::shared_ptr<Item> create(Document* document);
    // The same definition under a new identifier; a style value whose data cannot be read back
    // inherits its parent instead.
    std::shared_ptr<Item> copy() const;

    QVariant toData() const override;
    void setFromDataOrThrow(const QVariant& data) override;
    // Plain values fall back to safe ones; only rotation, order and colour can throw.
    void setFromDataOrThrow(const QVariant& data, const ShapeIdMap& shapeIdMap);
    using DocumentElement::setFromDataOrThrowWithKey;
    void setFromDataOrThrowWithKey(const QString& key, const QVariant& data, const ShapeIdMap& shapeIdMap);

    const QString& itemId() const { return m_itemId; }
    const QString& shapeId() const { return m_shapeId; }
    geo::Length radius() const { return m_radius; }
    geo::Length radiusEnd() const { return m_radiusEnd; }
    const QString& radiusTransition() const { return m_radiusTransition; }
    // Never negative.
    int count() const { return m_count; }
    std::shared_ptr<DynamicValue> rotation() const { return m_rotation; }
    std::shared_ptr<DynamicValue> orderZ() const { return m_orderZ; }
    std::shared_ptr<Color> color() const { return m_color; }

    // Each stores and announces its key only when the value differs.
    void setShapeId(const QString& shapeId);
    void setRadius(geo::Length radius);
    void setRadiusEnd(geo::Length radiusEnd);
    // Resolves the function at once, so the radii follow the new transition.
    void setRadiusTransition(const QString& transition);
    // A negative count is stored as 0.
    void setCount(int count);

    // The radius of copy index: without a transition the radius; otherwise the transition's value at
    // index / (count - 1) blends the radius into the end radius.
    geo::Length radiusForInstance(int index) const;

    // RequiresRegenerate when radius, transition, end radius or count differ; Changed when the shape or
    // a style value differs. Identifiers are not compared.
    CompareResult compare(const std::shared_ptr<Item>& other) const;

private:
    friend class Items;

    void onDocumentPropertyChanged(const QString& name, const DocumentElement* element) override;

    void setUpStyleValues();
    // A new identifier for an item whose identifier is missing or already taken in its list.
    void assignNewItemId();
    void resolveTransition();
    void readShapeId(const QVariantMap& map, const ShapeIdMap& shapeIdMap);
    void readRadii(const QVariantMap& map);
    void readStyleValuesOrThrow(const QVariantMap& map);

    QString m_itemId;
    QString m_shapeId;
    geo::Length m_radius;
    geo::Length m_radiusEnd;
    QString m_radiusTransition;
    func::FunctionPtr m_transitionFunction;
    int m_count;
    std::shared_ptr<DynamicValue> m_rotation;
    std::shared_ptr<DynamicValue> m_orderZ;
    std::shared_ptr<Color> m_color;
    // Declared after the style values, so they leave the values' lists before the values go.
    std::vector<std::unique_ptr<ChildResetRelay>> m_styleValueResetRelays;
};

} // namespace doc
