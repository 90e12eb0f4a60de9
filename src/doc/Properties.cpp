#include "doc/Properties.h"

#include "doc/ChildResetRelay.h"
#include "doc/Color.h"
#include "doc/DynamicValue.h"
#include "doc/DynamicValueInput.h"
#include "generator/GeneratorManager.h"
#include "shape/Manager.h"

#include <QVariantMap>

#include <algorithm>

namespace doc {

namespace {

const QString keyGeneratorIdentifier = QStringLiteral("generatorIdentifier");
const QString keyAlgorithmIdentifier = QStringLiteral("algorithmIdentifier");
const QString keyCanvasSize = QStringLiteral("canvasSize");
const QString keyCanvasMargin = QStringLiteral("canvasMargin");
const QString keyCanvasBackgroundColor = QStringLiteral("canvasBackgroundColor");
const QString keyCanvasBackgroundEnabled = QStringLiteral("canvasBackgroundEnabled");
const QString keyCanvasFrameColor = QStringLiteral("canvasFrameColor");
const QString keyCanvasFrameEnabled = QStringLiteral("canvasFrameEnabled");
const QString keyCanvasFrameShape = QStringLiteral("canvasFrameShape");
const QString keyCanvasFrameRatio = QStringLiteral("canvasFrameRatio");
const QString keyPrecision = QStringLiteral("precision");
const QString keyItemSpacing = QStringLiteral("itemSpacing");
const QString keyItemOverlap = QStringLiteral("itemOverlap");
const QString keyWorldRotation = QStringLiteral("worldRotation");
const QString keyWorldOrderZ = QStringLiteral("worldOrderZ");
const QString keyWorldShape = QStringLiteral("worldShape");
const QString keyWorldColor = QStringLiteral("worldColor");
const QString keyRandomPlacementAmount = QStringLiteral("randomPlacementAmount");
const QString keyRoundToPrecisionEnabled = QStringLiteral("roundToPrecisionEnabled");
const QString keySnapToFrameEnabled = QStringLiteral("snapToFrameEnabled");
const QString keyName = QStringLiteral("name");
const QString keyNotes = QStringLiteral("notes");

const QString defaultGeneratorIdentifier = QStringLiteral("pointgrid");
const QString defaultAlgorithmIdentifier = QStringLiteral("largestSpace");
const geo::Size defaultCanvasSize{78000000, 52000000};
constexpr qint64 defaultCanvasMargin = 1000000;
const QColor defaultCanvasBackgroundColor = QColor(0x20, 0x20, 0x40);
const QColor defaultCanvasFrameColor = QColor(0x28, 0x28, 0x48);
const QColor defaultWorldColor = QColor(0x60, 0x70, 0xe0);
constexpr double defaultCanvasFrameRatio = 1.0;
constexpr int defaultPrecisionLevel = 1;
constexpr qint64 defaultItemSpacing = 1000000;
constexpr double defaultRandomPlacementAmount = 0.4;

// Limits applied when reading, in millionths of a millimetre.
constexpr qint64 minimumCanvasSide = 1000000;
constexpr qint64 maximumCanvasSide = 1000000000;
constexpr qint64 maximumCanvasMargin = 1000000000;
constexpr qint64 maximumItemDistance = 100000000;

QString frameValueKey(std::size_t index)
{
    return QStringLiteral("canvasFrameValue") + QChar(char16_t(u'A' + index));
}

// Without a generator registry only the point-grid generator is known.
bool isRegisteredGenerator(const QString& identifier)
{
    const GeneratorManager* manager = GeneratorManager::instance();
    return manager != nullptr ? manager->hasGenerator(identifier) : identifier == defaultGeneratorIdentifier;
}

geo::Length clampedLength(const QVariant& data, qint64 minimum, qint64 maximum)
{
    return geo::Length(std::clamp(geo::Length::fromVariant(data).value(), minimum, maximum));
}

// A text that names no colour keeps the fallback instead of turning black.
QColor colorOr(const QVariant& data, const QColor& fallback)
{
    const QColor color = QColor::fromString(data.toString());
    return color.isValid() ? color : fallback;
}

// Drops control and format characters (other than the line feed) that a file may smuggle into the
// name and notes, such as NUL, carriage returns or bidirectional overrides. Everything the user can
// type, digits and punctuation included, stays. Lone surrogates become the replacement character.
QString cleanedText(const QString& text)
{
    QList<uint> kept;
    const QList<uint> codePoints = text.toUcs4();
    kept.reserve(codePoints.size());
    for (const uint codePoint : codePoints) {
        const QChar::Category category = QChar::category(char32_t(codePoint));
        if (codePoint == u'\n' || (category != QChar::Other_Control && category != QChar::Other_Format)) {
            kept.append(codePoint);
        }
    }
    return QString::fromUcs4(reinterpret_cast<const char32_t*>(kept.constData()), kept.size());
}

} // namespace

Properties::Properties(Document* document)
    : DocumentElement(document),
      m_worldRotation(std::make_shared<DynamicValue>(document)),
      m_worldOrderZ(std::make_shared<DynamicValue>(document)),
      m_worldColor(std::make_shared<Color>(document))
{
    m_worldRotation->addListener(this);
    m_worldOrderZ->addListener(this);
    m_worldColor->addListener(this);
    for (const auto& [value, key] : {std::pair<std::shared_ptr<DocumentElement>, const QString*>{m_worldRotation, &keyWorldRotation},
                                     {m_worldOrderZ, &keyWorldOrderZ},
                                     {m_worldColor, &keyWorldColor}}) {
        // C++17 cannot capture a structured binding by name: the key is copied into the closure.
        m_worldValueResetRelays.push_back(
            std::make_unique<ChildResetRelay>(value, [this, changedKey = key] { propertyChanged(*changedKey); }));
    }
    resetToDefault();
}

Properties::~Properties()
{
    m_worldRotation->removeListener(this);
    m_worldOrderZ->removeListener(this);
    m_worldColor->removeListener(this);
}

void Properties::resetToDefault()
{
    m_generatorIdentifier = defaultGeneratorIdentifier;
    m_algorithmIdentifier = defaultAlgorithmIdentifier;
    m_canvasSize = defaultCanvasSize;
    m_canvasMargin = geo::Length(defaultCanvasMargin);
    m_canvasBackgroundColor = defaultCanvasBackgroundColor;
    m_canvasBackgroundEnabled = true;
    m_canvasFrameColor = defaultCanvasFrameColor;
    m_canvasFrameEnabled = true;
    m_canvasFrameShape = frame::Shape::Rectangle;
    m_canvasFrameRatio = defaultCanvasFrameRatio;
    m_canvasFrameValues.fill(0.0);
    m_precision = geo::Precision::fromLevel(defaultPrecisionLevel);
    m_itemSpacing = geo::Length(defaultItemSpacing);
    m_itemOverlap = geo::Length(0);
    m_worldRotation->resetToDefaults();
    m_worldOrderZ->resetToDefaults();
    m_worldOrderZ->setInput(DynamicValueInput::ItemIndex);
    const shape::Manager* shapes = shape::Manager::instance();
    m_worldShape = shapes != nullptr ? shapes->shape(0UL) : nullptr;
    m_worldColor->setStaticColor(defaultWorldColor);
    m_randomPlacementAmount = defaultRandomPlacementAmount;
    m_roundToPrecisionEnabled = false;
    m_snapToFrameEnabled = true;
    m_name.clear();
    m_notes.clear();
    documentElementReset();
}

QVariant Properties::toData() const
{
    QVariantMap map{
        {keyGeneratorIdentifier, m_generatorIdentifier},
        {keyAlgorithmIdentifier, m_algorithmIdentifier},
        {keyCanvasSize, m_canvasSize.toVariant()},
        {keyCanvasMargin, m_canvasMargin.toVariant()},
        {keyCanvasBackgroundColor, m_canvasBackgroundColor.name()},
        {keyCanvasBackgroundEnabled, m_canvasBackgroundEnabled},
        {keyCanvasFrameColor, m_canvasFrameColor.name()},
        {keyCanvasFrameEnabled, m_canvasFrameEnabled},
        {keyCanvasFrameShape, frame::shapeToString(m_canvasFrameShape)},
        {keyCanvasFrameRatio, m_canvasFrameRatio.value()},
        {keyPrecision, m_precision.toData()},
        {keyItemSpacing, m_itemSpacing.toVariant()},
        {keyItemOverlap, m_itemOverlap.toVariant()},
        {keyWorldRotation, m_worldRotation->toData()},
        {keyWorldOrderZ, m_worldOrderZ->toData()},
        {keyWorldShape, m_worldShape != nullptr ? m_worldShape->identifier() : QString()},
        {keyWorldColor, m_worldColor->toData()},
        {keyRandomPlacementAmount, m_randomPlacementAmount.value()},
        {keyRoundToPrecisionEnabled, m_roundToPrecisionEnabled},
        {keySnapToFrameEnabled, m_snapToFrameEnabled},
        {keyName, m_name},
        {keyNotes, m_notes},
    };
    for (std::size_t index = 0; index < frameValueCount; ++index) {
        map.insert(frameValueKey(index), m_canvasFrameValues[index].value());
    }
    return map;
}

void Properties::setFromDataOrThrow(const QVariant& data)
{
    setFromDataOrThrow(data, ShapeIdMap{});
}

void Properties::setFromDataOrThrow(const QVariant& data, const ShapeIdMap& shapeIdMap)
{
    const QVariantMap map = data.toMap();
    resetToDefault();
    readGeneratorAndCanvas(map);
    readFrame(map);
    readPlacement(map);
    readWorldValuesOrThrow(map, shapeIdMap);
    readSwitchesAndText(map);
}

void Properties::setFromDataOrThrowWithKey(const QString& key, const QVariant& data, const ShapeIdMap& shapeIdMap)
{
    readWithKeyOrThrow(key, [&] { setFromDataOrThrow(data, shapeIdMap); });
}

void Properties::readGeneratorAndCanvas(const QVariantMap& map)
{
    if (map.contains(keyGeneratorIdentifier)) {
        m_generatorIdentifier = map.value(keyGeneratorIdentifier).toString();
    }
    if (!isRegisteredGenerator(m_generatorIdentifier)) {
        m_generatorIdentifier = defaultGeneratorIdentifier;
    }
    if (map.contains(keyAlgorithmIdentifier)) {
        m_algorithmIdentifier = map.value(keyAlgorithmIdentifier).toString();
    }
    if (map.contains(keyCanvasSize)) {
        m_canvasSize = geo::Size::fromVariant(map.value(keyCanvasSize));
    }
    m_canvasSize = geo::Size(std::clamp(m_canvasSize.width(), minimumCanvasSide, maximumCanvasSide),
                             std::clamp(m_canvasSize.height(), minimumCanvasSide, maximumCanvasSide));
    if (map.contains(keyCanvasMargin)) {
        m_canvasMargin = clampedLength(map.value(keyCanvasMargin), 0, maximumCanvasMargin);
    }
    if (map.contains(keyCanvasBackgroundColor)) {
        m_canvasBackgroundColor = colorOr(map.value(keyCanvasBackgroundColor), defaultCanvasBackgroundColor);
    }
    if (map.contains(keyCanvasBackgroundEnabled)) {
        m_canvasBackgroundEnabled = map.value(keyCanvasBackgroundEnabled).toBool();
    }
    if (map.contains(keyCanvasFrameColor)) {
        m_canvasFrameColor = colorOr(map.value(keyCanvasFrameColor), defaultCanvasFrameColor);
    }
    if (map.contains(keyCanvasFrameEnabled)) {
        m_canvasFrameEnabled = map.value(keyCanvasFrameEnabled).toBool();
    }
}

void Properties::readFrame(const QVariantMap& map)
{
    if (map.contains(keyCanvasFrameShape)) {
        const frame::Shape shape = frame::shapeFromString(map.value(keyCanvasFrameShape).toString());
        // A name of no frame shape has no frame to build: the rectangle stands in.
        m_canvasFrameShape = shape == frame::Shape::NoShape ? frame::Shape::Rectangle : shape;
    }
    // A ratio or value beyond [0, 1] would make the frame larger than the canvas.
    if (map.contains(keyCanvasFrameRatio)) {
        m_canvasFrameRatio = geo::Normal1D::fromVariant(map.value(keyCanvasFrameRatio)).clamped();
    }
    for (std::size_t index = 0; index < frameValueCount; ++index) {
        const QString key = frameValueKey(index);
        if (map.contains(key)) {
            m_canvasFrameValues[index] = geo::Normal1D::fromVariant(map.value(key)).clamped();
        }
    }
}

void Properties::readPlacement(const QVariantMap& map)
{
    if (map.contains(keyPrecision)) {
        m_precision = geo::Precision::fromData(map.value(keyPrecision));
    }
    if (map.contains(keyItemSpacing)) {
        m_itemSpacing = clampedLength(map.value(keyItemSpacing), 0, maximumItemDistance);
    }
    if (map.contains(keyItemOverlap)) {
        m_itemOverlap = clampedLength(map.value(keyItemOverlap), 0, maximumItemDistance);
    }
}

void Properties::readWorldValuesOrThrow(const QVariantMap& map, const ShapeIdMap& shapeIdMap)
{
    if (map.contains(keyWorldRotation)) {
        m_worldRotation->setFromDataOrThrowWithKey(keyWorldRotation, map.value(keyWorldRotation));
    }
    if (map.contains(keyWorldOrderZ)) {
        m_worldOrderZ->setFromDataOrThrowWithKey(keyWorldOrderZ, map.value(keyWorldOrderZ));
    }
    const shape::Manager* shapes = shape::Manager::instance();
    if (map.contains(keyWorldShape) && shapes != nullptr) {
        QString identifier = map.value(keyWorldShape).toString();
        const auto renamed = shapeIdMap.find(identifier);
        if (renamed != shapeIdMap.end()) {
            identifier = renamed->second;
        }
        m_worldShape = shapes->shape(identifier);
        if (m_worldShape == nullptr) {
            m_worldShape = shapes->defaultShape();
        }
    }
    if (map.contains(keyWorldColor)) {
        m_worldColor->setFromDataOrThrowWithKey(keyWorldColor, map.value(keyWorldColor));
    }
}

void Properties::readSwitchesAndText(const QVariantMap& map)
{
    if (map.contains(keyRandomPlacementAmount)) {
        m_randomPlacementAmount = geo::Normal1D::fromVariant(map.value(keyRandomPlacementAmount));
    }
    m_randomPlacementAmount = m_randomPlacementAmount.clamped();
    if (map.contains(keyRoundToPrecisionEnabled)) {
        m_roundToPrecisionEnabled = map.value(keyRoundToPrecisionEnabled).toBool();
    }
    if (map.contains(keySnapToFrameEnabled)) {
        m_snapToFrameEnabled = map.value(keySnapToFrameEnabled).toBool();
    }
    if (map.contains(keyName)) {
        m_name = cleanedText(map.value(keyName).toString());
    }
    if (map.contains(keyNotes)) {
        m_notes = cleanedText(map.value(keyNotes).toString());
    }
}

QStringList Properties::propertiesRequireRegenerate()
{
    static const QStringList keys{
        keyGeneratorIdentifier, keyAlgorithmIdentifier, keyCanvasFrameShape, keyCanvasFrameRatio,
        frameValueKey(0),       frameValueKey(1),       frameValueKey(2),    frameValueKey(3),
        frameValueKey(4),       keyCanvasSize,          keyPrecision,        keyItemSpacing,
        keyRoundToPrecisionEnabled, keyRandomPlacementAmount, keySnapToFrameEnabled,
    };
    return keys;
}

CompareResult Properties::compare(const std::shared_ptr<Properties>& other) const
{
    const QVariantMap mine = toData().toMap();
    const QVariantMap theirs = other->toData().toMap();
    const QStringList regenerateKeys = propertiesRequireRegenerate();
    CompareResult result = CompareResult::Equal;
    for (auto entry = mine.cbegin(); entry != mine.cend(); ++entry) {
        if (entry.value() == theirs.value(entry.key())) {
            continue;
        }
        if (regenerateKeys.contains(entry.key())) {
            return CompareResult::RequiresRegenerate;
        }
        result = CompareResult::Changed;
    }
    return result;
}

geo::Normal1D Properties::canvasFrameValue(std::size_t index) const
{
    return index < frameValueCount ? m_canvasFrameValues[index] : geo::Normal1D(0.0);
}

geo::Size Properties::documentSize() const
{
    const geo::Length twice = m_canvasMargin + m_canvasMargin;
    return geo::Size((geo::Length(m_canvasSize.width()) + twice).value(),
                     (geo::Length(m_canvasSize.height()) + twice).value());
}

void Properties::onDocumentPropertyChanged(const QString& name, const DocumentElement* element)
{
    if (element == m_worldRotation.get()) {
        propertyChanged(keyWorldRotation, name);
    } else if (element == m_worldOrderZ.get()) {
        propertyChanged(keyWorldOrderZ, name);
    } else if (element == m_worldColor.get()) {
        propertyChanged(keyWorldColor, name);
    }
}

void Properties::setGeneratorIdentifier(const QString& identifier)
{
    assignAnnounced(m_generatorIdentifier, identifier, keyGeneratorIdentifier);
}

void Properties::setAlgorithmIdentifier(const QString& identifier)
{
    assignAnnounced(m_algorithmIdentifier, identifier, keyAlgorithmIdentifier);
}

void Properties::setCanvasSize(const geo::Size& size)
{
    assignAnnounced(m_canvasSize, size, keyCanvasSize);
}

void Properties::setCanvasMargin(geo::Length margin)
{
    assignAnnounced(m_canvasMargin, margin, keyCanvasMargin);
}

void Properties::setCanvasBackgroundColor(const QColor& color)
{
    assignAnnounced(m_canvasBackgroundColor, color, keyCanvasBackgroundColor);
}

void Properties::setCanvasBackgroundEnabled(bool enabled)
{
    assignAnnounced(m_canvasBackgroundEnabled, enabled, keyCanvasBackgroundEnabled);
}

void Properties::setCanvasFrameColor(const QColor& color)
{
    assignAnnounced(m_canvasFrameColor, color, keyCanvasFrameColor);
}

void Properties::setCanvasFrameEnabled(bool enabled)
{
    assignAnnounced(m_canvasFrameEnabled, enabled, keyCanvasFrameEnabled);
}

void Properties::setCanvasFrameShape(frame::Shape shape)
{
    assignAnnounced(m_canvasFrameShape, shape, keyCanvasFrameShape);
}

void Properties::setCanvasFrameRatio(geo::Normal1D ratio)
{
    assignAnnounced(m_canvasFrameRatio, ratio, keyCanvasFrameRatio);
}

void Properties::setCanvasFrameValueA(geo::Normal1D value)
{
    setCanvasFrameValue(0, value);
}

void Properties::setCanvasFrameValueB(geo::Normal1D value)
{
    setCanvasFrameValue(1, value);
}

void Properties::setCanvasFrameValueC(geo::Normal1D value)
{
    setCanvasFrameValue(2, value);
}

void Properties::setCanvasFrameValueD(geo::Normal1D value)
{
    setCanvasFrameValue(3, value);
}

void Properties::setCanvasFrameValueE(geo::Normal1D value)
{
    setCanvasFrameValue(4, value);
}

void Properties::setCanvasFrameValue(std::size_t index, const geo::Normal1D& value)
{
    if (index < frameValueCount) {
        assignAnnounced(m_canvasFrameValues[index], value, frameValueKey(index));
    }
}

void Properties::setPrecision(const geo::Precision& precision)
{
    assignAnnounced(m_precision, precision, keyPrecision);
}

void Properties::setItemSpacing(geo::Length spacing)
{
    assignAnnounced(m_itemSpacing, spacing, keyItemSpacing);
}

void Properties::setItemOverlap(geo::Length overlap)
{
    assignAnnounced(m_itemOverlap, overlap, keyItemOverlap);
}

void Properties::setWorldShape(const std::shared_ptr<shape::Base>& shape)
{
    assignAnnounced(m_worldShape, shape, keyWorldShape);
}

void Properties::setRandomPlacementAmount(geo::Normal1D amount)
{
    assignAnnounced(m_randomPlacementAmount, amount, keyRandomPlacementAmount);
}

void Properties::setRoundToPrecisionEnabled(bool enabled)
{
    assignAnnounced(m_roundToPrecisionEnabled, enabled, keyRoundToPrecisionEnabled);
}

void Properties::setSnapToFrameEnabled(bool enabled)
{
    assignAnnounced(m_snapToFrameEnabled, enabled, keySnapToFrameEnabled);
}

void Properties::setName(const QString& name)
{
    assignAnnounced(m_name, name, keyName);
}

void Properties::setNotes(const QString& notes)
{
    assignAnnounced(m_notes, notes, keyNotes);
}

} // namespace doc
