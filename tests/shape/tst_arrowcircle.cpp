#include "common/TestMain.h"

#include "shape/OutlineChecks.h"

#include "shape/Arrow.h"
#include "shape/Circle.h"

#include "canvas/CanvasItem.h"
#include "svg/Node.h"

#include <cmath>

namespace {

void verifyPointsNear(const geo::Path& path, const std::vector<geo::Point2D>& expected)
{
    QCOMPARE(path.size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i) {
        QVERIFY2(outline::isNear(path[i], expected[i]),
                 qPrintable(QStringLiteral("point %1 is %2, expected %3")
                                .arg(i)
                                .arg(outline::toText(path[i]), outline::toText(expected[i]))));
    }
}

// The modifier values as plain doubles (Tip Length, Tip Width, Line Length, Line Width).
std::vector<double> arrowValues(const shape::Base& arrow)
{
    const auto& typed = static_cast<const shape::Arrow&>(arrow);
    std::vector<double> result;
    const std::vector<double> begins{0.1, 0.0, 0.5, 0.1};
    const std::vector<double> ends{1.0, 1.0, 1.0, 0.8};
    const auto normals = typed.modifierValues();
    for (std::size_t i = 0; i < normals.size(); ++i) {
        result.push_back(begins[i] * (1.0 - normals[i]) + ends[i] * normals[i]);
    }
    return result;
}

} // namespace

class TestArrowCircle : public QObject
{
    Q_OBJECT

private slots:
    void defaultArrowHasSevenPoints()
    {
        const shape::Arrow arrow;
        QCOMPARE(arrow.type(), shape::Type::Arrow);
        const auto paths = arrow.createPaths(false);
        QCOMPARE(paths.size(), std::size_t(1));
        verifyPointsNear(paths[0], {{0, -1000000},
                                    {500000, -80000},
                                    {380000, -80000},
                                    {380000, 1000000},
                                    {-380000, 1000000},
                                    {-380000, -80000},
                                    {-500000, -80000}});
        QCOMPARE(arrow.createPaths(true), paths);
    }

    void shaftWiderThanTipLeavesOutTheShoulders()
    {
        shape::Arrow arrow;
        arrow.setTipWidth(0.3);
        arrow.setLineWidth(0.6);
        verifyPointsNear(arrow.createPaths(false).at(0),
                         {{0, -1000000}, {600000, -80000}, {600000, 1000000}, {-600000, 1000000}, {-600000, -80000}});
    }

    void fullLengthTipHasNoShaft()
    {
        shape::Arrow arrow;
        arrow.setTipLength(1.0);
        arrow.setLineLength(1.0);
        verifyPointsNear(arrow.createPaths(false).at(0),
                         {{0, -1000000}, {500000, 1000000}, {380000, 1000000}, {-380000, 1000000}, {-500000, 1000000}});
    }

    void arrowCatalogue()
    {
        const auto shapes = shape::Arrow::createBuiltIns();
        QCOMPARE(shapes.size(), std::size_t(20));
        for (std::size_t i = 0; i < shapes.size(); ++i) {
            QCOMPARE(shapes[i]->identifier(), QStringLiteral("arrow-%1").arg(i + 1));
            QCOMPARE(shapes[i]->name(), QStringLiteral("Arrow %1").arg(i + 1));
            QVERIFY(shapes[i]->isBuiltIn());
            const double tipLength = 0.2 * double(i / 5 + 1);
            const double width = 0.1 * double(i % 5 + 1);
            const std::vector<double> values = arrowValues(*shapes[i]);
            QVERIFY(std::abs(values[0] - tipLength) < 1e-9);
            QVERIFY(std::abs(values[1] - (width + 0.2)) < 1e-9);
            QVERIFY(std::abs(values[2] - (0.5 + 0.5 * std::sqrt(1.0 - width * width))) < 1e-6);
            QVERIFY(std::abs(values[3] - width) < 1e-9);
        }
        QVERIFY(std::abs(arrowValues(*shapes.back())[2] - 0.9330127) < 1e-6);
    }

    void circleUse()
    {
        const shape::Circle circle;
        QCOMPARE(circle.type(), shape::Type::Circle);
        QVERIFY(!circle.hasComplexOutline());
        QVERIFY(circle.createFramePath().isEmpty());
        QVERIFY(!circle.createDefinition(QStringLiteral("x")));
        QVERIFY(circle.modifierValues().empty());
        const auto item = canvas::CanvasItem::create(QStringLiteral("item"), 0, QStringLiteral("circle"),
                                                     geo::Point2D(10000000, 20000000), geo::Length(5000000));
        item->setOverlap(geo::Length(1000000));
        item->setAngle(geo::Angle(30000000));
        item->setFill(QStringLiteral("#102030"));
        item->setFillOpacity(0.5);
        const auto node = circle.createUse(QStringLiteral("id"), item, geo::Point2D(2000000, 0));
        QCOMPARE(node->element(), svg::Element::Circle);
        QCOMPARE(node->attribute(svg::Attribute::Cx), QStringLiteral("12.000000"));
        QCOMPARE(node->attribute(svg::Attribute::Cy), QStringLiteral("20.000000"));
        QCOMPARE(node->attribute(svg::Attribute::R), QStringLiteral("6.000000"));
        QCOMPARE(node->attribute(svg::Attribute::Fill), QStringLiteral("#102030"));
        QCOMPARE(node->attribute(svg::Attribute::FillOpacity), QStringLiteral("0.500000"));
        QVERIFY(node->attribute(svg::Attribute::Transform).isEmpty());
        QVERIFY(node->attribute(svg::Attribute::XLinkHref).isEmpty());
    }

    void circleCatalogue()
    {
        const auto shapes = shape::Circle::createBuiltIns();
        QCOMPARE(shapes.size(), std::size_t(1));
        QCOMPARE(shapes[0]->identifier(), QStringLiteral("circle"));
        QCOMPARE(shapes[0]->name(), QStringLiteral("Circle"));
        QVERIFY(shapes[0]->isBuiltIn());
    }
};

MOTIFEX_TEST_MAIN(TestArrowCircle)
#include "tst_arrowcircle.moc"
