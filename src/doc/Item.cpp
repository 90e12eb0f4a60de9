#include "doc/Item.h"

#include "doc/ChildResetRelay.h"
#include "doc/Color.h"
#include "doc/Document.h"
#include "doc/DynamicValue.h"
#include "doc/Properties.h"
#include "err/Deserialize.h"
#include "func/Manager.h"
#include "geo/Fixed.h"

#include <QUuid>
#include <QVariantMap>

#include <algorithm>

namespace doc {

namespace {

const QString keyItemId = QStringLiteral("itemId");
const QString keyShapeId = QStringLiteral("shapeId");
const QString keyRadius = QStringLiteral("radius");
const QString keyRadiusEnd = QStringLiteral("radiusEnd");
const QString keyRadiusTransition = QStringLiteral("radiusTransition");
const QString keyCount = QStringLiteral("count");
const QString keyRotation = QStringLiteral("rotation");
const QString keyOrderZ = QStringLiteral("orderZ");
const QString keyColor = QStringLiteral("color");

const QString missingShapeId = QStringLiteral("circle");
constexpr qint64 newItemRadius = 4000000;
constexpr int newItemCount = 10;

// Limits applied when reading; values outside fall back.
constexpr qint64 minimumRadius = 10000;
constexpr qint64 maximumRadius = 1000000000;
constexpr qint64 fallbackRadius = 10000000;
constexpr int minimumCount = 1;
constexpr int maximumCount = 1000000;
constexpr int fallbackCount = 1;

QString newItemId()
{
    return QUuid::createUuid().toString(QUuid::WithoutBraces);
}

bool isRadiusInRange(geo::Length radius)
{
    return radius.value() >= minimumRadius && radius.value() <= maximumRadius;
}

// Judged as a double before narrowing, so that a huge stored number cannot wrap into the range.
int countFromVariant(const QVariant& data)
{
    bool isNumber = false;
    const double number = data.toDouble(&isNumber);
    if (!isNumber || !(number >= minimumCount && number <= maximumCount)) {
        return fallbackCount;
    }
    return std::clamp(data.toInt(), minimumCount, maximumCount);
}

void loadOrInherit(DynamicValue& value, const QVariant& data)
{
    try {
        value.setFromDataOrThrow(data);
    } catch (const err::Deserialize&) {
        value.resetToInheritFromParent();
    }
}

void loadOrInherit(Color& color, const QVariant& data)
{
    try {
        color.setFromDataOrThrow(data);
    } catch (const err::Deserialize&) {
        color.setParentColor();
    }
}

} // namespace

Item::Item(PrivateTag, Document* document)
    : DocumentElement(document),
      m_itemId(newItemId()),
      m_radius(newItemRadius),
      m_count(newItemCount),
      m_rotation(std::make_shared<DynamicValue>(document)),
      m_orderZ(std::make_shared<DynamicValue>(document)),
      m_color(std::make_shared<Color>(document))
{
    setUpStyleValues();
    m_rotation->addListener(this);
    m_orderZ->addListener(this);
    m_color->addListener(this);
    for (const auto& [value, key] : {std::pair<std::shared_ptr<DocumentElement>, const QString*>{m_rotation, &keyRotation},
                                     {m_orderZ, &keyOrderZ},
                                     {m_color, &keyColor}}) {
        // C++17 cannot capture a structured binding by name: the key is copied into the closure.
        m_styleValueResetRelays.push_back(
            std::make_unique<ChildResetRelay>(value, [this, changedKey = key] { propertyChanged(*changedKey); }));
    }
}

Item::~Item()
{
    m_rotation->removeListener(this);
    m_orderZ->removeListener(this);
    m_color->removeListener(this);
}

void Item::setUpStyleValues()
{
    const std::shared_ptr<Properties> properties = document() != nullptr ? document()->properties() : nullptr;
    if (properties != nullptr) {
        m_rotation->setParent(properties->worldRotation());
        m_orderZ->setParent(properties->worldOrderZ());
        m_color->setParent(properties->worldColor());
    }
    m_rotation->resetToInheritFromParent();
    m_orderZ->resetToInheritFromParent();
    m_color->setParentColor();
}

std::shared_ptr<Item> Item::create(Document* document)
{
    return std::make_shared<Item>(PrivateTag{}, document);
}

std::shared_ptr<Item> Item::copy() const
{
    std::shared_ptr<Item> duplicate = create(document());
    duplicate->m_shapeId = m_shapeId;
    duplicate->m_radius = m_radius;
    duplicate->m_radiusEnd = m_radiusEnd;
    duplicate->m_radiusTransition = m_radiusTransition;
    duplicate->m_transitionFunction = m_transitionFunction;
    duplicate->m_count = m_count;
    loadOrInherit(*duplicate->m_rotation, m_rotation->toData());
    loadOrInherit(*duplicate->m_orderZ, m_orderZ->toData());
    loadOrInherit(*duplicate->m_color, m_color->toData());
    return duplicate;
}

void Item::assignNewItemId()
{
    m_itemId = newItemId();
}

QVariant Item::toData() const
{
    return QVariantMap{
        {keyItemId, m_itemId},
        {keyShapeId, m_shapeId},
        {keyRadius, m_radius.toVariant()},
        {keyRadiusEnd, m_radiusEnd.toVariant()},
        {keyRadiusTransition, m_radiusTransition},
        {keyCount, m_count},
        {keyRotation, m_rotation->toData()},
        {keyOrderZ, m_orderZ->toData()},
        {keyColor, m_color->toData()},
    };
}

void Item::setFromDataOrThrow(const QVariant& data)
{
    setFromDataOrThrow(data, ShapeIdMap{});
}

void Item::setFromDataOrThrow(const QVariant& data, const ShapeIdMap& shapeIdMap)
{
    const QVariantMap map = data.toMap();
    const QString storedItemId = map.value(keyItemId).toString();
    m_itemId = storedItemId.isEmpty() ? newItemId() : storedItemId;
    readShapeId(map, shapeIdMap);
    readRadii(map);
    m_count = map.contains(keyCount) ? countFromVariant(map.value(keyCount)) : fallbackCount;
    readStyleValuesOrThrow(map);
    documentElementReset();
}

void Item::setFromDataOrThrowWithKey(const QString& key, const QVariant& data, const ShapeIdMap& shapeIdMap)
{
    readWithKeyOrThrow(key, [&] { setFromDataOrThrow(data, shapeIdMap); });
}

void Item::readShapeId(const QVariantMap& map, const ShapeIdMap& shapeIdMap)
{
    if (!map.contains(keyShapeId)) {
        m_shapeId = missingShapeId;
        return;
    }
    m_shapeId = map.value(keyShapeId).toString();
    const auto renamed = shapeIdMap.find(m_shapeId);
    if (renamed != shapeIdMap.end()) {
        m_shapeId = renamed->second;
    }
}

// A transition always runs from the radius down to an end radius of 0 or between the smallest radius
// and the radius; anything else drops the transition.
void Item::readRadii(const QVariantMap& map)
{
    m_radius = map.contains(keyRadius) ? geo::Length::fromVariant(map.value(keyRadius)) : geo::Length(0);
    if (!isRadiusInRange(m_radius)) {
        m_radius = geo::Length(fallbackRadius);
    }
    m_radiusTransition = map.value(keyRadiusTransition).toString();
    if (!func::Manager::instance().hasIdentifier(m_radiusTransition)) {
        m_radiusTransition.clear();
    }
    if (map.contains(keyRadiusEnd)) {
        m_radiusEnd = geo::Length::fromVariant(map.value(keyRadiusEnd));
        if (m_radiusEnd.value() != 0 && (!isRadiusInRange(m_radiusEnd) || m_radiusEnd > m_radius)) {
            m_radiusTransition.clear();
        }
    } else {
        m_radiusTransition.clear();
    }
    if (m_radiusTransition.isEmpty()) {
        m_radiusEnd = geo::Length(0);
    }
    resolveTransition();
}

void Item::readStyleValuesOrThrow(const QVariantMap& map)
{
    for (const auto& [key, value] : {std::pair{&keyRotation, m_rotation.get()}, std::pair{&keyOrderZ, m_orderZ.get()}}) {
        if (map.contains(*key)) {
            value->setFromDataOrThrowWithKey(*key, map.value(*key));
        } else {
            value->resetToInheritFromParent();
        }
    }
    if (map.contains(keyColor)) {
        m_color->setFromDataOrThrowWithKey(keyColor, map.value(keyColor));
    } else {
        m_color->setParentColor();
    }
}

void Item::resolveTransition()
{
    m_transitionFunction =
        m_radiusTransition.isEmpty() ? nullptr : func::Manager::instance().function(m_radiusTransition);
}

void Item::setShapeId(const QString& shapeId)
{
    if (m_shapeId == shapeId) {
        return;
    }
    m_shapeId = shapeId;
    propertyChanged(keyShapeId);
}

void Item::setRadius(geo::Length radius)
{
    if (m_radius == radius) {
        return;
    }
    m_radius = radius;
    propertyChanged(keyRadius);
}

void Item::setRadiusEnd(geo::Length radiusEnd)
{
    if (m_radiusEnd == radiusEnd) {
        return;
    }
    m_radiusEnd = radiusEnd;
    propertyChanged(keyRadiusEnd);
}

void Item::setRadiusTransition(const QString& transition)
{
    if (m_radiusTransition == transition) {
        return;
    }
    m_radiusTransition = transition;
    resolveTransition();
    propertyChanged(keyRadiusTransition);
}

void Item::setCount(int count)
{
    // The generator sums the counts to size its list of copies.
    const int stored = std::max(count, 0);
    if (m_count == stored) {
        return;
    }
    m_count = stored;
    propertyChanged(keyCount);
}

geo::Length Item::radiusForInstance(int index) const
{
    if (m_radiusTransition.isEmpty()) {
        return m_radius;
    }
    double t = m_count > 1 ? geo::zeroIfNaN(double(index) / double(m_count - 1)) : 0.0;
    if (m_transitionFunction != nullptr) {
        t = m_transitionFunction->value(t);
    }
    const double s = geo::zeroIfNaN(1.0 - t);
    // The products are formed in 128 bits: a radius set near the 64-bit limit would overflow a 64-bit
    // product. Each term truncates toward zero before the sum, which saturates.
    const qint64 start = geo::multiplyFixed(m_radius.value(), geo::fixedFromDouble(s));
    const qint64 end = geo::multiplyFixed(m_radiusEnd.value(), geo::fixedFromDouble(t));
    return geo::Length(geo::saturatedAdd(start, end));
}

CompareResult Item::compare(const std::shared_ptr<Item>& other) const
{
    if (m_radius != other->m_radius || m_radiusTransition != other->m_radiusTransition
        || m_radiusEnd != other->m_radiusEnd || m_count != other->m_count) {
        return CompareResult::RequiresRegenerate;
    }
    if (m_shapeId != other->m_shapeId || m_rotation->toData() != other->m_rotation->toData()
        || m_orderZ->toData() != other->m_orderZ->toData() || m_color->toData() != other->m_color->toData()) {
        return CompareResult::Changed;
    }
    return CompareResult::Equal;
}

void Item::onDocumentPropertyChanged(const QString& name, const DocumentElement* element)
{
    if (element == m_color.get()) {
        propertyChanged(keyColor, name);
    } else if (element == m_rotation.get()) {
        propertyChanged(keyRotation, name);
    } else if (element == m_orderZ.get()) {
        propertyChanged(keyOrderZ, name);
    }
}

} // namespace doc
