#include "common/TestMain.h"

#include "canvas/Canvas.h"
#include "canvas/CanvasItem.h"
#include "doc/Color.h"
#include "doc/Document.h"
#include "doc/DynamicValue.h"
#include "doc/Item.h"
#include "doc/Items.h"
#include "doc/Properties.h"
#include "frame/Base.h"
#include "frame/Manager.h"
#include "shape/Base.h"
#include "shape/Manager.h"
#include "svg/Node.h"
#include "svg/Renderer.h"

#include <QImage>
#include <QPainter>
#include <QSvgRenderer>
#include <QXmlStreamReader>

#include <memory>

using canvas::Canvas;
using canvas::CanvasItem;
using doc::DynamicValueInput;

namespace {

const QString header = QStringLiteral(
    "<?xml version=\"1.0\" encoding=\"utf-8\" ?>\n"
    "<svg version=\"1.2\" width=\"%1mm\" height=\"%2mm\" viewBox=\"0.000000 0.000000 %1 %2\""
    " xmlns=\"http://www.w3.org/2000/svg\" xmlns:xlink=\"http://www.w3.org/1999/xlink\">\n");

QString svgHeader(const QString& width, const QString& height)
{
    return header.arg(width, height);
}

geo::Point2D millimeterPoint(double x, double y)
{
    return geo::Point2D(geo::fixedFromDouble(x), geo::fixedFromDouble(y));
}

geo::Length millimeters(double value)
{
    return geo::Length::fromDouble(value);
}

QSharedPointer<CanvasItem> addItem(Canvas& canvas, const QString& itemId, const QString& shapeId, double x, double y,
                                   double radius)
{
    const auto item = CanvasItem::create(itemId, static_cast<qint64>(canvas.items().size()), shapeId,
                                         millimeterPoint(x, y), millimeters(radius));
    canvas.addItem(item);
    return item;
}

void setStyle(CanvasItem& item, const QString& fill, double opacity, double angle, double orderZ)
{
    item.setFill(fill);
    item.setFillOpacity(opacity);
    item.setAngle(geo::Angle::fromDegrees(angle));
    item.setOrderZ(orderZ);
}

QSharedPointer<Canvas> makeCanvas(double width, double height)
{
    const geo::Size size = geo::Size::fromMillimeters(width, height);
    return Canvas::create(size, frame::Manager::instance()->createFrame(frame::Shape::Rectangle, size, 1.0, {}));
}

QImage draw(const QByteArray& svg, QSize size)
{
    QImage image(size, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    QSvgRenderer renderer(svg);
    QPainter painter(&image);
    renderer.render(&painter);
    return image;
}

bool isWellFormed(const QByteArray& svg)
{
    QXmlStreamReader reader(svg);
    while (!reader.atEnd()) {
        reader.readNext();
    }
    return !reader.hasError();
}

} // namespace

class TestRenderer : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void renderOneCircle();
    void renderDefinitionsInOrderOfFirstUse();
    void renderEmptyCanvas();
    void renderBackgroundAndFrameSwitches_data();
    void renderBackgroundAndFrameSwitches();
    void renderStackingOrder();
    void renderDefaultCanvasSizeWithMargin();
    void renderUnknownShapeWithWorldShape();
    void renderUnknownShapeWithCircle();
    void renderOnlyColourNamesAsFill_data();
    void renderOnlyColourNamesAsFill();
    void renderDrawnByQtSvg();

    void styleOneItemCanvas();
    void stylePositionAndIndexInputs();
    void styleRotationWrap_data();
    void styleRotationWrap();
    void styleAlphaIntoOpacity();
    void styleInheritsWorldValues();
    void styleDeletedDefinition();
    void styleIndependentOfPreviousPass();

    void pixmapInsetByMargin();
    void pixmapOfPathAndNullShape();

private:
    std::shared_ptr<shape::Base> shape(const QString& identifier) const;
    // The shape's definition as the document writes it, at the depth of the definitions' children.
    QString definition(const QString& identifier, const QString& id) const;

