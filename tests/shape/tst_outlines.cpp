#include "common/TestMain.h"

#include "geo/Circle.h"
#include "shape/Arrow.h"
#include "shape/Builder.h"
#include "shape/Cross.h"
#include "shape/Heart.h"
#include "shape/Leaf.h"
#include "shape/Manager.h"
#include "shape/Polygon.h"
#include "shape/Ring.h"
#include "shape/Star.h"

#include <QJsonDocument>
#include <QSvgRenderer>

using Points = std::vector<geo::Point2D>;
using ShapePointer = std::shared_ptr<shape::PolygonBase>;
Q_DECLARE_METATYPE(Points)
Q_DECLARE_METATYPE(ShapePointer)

namespace {

int crossSign(const geo::Point2D& origin, const geo::Point2D& a, const geo::Point2D& b)
{
    const __int128 value = static_cast<__int128>(a.x() - origin.x()) * (b.y() - origin.y())
        - static_cast<__int128>(a.y() - origin.y()) * (b.x() - origin.x());
    return value > 0 ? 1 : (value < 0 ? -1 : 0);
}

// Whether the closed segments share any point (touching counts).
bool segmentsMeet(const geo::Point2D& a, const geo::Point2D& b, const geo::Point2D& c, const geo::Point2D& d)
{
    const auto isOn = [](const geo::Point2D& p, const geo::Point2D& s, const geo::Point2D& e) {
        return std::min(s.x(), e.x()) <= p.x() && p.x() <= std::max(s.x(), e.x()) && std::min(s.y(), e.y()) <= p.y()
            && p.y() <= std::max(s.y(), e.y());
    };
    const int d1 = crossSign(c, d, a), d2 = crossSign(c, d, b), d3 = crossSign(a, b, c), d4 = crossSign(a, b, d);
    return (d1 * d2 < 0 && d3 * d4 < 0) || (d1 == 0 && isOn(a, c, d)) || (d2 == 0 && isOn(b, c, d))
        || (d3 == 0 && isOn(c, a, b)) || (d4 == 0 && isOn(d, a, b));
}

// Twice the signed area of the closed outline.
__int128 twiceArea(const geo::Path& path)
{
    __int128 sum = 0;
    for (std::size_t i = 0; i < path.size(); ++i) {
        const geo::Point2D& a = path[i];
        const geo::Point2D& b = path[(i + 1) % path.size()];
        sum += static_cast<__int128>(a.x()) * b.y() - static_cast<__int128>(b.x()) * a.y();
    }
    return sum;
}

// Brute force over every pair of edges: empty when every point lies in the unit square (one unit of
// truncation allowed) and, when asked, the outline is a simple polygon of non-zero area; else what is wrong.
QString problemOf(const geo::Path& path, bool mustBeSimple = true)
{
    const std::size_t n = path.size();
    if (mustBeSimple && (n < 3 || twiceArea(path) == 0)) {
        return QStringLiteral("degenerate");
    }
    for (std::size_t i = 0; i < n; ++i) {
        const geo::Point2D& a = path[i];
        const geo::Point2D& b = path[(i + 1) % n];
        const geo::Point2D& c = path[(i + 2) % n];
        if (std::llabs(a.x()) > 1000001 || std::llabs(a.y()) > 1000001) {
            return QStringLiteral("point %1 outside").arg(i);
        }
        const __int128 dot = static_cast<__int128>(a.x() - b.x()) * (c.x() - b.x())
            + static_cast<__int128>(a.y() - b.y()) * (c.y() - b.y());
        if (mustBeSimple && (a == b || (crossSign(b, a, c) == 0 && dot > 0))) {
            return QStringLiteral("point %1 repeats or folds back").arg(i);
        }
        for (std::size_t j = i + 2; mustBeSimple && j < n; ++j) {
            if (!(i == 0 && j == n - 1) && segmentsMeet(a, b, path[j], path[(j + 1) % n])) {
                return QStringLiteral("edge %1 meets edge %2").arg(i).arg(j);
            }
        }
    }
    return {};
}

// The points at the angles (degrees) and radii (units of 1), as the shapes compute them.
Points polarPoints(std::initializer_list<std::pair<double, double>> anglesAndRadii)
{
    Points points;
    for (const auto& [degrees, radius] : anglesAndRadii) {
        points.emplace_back(static_cast<qint64>(std::cos(degrees * M_PI / 180.0) * radius * 1e6),
                            static_cast<qint64>(std::sin(degrees * M_PI / 180.0) * radius * 1e6));
    }
    return points;
}

template <typename T>
ShapePointer shapeWith(const std::vector<geo::Normal1D>& values)
{
    auto shape = std::make_shared<T>();
    // No values give the defaults.
    shape->setModifierValues(values);
    return shape;
}

double offCircle(const geo::Point2D& point, const geo::Point2D& center, double radius)
{
    return std::abs(std::hypot(double(point.x() - center.x()), double(point.y() - center.y())) - radius);
}

// The cosine between the radius to the touch point and the segment to the other point: 0 for a tangent.
double tangentError(const geo::Point2D& center, const geo::Point2D& touch, const geo::Point2D& other)
{
    const double rx = double(touch.x() - center.x()), ry = double(touch.y() - center.y());
    const double sx = double(other.x() - touch.x()), sy = double(other.y() - touch.y());
    return std::abs(rx * sx + ry * sy) / (std::hypot(rx, ry) * std::hypot(sx, sy));
}

struct Entry {
    QString identifierAndName;
    std::vector<double> normals;
};

// Every built-in shape in catalogue order with its modifier normal values, worked out independently.
std::vector<Entry> expectedCatalogue()
{
    std::vector<Entry> rows{{"circle|Circle", {}}};
    for (int k = 0; k < 9; ++k) {
        rows.push_back({QStringLiteral("ring_%1|Ring %2").arg(k).arg(k + 1), {k * 0.125}});
    }
    const QStringList polygons{"Triangle", "Square", "Pentagon", "Hexagon", "Heptagon",
                               "Octagon", "Nonagon", "Decagon", "Hendecagon", "Dodecagon"};
    for (const double frame : {0.0, 0.2}) {
        for (int n = 3; n <= 12; ++n) {
            const QString& name = polygons[n - 3];
            const QString row = frame > 0 ? name.toLower() + "_frame|" + name + " Frame" : name.toLower() + "|" + name;
            rows.push_back({row, {(n - 3) / 9.0, frame}});
        }
    }
    const std::pair<const char*, double> groups[] = {
        {"%1_point_star_blunt|Blunt %1-Point Star", 0.75}, {"%1_point_star|%1-Point Star", 0.5},
        {"%1_point_star_sharp|Sharp %1-Point Star", 0.35}, {"%1_bar_cross_thin|Thin %1-Bar Shape", 0.2},
        {"%1_bar_cross|%1-Bar Shape", 0.3}, {"%1_bar_cross_thick|Thick %1-Bar Shape", 0.4}};
    for (const auto& [pattern, value] : groups) {
        const bool isStar = QByteArray(pattern).contains("star");
        for (int n = isStar ? 3 : 1; n <= (isStar ? 12 : 10); ++n) {
            rows.push_back({QString::fromLatin1(pattern).arg(n), isStar ? std::vector<double>{(n - 3) / 9.0, value, 0.5}
                                                                       : std::vector<double>{(n - 1) / 9.0, (value - 0.1) / 0.8}});
        }
    }
    for (int i = 0; i < 20; ++i) {
        rows.push_back({QStringLiteral("heart_%1_%2|Heart %3").arg(i / 5).arg(i % 5).arg(i + 1),
                        {i / 5 / 5.0 + 0.2, (i % 5) / (2.0 * (i / 5) + 5.0)}});
    }
    for (int k = 0; k < 10; ++k) {
        rows.push_back({QStringLiteral("drop_%1|Drop %2").arg(k).arg(k + 1), {k / 9.0, 1.0}});
    }
    for (int n = 0; n < 20; ++n) {
        // Tip Length 0.1 … 1, Tip Width 0 … 1, Line Length 0.5 … 1 (ending on the unit circle), Line Width 0.1 … 0.8.
        const double tipLength = 0.2 * (n / 5 + 1), width = 0.1 * (n % 5 + 1);
        rows.push_back({QStringLiteral("arrow-%1|Arrow %1").arg(n + 1),
                        {(tipLength - 0.1) / 0.9, width + 0.2, std::sqrt(1.0 - width * width), (width - 0.1) / 0.7}});
    }
    for (const double radius : {0.8, 0.3, 0.0}) {
        for (const double vein : {0.0, 0.2, 0.8}) {
            for (const double width : {1.0, 0.8, 0.6, 0.4}) {
                if (width < 1.0 || vein == 0.0) {
                    rows.push_back({QStringLiteral("leaf-%1|Leaf %1").arg(rows.size() - 139),
                                    {(width - 0.2) / 0.8, radius / 0.8, vein / 0.8, (20.0 * width + 3.0) / 58.0}});
                }
            }
        }
    }
    return rows;
}

} // namespace

