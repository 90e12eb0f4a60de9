#include "common/TestMain.h"

#include "shape/Arrow.h"
#include "shape/Builder.h"
#include "shape/Circle.h"
#include "shape/Cross.h"
#include "shape/Polygon.h"
#include "shape/Star.h"

#include "canvas/CanvasItem.h"
#include "err/Deserialize.h"
#include "svg/Node.h"

#include <QSvgRenderer>
#include <QtConcurrent>

#include <limits>

namespace {

QVariantMap starData(const QVariantMap& changes = {}, const QStringList& removed = {})
{
    QVariantMap map{{"version", 1}, {"type", "SimpleStar"}, {"identifier", "my-star_1"}, {"name", "My Star"},
                    {"index", 7}, {"modifier", QVariantMap{{"0", 0.5}, {"1", 0.25}, {"2", 0.5}}}};
    map.insert(changes);
    for (const QString& key : removed) {
        map.remove(key);
    }
    return map;
}

std::vector<double> toDoubles(const std::vector<geo::Normal1D>& values)
{
    return std::vector<double>(values.begin(), values.end());
}

} // namespace

class TestShapeData : public QObject
{
    Q_OBJECT

private slots:
    // First, so that the validators' patterns are first used here, by several pool threads at once.
    void validatorsOnPoolThreads()
    {
        QStringList texts;
        for (int i = 0; i < 256; ++i) {
            texts << (i % 2 == 0 ? QStringLiteral("name-%1").arg(i) : QStringLiteral("name-%1\n").arg(i));
        }
        const QList<bool> valid = QtConcurrent::blockingMapped<QList<bool>>(texts, [](const QString& text) {
            return shape::Base::isValidIdentifier(text) && shape::Base::isValidName(text);
        });
        for (int i = 0; i < texts.size(); ++i) {
            QCOMPARE(valid[i], i % 2 == 0);
        }
    }

    void typesAndRegistry()
    {
        const QStringList identifiers{"Circle", "Ring", "SimplePolygon", "SimpleStar", "SimpleCross", "Heart", "Arrow", "Leaf"};
        const QStringList labels{"Circle", "Ring", "Polygon", "Star", "Cross", "Heart or Drop", "Arrow", "Leaf"};
        const QStringList modifiers{"", "Ring Ratio:0", "Corner Count:0|Frame Size:0",
                                    "Point Count:0.5|Valley Ratio:0.5|Valley Shift:0.5", "Bars:0.5|Width:0.5",
                                    "Bulge Ratio:0.5|Bulge Angle:0.5", "Tip Length:0.4|Tip Width:0.5|Line Length:1|Line Width:0.4",
                                    "Width:0.6|Radius:0.5|Vein Length:0|Vein Angle:0.2"};
        const std::vector<shape::Type> types = shape::Builder::editableTypes();
        QCOMPARE(types.size(), std::size_t(8));
        for (int i = 0; i < 8; ++i) {
            QCOMPARE(int(types[std::size_t(i)]), i + 1);
            QCOMPARE(shape::typeToIdentifier(types[std::size_t(i)]), identifiers[i]);
            QCOMPARE(shape::typeToUiLabel(types[std::size_t(i)]), labels[i]);
            QCOMPARE(int(shape::typeFromIdentifier(identifiers[i])), i + 1);
            const auto shape = shape::Builder::createShape(types[std::size_t(i)]);
            QVERIFY(shape->type() == types[std::size_t(i)] && shape->identifier().isEmpty() && shape->name().isEmpty());
            QStringList described;
            for (const auto& description : shape->modifierDescriptions()) {
                described << description.name() + ":" + QString::number(description.defaultValue().value());
            }
            QCOMPARE(described.join('|'), modifiers[i]);
        }
        QCOMPARE(shape::typeFromIdentifier("simplestar"), shape::Type::Unknown);
        QCOMPARE(shape::typeFromIdentifier("SimpleStar "), shape::Type::Unknown);
        QVERIFY(shape::typeToIdentifier(shape::Type(9)).isEmpty() && shape::typeToUiLabel(shape::Type::Unknown).isEmpty());
        QVERIFY(!shape::Builder::createShape(shape::Type::Unknown) && !shape::Builder::createShape(shape::Type(42)));
    }