    std::unique_ptr<shape::Manager> m_shapes;
    std::unique_ptr<frame::Manager> m_frames;
    std::shared_ptr<doc::Document> m_document;
};

void TestRenderer::initTestCase()
{
    m_shapes = std::make_unique<shape::Manager>();
    m_frames = std::make_unique<frame::Manager>();
}

void TestRenderer::init()
{
    m_document = std::make_shared<doc::Document>();
}

void TestRenderer::cleanup()
{
    m_document.reset();
}

std::shared_ptr<shape::Base> TestRenderer::shape(const QString& identifier) const
{
    auto found = m_shapes->shape(identifier);
    if (!found) {
        qFatal("The built-in shape %s is missing.", qPrintable(identifier));
    }
    return found;
}

QString TestRenderer::definition(const QString& identifier, const QString& id) const
{
    return shape(identifier)->createDefinition(id)->toString(8, 4);
}

void TestRenderer::renderOneCircle()
{
    const auto canvas = makeCanvas(10, 8);
    setStyle(*addItem(*canvas, QStringLiteral("a"), QStringLiteral("circle"), 5, 4, 2), QStringLiteral("#ff0000"), 1.0,
             30.0, 0.0);

    const QByteArray svg = svg::Renderer(m_document).render(canvas);

    const QString expected = svgHeader(QStringLiteral("12.000000"), QStringLiteral("10.000000"))
        + QStringLiteral("    <defs />\n"
                         "    <g id=\"background\">\n"
                         "        <rect fill=\"#202040\" height=\"10.000000\" width=\"12.000000\" x=\"0.000000\" y=\"0.000000\" />\n"
                         "        <rect fill=\"#282848\" height=\"8.000000\" width=\"10.000000\" x=\"1.000000\" y=\"1.000000\" />\n"
                         "    </g>\n"
                         "    <g id=\"items\">\n"
                         "        <circle cx=\"6.000000\" cy=\"5.000000\" fill=\"#ff0000\" fill-opacity=\"1.000000\" r=\"2.000000\" />\n"
                         "    </g>\n"
                         "</svg>\n");
    QCOMPARE(QString::fromUtf8(svg), expected);
}

void TestRenderer::renderDefinitionsInOrderOfFirstUse()
{
    m_document->properties()->setCanvasBackgroundEnabled(false);
    m_document->properties()->setCanvasFrameEnabled(false);
    m_document->properties()->setCanvasMargin(millimeters(0.5));
    const QString starId = QStringLiteral("5_point_star");
    const QString arrowId = QStringLiteral("arrow-1");
    const auto canvas = makeCanvas(20, 10);
    const auto star1 = addItem(*canvas, QStringLiteral("a"), starId, 5, 5, 2);
    const auto circle = addItem(*canvas, QStringLiteral("b"), QStringLiteral("circle"), 10, 5, 1);
    const auto star2 = addItem(*canvas, QStringLiteral("a"), starId, 15, 5, 1.5);
    const auto arrow = addItem(*canvas, QStringLiteral("c"), arrowId, 18, 8, 1);
    setStyle(*star1, QStringLiteral("#102030"), 0.5, 90.0, 0.1);
    star1->setOverlap(millimeters(0.25));
    setStyle(*circle, QStringLiteral("#405060"), 1.0, 0.0, 0.2);
    setStyle(*star2, QStringLiteral("#708090"), 0.75, 271.5, 0.3);
    setStyle(*arrow, QStringLiteral("#a0b0c0"), 1.0, 0.0, 0.4);

    const QByteArray svg = svg::Renderer(m_document).render(canvas);

    // The circle needs no definition but still counts: the arrow is the third distinct shape. The paths
    // of the definitions are the shapes' own business.
    const QString expected = svgHeader(QStringLiteral("21.000000"), QStringLiteral("11.000000"))
        + QStringLiteral("    <defs>\n") + definition(starId, QStringLiteral("shape_001"))
        + definition(arrowId, QStringLiteral("shape_003"))
        + QStringLiteral("    </defs>\n"
                         "    <g id=\"items\">\n"
                         "        <use fill=\"#102030\" fill-opacity=\"0.500000\" xlink:href=\"#shape_001\" transform=\"translate(5.500000 5.500000) scale(2.250000) rotate(90.000000)\" />\n"
                         "        <circle cx=\"10.500000\" cy=\"5.500000\" fill=\"#405060\" fill-opacity=\"1.000000\" r=\"1.000000\" />\n"
                         "        <use fill=\"#708090\" fill-opacity=\"0.750000\" xlink:href=\"#shape_001\" transform=\"translate(15.500000 5.500000) scale(1.500000) rotate(271.500000)\" />\n"
                         "        <use fill=\"#a0b0c0\" fill-opacity=\"1.000000\" xlink:href=\"#shape_003\" transform=\"translate(18.500000 8.500000) scale(1.000000) rotate(0.000000)\" />\n"
                         "    </g>\n"
                         "</svg>\n");
    QCOMPARE(QString::fromUtf8(svg), expected);
}

