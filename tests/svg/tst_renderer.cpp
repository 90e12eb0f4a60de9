#include "common/TestMain.h"

#include "canvas/Canvas.h"
#include "doc/Color.h"
#include "doc/Document.h"
#include "doc/DynamicValue.h"
#include "doc/Item.h"
#include "doc/Items.h"
#include "doc/Properties.h"
#include "frame/Manager.h"
#include "shape/Base.h"
#include "shape/Manager.h"
#include "svg/Node.h"
#include "svg/Renderer.h"


using canvas::Canvas;
using canvas::CanvasItem;
using doc::DynamicValueInput;

namespace {

QSharedPointer<Canvas> makeCanvas(double width, double height)
{
    const geo::Size size = geo::Size::fromMillimeters(width, height);
    return Canvas::create(size, frame::Manager::instance()->createFrame(frame::Shape::Rectangle, size, 1.0, {}));
}

QSharedPointer<CanvasItem> addItem(Canvas& canvas, const QString& itemId, const QString& shapeId, double x, double y,
                                   double radius, const QString& fill = QStringLiteral("#000000"), double orderZ = 0.0)
{
    const auto item = CanvasItem::create(itemId, canvas.items().size(), shapeId, geo::Point2D::fromMillimeters(x, y),
                                         geo::Length::fromDouble(radius));
    item->setFill(fill);
    item->setOrderZ(orderZ);
    canvas.addItem(item);
    return item;
}

} // namespace

class TestRenderer : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<shape::Manager> m_shapes = std::make_unique<shape::Manager>();
    std::unique_ptr<frame::Manager> m_frames = std::make_unique<frame::Manager>();
    std::shared_ptr<doc::Document> m_document;

    QString render(const QSharedPointer<Canvas>& canvas) const
    {
        return QString::fromUtf8(svg::Renderer(m_document).render(canvas));
    }
    void style(const QSharedPointer<Canvas>& canvas) const { svg::Renderer(m_document).updateCanvasStyle(canvas); }