    void reading_data()
    {
        QTest::addColumn<QVariantMap>("data");
        QTest::addColumn<QString>("result");
        QTest::newRow("index 0, empty name") << starData({{"index", 0}, {"name", ""}}) << "index 0";
        QTest::newRow("index 100000 as text") << starData({{"index", "100000"}}) << "index 100000";
        QTest::newRow("name of 100, identifier of 64")
            << starData({{"name", QString(100, 'n')}, {"identifier", QString(64, 'x')}}) << "index 7";
        QTest::newRow("letters, punctuation, symbols") << starData({{"name", "Grüße, Stern №5 (+€)!"}}) << "index 7";
        QTest::newRow("extra modifier key")
            << starData({{"modifier", QVariantMap{{"0", 0.5}, {"1", 0.25}, {"2", 0.5}, {"x", 3}}}}) << "index 7";
        QTest::newRow("unknown key before the version") << starData({{"color", "red"}}, {"version"})
                                                       << "Unknown value in data.; keypath=<unknown>";
        QTest::newRow("list as identifier") << starData({{"identifier", QVariantList{1, 2}}})
                                            << "The value has the wrong format.; keypath=identifier";
        QTest::newRow("missing version") << starData({}, {"version"}) << "Unknown version `0` in data.; keypath=version";
        QTest::newRow("version 2 before the type") << starData({{"version", 2}, {"type", "Arrow"}})
                                                   << "Unknown version `2` in data.; keypath=version";
        QTest::newRow("type in lower case") << starData({{"type", "simplestar"}})
                                            << "The shape type of the data does not match.; keypath=type";
        QTest::newRow("identifier of 65") << starData({{"identifier", QString(65, 'x')}})
                                          << "The identifier in data has an unknown format.; keypath=identifier";
        QTest::newRow("identifier with line break") << starData({{"identifier", "abc\n"}})
                                                    << "The identifier in data has an unknown format.; keypath=identifier";
        QTest::newRow("missing identifier before the name") << starData({{"name", QString(200, 'n')}}, {"identifier"})
                                                            << "The identifier in data has an unknown format.; keypath=identifier";
        QTest::newRow("name of 129") << starData({{"name", QString(129, 'n')}}) << "The name is too long.; keypath=name";
        QTest::newRow("name of 101") << starData({{"name", QString(101, 'n')}})
                                     << "The name contains characters that are not allowed.; keypath=name";
        QTest::newRow("name with line break") << starData({{"name", "Star\n"}})
                                              << "The name contains characters that are not allowed.; keypath=name";
        QTest::newRow("index -1") << starData({{"index", -1}}) << "The index is out of the valid range.; keypath=index";
        QTest::newRow("index 100001 before the modifiers") << starData({{"index", 100001}}, {"modifier"})
                                                           << "The index is out of the valid range.; keypath=index";
        QTest::newRow("modifier 2 missing") << starData({{"modifier", QVariantMap{{"0", 0.5}, {"1", 0.25}}}})
                                            << "Missing modifier value `2`.; keypath=modifier";
        QTest::newRow("no modifiers") << starData({}, {"modifier"}) << "Missing modifier value `0`.; keypath=modifier";
    }
    void reading()
    {
        QFETCH(QVariantMap, data);
        QFETCH(QString, result);
        shape::Star star;
        try {
            QCOMPARE(QStringLiteral("index %1").arg(star.setFromDataOrThrow(data)), result);
            QCOMPARE(star.identifier() + "|" + star.name(), data.value("identifier").toString() + "|" + data.value("name").toString());
            QCOMPARE(toDoubles(star.modifierValues()), (std::vector<double>{0.5, 0.25, 0.5}));
        } catch (const err::Deserialize& error) {
            QCOMPARE(error.reason(), result);
        }
    }

    void storedModifierValuesAreClamped()
    {
        // A value from a damaged file would otherwise build a polygon of 900000 corners, or NaN outlines.
        const std::pair<QVariant, double> cases[] = {
            {1.7, 1.0}, {1e300, 1.0}, {-2.5, 0.0}, {std::numeric_limits<double>::quiet_NaN(), 0.0}, {"abc", 0.0}, {"0.75", 0.75}};
        for (const auto& [stored, read] : cases) {
            shape::Polygon polygon;
            polygon.setFromDataOrThrow(QVariantMap{{"version", 1}, {"type", "SimplePolygon"}, {"identifier", "damaged"},
                                                   {"modifier", QVariantMap{{"0", stored}, {"1", stored}}}});
            QCOMPARE(toDoubles(polygon.modifierValues()), (std::vector<double>{read, read}));
            QVERIFY(polygon.createPaths(false).at(0).size() <= 12);
        }
    }

    void dataFormat()
    {
        shape::Arrow arrow;
        arrow.setIdentifier(QStringLiteral("a-b"));
        arrow.setName(QStringLiteral("Pointer"));
        arrow.setModifierValues({1.0, 0.0, 1.0, 0.16});
        QCOMPARE(arrow.toData(175).toMap(),
                 (QVariantMap{{"version", 1}, {"type", "Arrow"}, {"identifier", "a-b"}, {"name", "Pointer"}, {"index", 175},
                              {"modifier", QVariantMap{{"0", 1.0}, {"1", 0.0}, {"2", 1.0}, {"3", 0.16}}}}));
        QCOMPARE(shape::Circle().setFromDataOrThrow(QVariantMap{{"version", 1}, {"type", "Circle"}, {"identifier", "round"}}), 0);
    }

