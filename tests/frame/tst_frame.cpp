#include "common/TestMain.h"

#include "frame/Base.h"
#include "frame/Ellipse.h"
#include "frame/Manager.h"
#include "frame/RegionDistance.h"
#include "svg/Node.h"

#include <QJsonDocument>
#include <QThreadPool>
#include <QtConcurrent>

#include <algorithm>
#include <cmath>
#include <limits>
#include <memory>

Q_DECLARE_METATYPE(frame::Shape)

namespace geo {
// Found by argument lookup, also from the standard algorithms.
bool operator==(const PointAndDistance& a, const PointAndDistance& b)
{
    return a.point == b.point && a.distance == b.distance;
}
} // namespace geo

namespace {

qint64 mm(double millimeters)
{
    return geo::fixedFromDouble(millimeters);
}

// Frame data takes the road of a project file: JSON text and back.
QVariant throughJson(const QVariant& data)
{
    return QJsonDocument::fromJson(QJsonDocument::fromVariant(data).toJson()).toVariant();
}

std::vector<geo::Normal1D> normals(const QList<double>& values)
{
    return std::vector<geo::Normal1D>(values.begin(), values.end());
}

std::vector<geo::Point2D> points(const QList<double>& millimeters)
{
    std::vector<geo::Point2D> result;
    for (qsizetype i = 0; i + 1 < millimeters.size(); i += 2) {
        result.emplace_back(mm(millimeters[i]), mm(millimeters[i + 1]));
    }
    return result;
}


// Plain references computed in doubles straight from the outline: the exact distance to its edges, and
// even-odd containment by the classic crossing count (only meaningful away from the outline).
double distanceToOutline(const geo::Path& outline, const geo::Point2D& point)
{
    double nearest = std::numeric_limits<double>::infinity();
    const auto& corners = outline.points();
    for (std::size_t i = 0, j = corners.size() - 1; i < corners.size(); j = i++) {
        const double dx = double(corners[i].x() - corners[j].x()), dy = double(corners[i].y() - corners[j].y());
        const double offsetX = double(point.x() - corners[j].x()), offsetY = double(point.y() - corners[j].y());
        const double t = std::clamp((offsetX * dx + offsetY * dy) / std::max(dx * dx + dy * dy, 1.0), 0.0, 1.0);
        nearest = std::min(nearest, std::hypot(offsetX - t * dx, offsetY - t * dy));
    }
    return nearest;
}

bool contains(const geo::Path& outline, const geo::Point2D& point)
{
    const auto& corners = outline.points();
    bool isInside = false;
    for (std::size_t i = 0, j = corners.size() - 1; i < corners.size(); j = i++) {
        const double xi = double(corners[i].x()), yi = double(corners[i].y());
        const double xj = double(corners[j].x()), yj = double(corners[j].y());
        if ((yi > double(point.y())) != (yj > double(point.y())) && double(point.x()) < (xj - xi) * (double(point.y()) - yi) / (yj - yi) + xi) {
            isInside = !isInside;
        }
    }
    return isInside;
}

// A grid over the outline's box and a tenth beyond it, offset so that few points fall on corners, plus
// every corner and points just beside each one.
std::vector<geo::Point2D> queryPoints(const geo::Path& outline, int columns, int rows)
{
    const geo::Rectangle& box = outline.boundingBox();
    std::vector<geo::Point2D> result;
    for (int row = 0; row < rows; ++row) {
        for (int column = 0; column < columns; ++column) {
            result.emplace_back(box.x() + box.width() * (10 * column - columns + 0.0173) / (8 * columns),
                                box.y() + box.height() * (10 * row - rows + 0.0291) / (8 * rows));
        }
    }
    for (const geo::Point2D& corner : outline.points()) {
        for (const qint64 offset : {qint64(0), qint64(-700), qint64(300), mm(0.25)}) {
            result.push_back(corner + geo::Point2D(offset, -offset / 2));
        }
    }
    // Close points through the middle, where a round outline's edges all lie about equally far.
    for (int step = -20; step <= 20; ++step) {
        result.push_back(box.centerPoint() + geo::Point2D(step * 10, 0));
    }
    return result;
}

void addFrameCases()
{
    QTest::addColumn<frame::Shape>("shape");
    QTest::addColumn<QList<double>>("values");
    QTest::addColumn<double>("width");
    QTest::newRow("rectangle") << frame::Shape::Rectangle << QList<double>{0.0} << 40.0;
    QTest::newRow("rectangle sliding") << frame::Shape::Rectangle << QList<double>{0.2} << 40.0;
    QTest::newRow("ellipse") << frame::Shape::Ellipse << QList<double>{} << 40.0;
    // Edges far shorter than the bisection's reach: many edges are candidates for the closest point.
    QTest::newRow("tiny ellipse") << frame::Shape::Ellipse << QList<double>{} << 0.1;
    QTest::newRow("triangle 0.4") << frame::Shape::Triangle << QList<double>{0.4} << 40.0;
    QTest::newRow("heart") << frame::Shape::Heart << QList<double>{} << 40.0;
    QTest::newRow("heart notched") << frame::Shape::Heart << QList<double>{0.0, 0.2, 0.0} << 40.0;
    QTest::newRow("heart drop turned") << frame::Shape::Heart << QList<double>{1.0, 0.7, 0.3} << 40.0;
    QTest::newRow("arrow turned wide") << frame::Shape::Arrow << QList<double>{0.1, 0.9, 0.1, 0.6, 0.9} << 40.0;
    QTest::newRow("star sharp shifted") << frame::Shape::Star << QList<double>{0.2, 1.0, 0.1, 0.9} << 40.0;
    QTest::newRow("cross thin ten bars") << frame::Shape::Cross << QList<double>{0.05, 1.0, 0.0} << 40.0;
    QTest::newRow("leaf with vein") << frame::Shape::Leaf << QList<double>{0.1, 1.0, 0.0, 0.8, 1.0} << 40.0;
    QTest::newRow("tiny leaf") << frame::Shape::Leaf << QList<double>{} << 0.4;
    QTest::newRow("polygon dodecagon") << frame::Shape::Polygon << QList<double>{0.05, 1.0} << 40.0;
}

} // namespace