void TestRenderer::renderEmptyCanvas()
{
    const auto canvas = makeCanvas(4, 3);

    const QByteArray svg = svg::Renderer(m_document).render(canvas);

    const QString expected = svgHeader(QStringLiteral("6.000000"), QStringLiteral("5.000000"))
        + QStringLiteral("    <defs />\n"
                         "    <g id=\"background\">\n"
                         "        <rect fill=\"#202040\" height=\"5.000000\" width=\"6.000000\" x=\"0.000000\" y=\"0.000000\" />\n"
                         "        <rect fill=\"#282848\" height=\"3.000000\" width=\"4.000000\" x=\"1.000000\" y=\"1.000000\" />\n"
                         "    </g>\n"
                         "    <g id=\"items\" />\n"
                         "</svg>\n");
    QCOMPARE(QString::fromUtf8(svg), expected);
}

void TestRenderer::renderBackgroundAndFrameSwitches_data()
{
    QTest::addColumn<bool>("background");
    QTest::addColumn<bool>("frame");
    QTest::addColumn<QString>("backgroundGroup");

    const QString backgroundRect = QStringLiteral(
        "        <rect fill=\"#ff8000\" height=\"6.000000\" width=\"8.000000\" x=\"0.000000\" y=\"0.000000\" />\n");
    const QString frameRect = QStringLiteral(
        "        <rect fill=\"#008000\" height=\"2.000000\" width=\"4.000000\" x=\"2.000000\" y=\"2.000000\" />\n");
    const QString open = QStringLiteral("    <g id=\"background\">\n");
    const QString close = QStringLiteral("    </g>\n");
    QTest::newRow("both") << true << true << open + backgroundRect + frameRect + close;
    QTest::newRow("background only") << true << false << open + backgroundRect + close;
    QTest::newRow("frame only") << false << true << open + frameRect + close;
    QTest::newRow("neither") << false << false << QString();
}

void TestRenderer::renderBackgroundAndFrameSwitches()
{
    QFETCH(bool, background);
    QFETCH(bool, frame);
    QFETCH(QString, backgroundGroup);
    const auto properties = m_document->properties();
    properties->setCanvasBackgroundEnabled(background);
    properties->setCanvasFrameEnabled(frame);
    properties->setCanvasBackgroundColor(QColor(255, 128, 0));
    properties->setCanvasFrameColor(QColor(0, 128, 0));
    properties->setCanvasMargin(millimeters(2));
    const auto canvas = makeCanvas(4, 2);
    setStyle(*addItem(*canvas, QStringLiteral("a"), QStringLiteral("circle"), 1, 1, 0.5), QStringLiteral("#000000"),
             0.25, 0.0, 0.0);

    const QByteArray svg = svg::Renderer(m_document).render(canvas);

    const QString expected = svgHeader(QStringLiteral("8.000000"), QStringLiteral("6.000000"))
        + QStringLiteral("    <defs />\n") + backgroundGroup
        + QStringLiteral("    <g id=\"items\">\n"
                         "        <circle cx=\"3.000000\" cy=\"3.000000\" fill=\"#000000\" fill-opacity=\"0.250000\" r=\"0.500000\" />\n"
                         "    </g>\n"
                         "</svg>\n");
    QCOMPARE(QString::fromUtf8(svg), expected);
}