class TestOutlines : public QObject
{
    Q_OBJECT

private slots:
    void catalogue()
    {
        const auto catalogue = shape::Builder::createAllBuiltIns();
        const std::vector<Entry> expected = expectedCatalogue();
        QCOMPARE(catalogue.size(), expected.size());
        const shape::Manager manager;
        QCOMPARE(manager.shapeCount(), std::size_t(170));
        for (std::size_t i = 0; i < catalogue.size(); ++i) {
            QCOMPARE(catalogue[i]->identifier() + "|" + catalogue[i]->name(), expected[i].identifierAndName);
            QVERIFY(i == 0 || int(catalogue[i - 1]->type()) <= int(catalogue[i]->type()));
            const auto values = catalogue[i]->modifierValues();
            QCOMPARE(values.size(), expected[i].normals.size());
            for (std::size_t m = 0; m < values.size(); ++m) {
                QVERIFY2(std::abs(values[m] - expected[i].normals[m]) < 1e-6, qPrintable(catalogue[i]->identifier()));
            }
            const auto held = manager.shape(static_cast<unsigned long>(i));
            QVERIFY(held->isBuiltIn() && catalogue[i]->isBuiltIn());
            // A project that names a built-in shape finds the same shape in every run of the program.
            QCOMPARE(held->visualFingerprint(), catalogue[i]->visualFingerprint());
        }
    }