    void useElements()
    {
        const auto item = canvas::CanvasItem::create("item", 0, "triangle", geo::Point2D(10000000, 20000000), geo::Length(5000000));
        item->setOverlap(geo::Length(500000));
        item->setAngle(geo::Angle(45000000));
        item->setFill(QStringLiteral("#ff0000"));
        item->setFillOpacity(0.25);
        auto use = shape::Polygon().createUse(QStringLiteral("shape3"), item, geo::Point2D());
        QCOMPARE(use->element(), svg::Element::Use);
        QCOMPARE(use->attribute(svg::Attribute::XLinkHref), QStringLiteral("#shape3"));
        QCOMPARE(use->attribute(svg::Attribute::Transform),
                 QStringLiteral("translate(10.000000 20.000000) scale(5.500000) rotate(45.000000)"));
        QCOMPARE(use->attribute(svg::Attribute::Fill) + use->attribute(svg::Attribute::FillOpacity), "#ff00000.250000");
        use = shape::Polygon().createUse(QStringLiteral("s"), item, geo::Point2D(-12500000, 1000));
        QCOMPARE(use->attribute(svg::Attribute::Transform),
                 QStringLiteral("translate(-2.500000 20.001000) scale(5.500000) rotate(45.000000)"));
        // The circle is drawn as a circle element, moved by the offset and not rotated.
        item->setOverlap(geo::Length(1000000));
        const auto circle = shape::Circle().createUse(QStringLiteral("id"), item, geo::Point2D(2000000, 0));
        QCOMPARE(circle->element(), svg::Element::Circle);
        QCOMPARE(circle->attribute(svg::Attribute::Cx) + " " + circle->attribute(svg::Attribute::Cy) + " "
                     + circle->attribute(svg::Attribute::R), "12.000000 20.000000 6.000000");
        QCOMPARE(circle->attribute(svg::Attribute::Fill) + circle->attribute(svg::Attribute::FillOpacity), "#ff00000.250000");
        QVERIFY(circle->attribute(svg::Attribute::Transform).isEmpty() && !shape::Circle().createDefinition("x"));
    }

    void definitionSvgAndPreview()
    {
        shape::Polygon polygon;
        polygon.setCornerCount(4);
        polygon.setFrameSize(0.2);
        const auto definition = polygon.createDefinition(QStringLiteral("shape"));
        QVERIFY(definition->element() == svg::Element::G && definition->attribute(svg::Attribute::Id) == "shape");
        QCOMPARE(definition->children().size(), std::size_t(1));
        const auto& path = definition->children().front();
        QCOMPARE(path->attribute(svg::Attribute::FillRule), QStringLiteral("evenodd"));
        QCOMPARE(path->attribute(svg::Attribute::D).count(QLatin1Char('M')), 2);
        const QByteArray svg = polygon.toSvg(geo::Size(64000000, 64000000), QColor(0x12, 0x34, 0x56));
        QVERIFY(svg.contains("fill=\"#123456\"") && svg.contains("width=\"64.000000px\""));
        const QByteArray preview = polygon.toPreview();
        QVERIFY(QSvgRenderer(preview).isValid());
        QVERIFY(preview.contains("vector-effect=\"non-scaling-stroke\"") && preview.contains("width=\"544.000000px\""));
    }

    void identityCopyAndFingerprint()
    {
        shape::Cross cross;
        cross.setModifierValues({0.0, 0.0});
        cross.resetToDefaults();
        QCOMPARE(cross.name(), QStringLiteral("Cross"));
        QVERIFY(QRegularExpression("\\A[0-9a-f]{8}(-[0-9a-f]{4}){3}-[0-9a-f]{12}\\z").match(cross.identifier()).hasMatch());
        QCOMPARE(toDoubles(cross.modifierValues()), (std::vector<double>{0.5, 0.5}));

        // Equal within 1e-6, whatever the identifiers; the name counts.
        const auto original = shape::Star::createBuiltIns().at(4);
        const auto copy = original->copy();
        QVERIFY(copy->identifier() != original->identifier() && !copy->isBuiltIn() && copy->isVisuallyEqual(original));
        const auto values = original->modifierValues();
        copy->setModifierValues({values.at(0), values.at(1), values.at(2) - 5e-7});
        QVERIFY(copy->isVisuallyEqual(original));
        copy->setModifierValues({values.at(0), values.at(1), values.at(2) - 2e-6});
        QVERIFY(!copy->isVisuallyEqual(original));
        copy->setModifierValues(values);
        copy->setName(copy->name() + QStringLiteral("!"));
        QVERIFY(!copy->isVisuallyEqual(original) && !original->isVisuallyEqual(std::make_shared<shape::Polygon>()));

        const QString first = cross.visualFingerprint();
        QVERIFY(QRegularExpression("\\A[0-9a-f]{64}\\z").match(first).hasMatch());
        cross.setModifierValues({0.5, 0.6});
        const QString changedValue = cross.visualFingerprint();
        cross.makeBuiltIn();
        QVERIFY(changedValue != first && cross.visualFingerprint() != changedValue);
    }
};

MOTIFEX_TEST_MAIN(TestShapeData)
#include "tst_shapedata.moc"