void TestRenderer::renderStackingOrder()
{
    m_document->properties()->setCanvasBackgroundEnabled(false);
    m_document->properties()->setCanvasFrameEnabled(false);
    m_document->properties()->setCanvasMargin(geo::Length());
    const auto canvas = makeCanvas(10, 10);
    const double orders[] = {0.5, 0.2, 0.5, 0.0, 1.0, 0.2};
    for (int i = 0; i < 6; ++i) {
        setStyle(*addItem(*canvas, QStringLiteral("a"), QStringLiteral("circle"), i + 1, 1, 0.5),
                 QStringLiteral("#000000"), 1.0, 0.0, orders[i]);
    }

    const QString svg = QString::fromUtf8(svg::Renderer(m_document).render(canvas));

    // Lowest order first; equal orders keep the canvas order.
    QList<qsizetype> positions;
    for (int x : {4, 2, 6, 1, 3, 5}) {
        positions.append(svg.indexOf(QStringLiteral("cx=\"%1.000000\"").arg(x)));
    }
    QVERIFY(!positions.contains(-1));
    QVERIFY(std::is_sorted(positions.cbegin(), positions.cend()));
    QCOMPARE(svg.count(QStringLiteral("<circle")), 6);
    // The canvas keeps its own order.
    QCOMPARE(canvas->items().at(0)->orderZ().value(), 0.5);
    QCOMPARE(canvas->items().at(1)->orderZ().value(), 0.2);
}

void TestRenderer::renderDefaultCanvasSizeWithMargin()
{
    const auto canvas = makeCanvas(78, 52);
    setStyle(*addItem(*canvas, QStringLiteral("a"), QStringLiteral("arrow-1"), 39, 26, 3), QStringLiteral("#6070e0"),
             1.0, 45.0, 0.0);

    const QString svg = QString::fromUtf8(svg::Renderer(m_document).render(canvas));

    QVERIFY(svg.contains(QStringLiteral("width=\"80.000000mm\" height=\"54.000000mm\" viewBox=\"0.000000 0.000000 80.000000 54.000000\"")));
    QVERIFY(svg.contains(QStringLiteral("<rect fill=\"#202040\" height=\"54.000000\" width=\"80.000000\" x=\"0.000000\" y=\"0.000000\" />")));
    QVERIFY(svg.contains(QStringLiteral("transform=\"translate(40.000000 27.000000) scale(3.000000) rotate(45.000000)\"")));
}

void TestRenderer::renderUnknownShapeWithWorldShape()
{
    const auto world = shape(QStringLiteral("5_point_star"));
    m_document->properties()->setWorldShape(world);
    m_document->properties()->setCanvasBackgroundEnabled(false);
    m_document->properties()->setCanvasFrameEnabled(false);
    const auto canvas = makeCanvas(10, 10);
    addItem(*canvas, QStringLiteral("a"), QStringLiteral("gone-shape"), 2, 2, 1);
    addItem(*canvas, QStringLiteral("b"), world->identifier(), 5, 5, 1);
    addItem(*canvas, QStringLiteral("a"), QStringLiteral("gone-shape"), 8, 8, 1);
    for (const auto& item : canvas->items()) {
        setStyle(*item, QStringLiteral("#000000"), 1.0, 0.0, 0.0);
    }

    QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("gone-shape")));
    QTest::failOnWarning(QRegularExpression(QStringLiteral("gone-shape")));
    const QString svg = QString::fromUtf8(svg::Renderer(m_document).render(canvas));

    // The unknown identifier and the world shape share one definition.
    QCOMPARE(svg.count(QStringLiteral("<use ")), 3);
    QCOMPARE(svg.count(QStringLiteral("xlink:href=\"#shape_001\"")), 3);
    QCOMPARE(svg.count(QStringLiteral("<g id=\"shape_")), 1);
    QVERIFY(svg.contains(definition(world->identifier(), QStringLiteral("shape_001"))));
    QVERIFY(!svg.contains(QStringLiteral("gone-shape")));
}