    void everyBuiltIn_data()
    {
        QTest::addColumn<int>("position");
        const auto shapes = shape::Builder::createAllBuiltIns();
        for (std::size_t i = 0; i < shapes.size(); ++i) {
            QTest::addRow("%s", qPrintable(shapes[i]->identifier())) << int(i);
        }
    }
    void everyBuiltIn()
    {
        QFETCH(int, position);
        const auto shape = shape::Builder::createAllBuiltIns().at(std::size_t(position));
        QVERIFY(QSvgRenderer(shape->toSvg(geo::Size(32000000, 32000000), Qt::black)).isValid());
        const QByteArray text = QJsonDocument::fromVariant(shape->toData(position)).toJson();
        const auto copy = shape::Builder::createShape(shape->type());
        QCOMPARE(copy->setFromDataOrThrow(QJsonDocument::fromJson(text).toVariant()), position);
        QCOMPARE(copy->modifierValues(), shape->modifierValues());

        const auto* outlined = dynamic_cast<const shape::PolygonBase*>(shape.get());
        QCOMPARE(shape->hasComplexOutline(), outlined != nullptr);
        if (outlined == nullptr) {
            return;
        }
        for (const bool outlineOnly : {true, false}) {
            const auto paths = outlined->createPaths(outlineOnly);
            QVERIFY(outlineOnly ? paths.size() == 1 : paths.size() == 1 || paths.size() == 2);
            for (const geo::Path& path : paths) {
                // Closed paths close implicitly: the last point does not repeat the first.
                QVERIFY(path[0] != path[path.size() - 1]);
                const QString problem = problemOf(path);
                QVERIFY2(problem.isEmpty(), qPrintable(problem));
            }
        }
        const geo::Path frame = shape->createFramePath();
        QCOMPARE(frame, outlined->createPaths(true).front());
        // Hearts, drops and leaves are built from a half and its mirror image.
        if (shape->type() == shape::Type::Heart || shape->type() == shape::Type::Leaf) {
            for (const geo::Point2D& point : frame.points()) {
                QVERIFY(std::count(frame.points().cbegin(), frame.points().cend(), geo::Point2D(-point.x(), point.y())) > 0);
            }
        }
    }

