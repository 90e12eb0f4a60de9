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

#include <QJsonDocument>
#include <QJsonObject>
#include <QSvgRenderer>

#include <cmath>
#include <limits>

namespace {

const QString starIdentifier = QStringLiteral("SimpleStar");

QVariantMap validStarData()
{
    return QVariantMap{
        {QStringLiteral("version"), 1},
        {QStringLiteral("type"), starIdentifier},
        {QStringLiteral("identifier"), QStringLiteral("my-star_1")},
        {QStringLiteral("name"), QStringLiteral("My Star")},
        {QStringLiteral("index"), 7},
        {QStringLiteral("modifier"),
         QVariantMap{{QStringLiteral("0"), 0.5}, {QStringLiteral("1"), 0.25}, {QStringLiteral("2"), 0.5}}},
    };
}

QVariantMap withValue(QVariantMap map, const QString& key, const QVariant& value)
{
    map.insert(key, value);
    return map;
}

QVariantMap without(QVariantMap map, const QString& key)
{
    map.remove(key);
    return map;
}

std::vector<double> toDoubles(const std::vector<geo::Normal1D>& values)
{
    return std::vector<double>(values.begin(), values.end());
}

QVariant throughJsonText(const QVariant& data)
{
    const QByteArray text = QJsonDocument(QJsonObject::fromVariantMap(data.toMap())).toJson();
    return QJsonDocument::fromJson(text).object().toVariantMap();
}

} // namespace

