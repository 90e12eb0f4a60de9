#include "common/TestMain.h"

#include "frame/Base.h"
#include "frame/Ellipse.h"
#include "frame/GenericShape.h"
#include "frame/Manager.h"
#include "shape/Base.h"
#include "svg/Node.h"

#include <QJsonDocument>
#include <QVariantMap>

#include <memory>

Q_DECLARE_METATYPE(frame::Shape)

namespace {

qint64 mm(double millimeters)
{
    return geo::fixedFromDouble(millimeters);
}

// Frame data takes the road of a project file: JSON text and back.
QVariant throughJson(const QVariant& data)
{
    const QByteArray text = QJsonDocument::fromVariant(data).toJson(QJsonDocument::Compact);
    return QJsonDocument::fromJson(text).toVariant();
}

std::vector<geo::Normal1D> normals(std::initializer_list<double> values)
{
    return std::vector<geo::Normal1D>(values.begin(), values.end());
}

} // namespace

class TestFrame : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<frame::Manager> m_manager;

    std::shared_ptr<frame::Base> create(frame::Shape shape, const std::vector<geo::Normal1D>& values,
                                        const geo::Size& size = geo::Size(mm(40), mm(30)), double ratio = 1.0)
    {
        return m_manager->createFrame(shape, size, ratio, values);
    }