    void exactOutlines_data()
    {
        QTest::addColumn<ShapePointer>("shape");
        QTest::addColumn<Points>("expected");
        QTest::newRow("default polygon") << shapeWith<shape::Polygon>({}) << polarPoints({{-90, 1}, {30, 1}, {150, 1}});
        QTest::newRow("default star") << shapeWith<shape::Star>({}) << polarPoints({{-90, 1}, {-67.5, 0.525}, {-45, 1},
            {-22.5, 0.525}, {0, 1}, {22.5, 0.525}, {45, 1}, {67.5, 0.525}, {90, 1}, {112.5, 0.525}, {135, 1},
            {157.5, 0.525}, {180, 1}, {202.5, 0.525}, {225, 1}, {247.5, 0.525}});
        // Five points (normal 2 / 9); a Valley Shift of normal 1 turns each valley by half a step.
        QTest::newRow("5-point star") << shapeWith<shape::Star>({2.0 / 9.0, 0.5, 0.5}) << polarPoints({{-90, 1},
            {-54, 0.525}, {-18, 1}, {18, 0.525}, {54, 1}, {90, 0.525}, {126, 1}, {162, 0.525}, {198, 1}, {234, 0.525}});
        QTest::newRow("shifted valleys") << shapeWith<shape::Star>({2.0 / 9.0, 0.5, 1.0}) << polarPoints({{-90, 1},
            {-36, 0.525}, {-18, 1}, {36, 0.525}, {54, 1}, {108, 0.525}, {126, 1}, {180, 0.525}, {198, 1}, {252, 0.525}});
        // Bars of width 0.3 (normal 0.25): the bar sides meet the rim at ±0.15.
        const double rim = std::asin(0.15) * 180.0 / M_PI;
        const double inner = 0.15 / std::sin(M_PI / 4.0);
        QTest::newRow("2-bar cross") << shapeWith<shape::Cross>({1.0 / 9.0, 0.25})
                                     << polarPoints({{rim, 1}, {180 - rim, 1}, {180 + rim, 1}, {360 - rim, 1}});
        QTest::newRow("1-bar cross ends square") << shapeWith<shape::Cross>({0.0, 0.25})
            << polarPoints({{rim, 1}, {135, 0.15 * M_SQRT2}, {225, 0.15 * M_SQRT2}, {-rim, 1}});
        QTest::newRow("4-bar cross") << shapeWith<shape::Cross>({3.0 / 9.0, 0.25})
            << polarPoints({{rim, 1}, {45, inner}, {90 - rim, 1}, {90 + rim, 1}, {135, inner}, {180 - rim, 1},
                            {180 + rim, 1}, {225, inner}, {270 - rim, 1}, {270 + rim, 1}, {315, inner}, {-rim, 1}});
        QTest::newRow("default arrow") << shapeWith<shape::Arrow>({}) << Points{{0, -1000000}, {500000, -80000},
            {380000, -80000}, {380000, 1000000}, {-380000, 1000000}, {-380000, -80000}, {-500000, -80000}};
        // Tip Width 0.3 below Line Width 0.6: the tip is as wide as the shaft, without shoulders.
        QTest::newRow("shaft wider than tip") << shapeWith<shape::Arrow>({0.4, 0.3, 1.0, 5.0 / 7.0})
            << Points{{0, -1000000}, {600000, -80000}, {600000, 1000000}, {-600000, 1000000}, {-600000, -80000}};
        QTest::newRow("tip reaches the shaft end") << shapeWith<shape::Arrow>({1.0, 0.5, 1.0, 0.4})
            << Points{{0, -1000000}, {500000, 1000000}, {380000, 1000000}, {-380000, 1000000}, {-500000, 1000000}};
        // Straight edges through (±w, 0) and a bottom tip; then a vein of 0.8 at 13 degrees, whose cut ends a
        // unit above y = −0.6 since 1 × (1 − 0.8) truncates to 0.199999.
        QTest::newRow("straight leaf") << shapeWith<shape::Leaf>({0.5, 0.0, 0.0, 0.0})
                                 << Points{{0, -1000000}, {600000, 0}, {0, 1000000}, {-600000, 0}};
        const geo::Point2D lower = geo::Point2D::normalFromAngle(geo::Angle(83500000));
        QTest::newRow("leaf with the deepest vein") << shapeWith<shape::Leaf>({0.25, 0.0, 1.0, 11.0 / 58.0})
            << Points{{0, -1000000}, {400000, 0}, lower, {0, -600001}, {-lower.x(), lower.y()}, {-400000, 0}};
    }
    void exactOutlines()
    {
        QFETCH(ShapePointer, shape);
        QFETCH(Points, expected);
        const auto paths = shape->createPaths(false);
        QCOMPARE(shape->createPaths(true), paths);
        QCOMPARE(paths.at(0).size(), expected.size());
        for (std::size_t i = 0; i < expected.size(); ++i) {
            QVERIFY2(std::llabs(paths[0][i].x() - expected[i].x()) <= 2 && std::llabs(paths[0][i].y() - expected[i].y()) <= 2,
                     qPrintable(QStringLiteral("point %1: %2, %3").arg(i).arg(paths[0][i].x()).arg(paths[0][i].y())));
        }
    }