class TestShapeData : public QObject
{
    Q_OBJECT

private slots:
    void typeTable_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<QString>("identifier");
        QTest::addColumn<QString>("label");
        QTest::newRow("1") << 1 << "Circle" << "Circle";
        QTest::newRow("2") << 2 << "Ring" << "Ring";
        QTest::newRow("3") << 3 << "SimplePolygon" << "Polygon";
        QTest::newRow("4") << 4 << "SimpleStar" << "Star";
        QTest::newRow("5") << 5 << "SimpleCross" << "Cross";
        QTest::newRow("6") << 6 << "Heart" << "Heart or Drop";
        QTest::newRow("7") << 7 << "Arrow" << "Arrow";
        QTest::newRow("8") << 8 << "Leaf" << "Leaf";
    }
    void typeTable()
    {
        QFETCH(int, type);
        QFETCH(QString, identifier);
        QFETCH(QString, label);
        QCOMPARE(shape::typeToIdentifier(shape::Type(type)), identifier);
        QCOMPARE(shape::typeToUiLabel(shape::Type(type)), label);
        QCOMPARE(int(shape::typeFromIdentifier(identifier)), type);
    }

    void typeLookupIsExact()
    {
        QCOMPARE(shape::typeFromIdentifier(QStringLiteral("simplestar")), shape::Type::Unknown);
        QCOMPARE(shape::typeFromIdentifier(QStringLiteral("SimpleStar ")), shape::Type::Unknown);
        QCOMPARE(shape::typeFromIdentifier(QString()), shape::Type::Unknown);
        QVERIFY(shape::typeToIdentifier(shape::Type(9)).isEmpty());
        QVERIFY(shape::typeToUiLabel(shape::Type::Unknown).isEmpty());
    }

    void readingFailures_data()
    {
        QTest::addColumn<QVariantMap>("data");
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("keyPath");
        const QVariantMap valid = validStarData();
        QTest::newRow("unknown key before the version") << withValue(without(valid, "version"), "color", "red")
                                                       << "Unknown value in data." << "<unknown>";
        QTest::newRow("list as identifier") << withValue(valid, "identifier", QVariantList{1, 2})
                                            << "The value has the wrong format." << "identifier";
        QTest::newRow("text as modifier") << withValue(valid, "modifier", "0.5")
                                          << "The value has the wrong format." << "modifier";
        QTest::newRow("map as index") << withValue(valid, "index", QVariantMap{})
                                      << "The value has the wrong format." << "index";
        QTest::newRow("missing version") << without(valid, "version") << "Unknown version `0` in data." << "version";
        QTest::newRow("version 2 before the type") << withValue(withValue(valid, "version", 2), "type", "Arrow")
                                                   << "Unknown version `2` in data." << "version";
        QTest::newRow("other type") << withValue(valid, "type", "SimpleCross")
                                    << "The shape type of the data does not match." << "type";
        QTest::newRow("type in lower case") << withValue(valid, "type", "simplestar")
                                            << "The shape type of the data does not match." << "type";
        QTest::newRow("identifier too short") << withValue(valid, "identifier", "a")
                                              << "The identifier in data has an unknown format." << "identifier";
        QTest::newRow("identifier of 65") << withValue(valid, "identifier", QString(65, QLatin1Char('x')))
                                          << "The identifier in data has an unknown format." << "identifier";
        QTest::newRow("identifier with line break")
            << withValue(valid, "identifier", "abc\n") << "The identifier in data has an unknown format." << "identifier";
        QTest::newRow("missing identifier before the name")
            << withValue(without(valid, "identifier"), "name", QString(200, QLatin1Char('n')))
            << "The identifier in data has an unknown format." << "identifier";
        QTest::newRow("name of 129") << withValue(valid, "name", QString(129, QLatin1Char('n')))
                                     << "The name is too long." << "name";
        QTest::newRow("name of 101") << withValue(valid, "name", QString(101, QLatin1Char('n')))
                                     << "The name contains characters that are not allowed." << "name";
        QTest::newRow("name with line break") << withValue(valid, "name", "Star\n")
                                              << "The name contains characters that are not allowed." << "name";
        QTest::newRow("index -1") << withValue(valid, "index", -1) << "The index is out of the valid range." << "index";
        QTest::newRow("index 100001 before the modifiers")
            << withValue(without(valid, "modifier"), "index", 100001) << "The index is out of the valid range." << "index";
        QTest::newRow("modifier 2 missing")
            << withValue(valid, "modifier", QVariantMap{{"0", 0.5}, {"1", 0.25}})
            << "Missing modifier value `2`." << "modifier";
        QTest::newRow("no modifiers") << without(valid, "modifier") << "Missing modifier value `0`." << "modifier";
    }
    void readingFailures()
    {
        QFETCH(QVariantMap, data);
        QFETCH(QString, message);
        QFETCH(QString, keyPath);
        shape::Star star;
        try {
            star.setFromDataOrThrow(data);
            QFAIL("no error");
        } catch (const err::Deserialize& error) {
            QCOMPARE(error.message(), message);
            QCOMPARE(error.keyPath().join(QStringLiteral("->")), keyPath);
            QCOMPARE(error.reason(), message + QStringLiteral("; keypath=") + keyPath);
        }
    }

    void readingAccepts_data()
    {
        QTest::addColumn<QVariantMap>("data");
        QTest::addColumn<int>("index");
        const QVariantMap valid = validStarData();
        QTest::newRow("valid") << valid << 7;
        QTest::newRow("index 0") << withValue(valid, "index", 0) << 0;
        QTest::newRow("index 100000") << withValue(valid, "index", 100000) << 100000;
        QTest::newRow("no index") << without(valid, "index") << 0;
        QTest::newRow("empty name") << withValue(valid, "name", "") << 7;
        QTest::newRow("name of 100, identifier of 64")
            << withValue(withValue(valid, "name", QString(100, QLatin1Char('n'))), "identifier", QString(64, QLatin1Char('x')))
            << 7;
        QTest::newRow("letters, punctuation, symbols") << withValue(valid, "name", "Grüße, Stern №5 (+€)!") << 7;
        QTest::newRow("index as text") << withValue(valid, "index", "12") << 12;
        QTest::newRow("extra modifier key")
            << withValue(valid, "modifier", QVariantMap{{"0", 0.5}, {"1", 0.25}, {"2", 0.5}, {"x", 3}}) << 7;
    }
    void readingAccepts()
    {
        QFETCH(QVariantMap, data);
        QFETCH(int, index);
        shape::Star star;
        QCOMPARE(star.setFromDataOrThrow(data), index);
        QCOMPARE(star.identifier(), data.value("identifier").toString());
        QCOMPARE(star.name(), data.value("name").toString());
        QCOMPARE(toDoubles(star.modifierValues()), (std::vector<double>{0.5, 0.25, 0.5}));
    }

    void storedModifierValuesAreClamped_data()
    {
        QTest::addColumn<QVariant>("stored");
        QTest::addColumn<double>("read");
        QTest::newRow("1.7") << QVariant(1.7) << 1.0;
        QTest::newRow("1e5") << QVariant(1e5) << 1.0;
        QTest::newRow("1e300") << QVariant(1e300) << 1.0;
        QTest::newRow("negative") << QVariant(-2.5) << 0.0;
        QTest::newRow("NaN") << QVariant(std::numeric_limits<double>::quiet_NaN()) << 0.0;
        QTest::newRow("text") << QVariant(QStringLiteral("abc")) << 0.0;
        QTest::newRow("numeric text") << QVariant(QStringLiteral("0.75")) << 0.75;
    }
    void storedModifierValuesAreClamped()
    {
        QFETCH(QVariant, stored);
        QFETCH(double, read);
        shape::Polygon polygon;
        polygon.setFromDataOrThrow(QVariantMap{
            {"version", 1},
            {"type", "SimplePolygon"},
            {"identifier", "damaged"},
            {"modifier", QVariantMap{{"0", stored}, {"1", stored}}},
        });
        QCOMPARE(toDoubles(polygon.modifierValues()), (std::vector<double>{read, read}));
        // At most twelve corners whatever the file says.
        QVERIFY(polygon.createPaths(false).at(0).size() <= 12);
    }

    void circleAcceptsAnyModifierMap()
    {
        shape::Circle circle;
        QCOMPARE(circle.setFromDataOrThrow(QVariantMap{{"version", 1},
                                                      {"type", "Circle"},
                                                      {"identifier", "round"},
                                                      {"name", "Round"},
                                                      {"index", 3}}),
                 3);
        QCOMPARE(circle.name(), QStringLiteral("Round"));
    }

    void toDataFormat()
    {
        shape::Arrow arrow;
        arrow.setIdentifier(QStringLiteral("a-b"));
        arrow.setName(QStringLiteral("Pointer"));
        arrow.setModifierValues({1.0, 0.0, 1.0, 0.16});
        const QVariantMap data = arrow.toData(175).toMap();
        QCOMPARE(data.keys(), (QStringList{"identifier", "index", "modifier", "name", "type", "version"}));
        QCOMPARE(data.value("version"), QVariant(1));
        QCOMPARE(data.value("type"), QVariant(QStringLiteral("Arrow")));
        QCOMPARE(data.value("identifier"), QVariant(QStringLiteral("a-b")));
        QCOMPARE(data.value("name"), QVariant(QStringLiteral("Pointer")));
        QCOMPARE(data.value("index"), QVariant(175));
        const QVariantMap modifiers = data.value("modifier").toMap();
        QCOMPARE(modifiers.keys(), (QStringList{"0", "1", "2", "3"}));
        QCOMPARE(modifiers.value("3"), QVariant(0.16));
    }

    void roundTripThroughJsonText_data()
    {
        QTest::addColumn<int>("type");
        for (const shape::Type type : shape::Builder::editableTypes()) {
            QTest::addRow("%s", qPrintable(shape::typeToIdentifier(type))) << int(type);
        }
    }
    void roundTripThroughJsonText()
    {
        QFETCH(int, type);
        const auto original = shape::Builder::createShape(shape::Type(type));
        QVERIFY(original);
        original->resetToDefaults();
        original->setName(QStringLiteral("Saved ÄÖÜ shape"));
        std::vector<geo::Normal1D> values;
        for (std::size_t i = 0; i < original->modifierValues().size(); ++i) {
            values.push_back(0.1 + 0.123456789 * double(i));
        }
        original->setModifierValues(values);
        const auto copy = shape::Builder::createShape(shape::Type(type));
        QCOMPARE(copy->setFromDataOrThrow(throughJsonText(original->toData(4321))), 4321);
        QCOMPARE(copy->identifier(), original->identifier());
        QCOMPARE(copy->name(), original->name());
        QCOMPARE(toDoubles(copy->modifierValues()), toDoubles(original->modifierValues()));
        QVERIFY(!copy->isBuiltIn());
    }

    void useElementTransform()
    {
        const shape::Polygon polygon;
        const auto item = canvas::CanvasItem::create(QStringLiteral("item"), 0, QStringLiteral("triangle"),
                                                     geo::Point2D(10000000, 20000000), geo::Length(5000000));
        item->setOverlap(geo::Length(500000));
        item->setAngle(geo::Angle(45000000));
        item->setFill(QStringLiteral("#ff0000"));
        item->setFillOpacity(0.25);
        auto use = polygon.createUse(QStringLiteral("shape3"), item, geo::Point2D());
        QCOMPARE(use->element(), svg::Element::Use);
        QCOMPARE(use->attribute(svg::Attribute::XLinkHref), QStringLiteral("#shape3"));
        QCOMPARE(use->attribute(svg::Attribute::Transform),
                 QStringLiteral("translate(10.000000 20.000000) scale(5.500000) rotate(45.000000)"));
        QCOMPARE(use->attribute(svg::Attribute::Fill), QStringLiteral("#ff0000"));
        QCOMPARE(use->attribute(svg::Attribute::FillOpacity), QStringLiteral("0.250000"));
        use = polygon.createUse(QStringLiteral("s"), item, geo::Point2D(-12500000, 1000));
        QCOMPARE(use->attribute(svg::Attribute::Transform),
                 QStringLiteral("translate(-2.500000 20.001000) scale(5.500000) rotate(45.000000)"));
    }

    void definitionIsAGroupWithOneEvenOddPath()
    {
        shape::Polygon polygon;
        polygon.setCornerCount(4);
        polygon.setFrameSize(0.2);
        const auto definition = polygon.createDefinition(QStringLiteral("shape"));
        QCOMPARE(definition->element(), svg::Element::G);
        QCOMPARE(definition->attribute(svg::Attribute::Id), QStringLiteral("shape"));
        QCOMPARE(definition->children().size(), std::size_t(1));
        const auto& path = definition->children().front();
        QCOMPARE(path->element(), svg::Element::Path);
        QCOMPARE(path->attribute(svg::Attribute::FillRule), QStringLiteral("evenodd"));
        QCOMPARE(path->attribute(svg::Attribute::D).count(QLatin1Char('M')), 2);
    }

    void standAloneSvgAndPreviewParse_data()
    {
        QTest::addColumn<int>("type");
        for (const shape::Type type : shape::Builder::editableTypes()) {
            QTest::addRow("%s", qPrintable(shape::typeToIdentifier(type))) << int(type);
        }
    }
    void standAloneSvgAndPreviewParse()
    {
        QFETCH(int, type);
        const auto shape = shape::Builder::createShape(shape::Type(type));
        shape->resetToDefaults();
        const QByteArray svg = shape->toSvg(geo::Size(64000000, 64000000), QColor(0x12, 0x34, 0x56));
        QVERIFY(QSvgRenderer(svg).isValid());
        QVERIFY(svg.contains("fill=\"#123456\""));
        QVERIFY(svg.contains("width=\"64.000000px\""));
        const QByteArray preview = shape->toPreview();
        QVERIFY(QSvgRenderer(preview).isValid());
        QVERIFY(preview.contains("vector-effect=\"non-scaling-stroke\""));
        QVERIFY(preview.contains("width=\"544.000000px\""));
    }

    void resetToDefaults()
    {
        shape::Cross cross;
        cross.setModifierValues({0.0, 0.0});
        cross.resetToDefaults();
        QCOMPARE(cross.name(), QStringLiteral("Cross"));
        QCOMPARE(cross.identifier().size(), 36);
        QVERIFY(shape::Base::isValidIdentifier(cross.identifier()));
        QCOMPARE(cross.identifier(), cross.identifier().toLower());
        QCOMPARE(toDoubles(cross.modifierValues()), (std::vector<double>{0.5, 0.5}));
    }

    void copyIsVisuallyEqual()
    {
        const auto shapes = shape::Star::createBuiltIns();
        const auto& original = shapes.at(4);
        const auto copy = original->copy();
        QCOMPARE(copy->type(), shape::Type::Star);
        QVERIFY(copy->identifier() != original->identifier());
        QVERIFY(!copy->isBuiltIn());
        QCOMPARE(copy->name(), original->name());
        QVERIFY(copy->isVisuallyEqual(original));
        QVERIFY(original->isVisuallyEqual(copy));
        const auto values = original->modifierValues();
        copy->setModifierValues({values.at(0), values.at(1), values.at(2) - 5e-7});
        QVERIFY(copy->isVisuallyEqual(original));
        copy->setModifierValues({values.at(0), values.at(1), values.at(2) - 2e-6});
        QVERIFY(!copy->isVisuallyEqual(original));
        copy->setModifierValues(values);
        QVERIFY(copy->isVisuallyEqual(original));
        copy->setName(copy->name() + QStringLiteral("!"));
        QVERIFY(!copy->isVisuallyEqual(original));
        QVERIFY(!original->isVisuallyEqual(std::make_shared<shape::Polygon>()));
    }

    void fingerprint()
    {
        shape::Star star;
        star.setName(QStringLiteral("S"));
        star.setIdentifier(QStringLiteral("star-1"));
        const QString first = star.visualFingerprint();
        QCOMPARE(first.size(), 64);
        QVERIFY(QRegularExpression(QStringLiteral("\\A[0-9a-f]{64}\\z")).match(first).hasMatch());
        QCOMPARE(star.visualFingerprint(), first);
        star.setInnerCorners(0.4);
        const QString changedValue = star.visualFingerprint();
        QVERIFY(changedValue != first);
        star.makeBuiltIn();
        QVERIFY(star.visualFingerprint() != changedValue);
        star.setInnerCorners(0.5);
        star.setName(QStringLiteral("T"));
        QVERIFY(star.visualFingerprint() != first);
    }

    void registry()
    {
        const std::vector<shape::Type> types = shape::Builder::editableTypes();
        QVERIFY(std::is_sorted(types.begin(), types.end()));
        QCOMPARE(types.size(), shape::Builder::builderMap().size());
        for (const shape::Type type : types) {
            const auto shape = shape::Builder::createShape(type);
            QCOMPARE(shape->type(), type);
            QVERIFY(shape->identifier().isEmpty());
            QVERIFY(shape->name().isEmpty());
            QVERIFY(!shape->isBuiltIn());
        }
        QVERIFY(!shape::Builder::createShape(shape::Type::Unknown));
        QVERIFY(!shape::Builder::createShape(shape::Type(42)));
    }
};

MOTIFEX_TEST_MAIN(TestShapeData)
#include "tst_shapedata.moc"