private slots:
    void initTestCase() { m_manager = std::make_unique<frame::Manager>(); }
    void cleanupTestCase() { m_manager.reset(); }

    void shapeTable()
    {
        const auto& list = frame::shapeList();
        const QStringList identifiers{"rectangle", "ellipse", "triangle", "heart", "arrow", "star", "cross", "leaf", "polygon"};
        const QStringList labels{"Rectangle", "Ellipse", "Triangle", "Heart", "Arrow", "Star", "Cross", "Leaf", "Polygon"};
        QCOMPARE(list.size(), std::size_t(9));
        for (int i = 0; i < 9; ++i) {
            QCOMPARE(static_cast<int>(list[i].shape), i);
            QCOMPARE(list[i].identifier, identifiers[i]);
            QCOMPARE(list[i].label, labels[i]);
            QCOMPARE(frame::shapeFromString(identifiers[i]), list[i].shape);
            QCOMPARE(frame::shapeToString(list[i].shape), identifiers[i]);
        }
        QCOMPARE(frame::shapeFromString(QStringLiteral("Heart")), frame::Shape::NoShape);
        QCOMPARE(static_cast<int>(frame::shapeFromString(QStringLiteral("Heart"))), 9);
        QCOMPARE(frame::shapeFromString(QString()), frame::Shape::NoShape);
        QCOMPARE(frame::shapeToString(frame::Shape::NoShape), QString());
        QCOMPARE(frame::shapeToString(static_cast<frame::Shape>(-1)), QString());
    }

    void parameterTable_data()
    {
        QTest::addColumn<frame::Shape>("shape");
        QTest::addColumn<QStringList>("labels");
        QTest::addColumn<QList<double>>("defaults");
        QTest::newRow("rectangle") << frame::Shape::Rectangle << QStringList{"Rotation"} << QList<double>{0.0};
        QTest::newRow("ellipse") << frame::Shape::Ellipse << QStringList{} << QList<double>{};
        QTest::newRow("triangle") << frame::Shape::Triangle << QStringList{"Shape"} << QList<double>{0.0};
        QTest::newRow("heart") << frame::Shape::Heart << QStringList{"Bulge Angle", "Bulge Ratio", "Rotation"}
                               << QList<double>{0.5, 0.5, 0.0};
        QTest::newRow("arrow") << frame::Shape::Arrow
                               << QStringList{"Rotation", "Tip Length", "Tip Width", "Line Length", "Line Width"}
                               << QList<double>{0.0, 0.4, 0.5, 1.0, 0.3};
        QTest::newRow("star") << frame::Shape::Star << QStringList{"Rotation", "Point Count", "Valley Ratio", "Valley Shift"}
                              << QList<double>{0.0, 0.5, 0.5, 0.5};
        QTest::newRow("cross") << frame::Shape::Cross << QStringList{"Rotation", "Bar Count", "Bar Width"}
                               << QList<double>{0.0, 0.5, 0.5};
        QTest::newRow("leaf") << frame::Shape::Leaf << QStringList{"Rotation", "Width", "Radius", "Vein Length", "Vein Angle"}
                              << QList<double>{0.0, 0.6, 0.5, 0.0, 0.2};
        QTest::newRow("polygon") << frame::Shape::Polygon << QStringList{"Rotation", "Corner Count"} << QList<double>{0.0, 0.2};
    }

    void parameterTable()
    {
        QFETCH(frame::Shape, shape);
        QFETCH(QStringList, labels);
        QFETCH(QList<double>, defaults);
        const auto& parameters = m_manager->parameters(shape);
        QCOMPARE(parameters.size(), std::size_t(labels.size()));
        for (qsizetype i = 0; i < labels.size(); ++i) {
            QCOMPARE(parameters[i].label(), labels[i]);
            QCOMPARE(parameters[i].defaultValue().value(), defaults[i]);
        }
        QCOMPARE(m_manager->builder(shape)->shape(), shape);
        const auto built = create(shape, {});
        QVERIFY(built);
        QCOMPARE(built->shape(), shape);
        // A frame made without values stores the parameter defaults, and 0 beyond them.
        for (std::size_t i = 0; i < frame::Base::valueCount; ++i) {
            const double expected = i < std::size_t(defaults.size()) ? defaults[qsizetype(i)] : 0.0;
            QCOMPARE(built->values()[i].value(), expected);
        }
    }

    void instanceIsRecordedByTheConstructor()
    {
        QCOMPARE(frame::Manager::instance(), m_manager.get());
        {
            frame::Manager second;
            QCOMPARE(frame::Manager::instance(), &second);
        }
        QCOMPARE(frame::Manager::instance(), nullptr);
        m_manager = std::make_unique<frame::Manager>();
        QCOMPARE(frame::Manager::instance(), m_manager.get());
    }

    void frameRectangleFromRatio_data()
    {
        QTest::addColumn<double>("width");
        QTest::addColumn<double>("height");
        QTest::addColumn<double>("ratio");
        QTest::addColumn<QList<double>>("expected");
        QTest::newRow("landscape 0") << 78.0 << 52.0 << 0.0 << QList<double>{13, 0, 52, 52};
        QTest::newRow("landscape 1") << 78.0 << 52.0 << 1.0 << QList<double>{0, 0, 78, 52};
        QTest::newRow("landscape 0.5") << 78.0 << 52.0 << 0.5 << QList<double>{6.5, 0, 65, 52};
        QTest::newRow("portrait 0") << 52.0 << 78.0 << 0.0 << QList<double>{0, 13, 52, 52};
        QTest::newRow("portrait 0.5") << 52.0 << 78.0 << 0.5 << QList<double>{0, 6.5, 52, 65};
        QTest::newRow("square 0") << 40.0 << 40.0 << 0.0 << QList<double>{0, 0, 40, 40};
        QTest::newRow("square 0.3") << 40.0 << 40.0 << 0.3 << QList<double>{0, 0, 40, 40};
        QTest::newRow("ratio above 1 is clamped") << 78.0 << 52.0 << 7.0 << QList<double>{0, 0, 78, 52};
        QTest::newRow("negative ratio is clamped") << 78.0 << 52.0 << -2.0 << QList<double>{13, 0, 52, 52};
        QTest::newRow("NaN ratio counts as 0") << 78.0 << 52.0 << qQNaN() << QList<double>{13, 0, 52, 52};
    }

    void frameRectangleFromRatio()
    {
        QFETCH(double, width);
        QFETCH(double, height);
        QFETCH(double, ratio);
        QFETCH(QList<double>, expected);
        const auto built = create(frame::Shape::Ellipse, {}, geo::Size(mm(width), mm(height)), ratio);
        QCOMPARE(built->size(), geo::Size(mm(width), mm(height)));
        QCOMPARE(built->rectangle(), geo::Rectangle(geo::Point2D(mm(expected[0]), mm(expected[1])),
                                                    geo::Size(mm(expected[2]), mm(expected[3]))));
    }

    void setValuesFillsAndIgnores()
    {
        frame::Ellipse ellipse;
        ellipse.setValues(normals({0.1, 0.2, 0.3, 0.4, 0.5, 0.6}));
        QCOMPARE(ellipse.values(), normals({0.1, 0.2, 0.3, 0.4, 0.5}));
        ellipse.setValues(normals({0.7, 0.8}));
        QCOMPARE(ellipse.values(), normals({0.7, 0.8, 0.0, 0.0, 0.0}));
        ellipse.setValues(normals({-1.0, 1.5, qQNaN()}));
        QCOMPARE(ellipse.values(), normals({0.0, 1.0, 0.0, 0.0, 0.0}));
    }

    void rectangleCorners()
    {
        const geo::Size size(mm(10), mm(10));
        const auto plain = create(frame::Shape::Rectangle, normals({0.0}), size);
        const auto full = create(frame::Shape::Rectangle, normals({1.0}), size);
        const std::vector<geo::Point2D> corners{{0, 0}, {mm(10), 0}, {mm(10), mm(10)}, {0, mm(10)}};
        QCOMPARE(plain->outline().points(), corners);
        QCOMPARE(full->outline().points(), corners);

        const auto diamond = create(frame::Shape::Rectangle, normals({0.5}), size);
        const std::vector<geo::Point2D> midpoints{{mm(5), 0}, {mm(10), mm(5)}, {mm(5), mm(10)}, {0, mm(5)}};
        QCOMPARE(diamond->outline().points(), midpoints);

        const geo::PointAndDistance snapped = plain->closestFramePoint(geo::Point2D(mm(5), mm(5)));
        QCOMPARE(snapped.point, geo::Point2D(0, mm(5)));
        QCOMPARE(snapped.distance, geo::Length(mm(5)));
        QCOMPARE(plain->closestFramePoint(geo::Point2D(mm(10), mm(10))).distance, geo::Length(0));
        QCOMPARE(plain->closestFramePoint(geo::Point2D(mm(10) + 1, mm(5))).distance, frame::Base::outsideDistance);
        QCOMPARE(diamond->closestFramePoint(geo::Point2D(mm(1), mm(1))).distance, geo::Length(-1000000));
        QCOMPARE(diamond->closestFramePoint(geo::Point2D(mm(1), mm(1))).point, geo::Point2D(0, 0));
    }

    void triangleCorners_data()
    {
        QTest::addColumn<double>("shapeValue");
        QTest::addColumn<QList<double>>("corners");
        // A 40 × 30 mm canvas: x = 0, y = 0, w = 40, h = 30.
        QTest::newRow("0") << 0.0 << QList<double>{0, 0, 40, 30, 0, 30};
        QTest::newRow("0.125") << 0.125 << QList<double>{0, 0, 40, 15, 0, 30};
        QTest::newRow("0.25") << 0.25 << QList<double>{0, 0, 40, 0, 0, 30};
        QTest::newRow("0.375") << 0.375 << QList<double>{0, 0, 40, 0, 20, 30};
        QTest::newRow("0.625") << 0.625 << QList<double>{0, 15, 40, 0, 40, 30};
        QTest::newRow("0.875") << 0.875 << QList<double>{0, 30, 20, 0, 40, 30};
        QTest::newRow("1 is 0") << 1.0 << QList<double>{0, 0, 40, 30, 0, 30};
        QTest::newRow("below 0 is clamped") << -0.5 << QList<double>{0, 0, 40, 30, 0, 30};
    }

    void triangleCorners()
    {
        QFETCH(double, shapeValue);
        QFETCH(QList<double>, corners);
        const auto triangle = create(frame::Shape::Triangle, normals({shapeValue}));
        const std::vector<geo::Point2D> expected{{mm(corners[0]), mm(corners[1])},
                                                 {mm(corners[2]), mm(corners[3])},
                                                 {mm(corners[4]), mm(corners[5])}};
        QCOMPARE(triangle->outline().points(), expected);
    }

    void ellipseOutline()
    {
        const auto ellipse = create(frame::Shape::Ellipse, {}, geo::Size(mm(78), mm(52)), 0.5);
        QCOMPARE(ellipse->outline().size(), std::size_t(360));
        QCOMPARE(ellipse->outline()[0], geo::Point2D(mm(6.5 + 65), mm(26)));
        QCOMPARE(std::static_pointer_cast<frame::Ellipse>(ellipse)->ellipse().radii(), geo::Size(mm(32.5), mm(26)));
    }

    void genericOutlineFollowsTheShape()
    {
        // The default star is an eight-point star: 16 corners.
        QCOMPARE(create(frame::Shape::Star, {})->outline().size(), std::size_t(16));
        QCOMPARE(create(frame::Shape::Star, normals({0.0, 0.0}))->outline().size(), std::size_t(6));
        QCOMPARE(create(frame::Shape::Polygon, normals({0.0, 1.0}))->outline().size(), std::size_t(12));
        QCOMPARE(create(frame::Shape::Polygon, {})->outline().size(), std::size_t(5));
        const auto star = std::static_pointer_cast<frame::GenericShape>(create(frame::Shape::Star, normals({0.1, 0.25, 0.7})));
        QCOMPARE(star->shapeObject()->modifierValues(), normals({0.25, 0.7, 0.5}));
    }

    void missingValuesComeFromTheDefaults()
    {
        // Made with the rotation alone, read back from its data: the same star, with its defaults stored.
        const auto star = create(frame::Shape::Star, normals({0.0}));
        QCOMPARE(star->values(), normals({0.0, 0.5, 0.5, 0.5, 0.0}));
        const auto reread = m_manager->createFrame(throughJson(star->toData()));
        QVERIFY(reread);
        QCOMPARE(reread->outline(), star->outline());
        QCOMPARE(reread->outline().size(), std::size_t(16));
    }

    void valuesAreClampedOnEveryRoad_data()
    {
        QTest::addColumn<frame::Shape>("shape");
        QTest::addColumn<QList<double>>("values");
        QTest::addColumn<QList<double>>("clamped");
        QTest::newRow("triangle below 0") << frame::Shape::Triangle << QList<double>{-0.4} << QList<double>{0.0, 0, 0, 0, 0};
        QTest::newRow("heart bulge above 1") << frame::Shape::Heart << QList<double>{0.5, 1.5, 0.0}
                                             << QList<double>{0.5, 1.0, 0.0, 0, 0};
        QTest::newRow("star count huge") << frame::Shape::Star << QList<double>{0.0, 1e5, 0.5, 0.5, 0.0}
                                         << QList<double>{0.0, 1.0, 0.5, 0.5, 0.0};
        QTest::newRow("cross count NaN") << frame::Shape::Cross << QList<double>{0.0, qQNaN(), -3.0, 0, 0}
                                         << QList<double>{0.0, 0.0, 0.0, 0, 0};
    }

    void valuesAreClampedOnEveryRoad()
    {
        QFETCH(frame::Shape, shape);
        QFETCH(QList<double>, values);
        QFETCH(QList<double>, clamped);
        const std::vector<geo::Normal1D> expected(clamped.begin(), clamped.end());

        const auto made = create(shape, std::vector<geo::Normal1D>(values.begin(), values.end()));
        QCOMPARE(made->values(), expected);

        QVariantMap data = create(shape, {})->toData().toMap();
        const QStringList keys{"valueA", "valueB", "valueC", "valueD", "valueE"};
        for (qsizetype i = 0; i < keys.size(); ++i) {
            data.insert(keys[i], i < values.size() ? values[i] : 0.0);
        }
        const auto read = m_manager->createFrame(data);
        QVERIFY(read);
        QCOMPARE(read->values(), expected);
        QCOMPARE(read->outline(), made->outline());
        for (const geo::Point2D& point : read->outline().points()) {
            QVERIFY(read->rectangle().inset(geo::Length(-1000)).contains(point));
        }
    }

    void shapeWithoutBuilderFallsBackToTheRectangle()
    {
        const auto fallback = create(frame::Shape::NoShape, normals({0.5}));
        QVERIFY(fallback);
        QCOMPARE(fallback->shape(), frame::Shape::Rectangle);
        QCOMPARE(fallback->outline(), create(frame::Shape::Rectangle, normals({0.5}))->outline());
        QVERIFY(m_manager->builder(frame::Shape::NoShape));
        QCOMPARE(m_manager->builder(frame::Shape::NoShape)->shape(), frame::Shape::Rectangle);
        QCOMPARE(m_manager->parameters(frame::Shape::NoShape).size(), std::size_t(1));
        QVERIFY(create(static_cast<frame::Shape>(-7), {}));
        // Written as a rectangle, so the canvas that holds it reads back.
        QCOMPARE(fallback->toData().toMap().value("shapeId").toString(), QStringLiteral("rectangle"));
    }

    void dataRoundTrip_data()
    {
        QTest::addColumn<frame::Shape>("shape");
        QTest::addColumn<QList<double>>("values");
        QTest::newRow("rectangle") << frame::Shape::Rectangle << QList<double>{0.3};
        QTest::newRow("ellipse") << frame::Shape::Ellipse << QList<double>{};
        QTest::newRow("triangle") << frame::Shape::Triangle << QList<double>{0.7};
        QTest::newRow("heart") << frame::Shape::Heart << QList<double>{0.2, 0.9, 0.1};
        QTest::newRow("arrow") << frame::Shape::Arrow << QList<double>{0.1, 0.2, 0.8, 0.6, 0.2};
        QTest::newRow("star") << frame::Shape::Star << QList<double>{0.05, 0.9, 0.3, 0.7};
        QTest::newRow("cross") << frame::Shape::Cross << QList<double>{0.0, 0.3, 0.2};
        QTest::newRow("leaf") << frame::Shape::Leaf << QList<double>{0.5, 0.7, 0.2, 0.4, 0.5};
        QTest::newRow("polygon") << frame::Shape::Polygon << QList<double>{0.125, 0.6};
    }

    void dataRoundTrip()
    {
        QFETCH(frame::Shape, shape);
        QFETCH(QList<double>, values);
        const auto made = create(shape, std::vector<geo::Normal1D>(values.begin(), values.end()),
                                 geo::Size(mm(78.25), mm(52.5)), 0.37);
        const QVariantMap data = made->toData().toMap();
        QCOMPARE(data.keys(), (QStringList{"rectangle", "shapeId", "size", "valueA", "valueB", "valueC", "valueD", "valueE"}));
        QCOMPARE(data.value("shapeId").toString(), frame::shapeToString(shape));
        QCOMPARE(data.value("valueA").typeId(), QMetaType::Double);

        const auto read = m_manager->createFrame(throughJson(data));
        QVERIFY(read);
        QCOMPARE(read->shape(), shape);
        QCOMPARE(read->size(), made->size());
        QCOMPARE(read->rectangle(), made->rectangle());
        QCOMPARE(read->values(), made->values());
        QCOMPARE(read->outline(), made->outline());
        QCOMPARE(read->toData(), made->toData());
    }

    void badDataReadsAsNoFrame_data()
    {
        QTest::addColumn<QVariant>("data");
        const QVariantMap good = frame::Manager::instance()->createFrame(frame::Shape::Star, geo::Size(mm(40), mm(30)), 1.0, {})->toData().toMap();
        const auto without = [&good](const QString& key) {
            QVariantMap map = good;
            map.remove(key);
            return QVariant(map);
        };
        const auto with = [&good](const QString& key, const QVariant& value) {
            QVariantMap map = good;
            map.insert(key, value);
            return QVariant(map);
        };
        const auto sizeMap = [](double width, double height) {
            return QVariantMap{{"width", width}, {"height", height}};
        };
        const auto rectangleMap = [&sizeMap](double x, double y, double width, double height) {
            return QVariantMap{{"origin", QVariantMap{{"x", x}, {"y", y}}}, {"size", sizeMap(width, height)}};
        };
        QTest::newRow("no valueE") << without("valueE");
        QTest::newRow("no valueA") << without("valueA");
        QTest::newRow("no size") << without("size");
        QTest::newRow("no rectangle") << without("rectangle");
        QTest::newRow("no shapeId") << without("shapeId");
        QTest::newRow("unknown shapeId") << with("shapeId", "hexagon");
        QTest::newRow("shapeId in capitals") << with("shapeId", "Star");
        QTest::newRow("size 0 x 0") << with("size", sizeMap(0, 0));
        QTest::newRow("negative size width") << with("size", sizeMap(-40, 30));
        QTest::newRow("negative size height") << with("size", sizeMap(40, -0.001));
        QTest::newRow("size beyond range") << with("size", sizeMap(1e13, 30));
        QTest::newRow("rectangle 0 x 0") << with("rectangle", rectangleMap(1, 1, 0, 0));
        QTest::newRow("negative rectangle") << with("rectangle", rectangleMap(0, 0, 40, -30));
        QTest::newRow("rectangle far away") << with("rectangle", rectangleMap(-1e13, 0, 40, 30));
        QTest::newRow("rectangle beyond range") << with("rectangle", rectangleMap(0, 0, 1e300, 30));
        QTest::newRow("not a map") << QVariant(QStringLiteral("star"));
        QTest::newRow("a list") << QVariant(QVariantList{good});
        QTest::newRow("invalid") << QVariant();
    }

    void badDataReadsAsNoFrame()
    {
        QFETCH(QVariant, data);
        QVERIFY(!m_manager->createFrame(data));
        QVERIFY(!m_manager->createFrame(throughJson(data)));
    }

    void oddButUsableData()
    {
        QVariantMap data = create(frame::Shape::Ellipse, {})->toData().toMap();
        // A zero height with a width, values that are not numbers, lengths in millimetres.
        data.insert("size", QVariantMap{{"width", 40.0}, {"height", 0}});
        data.insert("valueB", QStringLiteral("text"));
        data.insert("rectangle", QVariantMap{{"origin", QVariantMap{{"x", 1.5}}}, {"size", QVariantMap{{"width", 30.0}, {"height", 20.0}}}});
        const auto read = m_manager->createFrame(data);
        QVERIFY(read);
        QCOMPARE(read->size(), geo::Size(mm(40), 0));
        QCOMPARE(read->rectangle(), geo::Rectangle(geo::Point2D(mm(1.5), 0), geo::Size(mm(30), mm(20))));
        QCOMPARE(read->valueB().value(), 0.0);
    }

    void svgElements()
    {
        const geo::Point2D offset(mm(1), mm(2));
        const auto rect = create(frame::Shape::Rectangle, normals({0.0}), geo::Size(mm(78), mm(52)), 0.5)->createSvg(offset, "#282848");
        QCOMPARE(rect->toString(0, 4),
                 QStringLiteral("<rect fill=\"#282848\" height=\"52.000000\" width=\"65.000000\" x=\"7.500000\" y=\"2.000000\" />\n"));

        const auto ellipse = create(frame::Shape::Ellipse, {}, geo::Size(mm(78), mm(52)), 0.5)->createSvg(offset, "red");
        QCOMPARE(ellipse->toString(0, 4),
                 QStringLiteral("<ellipse cx=\"40.000000\" cy=\"28.000000\" fill=\"red\" rx=\"32.500000\" ry=\"26.000000\" />\n"));

        const auto triangle = create(frame::Shape::Triangle, normals({0.0}), geo::Size(mm(2), mm(1)))->createSvg(offset, "blue");
        QCOMPARE(triangle->toString(0, 4),
                 QStringLiteral("<g transform=\"translate(1.000000,2.000000)\">\n"
                                "    <path d=\"M0.000000,0.000000 2.000000,1.000000 0.000000,1.000000 Z\" fill=\"blue\" fill-rule=\"evenodd\" />\n"
                                "</g>\n"));

        const auto diamond = create(frame::Shape::Rectangle, normals({0.5}), geo::Size(mm(2), mm(2)))->createSvg(geo::Point2D(), "x");
        QCOMPARE(diamond->element(), svg::Element::G);
        QCOMPARE(diamond->children().size(), std::size_t(1));
        QCOMPARE(diamond->children().front()->attribute(svg::Attribute::D),
                 QStringLiteral("M1.000000,0.000000 2.000000,1.000000 1.000000,2.000000 0.000000,1.000000 Z"));
    }
};

MOTIFEX_TEST_MAIN(TestFrame)
#include "tst_frame.moc"