    void polygonFrames_data()
    {
        QTest::addColumn<int>("corners");
        QTest::addColumn<double>("frameSize");
        QTest::addColumn<int>("pathCount");
        QTest::newRow("triangle, frame above its inradius") << 3 << 0.6 << 1;
        QTest::newRow("triangle, frame 0.49 leaves 0.01") << 3 << 0.49 << 2;
        QTest::newRow("triangle, frame 0.495 leaves less than 0.01") << 3 << 0.495 << 1;
        QTest::newRow("square frame") << 4 << 0.2 << 2;
        // cos 15° − 0.001 is about 0.9649, inside the drawn band.
        QTest::newRow("dodecagon, thin frame") << 12 << 0.001 << 2;
    }
    void polygonFrames()
    {
        QFETCH(int, corners);
        QFETCH(double, frameSize);
        QFETCH(int, pathCount);
        shape::Polygon polygon;
        polygon.setCornerCount(corners);
        polygon.setFrameSize(frameSize);
        const auto paths = polygon.createPaths(false);
        QCOMPARE(int(paths.size()), pathCount);
        QCOMPARE(polygon.createComplexOutline({}), paths[0]);
        QCOMPARE(int(paths[0].size()), corners);
        if (pathCount == 2) {
            // The inner corners lie at the outer inradius less the frame size, truncated: 507106 for the square.
            const qint64 radius = static_cast<qint64>((std::cos(M_PI / corners) - frameSize) * 1e6);
            QVERIFY(paths[1][0].x() == 0 && std::llabs(paths[1][0].y() + radius) <= 1);
        }
    }

    void heartsAndDrops()
    {
        // The default heart: R = 0.425, the bulge centre 0.575 along −45 degrees; the circle crosses the
        // axis, so the right half ends at the upper crossing, without a notch.
        geo::Path outline = shape::Heart().createPaths(false).at(0);
        const geo::Point2D center = polarPoints({{-45.0, 0.575}})[0];
        QCOMPARE(outline[0], geo::Point2D(0, 1000000));
        for (std::size_t i = 1; i < outline.size(); ++i) {
            QVERIFY(std::min(offCircle(outline[i], center, 425000), offCircle(outline[i], {-center.x(), center.y()}, 425000)) <= 3);
        }
        const geo::Point2D top = outline[outline.size() / 2];
        QVERIFY(std::llabs(top.x()) <= 2);
        QVERIFY(std::abs(top.y() - (center.y() - std::sqrt(425000.0 * 425000.0 - double(center.x()) * center.x()))) <= 4.0);
        QVERIFY(tangentError(center, outline[1], outline[0]) < 1e-4 && outline[1].x() > center.x());
        // Ratios beyond the range would put the tip inside the bulge circle.
        QCOMPARE(shape::Heart::createPath(1.7, geo::Angle(-45000000)), shape::Heart::createPath(1.0, geo::Angle(-45000000)));

        // "heart_0_0": R = 0.23, the centre (0.77, 0) right of the axis by more than R: a notch at (0, −0.05).
        outline = shapeWith<shape::Heart>({0.2, 0.0})->createPaths(false).at(0);
        const std::size_t notchAt = outline.size() / 2;
        QCOMPARE(outline[notchAt], geo::Point2D(0, -50000));
        QVERIFY(tangentError({770000, 0}, outline[1], outline[0]) < 1e-4);
        QVERIFY(tangentError({770000, 0}, outline[notchAt - 1], outline[notchAt]) < 1e-4);
        for (std::size_t i = 1; i < notchAt; ++i) {
            QVERIFY(offCircle(outline[i], {770000, 0}, 230000) <= 2.0);
        }
        QVERIFY(outline.boundingBox().size().width() <= 2000000 && outline.boundingBox().size().width() > 1999000);

        // Drops ("drop_9", "drop_0") are turned so that the tip points up; the round end lies on the circle below
        // the centre.
        for (const auto& [ratio, radius] : {std::pair<double, qint64>{1.0, 750000}, {0.0, 100000}}) {
            outline = shapeWith<shape::Heart>({ratio, 1.0})->createPaths(false).at(0);
            QCOMPARE(outline[0], geo::Point2D(0, -1000000));
            const geo::Rectangle box = outline.boundingBox();
            QVERIFY(box.size().width() <= 2 * radius && box.size().width() > 2 * radius * 99 / 100);
            for (std::size_t i = 1; i < outline.size(); ++i) {
                QVERIFY(offCircle(outline[i], {0, 1000000 - radius}, double(radius)) <= 2.0);
            }
        }
    }