private slots:
    void init() { m_document = std::make_shared<doc::Document>(); }

    void renderDefinitionsAndStackingOrder()
    {
        const auto canvas = makeCanvas(20, 10);
        addItem(*canvas, "a", "5_point_star", 5, 5, 2, "#000001", 0.5);
        addItem(*canvas, "b", "circle", 10, 5, 1, "#000002", 0.2);
        addItem(*canvas, "a", "5_point_star", 15, 5, 1.5, "#000003", 0.5);
        addItem(*canvas, "c", "arrow-1", 18, 8, 1, "#000004", 0.1);
        const QString svg = render(canvas);
        // The circle needs no definition but still counts: the arrow is the third distinct shape.
        const auto definition = [this](const char* shape, const char* id) {
            return m_shapes->shape(shape)->createDefinition(id)->toString(8, 4);
        };
        QVERIFY(svg.contains("<defs>\n" + definition("5_point_star", "shape_001") + definition("arrow-1", "shape_003") + "    </defs>"));
        QCOMPARE(svg.count("xlink:href=\"#shape_001\""), 2);
        QVERIFY(svg.contains("<use fill=\"#000004\" fill-opacity=\"1.000000\" xlink:href=\"#shape_003\" "
                             "transform=\"translate(19.000000 9.000000) scale(1.000000) rotate(0.000000)\" />"));
        // Lowest order first; equal orders keep the canvas order.
        QVERIFY(svg.indexOf("#000004") < svg.indexOf("#000002") && svg.indexOf("#000002") < svg.indexOf("#000001")
                && svg.indexOf("#000001") < svg.indexOf("#000003"));
    }

    void renderBackgroundAndFrameSwitches_data()
    {
        QTest::addColumn<bool>("background");
        QTest::addColumn<bool>("frame");
        QTest::addColumn<QString>("group");
        const QString open = QStringLiteral("    <g id=\"background\">\n");
        const QString backgroundRect = QStringLiteral(
            "        <rect fill=\"#202040\" height=\"54.000000\" width=\"80.000000\" x=\"0.000000\" y=\"0.000000\" />\n");
        const QString frameRect = QStringLiteral(
            "        <rect fill=\"#282848\" height=\"52.000000\" width=\"78.000000\" x=\"1.000000\" y=\"1.000000\" />\n");
        const QString close = QStringLiteral("    </g>\n");
        QTest::newRow("both") << true << true << open + backgroundRect + frameRect + close;
        QTest::newRow("background only") << true << false << open + backgroundRect + close;
        QTest::newRow("frame only") << false << true << open + frameRect + close;
        QTest::newRow("neither") << false << false << QString();
    }

    // A canvas of 78 × 52 mm in the default margin of 1 mm and colours.
    void renderBackgroundAndFrameSwitches()
    {
        QFETCH(bool, background);
        QFETCH(bool, frame);
        QFETCH(QString, group);
        m_document->properties()->setCanvasBackgroundEnabled(background);
        m_document->properties()->setCanvasFrameEnabled(frame);
        const QString start = QStringLiteral(
            "<?xml version=\"1.0\" encoding=\"utf-8\" ?>\n<svg version=\"1.2\" width=\"80.000000mm\" height=\"54.000000mm\" "
            "viewBox=\"0.000000 0.000000 80.000000 54.000000\" xmlns=\"http://www.w3.org/2000/svg\" "
            "xmlns:xlink=\"http://www.w3.org/1999/xlink\">\n    <defs />\n") + group;
        const auto canvas = makeCanvas(78, 52);
        QCOMPARE(render(canvas), start + "    <g id=\"items\" />\n</svg>\n");
        addItem(*canvas, "a", "circle", 5, 4, 2, "#ff0000")->setAngle(geo::Angle::fromDegrees(30.0));
        QCOMPARE(render(canvas), start + "    <g id=\"items\">\n"
                                         "        <circle cx=\"6.000000\" cy=\"5.000000\" fill=\"#ff0000\" fill-opacity=\"1.000000\" r=\"2.000000\" />\n"
                                         "    </g>\n</svg>\n");
    }

    void renderUnknownShapeAsWorldShape()
    {
        m_document->properties()->setWorldShape(m_shapes->shape("5_point_star"));
        const auto canvas = makeCanvas(10, 10);
        addItem(*canvas, "a", "gone-shape", 2, 2, 1);
        addItem(*canvas, "b", "5_point_star", 5, 5, 1);
        addItem(*canvas, "a", "gone-shape", 8, 8, 1);
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression("gone-shape"));
        QTest::failOnWarning(QRegularExpression("gone-shape"));
        const QString svg = render(canvas);
        // The unknown identifier and the world shape share one definition.
        QCOMPARE(svg.count("xlink:href=\"#shape_001\""), 3);
        QCOMPARE(svg.count("<g id=\"shape_"), 1);
    }

    void renderOnlyColourNamesAsFill()
    {
        const auto canvas = makeCanvas(10, 10);
        for (const char* fill : {"#a0b1c2", "#ABC", "red\" onload=\"alert(1)", "url(#shape_001)"}) {
            addItem(*canvas, "a", "circle", 2, 3, 1, fill);
            addItem(*canvas, "a", "arrow-1", 5, 3, 1, fill);
        }
        const QString svg = render(canvas);
        QCOMPARE(svg.count(" fill=\"#a0b1c2\""), 2);
        QCOMPARE(svg.count(" fill=\"#aabbcc\""), 2);
        QCOMPARE(svg.count(" fill=\"black\""), 4);
    }

    // One item: its radius and index inputs are 0, so the offsets alone decide.
    void styleRotationWrap()
    {
        const auto definition = m_document->items()->addItem();
        definition->rotation()->setInput(DynamicValueInput::ItemRadius);
        definition->orderZ()->setInput(DynamicValueInput::ItemIndex);
        definition->orderZ()->setOffset(0.125);
        const auto canvas = makeCanvas(10, 10);
        const auto item = addItem(*canvas, definition->itemId(), "circle", 5, 5, 2);
        for (const auto& [offset, degrees] : {std::pair{1.0, 0.0}, {0.25, 90.0}, {-0.25, 270.0}, {1.5, 180.0}}) {
            definition->rotation()->setOffset(offset);
            style(canvas);
            QCOMPARE(item->angle(), geo::Angle::fromDegrees(degrees));
            QCOMPARE(item->orderZ().value(), 0.125);
        }
    }

    void stylePositionRadiusAndIndexInputs()
    {
        const auto definition = m_document->items()->addItem();
        definition->rotation()->setInput(DynamicValueInput::X);
        definition->orderZ()->setInput(DynamicValueInput::ItemRadius);
        definition->color()->alpha()->setInput(DynamicValueInput::ItemIndex);
        definition->color()->alpha()->setRange(geo::NormalRange(0.0, 1.0));
        const auto canvas = makeCanvas(40, 20);
        // Equal radius + overlap for the first two items: the same relative radius.
        for (const auto& [x, radius] : {std::pair{10, 1}, {20, 1}, {30, 3}, {40, 2}}) {
            addItem(*canvas, definition->itemId(), "circle", x, 5, radius);
        }
        // A second pass after an overlap change gives what a first pass with that overlap gives.
        style(canvas);
        m_document->properties()->setItemOverlap(geo::Length::fromDouble(2));
        style(canvas);
        const std::pair<double, double> anglesAndOrders[] = {{90, 0}, {180, 0}, {270, 1}, {0, 0.5}};
        for (int i = 0; i < 4; ++i) {
            const CanvasItem& item = *canvas->items().at(i);
            QCOMPARE(item.overlap(), geo::Length::fromDouble(2));
            QCOMPARE(item.angle(), geo::Angle::fromDegrees(anglesAndOrders[i].first));
            QCOMPARE(item.orderZ().value(), anglesAndOrders[i].second);
            // Index 0..3 over three steps, through the 16 bits of a QColor channel.
            QVERIFY(qAbs(item.fillOpacity().value() - i / 3.0) < 1e-4);
        }
    }

    void styleDeletedDefinition()
    {
        const auto properties = m_document->properties();
        properties->setWorldShape(m_shapes->shape("5_point_star"));
        properties->worldColor()->setStaticColor(QColor(0, 0, 255));
        properties->worldRotation()->setOffset(0.125);
        const auto definition = m_document->items()->addItem();
        definition->setShapeId(QStringLiteral("arrow-1"));
        definition->color()->setStaticColor(QColor::fromRgbF(1.0, 1.0, 1.0, 0.5));
        const auto canvas = makeCanvas(10, 10);
        const auto kept = addItem(*canvas, definition->itemId(), "circle", 3, 5, 2);
        const auto orphan = addItem(*canvas, "no-such-item", "circle", 7, 5, 2);
        const auto itemCount = m_document->items()->items().size();
        style(canvas);
        QCOMPARE(kept->shapeId() + kept->fill(), QStringLiteral("arrow-1#ffffff"));
        QVERIFY(qAbs(kept->fillOpacity().value() - 0.5) < 1e-4);
        // A new default item inherits the world values and draws the world shape; the document gains no
        // item.
        QCOMPARE(orphan->shapeId() + orphan->fill(), QStringLiteral("5_point_star#0000ff"));
        QCOMPARE(orphan->angle(), geo::Angle::fromDegrees(45.0));
        QCOMPARE(m_document->items()->items().size(), itemCount);
    }

    // The shape fills the 28 × 28 square at (2, 2) of a transparent pixmap.
    void pixmapInsetByMargin()
    {
        const QImage image =
            svg::Renderer::renderPixmap(m_shapes->shape("circle"), QSize(32, 32), QColor(255, 0, 0), 2).toImage();
        QCOMPARE(image.size(), QSize(32, 32));
        for (const QPoint& inside : {QPoint(16, 16), QPoint(4, 16), QPoint(16, 27)}) {
            QCOMPARE(image.pixelColor(inside), QColor(255, 0, 0));
        }
        for (const QPoint& outside : {QPoint(1, 16), QPoint(16, 30), QPoint(3, 3)}) {
            QCOMPARE(image.pixelColor(outside).alpha(), 0);
        }
    }
};

MOTIFEX_TEST_MAIN(TestRenderer)
#include "tst_renderer.moc"
