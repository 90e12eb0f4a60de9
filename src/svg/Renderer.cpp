#include "svg/Renderer.h"

#include "canvas/Canvas.h"
#include "canvas/CanvasItem.h"
#include "doc/Color.h"
#include "doc/Document.h"
#include "doc/DynamicValue.h"
#include "doc/Item.h"
#include "doc/ItemStyleInput.h"
#include "doc/Items.h"
#include "doc/Properties.h"
#include "frame/Base.h"
#include "geo/Angle.h"
#include "geo/Fixed.h"
#include "geo/Normal2D.h"
#include "geo/Rectangle.h"
#include "shape/Base.h"
#include "shape/Circle.h"
#include "shape/Manager.h"
#include "svg/Document.h"
#include "svg/Node.h"

#include <QDebug>
#include <QPainter>
#include <QRectF>
#include <QRegularExpression>
#include <QSvgRenderer>

#include <algorithm>
#include <map>
#include <vector>

namespace svg {

namespace {

const QString circleShapeId = QStringLiteral("circle");

// The shape that draws an item whose own shape the database does not hold: the world shape (in the
// database's current version when it still holds it), else the database's circle, else a plain circle.
std::shared_ptr<shape::Base> substituteShape(const doc::Properties& properties)
{
    const auto* manager = shape::Manager::instance();
    const auto worldShape = properties.worldShape();
    if (worldShape) {
        if (manager) {
            if (auto held = manager->shape(worldShape->identifier())) {
                return held;
            }
        }
        return worldShape;
    }
    if (manager) {
        if (auto circle = manager->defaultShape()) {
            return circle;
        }
    }
    static const auto plainCircle = [] {
        auto circle = std::make_shared<shape::Circle>();
        circle->setIdentifier(circleShapeId);
        return circle;
    }();
    return plainCircle;
}

// The shapes a canvas is drawn with and the definition id each one gets, in order of first use.
class ShapeTable
{
public:
    ShapeTable(const doc::Properties& properties, const std::vector<std::shared_ptr<shape::Base>>& ownShapes)
        : m_properties(properties)
        , m_ownShapes(ownShapes)
    {
    }

    // The shape for the identifier and its definition id; new shapes get the next "shape_%1".
    std::pair<const shape::Base*, QString> resolve(const QString& shapeId)
    {
        const auto known = m_byIdentifier.find(shapeId);
        if (known != m_byIdentifier.end()) {
            return {known->second, m_ids.at(known->second)};
        }
        const shape::Base* resolved = lookUp(shapeId);
        m_byIdentifier.emplace(shapeId, resolved);
        auto [position, isNew] = m_ids.emplace(resolved, QString());
        if (isNew) {
            position->second = QStringLiteral("shape_%1").arg(m_shapes.size() + 1, 3, 10, QLatin1Char('0'));
            m_shapes.push_back(resolved);
        }
        return {resolved, position->second};
    }

    // Every shape's definition, in order of first use; shapes that need none are left out.
    void addDefinitions(Node& defs) const
    {
        for (const shape::Base* shape : m_shapes) {
            defs.addNode(shape->createDefinition(m_ids.at(shape)));
        }
    }

private:
    const shape::Base* lookUp(const QString& shapeId)
    {
        const auto own = std::find_if(m_ownShapes.cbegin(), m_ownShapes.cend(),
                                      [&shapeId](const auto& shape) { return shape->identifier() == shapeId; });
        if (own != m_ownShapes.cend()) {
            return keep(*own);
        }
        if (const auto* manager = shape::Manager::instance()) {
            if (auto held = manager->shape(shapeId)) {
                return keep(std::move(held));
            }
        }
        qWarning().noquote() << QStringLiteral("Unknown shape `%1`: its items are drawn with the world shape instead.")
                                    .arg(shapeId);
        return keep(substituteShape(m_properties));
    }