class TestFrame : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<frame::Manager> m_manager = std::make_unique<frame::Manager>();

    std::shared_ptr<frame::Base> create(frame::Shape shape, const QList<double>& values,
                                        const geo::Size& size = geo::Size(mm(40), mm(30)), double ratio = 1.0) const
    {
        return m_manager->createFrame(shape, size, ratio, normals(values));
    }

private slots:
    void shapeTable()
    {
        QStringList rows;
        for (const frame::ShapeListEntry& entry : frame::shapeList()) {
            rows.append(QStringLiteral("%1 %2 %3").arg(int(entry.shape)).arg(entry.identifier, entry.label));
            QCOMPARE(frame::shapeFromString(entry.identifier), entry.shape);
            QCOMPARE(frame::shapeToString(entry.shape), entry.identifier);
        }
        QCOMPARE(rows.join(", "), "0 rectangle Rectangle, 1 ellipse Ellipse, 2 triangle Triangle, 3 heart Heart, 4 arrow Arrow, "
                                  "5 star Star, 6 cross Cross, 7 leaf Leaf, 8 polygon Polygon");
        QCOMPARE(int(frame::shapeFromString(QStringLiteral("Heart"))), 9);
        QCOMPARE(frame::shapeToString(frame::Shape::NoShape), QString());
    }

    void parameterTable_data()
    {
        QTest::addColumn<frame::Shape>("shape");
        QTest::addColumn<QStringList>("labels");
        QTest::addColumn<QList<double>>("defaults");
        QTest::newRow("rectangle") << frame::Shape::Rectangle << QStringList{"Rotation"} << QList<double>{0.0};
        QTest::newRow("ellipse") << frame::Shape::Ellipse << QStringList{} << QList<double>{};
        QTest::newRow("triangle") << frame::Shape::Triangle << QStringList{"Shape"} << QList<double>{0.0};
        QTest::newRow("heart") << frame::Shape::Heart << QStringList{"Bulge Angle", "Bulge Ratio", "Rotation"} << QList<double>{0.5, 0.5, 0.0};
        QTest::newRow("arrow") << frame::Shape::Arrow << QStringList{"Rotation", "Tip Length", "Tip Width", "Line Length", "Line Width"}
                               << QList<double>{0.0, 0.4, 0.5, 1.0, 0.3};
        QTest::newRow("star") << frame::Shape::Star << QStringList{"Rotation", "Point Count", "Valley Ratio", "Valley Shift"}
                              << QList<double>{0.0, 0.5, 0.5, 0.5};
        QTest::newRow("cross") << frame::Shape::Cross << QStringList{"Rotation", "Bar Count", "Bar Width"} << QList<double>{0.0, 0.5, 0.5};
        QTest::newRow("leaf") << frame::Shape::Leaf << QStringList{"Rotation", "Width", "Radius", "Vein Length", "Vein Angle"}
                              << QList<double>{0.0, 0.6, 0.5, 0.0, 0.2};
        QTest::newRow("polygon") << frame::Shape::Polygon << QStringList{"Rotation", "Corner Count"} << QList<double>{0.0, 0.2};
    }

    void parameterTable()
    {
        QFETCH(frame::Shape, shape);
        QFETCH(QStringList, labels);
        QFETCH(QList<double>, defaults);
        QStringList readLabels;
        for (const frame::Parameter& parameter : m_manager->parameters(shape)) {
            readLabels.append(parameter.label());
            QCOMPARE(parameter.defaultValue().value(), defaults[readLabels.size() - 1]);
        }
        QCOMPARE(readLabels, labels);
        QCOMPARE(m_manager->builder(shape)->shape(), shape);
        // A frame made without values stores the parameter defaults, and 0 beyond them.
        const auto built = create(shape, {});
        QCOMPARE(built->shape(), shape);
        QCOMPARE(built->values(), normals(defaults + QList<double>(5 - defaults.size(), 0.0)));
    }

    void instanceIsRecordedByTheConstructor()
    {
        QCOMPARE(frame::Manager::instance(), m_manager.get());
        m_manager.reset();
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
        QTest::newRow("portrait 0.5") << 52.0 << 78.0 << 0.5 << QList<double>{0, 6.5, 52, 65};
        QTest::newRow("square") << 40.0 << 40.0 << 0.3 << QList<double>{0, 0, 40, 40};
        QTest::newRow("ratio above 1 is clamped") << 78.0 << 52.0 << 7.0 << QList<double>{0, 0, 78, 52};
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
        QCOMPARE(built->rectangle(), geo::Rectangle(points(expected)[0], geo::Size(mm(expected[2]), mm(expected[3]))));
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

    void outlines_data()
    {
        QTest::addColumn<frame::Shape>("shape");
        QTest::addColumn<QList<double>>("values");
        QTest::addColumn<QList<double>>("corners");
        // A 40 × 30 mm canvas: x = 0, y = 0, w = 40, h = 30.
        const QList<double> rectangle{0, 0, 40, 0, 40, 30, 0, 30};
        QTest::newRow("rectangle 0") << frame::Shape::Rectangle << QList<double>{0.0} << rectangle;
        QTest::newRow("rectangle 1") << frame::Shape::Rectangle << QList<double>{1.0} << rectangle;
        QTest::newRow("diamond") << frame::Shape::Rectangle << QList<double>{0.5} << QList<double>{20, 0, 40, 15, 20, 30, 0, 15};
        QTest::newRow("triangle 0") << frame::Shape::Triangle << QList<double>{0.0} << QList<double>{0, 0, 40, 30, 0, 30};
        QTest::newRow("triangle 0.125") << frame::Shape::Triangle << QList<double>{0.125} << QList<double>{0, 0, 40, 15, 0, 30};
        QTest::newRow("triangle 0.375") << frame::Shape::Triangle << QList<double>{0.375} << QList<double>{0, 0, 40, 0, 20, 30};
        QTest::newRow("triangle 0.625") << frame::Shape::Triangle << QList<double>{0.625} << QList<double>{0, 15, 40, 0, 40, 30};
        QTest::newRow("triangle 0.875") << frame::Shape::Triangle << QList<double>{0.875} << QList<double>{0, 30, 20, 0, 40, 30};
        QTest::newRow("triangle 1 is 0") << frame::Shape::Triangle << QList<double>{1.0} << QList<double>{0, 0, 40, 30, 0, 30};
        QTest::newRow("triangle below 0") << frame::Shape::Triangle << QList<double>{-0.5} << QList<double>{0, 0, 40, 30, 0, 30};
    }

    void outlines()
    {
        QFETCH(frame::Shape, shape);
        QFETCH(QList<double>, values);
        QFETCH(QList<double>, corners);
        QCOMPARE(create(shape, values)->outline().points(), points(corners));
    }

    void rectangleAndEllipse()
    {
        const auto square = create(frame::Shape::Rectangle, {0.0}, geo::Size(mm(10), mm(10)));
        const geo::PointAndDistance snapped = square->closestFramePoint(geo::Point2D(mm(5), mm(5)));
        QCOMPARE(snapped.point, geo::Point2D(0, mm(5)));
        QCOMPARE(snapped.distance, geo::Length(mm(5)));
        QCOMPARE(square->closestFramePoint(geo::Point2D(mm(10), mm(10))).distance, geo::Length(0));
        QCOMPARE(square->closestFramePoint(geo::Point2D(mm(10) + 1, mm(5))).distance, geo::Length(-1000000));
        const auto ellipse = create(frame::Shape::Ellipse, {}, geo::Size(mm(78), mm(52)), 0.5);
        QCOMPARE(ellipse->outline().size(), std::size_t(360));
        QCOMPARE(ellipse->outline()[0], geo::Point2D(mm(6.5 + 65), mm(26)));
        QCOMPARE(std::static_pointer_cast<frame::Ellipse>(ellipse)->ellipse().radii(), geo::Size(mm(32.5), mm(26)));
    }

    void valuesAreClampedOnEveryRoad_data()
    {
        QTest::addColumn<frame::Shape>("shape");
        QTest::addColumn<QList<double>>("values");
        QTest::addColumn<QList<double>>("clamped");
        QTest::newRow("triangle below 0") << frame::Shape::Triangle << QList<double>{-0.4} << QList<double>{0.0, 0, 0, 0, 0};
        QTest::newRow("heart bulge above 1") << frame::Shape::Heart << QList<double>{0.5, 1.5, 0.0} << QList<double>{0.5, 1.0, 0.0, 0, 0};
        QTest::newRow("star count huge") << frame::Shape::Star << QList<double>{0.0, 1e5, 0.5, 0.5, 0.0} << QList<double>{0.0, 1.0, 0.5, 0.5, 0.0};
        QTest::newRow("cross count NaN") << frame::Shape::Cross << QList<double>{0.0, qQNaN(), -3.0, 0, 0} << QList<double>{0.0, 0.0, 0.0, 0, 0};
    }

    void valuesAreClampedOnEveryRoad()
    {
        QFETCH(frame::Shape, shape);
        QFETCH(QList<double>, values);
        QFETCH(QList<double>, clamped);
        const auto made = create(shape, values);
        QCOMPARE(made->values(), normals(clamped));
        QVariantMap data = made->toData().toMap();
        for (qsizetype i = 0; i < 5; ++i) {
            data.insert(QStringLiteral("value%1").arg(QChar(char16_t(u'A' + i))), i < values.size() ? values[i] : 0.0);
        }
        const auto read = m_manager->createFrame(data);
        QVERIFY(read);
        QCOMPARE(read->values(), normals(clamped));
        QCOMPARE(read->outline(), made->outline());
    }

    void shapeWithoutBuilderFallsBackToTheRectangle()
    {
        const auto fallback = create(frame::Shape::NoShape, {0.5});
        QCOMPARE(fallback->shape(), frame::Shape::Rectangle);
        QCOMPARE(fallback->outline(), create(frame::Shape::Rectangle, {0.5})->outline());
        QCOMPARE(m_manager->builder(frame::Shape::NoShape)->shape(), frame::Shape::Rectangle);
        QCOMPARE(m_manager->parameters(frame::Shape::NoShape).size(), std::size_t(1));
        QVERIFY(create(static_cast<frame::Shape>(-7), {}));
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
        // Made with the rotation alone: the default eight-point star, stored with its defaults.
        QTest::newRow("star") << frame::Shape::Star << QList<double>{0.0};
        QTest::newRow("cross") << frame::Shape::Cross << QList<double>{0.0, 0.3, 0.2};
        QTest::newRow("leaf") << frame::Shape::Leaf << QList<double>{0.5, 0.7, 0.2, 0.4, 0.5};
        QTest::newRow("polygon") << frame::Shape::Polygon << QList<double>{0.125, 0.6};
    }

    void dataRoundTrip()
    {
        QFETCH(frame::Shape, shape);
        QFETCH(QList<double>, values);
        const auto made = create(shape, values, geo::Size(mm(78.25), mm(52.5)), 0.37);
        const QVariantMap data = made->toData().toMap();
        QCOMPARE(data.keys(), (QStringList{"rectangle", "shapeId", "size", "valueA", "valueB", "valueC", "valueD", "valueE"}));
        QCOMPARE(data.value("shapeId").toString(), frame::shapeToString(shape));
        const auto read = m_manager->createFrame(throughJson(data));
        QVERIFY(read);
        QCOMPARE(read->shape(), shape);
        QCOMPARE(read->toData(), made->toData());
        QCOMPARE(read->outline(), made->outline());
    }

    void badDataReadsAsNoFrame_data()
    {
        QTest::addColumn<QString>("key");
        QTest::addColumn<QVariant>("value");
        const auto rectangle = [](double x, double width, double height) {
            return geo::Rectangle(geo::Point2D(mm(x), 0), geo::Size(mm(width), mm(height))).toVariant();
        };
        QTest::newRow("no valueE") << "valueE" << QVariant();
        QTest::newRow("shapeId in capitals") << "shapeId" << QVariant("Star");
        QTest::newRow("size 0 x 0") << "size" << geo::Size(0, 0).toVariant();
        QTest::newRow("negative size") << "size" << geo::Size(mm(40), -1).toVariant();
        QTest::newRow("size beyond range") << "size" << QVariant(QVariantMap{{"width", 1e13}, {"height", 30.0}});
        QTest::newRow("rectangle 0 x 0") << "rectangle" << rectangle(1, 0, 0);
        QTest::newRow("negative rectangle") << "rectangle" << rectangle(0, 40, -30);
        QTest::newRow("rectangle far away") << "rectangle" << rectangle(-1e7, 40, 30);
    }

    // A failed read also leaves a frame as it was.
    void badDataReadsAsNoFrame()
    {
        QFETCH(QString, key);
        QFETCH(QVariant, value);
        const auto star = create(frame::Shape::Star, {});
        const QVariant before = star->toData();
        QVariantMap data = before.toMap();
        data.insert("size", geo::Size(mm(10), mm(10)).toVariant());
        data.remove(key);
        if (value.isValid()) {
            data.insert(key, value);
        }
        QVERIFY(!m_manager->createFrame(data));
        QVERIFY(!m_manager->createFrame(throughJson(data)));
        if (key != "shapeId") {
            QVERIFY(!star->setFromData(data));
            QCOMPARE(star->toData(), before);
        }
        QVERIFY(!m_manager->createFrame(QVariant(QStringLiteral("star"))));
    }

    void svgElements()
    {
        const geo::Point2D offset(mm(1), mm(2));
        const auto rect = create(frame::Shape::Rectangle, {0.0}, geo::Size(mm(78), mm(52)), 0.5)->createSvg(offset, "#282848");
        QCOMPARE(rect->toString(0, 4),
                 QStringLiteral("<rect fill=\"#282848\" height=\"52.000000\" width=\"65.000000\" x=\"7.500000\" y=\"2.000000\" />\n"));
        const auto ellipse = create(frame::Shape::Ellipse, {}, geo::Size(mm(78), mm(52)), 0.5)->createSvg(offset, "red");
        QCOMPARE(ellipse->toString(0, 4),
                 QStringLiteral("<ellipse cx=\"40.000000\" cy=\"28.000000\" fill=\"red\" rx=\"32.500000\" ry=\"26.000000\" />\n"));
        const auto diamond = create(frame::Shape::Rectangle, {0.5}, geo::Size(mm(2), mm(2)))->createSvg(offset, "blue");
        QCOMPARE(diamond->toString(0, 4),
                 QStringLiteral("<g transform=\"translate(1.000000,2.000000)\">\n"
                                "    <path d=\"M1.000000,0.000000 2.000000,1.000000 1.000000,2.000000 0.000000,1.000000 Z\" fill=\"blue\" fill-rule=\"evenodd\" />\n"
                                "</g>\n"));
    }

    void outlineAndClosestPoints_data() { addFrameCases(); }

    // Every frame fills its rectangle (only the fitting steps' truncation may leave a sliver) and answers
    // exactly as the plain search over all edges, or for the plain rectangle as its own formula; both
    // agree with the plain references.
    void outlineAndClosestPoints()
    {
        QFETCH(frame::Shape, shape);
        QFETCH(QList<double>, values);
        QFETCH(double, width);
        const auto frame = create(shape, values, geo::Size(mm(width), mm(width * 0.75)), 0.6);
        const geo::Path& outline = frame->outline();
        const geo::Rectangle& box = outline.boundingBox();
        const geo::Rectangle& rectangle = frame->rectangle();
        QVERIFY(std::abs(box.x() - rectangle.x()) <= 1000 && std::abs(box.y() - rectangle.y()) <= 1000);
        QVERIFY(std::abs(box.width() - rectangle.width()) <= 1000 && std::abs(box.height() - rectangle.height()) <= 1000);
        const bool isPlainRectangle = shape == frame::Shape::Rectangle && values.front() == 0.0;
        const geo::PointAndDistance outside{geo::Point2D(), frame::Base::outsideDistance};
        int insideCount = 0;
        for (const geo::Point2D& point : queryPoints(outline, 40, 30)) {
            const QString where = QStringLiteral("at (%1, %2)").arg(point.x()).arg(point.y());
            const geo::PointAndDistance result = frame->closestFramePoint(point);
            const geo::PointAndDistance plain = isPlainRectangle
                ? (rectangle.contains(point) ? rectangle.closestPointOnPath(point) : outside)
                : (outline.containsPoint(point) ? outline.closestPointAndDistanceOnPath(point) : outside);
            QVERIFY2(result == plain, qPrintable(where));
            const double toOutline = distanceToOutline(outline, point);
            // Away from the outline both containment answers must agree; the bisection stops within
            // about 0.016 mm of the closest point.
            QVERIFY2(toOutline < 1000 || (result.distance != outside.distance) == contains(outline, point), qPrintable(where));
            if (result.distance != outside.distance) {
                ++insideCount;
                QVERIFY2(std::abs(double(result.distance.value()) - toOutline) <= 20000, qPrintable(where));
            }
        }
        QVERIFY(insideCount > 20);
    }

    void regionDistanceEqualsFrame_data() { addFrameCases(); }

    // A region's answers equal the frame's for every point of the region: grid points of blocks and their
    // squares of every size, the outline's corners and points just beside them.
    void regionDistanceEqualsFrame()
    {
        QFETCH(frame::Shape, shape);
        QFETCH(QList<double>, values);
        QFETCH(double, width);
        const auto frame = create(shape, values, geo::Size(mm(width), mm(width * 0.75)), 0.6);
        const qint64 step = std::max<qint64>(1, mm(width) / 90);
        const qint64 columns = mm(width) / step + 3;
        const qint64 rows = mm(width * 0.75) / step + 3;
        const auto at = [step](qint64 column, qint64 row) { return geo::Point2D((column - 1) * step, (row - 1) * step); };
        int compared = 0;
        for (const qint64 blockSide : {qint64(64), qint64(23)}) {
            for (qint64 blockTop = 0; blockTop < rows; blockTop += blockSide / 2) {
                for (qint64 blockLeft = 0; blockLeft < columns; blockLeft += blockSide) {
                    const qint64 blockBottom = std::min(blockTop + blockSide / 2, rows) - 1;
                    const qint64 blockRight = std::min(blockLeft + blockSide, columns) - 1;
                    frame::RegionDistance block(*frame);
                    block.setRegion(at(blockLeft, blockTop), at(blockRight, blockBottom));
                    frame::RegionDistance square(*frame);
                    const qint64 side = blockSide == 64 ? 16 : 5;
                    for (qint64 top = blockTop; top <= blockBottom; top += side) {
                        for (qint64 left = blockLeft; left <= blockRight; left += side) {
                            const qint64 bottom = std::min(top + side - 1, blockBottom);
                            const qint64 right = std::min(left + side - 1, blockRight);
                            square.narrowTo(block, at(left, top), at(right, bottom));
                            for (qint64 row = top; row <= bottom; ++row) {
                                for (qint64 column = left; column <= right; ++column) {
                                    const geo::Point2D point = at(column, row);
                                    QVERIFY2(square.closestFramePoint(point) == frame->closestFramePoint(point),
                                             qPrintable(QStringLiteral("at (%1, %2)").arg(point.x()).arg(point.y())));
                                    ++compared;
                                }
                            }
                        }
                    }
                }
            }
        }
        for (const geo::Point2D& point : queryPoints(frame->outline(), 40, 30)) {
            frame::RegionDistance block(*frame);
            block.setRegion(point - geo::Point2D(mm(1.5), step), point + geo::Point2D(step / 3, mm(2)));
            frame::RegionDistance single(*frame);
            single.narrowTo(block, point, point);
            QVERIFY2(single.closestFramePoint(point) == frame->closestFramePoint(point),
                     qPrintable(QStringLiteral("at (%1, %2)").arg(point.x()).arg(point.y())));
            QVERIFY2(block.closestFramePoint(point) == frame->closestFramePoint(point),
                     qPrintable(QStringLiteral("at (%1, %2)").arg(point.x()).arg(point.y())));
        }
        QVERIFY(compared > 10000);
    }

    // closestFramePoint is called from many threads at once on one frame.
    void concurrentCallsAgree()
    {
        for (const frame::Shape shape : {frame::Shape::Ellipse, frame::Shape::Heart, frame::Shape::Star, frame::Shape::Rectangle}) {
            const std::shared_ptr<const frame::Base> frame = create(shape, {});
            const std::vector<geo::Point2D> points = queryPoints(frame->outline(), 120, 90);
            std::vector<geo::PointAndDistance> alone;
            for (const geo::Point2D& point : points) {
                alone.push_back(frame->closestFramePoint(point));
            }
            // Small chunks, so that the threads interleave on the one frame.
            std::vector<std::size_t> chunks;
            for (std::size_t begin = 0; begin < points.size(); begin += 64) {
                chunks.push_back(begin);
            }
            std::vector<geo::PointAndDistance> together(points.size());
            QThreadPool pool;
            pool.setMaxThreadCount(12);
            QtConcurrent::blockingMap(&pool, chunks, [&](std::size_t begin) {
                for (std::size_t i = begin; i < std::min(points.size(), begin + 64); ++i) {
                    together[i] = frame->closestFramePoint(points[i]);
                }
            });
            QVERIFY(together == alone);
        }
    }
};

MOTIFEX_TEST_MAIN(TestFrame)
#include "tst_frame.moc"