    void ringsAndLeafArcs()
    {
        for (const auto& [ratio, holeRadius] : {std::pair<double, qint64>{0.0, 100000}, {0.5, 500000}, {1.0, 900000}}) {
            shape::Ring ring;
            ring.setRatio(ratio);
            const std::vector<geo::Path> paths = ring.createPaths(false);
            QCOMPARE(paths.size(), std::size_t(2));
            // 72 points from the angle sequence over 0 … 355 degrees, the hole running the other way round,
            // so that the even-odd fill leaves it empty.
            QCOMPARE(paths[0][71], geo::Circle(geo::Point2D(), geo::Length(1000000)).pointAtAngle(geo::Angle(355000000)));
            QCOMPARE(paths[1][71], geo::Point2D(holeRadius, 0));
            for (const geo::Point2D& point : paths[1].points()) {
                QVERIFY(offCircle(point, {0, 0}, double(holeRadius)) <= 3.0);
            }
            QVERIFY(twiceArea(paths[0]) > 0 && twiceArea(paths[1]) < 0);
            QCOMPARE(ring.createPaths(true), std::vector<geo::Path>{paths[0]});
        }
        // "leaf-5": width 0.8, radius 0.8 (edge circle centred on the origin), vein 0.2 at 21 degrees.
        const geo::Path leaf = shapeWith<shape::Leaf>({0.75, 1.0, 0.25, 19.0 / 58.0})->createPaths(false).at(0);
        const geo::Point2D lower = geo::Point2D::normalFromAngle(geo::Angle(79500000));
        QCOMPARE(leaf[leaf.size() / 2 - 1], lower);
        QCOMPARE(leaf[leaf.size() / 2], geo::Point2D(0, 600000));
        for (std::size_t i = 1; i + 2 < leaf.size() / 2; ++i) {
            QVERIFY(offCircle(leaf[i], {0, 0}, 800000) <= 2.0);
        }
    }

    void editorValuesGiveSimpleOutlines()
    {
        // The shape editor offers every normal value; a grid over them stands in for all.
        QStringList failures;
        const auto check = [&failures](const shape::PolygonBase& shape, bool mustBeSimple) {
            for (const geo::Path& path : shape.createPaths(false)) {
                const QString problem = problemOf(path, mustBeSimple);
                QStringList values;
                for (const geo::Normal1D value : shape.modifierValues()) {
                    values << QString::number(value);
                }
                if (!problem.isEmpty()) {
                    failures << shape::typeToIdentifier(shape.type()) + " " + values.join(',') + ": " + problem;
                }
            }
        };
        const double steps[] = {0.0, 0.1, 0.3, 0.5, 0.75, 0.9, 1.0};
        for (const double a : steps) {
            for (const double b : steps) {
                check(*shapeWith<shape::Heart>({a, b}), true);
                // Wide bars are narrowed by the bar count: ten bars of 0.9 would overlap at the rim.
                check(*shapeWith<shape::Cross>({a, b}), true);
                for (const double c : steps) {
                    check(*shapeWith<shape::Star>({a, b, c}), true);
                    for (const double d : steps) {
                        check(*shapeWith<shape::Arrow>({a, b, c, d}), true);
                        // A vein whose angle is wide for a narrow leaf cuts through the sides (the shape the
                        // editor shows); such leaves only have to stay inside the square.
                        check(*shapeWith<shape::Leaf>({a, b, c, d}), c == 0.0 || a >= 0.5);
                    }
                }
            }
            check(*shapeWith<shape::Ring>({a}), true);
        }
        QVERIFY2(failures.isEmpty(), qPrintable(failures.mid(0, 5).join("; ")));
    }
};

MOTIFEX_TEST_MAIN(TestOutlines)
#include "tst_outlines.moc"