    // Holds the shape for the whole render, so that a database change cannot free it meanwhile.
    const shape::Base* keep(std::shared_ptr<shape::Base> shape)
    {
        m_kept.push_back(std::move(shape));
        return m_kept.back().get();
    }

    const doc::Properties& m_properties;
    const std::vector<std::shared_ptr<shape::Base>>& m_ownShapes;
    std::vector<std::shared_ptr<shape::Base>> m_kept;
    std::map<QString, const shape::Base*> m_byIdentifier;
    std::map<const shape::Base*, QString> m_ids;
    std::vector<const shape::Base*> m_shapes;
};

// Fill texts end up in SVG attributes, so only colour names pass: plain lower-case names and "#rrggbb"
// unchanged, other spellings Qt understands as "#rrggbb", anything else as black.
QString sanitizedFill(const QString& fill)
{
    static const QRegularExpression plainName(QStringLiteral("^(#[0-9a-f]{6}|[a-z]+)$"));
    if (!QColor::isValidColorName(fill)) {
        return QStringLiteral("black");
    }
    if (plainName.match(fill).hasMatch()) {
        return fill;
    }
    return QColor::fromString(fill).name();
}

QSharedPointer<canvas::CanvasItem> withSanitizedFill(const QSharedPointer<canvas::CanvasItem>& item)
{
    const QString fill = sanitizedFill(item->fill());
    if (fill == item->fill()) {
        return item;
    }
    auto copy = QSharedPointer<canvas::CanvasItem>::create(*item);
    copy->setFill(fill);
    return copy;
}

// (value − minimum) / range, 0 for an empty range; NaN gives 0.
double relative(double value, double minimum, double range)
{
    if (range == 0.0) {
        return 0.0;
    }
    return geo::zeroIfNaN((value - minimum) / range);
}

// Overlap is set on every item before the radius range is taken, so the range and each radius use the
// same overlap whatever the items carried before.
void applyOverlap(const canvas::Canvas& canvas, geo::Length overlap)
{
    for (const auto& item : canvas.items()) {
        item->setOverlap(overlap);
    }
}

struct RadiusRange
{
    double minimum = 0.0;
    double range = 0.0;
};

RadiusRange radiusRangeOf(const canvas::Canvas& canvas)
{
    const auto [smallest, largest] = canvas.radiusRange();
    const double minimum = smallest.toDouble();
    return {minimum, largest.toDouble() - minimum};
}

doc::ItemStyleInput styleInput(const canvas::Canvas& canvas, const canvas::CanvasItem& item,
                               const RadiusRange& radii)
{
    const geo::Normal2D position = canvas.size().normalOfPoint(item.center());
    const double radius = (item.radius() + item.overlap()).toDouble();
    const double lastIndex = static_cast<double>(canvas.items().size()) - 1.0;
    const double index = relative(static_cast<double>(item.index()), 0.0, std::max(lastIndex, 0.0));
    return {position.x(), position.y(), relative(radius, radii.minimum, radii.range), index};
}

void applyStyle(canvas::CanvasItem& item, const doc::Item& definition, const doc::ItemStyleInput& input)
{
    const geo::Normal1D rotation = doc::DynamicValue::wrappedOrClamped(definition.rotation()->normal(input, true), true);
    item.setAngle(geo::Angle::fromDegrees(rotation.value() * 360.0));
    item.setOrderZ(definition.orderZ()->normal(input, false));
    const QColor color = definition.color()->colorForInput(input);
    item.setFill(color.name());
    item.setFillOpacity(geo::Normal1D(color.alphaF()).orZero());
}

} // namespace

Renderer::Renderer(std::shared_ptr<doc::Document> document) : m_document(std::move(document)) {}

void Renderer::setOwnShapes(std::vector<std::shared_ptr<shape::Base>> shapes)
{
    m_ownShapes = std::move(shapes);
}

void Renderer::updateCanvasStyle(const QSharedPointer<canvas::Canvas>& canvas)
{
    const auto properties = m_document->properties();
    const auto items = m_document->items();
    const auto worldShape = properties->worldShape();
    QString defaultShapeId = worldShape ? worldShape->identifier() : QString();
    if (defaultShapeId.isEmpty()) {
        defaultShapeId = circleShapeId;
    }

    applyOverlap(*canvas, properties->itemOverlap());
    const RadiusRange radii = radiusRangeOf(*canvas);

    std::shared_ptr<doc::Item> fallbackDefinition;
    for (const auto& item : canvas->items()) {
        auto definition = items->item(item->itemId());
        if (!definition) {
            if (!fallbackDefinition) {
                fallbackDefinition = doc::Item::create(m_document.get());
            }
            definition = fallbackDefinition;
        }
        item->setShapeId(definition->shapeId().isEmpty() ? defaultShapeId : definition->shapeId());
        applyStyle(*item, *definition, styleInput(*canvas, *item, radii));
    }
}

QByteArray Renderer::render(const QSharedPointer<canvas::Canvas>& canvas) const
{
    const auto properties = m_document->properties();
    const geo::Length margin = properties->canvasMargin();
    const geo::Point2D offset(margin.value(), margin.value());
    const qint64 margins = geo::saturatedAdd(margin.value(), margin.value());
    const geo::Size documentSize(geo::saturatedAdd(canvas->size().width(), margins),
                                 geo::saturatedAdd(canvas->size().height(), margins));

    const auto document = Document::create();
    document->setSize(documentSize, QStringLiteral("mm"));

    ShapeTable shapes(*properties, m_ownShapes);
    for (const auto& item : canvas->items()) {
        shapes.resolve(item->shapeId());
    }
    shapes.addDefinitions(*document->defs());

    const bool isBackgroundEnabled = properties->canvasBackgroundEnabled();
    const bool isFrameEnabled = properties->canvasFrameEnabled();
    if (isBackgroundEnabled || isFrameEnabled) {
        const auto background = document->addGroup();
        background->setId(QStringLiteral("background"));
        if (isBackgroundEnabled) {
            background->addRect(geo::Rectangle(geo::Point2D(), documentSize))
                ->setFill(properties->canvasBackgroundColor().name());
        }
        if (isFrameEnabled && canvas->frame()) {
            background->addNode(canvas->frame()->createSvg(offset, properties->canvasFrameColor().name()));
        }
    }

    const auto itemGroup = document->addGroup();
    itemGroup->setId(QStringLiteral("items"));
    canvas::Canvas::ItemList ordered = canvas->items();
    std::stable_sort(ordered.begin(), ordered.end(), [](const auto& a, const auto& b) {
        return a->orderZ().orZero().value() < b->orderZ().orZero().value();
    });
    for (const auto& item : ordered) {
        const auto [shape, id] = shapes.resolve(item->shapeId());
        itemGroup->addNode(shape->createUse(id, withSanitizedFill(item), offset));
    }
    return document->toString().toUtf8();
}

QPixmap Renderer::renderPixmap(const std::shared_ptr<shape::Base>& shape, QSize size, const QColor& color, int margin)
{
    QPixmap pixmap(size);
    if (pixmap.isNull()) {
        return pixmap;
    }
    pixmap.fill(Qt::transparent);
    const QRectF target(margin, margin, size.width() - 2.0 * margin, size.height() - 2.0 * margin);
    if (!shape || target.isEmpty()) {
        return pixmap;
    }
    const geo::Size pictureSize(static_cast<qint64>(size.width()) * geo::fixedUnit,
                                static_cast<qint64>(size.height()) * geo::fixedUnit);
    QSvgRenderer renderer(shape->toSvg(pictureSize, color));
    QPainter painter(&pixmap);
    renderer.render(&painter, target);
    return pixmap;
}

} // namespace svg
