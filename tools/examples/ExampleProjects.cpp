#include "ExampleProjects.h"

#include "doc/Color.h"
#include "doc/Document.h"
#include "doc/DynamicValue.h"
#include "doc/InputFunction.h"
#include "doc/InputFunctions.h"
#include "doc/Item.h"
#include "doc/Items.h"
#include "doc/Properties.h"
#include "frame/Shape.h"
#include "geo/Length.h"
#include "geo/Size.h"
#include "shape/Builder.h"
#include "shape/Manager.h"
#include "shape/Type.h"

#include <QColor>

#include <stdexcept>

namespace {

using doc::DynamicValueInput;

// The input mapped into [begin, end], then shifted by the offset.
void vary(doc::DynamicValue& value, DynamicValueInput input, double begin, double end, double offset = 0.0)
{
    value.setInput(input);
    value.setRange(geo::NormalRange(begin, end));
    value.setOffset(offset);
}

void fix(doc::DynamicValue& value, double offset)
{
    value.setInput(DynamicValueInput::Zero);
    value.setOffset(offset);
}

// Appends a shaping step to the value's chain; the identifiers are those of the function library.
void shapeWith(doc::DynamicValue& value, const QString& function)
{
    const auto step = doc::InputFunction::create(function, doc::InputFunctionOperator::Map,
                                                 doc::InputFunctionSource::Result);
    if (step == nullptr) {
        throw std::invalid_argument("unknown function " + function.toStdString());
    }
    value.functions()->appendFunction(step);
}

void removeAllItems(doc::Document& document)
{
    while (!document.items()->items().isEmpty()) {
        document.items()->removeItem(0);
    }
}

// An item whose radius runs from radius to radiusEnd (millimetres) over its copies.
std::shared_ptr<doc::Item> addItem(doc::Document& document, const QString& shapeId, double radius, double radiusEnd,
                                   int count, const QString& transition = QStringLiteral("linear"))
{
    auto item = document.items()->addItem();
    item->setShapeId(shapeId);
    item->setRadius(geo::Length::fromDouble(radius));
    item->setRadiusEnd(geo::Length::fromDouble(radiusEnd));
    item->setRadiusTransition(transition);
    item->setCount(count);
    return item;
}

struct Canvas {
    double width;
    double height;
    double margin;
    QColor background;
    QColor frameColor;
};

void setCanvas(doc::Properties& properties, const Canvas& canvas)
{
    properties.setCanvasSize(geo::Size::fromMillimeters(canvas.width, canvas.height));
    properties.setCanvasMargin(geo::Length::fromDouble(canvas.margin));
    properties.setCanvasBackgroundColor(canvas.background);
    properties.setCanvasBackgroundEnabled(canvas.background.isValid());
    properties.setCanvasFrameColor(canvas.frameColor);
    properties.setCanvasFrameEnabled(canvas.frameColor.isValid());
}

void setFrame(doc::Properties& properties, frame::Shape shape, double ratio, const std::vector<double>& values = {})
{
    properties.setCanvasFrameShape(shape);
    properties.setCanvasFrameRatio(ratio);
    for (std::size_t index = 0; index < values.size(); ++index) {
        properties.setCanvasFrameValue(index, values[index]);
    }
}

void setText(doc::Properties& properties, const QString& name, const QString& notes)
{
    properties.setName(name);
    properties.setNotes(notes);
}

// Bubbles and rings in an ellipse, largest first, in the blues of deep water.
void describeOceanBubbles(doc::Document& document, shape::Manager& /*shapes*/)
{
    auto properties = document.properties();
    setText(*properties, QStringLiteral("Ocean Bubbles"),
            QStringLiteral("Circles and rings in an ellipse placed largest space first\n"
                           "The hue follows the distance from the centre and the brightness the size"));
    setCanvas(*properties, {100, 70, 2, QColor("#04202f"), QColor("#0a3348")});
    setFrame(*properties, frame::Shape::Ellipse, 1.0);
    properties->setAlgorithmIdentifier(QStringLiteral("largestSpace"));
    properties->setItemSpacing(geo::Length::fromDouble(0.6));
    properties->setRandomPlacementAmount(0.3);
    const auto color = properties->worldColor();
    vary(*color->hue(), DynamicValueInput::PolarDistance, 0.47, 0.62);
    vary(*color->saturation(), DynamicValueInput::ItemRadius, 0.85, 0.45);
    vary(*color->value(), DynamicValueInput::ItemRadius, 0.7, 1.0);
    fix(*color->alpha(), 1.0);

    removeAllItems(document);
    addItem(document, QStringLiteral("ring_3"), 9, 6, 3);
    addItem(document, QStringLiteral("circle"), 5, 2.5, 24, QStringLiteral("x^2"));
    addItem(document, QStringLiteral("ring_5"), 2.4, 1.2, 60);
    addItem(document, QStringLiteral("circle"), 1.1, 0.45, 420, QStringLiteral("log"));
}


// Leaves falling from the top through a leaf, in the reds and golds of autumn.
void describeAutumnLeaves(doc::Document& document, shape::Manager& /*shapes*/)
{
    auto properties = document.properties();
    setText(*properties, QStringLiteral("Autumn Leaves"),
            QStringLiteral("Leaves in a leaf placed from the top down\n"
                           "Red at the top turns to gold below and every leaf turns at random"));
    setCanvas(*properties, {80, 100, 2, QColor("#241710"), QColor("#33231a")});
    setFrame(*properties, frame::Shape::Leaf, 1.0, {0.0, 0.75, 0.7, 0.12, 0.3});
    properties->setAlgorithmIdentifier(QStringLiteral("topToBottom"));
    properties->setItemSpacing(geo::Length::fromDouble(0.5));
    properties->setRandomPlacementAmount(0.5);
    vary(*properties->worldRotation(), DynamicValueInput::Random, 0.0, 1.0);
    const auto color = properties->worldColor();
    vary(*color->hue(), DynamicValueInput::Y, 0.0, 0.13);
    vary(*color->saturation(), DynamicValueInput::Random, 0.75, 0.95);
    vary(*color->value(), DynamicValueInput::Random, 0.7, 1.0);
    fix(*color->alpha(), 1.0);

    removeAllItems(document);
    addItem(document, QStringLiteral("leaf-5"), 7, 4, 8);
    addItem(document, QStringLiteral("leaf-2"), 4, 2, 40, QStringLiteral("x^2"));
    addItem(document, QStringLiteral("leaf-9"), 2, 1, 120);
    addItem(document, QStringLiteral("leaf-3"), 1, 0.5, 300);
}

// A user shape, a slim four-pointed sparkle, with small stars around the middle of a star.
void describeNightSky(doc::Document& document, shape::Manager& shapes)
{
    auto sparkle = shape::Builder::createShape(shape::Type::Star);
    sparkle->setRandomIdentifier();
    sparkle->setName(QStringLiteral("Sparkle"));
    // Four points (3 + 1/9 of the nine steps), deep valleys, no shift.
    sparkle->setModifierValues({1.0 / 9.0, 0.12, 0.5});
    const QString sparkleId = shapes.add(sparkle);
    if (sparkleId.isEmpty()) {
        throw std::runtime_error("the sparkle shape was not accepted");
    }

    auto properties = document.properties();
    setText(*properties, QStringLiteral("Night Sky"),
            QStringLiteral("Sparkles and stars in a star placed from the centre out\n"
                           "The sparkle is a user shape that travels with the project"));
    setCanvas(*properties, {90, 90, 2, QColor("#070b1f"), QColor("#10173a")});
    setFrame(*properties, frame::Shape::Star, 1.0, {0.0, 2.0 / 9.0, 0.55, 0.5});
    properties->setAlgorithmIdentifier(QStringLiteral("closestToCenter"));
    properties->setItemSpacing(geo::Length::fromDouble(0.7));
    properties->setRandomPlacementAmount(0.6);
    vary(*properties->worldRotation(), DynamicValueInput::Random, -0.03, 0.03);
    // Pale blue stars that grow deeper towards the points of the frame.
    const auto color = properties->worldColor();
    vary(*color->hue(), DynamicValueInput::PolarDistance, 0.55, 0.62);
    vary(*color->saturation(), DynamicValueInput::PolarDistance, 0.15, 0.55);
    vary(*color->value(), DynamicValueInput::PolarDistance, 1.0, 0.85);
    fix(*color->alpha(), 1.0);

    removeAllItems(document);
    auto largeSparkles = addItem(document, sparkleId, 9, 4, 6);
    addItem(document, QStringLiteral("5_point_star"), 3.5, 1.6, 40, QStringLiteral("x^2"));
    auto smallSparkles = addItem(document, sparkleId, 2.2, 1.0, 90);
    addItem(document, QStringLiteral("circle"), 0.55, 0.25, 320);
    // The sparkles shine gold, the largest palest.
    for (const auto& sparkles : {largeSparkles, smallSparkles}) {
        const auto gold = sparkles->color();
        fix(*gold->hue(), 0.13);
        vary(*gold->saturation(), DynamicValueInput::ItemRadius, 0.6, 0.25);
        fix(*gold->value(), 1.0);
        fix(*gold->alpha(), 1.0);
    }
}

// Hearts and drops in a heart, filled from the rim inwards, in pinks and reds.
void describeHeartGarden(doc::Document& document, shape::Manager& /*shapes*/)
{
    auto properties = document.properties();
    setText(*properties, QStringLiteral("Heart Garden"),
            QStringLiteral("Hearts and drops in a heart placed from the outside in\n"
                           "The hue runs around the centre from rose to deep red"));
    setCanvas(*properties, {90, 80, 2, QColor("#fbeef0"), QColor("#f4d6dc")});
    setFrame(*properties, frame::Shape::Heart, 1.0, {0.5, 0.55, 0.0});
    properties->setAlgorithmIdentifier(QStringLiteral("outsideToInside"));
    properties->setItemSpacing(geo::Length::fromDouble(0.6));
    properties->setRandomPlacementAmount(0.2);
    vary(*properties->worldRotation(), DynamicValueInput::Random, -0.04, 0.04);
    const auto color = properties->worldColor();
    vary(*color->hue(), DynamicValueInput::PolarAngle, 0.9, 1.02);
    vary(*color->saturation(), DynamicValueInput::ItemRadius, 0.45, 0.85);
    vary(*color->value(), DynamicValueInput::ItemRadius, 0.95, 0.8);
    fix(*color->alpha(), 1.0);

    removeAllItems(document);
    addItem(document, QStringLiteral("heart_1_2"), 6, 3.5, 12);
    addItem(document, QStringLiteral("heart_2_3"), 3.2, 1.6, 60);
    addItem(document, QStringLiteral("drop_6"), 1.5, 0.7, 180);
    addItem(document, QStringLiteral("heart_0_1"), 0.7, 0.35, 300);
}

// Arrows that point right, placed from the left in the colours of the rainbow.
void describeRainbowArrows(doc::Document& document, shape::Manager& /*shapes*/)
{
    auto properties = document.properties();
    setText(*properties, QStringLiteral("Rainbow Arrows"),
            QStringLiteral("Arrows in an arrow placed from the left\n"
                           "The hue follows the position from left to right"));
    setCanvas(*properties, {120, 60, 2, QColor("#141414"), QColor("#1f1f1f")});
    setFrame(*properties, frame::Shape::Arrow, 1.0, {0.25, 0.45, 0.7, 1.0, 0.45});
    properties->setAlgorithmIdentifier(QStringLiteral("leftToRight"));
    properties->setItemSpacing(geo::Length::fromDouble(0.5));
    properties->setRandomPlacementAmount(0.25);
    fix(*properties->worldRotation(), 0.25);
    const auto color = properties->worldColor();
    vary(*color->hue(), DynamicValueInput::X, 0.0, 0.8);
    fix(*color->saturation(), 0.75);
    vary(*color->value(), DynamicValueInput::ItemRadius, 0.75, 1.0);
    fix(*color->alpha(), 1.0);

    removeAllItems(document);
    addItem(document, QStringLiteral("arrow-3"), 5, 3, 16);
    addItem(document, QStringLiteral("arrow-7"), 2.8, 1.4, 80);
    addItem(document, QStringLiteral("arrow-12"), 1.3, 0.6, 300);
}

// Hexagons in a hexagon, filled from the top left corner, in the ambers of honey.
void describeHoneycomb(doc::Document& document, shape::Manager& /*shapes*/)
{
    auto properties = document.properties();
    setText(*properties, QStringLiteral("Honeycomb"),
            QStringLiteral("Hexagons and hexagon frames in a hexagon placed from the top left corner\n"
                           "Amber in the middle grows darker towards the rim"));
    setCanvas(*properties, {90, 90, 2, QColor("#1f1405"), QColor("#35230a")});
    setFrame(*properties, frame::Shape::Polygon, 1.0, {0.0, 3.0 / 9.0});
    properties->setAlgorithmIdentifier(QStringLiteral("diagonal"));
    properties->setItemSpacing(geo::Length::fromDouble(0.6));
    properties->setRandomPlacementAmount(0.3);
    fix(*properties->worldRotation(), 0.0);
    const auto color = properties->worldColor();
    vary(*color->hue(), DynamicValueInput::PolarDistance, 0.13, 0.06);
    vary(*color->saturation(), DynamicValueInput::PolarDistance, 0.75, 0.95);
    vary(*color->value(), DynamicValueInput::PolarDistance, 1.0, 0.6);
    // Brightness in rings of equal distance, like cells of one age.
    shapeWith(*color->value(), QStringLiteral("steps_5"));
    fix(*color->alpha(), 1.0);

    removeAllItems(document);
    addItem(document, QStringLiteral("hexagon_frame"), 7, 5, 5);
    addItem(document, QStringLiteral("hexagon"), 4.2, 2.2, 40);
    addItem(document, QStringLiteral("hexagon_frame"), 2.2, 1.2, 140);
    addItem(document, QStringLiteral("hexagon"), 1.1, 0.6, 420);
}

// Crosses and squares in a cross, rising from the bottom, in pastels around the colour wheel.
void describeCrossroads(doc::Document& document, shape::Manager& /*shapes*/)
{
    auto properties = document.properties();
    setText(*properties, QStringLiteral("Crossroads"),
            QStringLiteral("Crosses and squares in a cross placed from the bottom up\n"
                           "Soft colours go once around the wheel about the centre"));
    setCanvas(*properties, {90, 90, 2, QColor("#f3efe4"), QColor("#e2dccb")});
    setFrame(*properties, frame::Shape::Cross, 1.0, {0.125, 3.0 / 9.0, 0.45});
    properties->setAlgorithmIdentifier(QStringLiteral("bottomToTop"));
    properties->setItemSpacing(geo::Length::fromDouble(0.6));
    properties->setRandomPlacementAmount(0.3);
    vary(*properties->worldRotation(), DynamicValueInput::PolarAngle, 0.0, 1.0);
    const auto color = properties->worldColor();
    vary(*color->hue(), DynamicValueInput::PolarAngle, 0.0, 1.0);
    fix(*color->saturation(), 0.45);
    vary(*color->value(), DynamicValueInput::ItemRadius, 0.8, 0.95);
    fix(*color->alpha(), 1.0);

    removeAllItems(document);
    addItem(document, QStringLiteral("4_bar_cross_thick"), 6, 3.5, 8);
    addItem(document, QStringLiteral("square"), 3, 1.6, 50);
    addItem(document, QStringLiteral("4_bar_cross"), 1.6, 0.9, 160);
    addItem(document, QStringLiteral("square"), 0.85, 0.5, 380);
}

// Drops and triangles in a triangle, from the bottom right corner, on the window's own colour.
void describeMountainRain(doc::Document& document, shape::Manager& /*shapes*/)
{
    auto properties = document.properties();
    setText(*properties, QStringLiteral("Mountain Rain"),
            QStringLiteral("Triangles and drops in a mountain placed from the bottom right corner\n"
                           "Teal turns to violet across the picture which has no background"));
    setCanvas(*properties, {100, 80, 2, QColor(), QColor("#1d2b33")});
    // The apex at the top, halfway across.
    setFrame(*properties, frame::Shape::Triangle, 1.0, {0.875});
    properties->setAlgorithmIdentifier(QStringLiteral("diagonal3"));
    properties->setItemSpacing(geo::Length::fromDouble(0.5));
    properties->setRandomPlacementAmount(0.3);
    const auto color = properties->worldColor();
    vary(*color->hue(), DynamicValueInput::X, 0.45, 0.78);
    vary(*color->saturation(), DynamicValueInput::Y, 0.4, 0.8);
    vary(*color->value(), DynamicValueInput::ItemRadius, 0.7, 1.0);
    fix(*color->alpha(), 1.0);

    removeAllItems(document);
    auto peaks = addItem(document, QStringLiteral("triangle"), 6, 3, 10);
    addItem(document, QStringLiteral("drop_3"), 3, 1.5, 60);
    auto small = addItem(document, QStringLiteral("triangle"), 1.5, 0.7, 160);
    addItem(document, QStringLiteral("drop_8"), 0.7, 0.35, 300);
    // The triangles point up, the drops lean a little.
    fix(*peaks->rotation(), 0.0);
    fix(*small->rotation(), 0.0);
    vary(*properties->worldRotation(), DynamicValueInput::Random, -0.05, 0.05);
}
} // namespace

std::vector<ExampleProject> exampleProjects()
{
    return {
        {QStringLiteral("01-ocean-bubbles.mtfx"), describeOceanBubbles},
        {QStringLiteral("02-autumn-leaves.mtfx"), describeAutumnLeaves},
        {QStringLiteral("03-night-sky.mtfx"), describeNightSky},
        {QStringLiteral("04-heart-garden.mtfx"), describeHeartGarden},
        {QStringLiteral("05-rainbow-arrows.mtfx"), describeRainbowArrows},
        {QStringLiteral("06-honeycomb.mtfx"), describeHoneycomb},
        {QStringLiteral("07-crossroads.mtfx"), describeCrossroads},
        {QStringLiteral("08-mountain-rain.mtfx"), describeMountainRain},
    };
}