void TestRenderer::renderUnknownShapeWithCircle()
{
    m_document->properties()->setWorldShape(m_shapes->defaultShape());
    m_document->properties()->setCanvasBackgroundEnabled(false);
    m_document->properties()->setCanvasFrameEnabled(false);
    m_document->properties()->setCanvasMargin(geo::Length());
    const auto canvas = makeCanvas(10, 10);
    setStyle(*addItem(*canvas, QStringLiteral("a"), QStringLiteral("deleted"), 2, 3, 1), QStringLiteral("#123456"), 1.0,
             0.0, 0.0);

    QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("deleted")));
    const QString svg = QString::fromUtf8(svg::Renderer(m_document).render(canvas));

    QVERIFY(svg.contains(QStringLiteral("<defs />")));
    QVERIFY(svg.contains(QStringLiteral(
        "<circle cx=\"2.000000\" cy=\"3.000000\" fill=\"#123456\" fill-opacity=\"1.000000\" r=\"1.000000\" />")));
}

void TestRenderer::renderOnlyColourNamesAsFill_data()
{
    QTest::addColumn<QString>("fill");
    QTest::addColumn<QString>("written");

    QTest::newRow("hexadecimal") << QStringLiteral("#a0b1c2") << QStringLiteral("#a0b1c2");
    QTest::newRow("name") << QStringLiteral("black") << QStringLiteral("black");
    QTest::newRow("upper case") << QStringLiteral("#A0B1C2") << QStringLiteral("#a0b1c2");
    QTest::newRow("short") << QStringLiteral("#abc") << QStringLiteral("#aabbcc");
    QTest::newRow("markup") << QStringLiteral("red\" onload=\"alert(1)") << QStringLiteral("black");
    QTest::newRow("reference") << QStringLiteral("url(#shape_001)") << QStringLiteral("black");
    QTest::newRow("empty") << QString() << QStringLiteral("black");
}

void TestRenderer::renderOnlyColourNamesAsFill()
{
    QFETCH(QString, fill);
    QFETCH(QString, written);
    const auto canvas = makeCanvas(10, 10);
    setStyle(*addItem(*canvas, QStringLiteral("a"), QStringLiteral("circle"), 2, 3, 1), fill, 1.0, 0.0, 0.0);
    setStyle(*addItem(*canvas, QStringLiteral("a"), QStringLiteral("arrow-1"), 5, 3, 1), fill, 1.0, 0.0, 0.0);

    const QByteArray svg = svg::Renderer(m_document).render(canvas);

    QVERIFY(isWellFormed(svg));
    QCOMPARE(QString::fromUtf8(svg).count(QStringLiteral(" fill=\"%1\"").arg(written)), 2);
    QCOMPARE(canvas->items().at(0)->fill(), fill);
}

