#include "shape/Base.h"

#include "shape/Builder.h"

#include "canvas/CanvasItem.h"
#include "err/Deserialize.h"
#include "svg/Document.h"
#include "svg/Node.h"

#include <QCryptographicHash>
#include <QDataStream>
#include <QIODevice>
#include <QMetaType>
#include <QRegularExpression>
#include <QUuid>

#include <array>
#include <cmath>

namespace shape {

namespace {

const QString keyVersion = QStringLiteral("version");
const QString keyType = QStringLiteral("type");
const QString keyIdentifier = QStringLiteral("identifier");
const QString keyName = QStringLiteral("name");
const QString keyIndex = QStringLiteral("index");
const QString keyModifier = QStringLiteral("modifier");

constexpr int dataVersion = 1;
constexpr int maximumNameLength = 128;
constexpr unsigned int maximumIndex = 100000;

// The type each key of the data map must convert to; an empty type for a key not in the format.
QMetaType expectedTypeOfKey(const QString& key)
{
    if (key == keyIdentifier || key == keyType || key == keyName) {
        return QMetaType::fromType<QString>();
    }
    if (key == keyVersion || key == keyIndex) {
        return QMetaType::fromType<int>();
    }
    if (key == keyModifier) {
        return QMetaType::fromType<QVariantMap>();
    }
    return QMetaType();
}

void checkKeysOrThrow(const QVariantMap& map)
{
    for (auto it = map.cbegin(); it != map.cend(); ++it) {
        const QMetaType expectedType = expectedTypeOfKey(it.key());
        if (!expectedType.isValid()) {
            throw err::Deserialize(QStringLiteral("Unknown value in data."), QStringLiteral("<unknown>"));
        }
        if (!it.value().canConvert(expectedType)) {
            throw err::Deserialize(QStringLiteral("The value has the wrong format."), it.key());
        }
    }
}

// Anchored on the whole text (a plain "$" would also accept a trailing line break) and compiled at once:
// documents read on pool threads validate shapes, and a pattern that compiled lazily on its first match
// would be compiled by whichever threads got there together.
QRegularExpression compiledWholeTextPattern(const QString& pattern)
{
    QRegularExpression expression(QRegularExpression::anchoredPattern(pattern));
    expression.optimize();
    return expression;
}

// A number in the 'f' format with six decimals, as the use transform writes it.
QString transformNumber(double value)
{
    return QStringLiteral("%1").arg(value, 0, 'f', 6);
}

geo::Point2D millimeterPoint(double x, double y)
{
    return geo::Point2D::fromMillimeters(x, y);
}

void addPreviewGrid(svg::Node& document)
{
    constexpr double gridStart = 16.0;
    constexpr double gridEnd = 528.0;
    for (int i = 0; i <= 10; ++i) {
        const double c = i * 512.0 / 10.0 + gridStart;
        for (const auto& line : {document.addLine(millimeterPoint(c, gridStart), millimeterPoint(c, gridEnd)),
                                 document.addLine(millimeterPoint(gridStart, c), millimeterPoint(gridEnd, c))}) {
            line->setStroke(QStringLiteral("#606060"));
            line->setStrokeWidth(QStringLiteral("1px"));
        }
    }
}

} // namespace

std::shared_ptr<svg::Node> Base::createDefinition(const QString& /*id*/) const
{
    return {};
}

bool Base::hasComplexOutline() const
{
    return false;
}

geo::Path Base::createComplexOutline(const QSharedPointer<canvas::CanvasItem>& /*item*/) const
{
    return {};
}

geo::Path Base::createFramePath() const
{
    return {};
}

void Base::setRandomIdentifier()
{
    m_identifier = QUuid::createUuid().toString(QUuid::WithoutBraces);
}

void Base::resetToDefaults()
{
    setRandomIdentifier();
    m_name = typeToUiLabel(type());
    setModifierToDefaults();
}

bool Base::isValidIdentifier(const QString& identifier)
{
    static const QRegularExpression expression = compiledWholeTextPattern(QStringLiteral("[-_a-zA-Z0-9]{2,64}"));
    return expression.match(identifier).hasMatch();
}

bool Base::isValidName(const QString& name)
{
    static const QRegularExpression expression =
        compiledWholeTextPattern(QStringLiteral("[\\p{L}\\p{N}\\p{P}\\p{S} ]{0,100}"));
    return expression.match(name).hasMatch();
}

int Base::setFromDataOrThrow(const QVariant& data)
{
    const QVariantMap map = data.toMap();
    checkKeysOrThrow(map);
    const int version = map.value(keyVersion).toInt();
    if (version != dataVersion) {
        throw err::Deserialize(QStringLiteral("Unknown version `%1` in data.").arg(version), keyVersion);
    }
    if (map.value(keyType).toString() != typeToIdentifier(type())) {
        throw err::Deserialize(QStringLiteral("The shape type of the data does not match."), keyType);
    }
    m_identifier = map.value(keyIdentifier).toString();
    if (!isValidIdentifier(m_identifier)) {
        throw err::Deserialize(QStringLiteral("The identifier in data has an unknown format."), keyIdentifier);
    }
    m_name = map.value(keyName).toString();
    if (m_name.size() > maximumNameLength) {
        throw err::Deserialize(QStringLiteral("The name is too long."), keyName);
    }
    if (!isValidName(m_name)) {
        throw err::Deserialize(QStringLiteral("The name contains characters that are not allowed."), keyName);
    }
    const int index = map.value(keyIndex).toInt();
    if (static_cast<unsigned int>(index) > maximumIndex) {
        throw err::Deserialize(QStringLiteral("The index is out of the valid range."), keyIndex);
    }
    loadModifiersOrThrow(map.value(keyModifier).toMap());
    return index;
}

QVariant Base::toData(int index) const
{
    QVariantMap modifiers;
    saveModifiers(modifiers);
    return QVariantMap{
        {keyVersion, dataVersion},
        {keyType, typeToIdentifier(type())},
        {keyIdentifier, m_identifier},
        {keyName, m_name},
        {keyIndex, index},
        {keyModifier, modifiers},
    };
}

void Base::loadModifiersOrThrow(const QVariantMap& map)
{
    const std::size_t count = modifierValues().size();
    std::vector<geo::Normal1D> values;
    values.reserve(count);
    for (std::size_t i = 0; i < count; ++i) {
        const auto found = map.constFind(QString::number(i));
        if (found == map.cend()) {
            throw err::Deserialize(QStringLiteral("Missing modifier value `%1`.").arg(i), keyModifier);
        }
        values.push_back(geo::Normal1D::fromVariant(found.value()));
    }
    setModifierValues(values);
}

void Base::saveModifiers(QVariantMap& map) const
{
    const std::vector<geo::Normal1D> values = modifierValues();
    for (std::size_t i = 0; i < values.size(); ++i) {
        map.insert(QString::number(i), values[i].value());
    }
}

QByteArray Base::toSvg(geo::Size size, const QColor& color) const
{
    const auto document = svg::Document::create();
    document->setSize(size, QStringLiteral("px"));
    if (const auto definition = createDefinition(QStringLiteral("shape"))) {
        document->defs()->addNode(definition);
    }
    const auto item = canvas::CanvasItem::create(QString(), 0, m_identifier, size.centerPoint(),
                                                 geo::Length(size.width() / 2));
    item->setFill(color.name());
    document->addNode(createUse(QStringLiteral("shape"), item, geo::Point2D()));
    return document->toString().toUtf8();
}

QByteArray Base::toPreview() const
{
    constexpr double previewSize = 544.0;
    constexpr double previewCenter = 272.0;
    const auto document = svg::Document::create();
    document->setSize(geo::Size::fromMillimeters(previewSize, previewSize), QStringLiteral("px"));
    addPreviewGrid(*document);
    const geo::Point2D center = millimeterPoint(previewCenter, previewCenter);
    const auto circle = document->addCircle(center, geo::Length::fromDouble(256.0));
    circle->setStroke(QStringLiteral("#606060"));
    circle->setStrokeWidth(QStringLiteral("1px"));
    circle->setFill(QStringLiteral("transparent"));
    for (const auto& axis : {document->addLine(millimeterPoint(0.0, previewCenter), millimeterPoint(previewSize, previewCenter)),
                             document->addLine(millimeterPoint(previewCenter, 0.0), millimeterPoint(previewCenter, previewSize))}) {
        axis->setStroke(QStringLiteral("#808080"));
        axis->setStrokeWidth(QStringLiteral("2px"));
    }
    if (const auto definition = createDefinition(QStringLiteral("shape"))) {
        document->defs()->addNode(definition);
    }
    const auto item = canvas::CanvasItem::create(QString(), 0, m_identifier, center, geo::Length::fromDouble(256.0));
    item->setFill(QStringLiteral("#ffffff"));
    item->setFillOpacity(0.6);
    const auto use = createUse(QStringLiteral("shape"), item, geo::Point2D());
    use->setStroke(QStringLiteral("#ffffff"));
    use->setStrokeWidth(QStringLiteral("5px"));
    use->setAttribute(svg::Attribute::VectorEffect, QStringLiteral("non-scaling-stroke"));
    document->addNode(use);
    return document->toString().toUtf8();
}

std::shared_ptr<svg::Node> Base::createTransformUse(const QString& id, const QSharedPointer<canvas::CanvasItem>& item,
                                                    const geo::Point2D& offset) const
{
    const auto use = svg::Node::create(svg::Element::Use);
    use->setHref(QStringLiteral("#") + id);
    const geo::Point2D position = offset + item->center();
    const geo::Length scale = item->radius() + item->overlap();
    use->setTransform(QStringLiteral("translate(%1 %2) scale(%3) rotate(%4)")
                          .arg(transformNumber(position.x1D().toDouble()), transformNumber(position.y1D().toDouble()),
                               transformNumber(scale.toDouble()), transformNumber(item->angle().toDouble())));
    use->setFill(item->fill());
    use->setFillOpacity(item->fillOpacity());
    return use;
}

bool Base::isVisuallyEqual(const std::shared_ptr<Base>& other) const
{
    if (!other || other->type() != type() || other->m_name != m_name) {
        return false;
    }
    const std::vector<geo::Normal1D> values = modifierValues();
    const std::vector<geo::Normal1D> otherValues = other->modifierValues();
    if (values.size() != otherValues.size()) {
        return false;
    }
    for (std::size_t i = 0; i < values.size(); ++i) {
        if (!(std::abs(values[i].value() - otherValues[i].value()) < 1e-6)) {
            return false;
        }
    }
    return true;
}

std::shared_ptr<Base> Base::copy() const
{
    std::shared_ptr<Base> result = Builder::createShape(type());
    if (!result) {
        return result;
    }
    result->setRandomIdentifier();
    result->m_name = m_name;
    result->setModifierValues(modifierValues());
    return result;
}

QString Base::visualFingerprint() const
{
    QByteArray bytes;
    {
        QDataStream stream(&bytes, QIODevice::WriteOnly);
        stream << m_name << m_identifier << m_builtIn;
        for (const geo::Normal1D value : modifierValues()) {
            stream << value.value();
        }
    }
    return QString::fromLatin1(QCryptographicHash::hash(bytes, QCryptographicHash::Sha3_256).toHex());
}

} // namespace shape