void TestRenderer::renderDrawnByQtSvg()
{
    const auto properties = m_document->properties();
    properties->setCanvasBackgroundColor(QColor(0, 0, 255));
    properties->setCanvasFrameColor(QColor(0, 255, 0));
    const auto canvas = makeCanvas(10, 8);
    setStyle(*addItem(*canvas, QStringLiteral("a"), QStringLiteral("circle"), 3, 4, 1.5), QStringLiteral("#ff0000"), 1.0,
             0.0, 0.0);
    setStyle(*addItem(*canvas, QStringLiteral("b"), QStringLiteral("5_point_star"), 7, 4, 2), QStringLiteral("#ffff00"),
             1.0, 0.0, 0.0);

    // 10 pixels per millimetre; the canvas starts at (10, 10) behind the 1 mm margin.
    const QImage image = draw(svg::Renderer(m_document).render(canvas), QSize(120, 100));

    QCOMPARE(image.pixelColor(3, 3), QColor(0, 0, 255));
    QCOMPARE(image.pixelColor(12, 88), QColor(0, 255, 0));
    QCOMPARE(image.pixelColor(40, 50), QColor(255, 0, 0));
    QCOMPARE(image.pixelColor(80, 50), QColor(255, 255, 0));
}

void TestRenderer::styleOneItemCanvas()
{
    const auto definition = m_document->items()->addItem();
    definition->rotation()->setInput(DynamicValueInput::ItemRadius);
    definition->rotation()->setOffset(0.25);
    definition->orderZ()->setInput(DynamicValueInput::ItemIndex);
    definition->orderZ()->setOffset(0.125);
    const auto canvas = makeCanvas(10, 10);
    addItem(*canvas, definition->itemId(), QStringLiteral("circle"), 5, 5, 2);

    svg::Renderer(m_document).updateCanvasStyle(canvas);

    // Radius and index input 0: the offsets alone.
    QCOMPARE(canvas->items().at(0)->angle(), geo::Angle::fromDegrees(90.0));
    QCOMPARE(canvas->items().at(0)->orderZ().value(), 0.125);
}

void TestRenderer::stylePositionAndIndexInputs()
{
    const auto definition = m_document->items()->addItem();
    definition->rotation()->setInput(DynamicValueInput::X);
    definition->orderZ()->setInput(DynamicValueInput::ItemRadius);
    definition->color()->setStaticColor(QColor(0, 0, 0));
    definition->color()->alpha()->setInput(DynamicValueInput::ItemIndex);
    definition->color()->alpha()->setRange(geo::NormalRange(0.0, 1.0));
    definition->color()->alpha()->setOffset(0.0);
    const auto canvas = makeCanvas(40, 20);
    // Equal radius + overlap for the first two items: the same relative radius.
    const auto first = addItem(*canvas, definition->itemId(), QStringLiteral("circle"), 10, 5, 1);
    const auto second = addItem(*canvas, definition->itemId(), QStringLiteral("circle"), 20, 5, 1);
    const auto third = addItem(*canvas, definition->itemId(), QStringLiteral("circle"), 30, 5, 3);
    const auto fourth = addItem(*canvas, definition->itemId(), QStringLiteral("circle"), 40, 5, 2);

    svg::Renderer(m_document).updateCanvasStyle(canvas);

    QCOMPARE(first->angle(), geo::Angle::fromDegrees(90.0));
    QCOMPARE(second->angle(), geo::Angle::fromDegrees(180.0));
    QCOMPARE(third->angle(), geo::Angle::fromDegrees(270.0));
    QCOMPARE(fourth->angle(), geo::Angle());
    QCOMPARE(first->orderZ().value(), 0.0);
    QCOMPARE(second->orderZ().value(), 0.0);
    QCOMPARE(third->orderZ().value(), 1.0);
    QCOMPARE(fourth->orderZ().value(), 0.5);
    // Index 0..3 over three steps, through the 16 bits of a QColor channel.
    QVERIFY(qAbs(first->fillOpacity().value()) < 1e-4);
    QVERIFY(qAbs(second->fillOpacity().value() - 1.0 / 3.0) < 1e-4);
    QVERIFY(qAbs(fourth->fillOpacity().value() - 1.0) < 1e-4);
}

void TestRenderer::styleRotationWrap_data()
{
    QTest::addColumn<double>("offset");
    QTest::addColumn<double>("degrees");

    QTest::newRow("full turn") << 1.0 << 0.0;
    QTest::newRow("quarter") << 0.25 << 90.0;
    QTest::newRow("negative quarter") << -0.25 << 270.0;
    QTest::newRow("beyond one") << 1.5 << 180.0;
    QTest::newRow("zero") << 0.0 << 0.0;
}

void TestRenderer::styleRotationWrap()
{
    QFETCH(double, offset);
    QFETCH(double, degrees);
    m_document->properties()->worldRotation()->setOffset(offset);
    const auto definition = m_document->items()->addItem();
    const auto canvas = makeCanvas(10, 10);
    const auto item = addItem(*canvas, definition->itemId(), QStringLiteral("circle"), 5, 5, 2);

    svg::Renderer(m_document).updateCanvasStyle(canvas);

    QCOMPARE(item->angle(), geo::Angle::fromDegrees(degrees));
}

void TestRenderer::styleAlphaIntoOpacity()
{
    const auto definition = m_document->items()->addItem();
    definition->color()->setStaticColor(QColor::fromRgbF(1.0, 0.0, 0.0, 0.5));
    const auto canvas = makeCanvas(10, 10);
    const auto item = addItem(*canvas, definition->itemId(), QStringLiteral("circle"), 5, 5, 2);

    svg::Renderer(m_document).updateCanvasStyle(canvas);

    QCOMPARE(item->fill(), QStringLiteral("#ff0000"));
    QVERIFY(qAbs(item->fillOpacity().value() - 0.5) < 1e-4);
    QVERIFY(svg::Renderer(m_document).render(canvas).contains("fill=\"#ff0000\" fill-opacity=\"0.50"));
}

void TestRenderer::styleInheritsWorldValues()
{
    const auto properties = m_document->properties();
    properties->worldRotation()->setOffset(0.5);
    properties->worldOrderZ()->setInput(DynamicValueInput::Zero);
    properties->worldOrderZ()->setOffset(0.75);
    properties->setItemOverlap(millimeters(0.5));
    properties->setWorldShape(shape(QStringLiteral("arrow-1")));
    const auto definition = m_document->items()->addItem();
    const auto canvas = makeCanvas(10, 10);
    const auto item = addItem(*canvas, definition->itemId(), QStringLiteral("circle"), 5, 5, 2);

    svg::Renderer(m_document).updateCanvasStyle(canvas);

    QCOMPARE(item->fill(), QStringLiteral("#6070e0"));
    QCOMPARE(item->fillOpacity().value(), 1.0);
    QCOMPARE(item->angle(), geo::Angle::fromDegrees(180.0));
    QCOMPARE(item->orderZ().value(), 0.75);
    QCOMPARE(item->overlap(), millimeters(0.5));
    QCOMPARE(item->shapeId(), QStringLiteral("arrow-1"));
}

void TestRenderer::styleDeletedDefinition()
{
    const auto properties = m_document->properties();
    properties->setWorldShape(shape(QStringLiteral("5_point_star")));
    properties->worldColor()->setStaticColor(QColor(0, 0, 255));
    properties->worldRotation()->setOffset(0.125);
    const auto definition = m_document->items()->addItem();
    definition->setShapeId(QStringLiteral("arrow-1"));
    definition->color()->setStaticColor(QColor(255, 255, 255));
    const auto canvas = makeCanvas(10, 10);
    const auto kept = addItem(*canvas, definition->itemId(), QStringLiteral("circle"), 3, 5, 2);
    const auto orphan = addItem(*canvas, QStringLiteral("no-such-item"), QStringLiteral("circle"), 7, 5, 2);
    const int itemCount = m_document->items()->items().size();

    svg::Renderer(m_document).updateCanvasStyle(canvas);

    QCOMPARE(kept->shapeId(), QStringLiteral("arrow-1"));
    QCOMPARE(kept->fill(), QStringLiteral("#ffffff"));
    // A new default item inherits the world values and draws the world shape.
    QCOMPARE(orphan->shapeId(), QStringLiteral("5_point_star"));
    QCOMPARE(orphan->fill(), QStringLiteral("#0000ff"));
    QCOMPARE(orphan->angle(), geo::Angle::fromDegrees(45.0));
    QCOMPARE(m_document->items()->items().size(), itemCount);
}

void TestRenderer::styleIndependentOfPreviousPass()
{
    const auto definition = m_document->items()->addItem();
    definition->rotation()->setInput(DynamicValueInput::ItemRadius);
    definition->orderZ()->setInput(DynamicValueInput::ItemRadius);
    const auto fill = [&](Canvas& canvas) {
        addItem(canvas, definition->itemId(), QStringLiteral("circle"), 2, 2, 1);
        addItem(canvas, definition->itemId(), QStringLiteral("circle"), 5, 5, 2);
        addItem(canvas, definition->itemId(), QStringLiteral("circle"), 8, 8, 3);
    };
    const auto restyled = makeCanvas(10, 10);
    fill(*restyled);
    const auto fresh = makeCanvas(10, 10);
    fill(*fresh);
    svg::Renderer renderer(m_document);

    renderer.updateCanvasStyle(restyled);
    m_document->properties()->setItemOverlap(millimeters(2));
    renderer.updateCanvasStyle(restyled);
    renderer.updateCanvasStyle(fresh);

    for (int i = 0; i < 3; ++i) {
        QCOMPARE(restyled->items().at(i)->overlap(), millimeters(2));
        QCOMPARE(restyled->items().at(i)->angle(), fresh->items().at(i)->angle());
        QCOMPARE(restyled->items().at(i)->orderZ().value(), fresh->items().at(i)->orderZ().value());
    }
    QCOMPARE(restyled->items().at(0)->orderZ().value(), 0.0);
    QCOMPARE(restyled->items().at(1)->orderZ().value(), 0.5);
    QCOMPARE(restyled->items().at(2)->orderZ().value(), 1.0);
}

void TestRenderer::pixmapInsetByMargin()
{
    const QImage image = svg::Renderer::renderPixmap(shape(QStringLiteral("circle")), QSize(32, 32), QColor(255, 0, 0), 2)
                             .toImage();

    QCOMPARE(image.size(), QSize(32, 32));
    QCOMPARE(image.pixelColor(16, 16), QColor(255, 0, 0));
    QCOMPARE(image.pixelColor(4, 16), QColor(255, 0, 0));
    QCOMPARE(image.pixelColor(16, 27), QColor(255, 0, 0));
    // The circle fills the 28 × 28 square at (2, 2): the two outer rows and columns stay transparent.
    for (int i = 0; i < 32; ++i) {
        for (int edge : {0, 1, 30, 31}) {
            QCOMPARE(image.pixelColor(i, edge).alpha(), 0);
            QCOMPARE(image.pixelColor(edge, i).alpha(), 0);
        }
    }
    QCOMPARE(image.pixelColor(3, 3).alpha(), 0);
}

void TestRenderer::pixmapOfPathAndNullShape()
{
    const QImage star = svg::Renderer::renderPixmap(shape(QStringLiteral("5_point_star")), QSize(40, 40),
                                                    QColor(0, 128, 255), 0)
                            .toImage();
    const QImage none = svg::Renderer::renderPixmap(nullptr, QSize(8, 8), QColor(255, 0, 0), 1).toImage();

    QCOMPARE(star.pixelColor(20, 20), QColor(0, 128, 255));
    QCOMPARE(star.pixelColor(0, 39).alpha(), 0);
    QCOMPARE(none.size(), QSize(8, 8));
    QCOMPARE(none.pixelColor(4, 4).alpha(), 0);
}

MOTIFEX_TEST_MAIN(TestRenderer)
#include "tst_renderer.moc"
