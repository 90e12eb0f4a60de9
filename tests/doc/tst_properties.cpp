#include "common/TestMain.h"
#include "doc/tst_document_support.h"

#include "doc/Color.h"
#include "doc/DynamicValue.h"
#include "doc/Properties.h"
#include "err/Deserialize.h"

#include <cmath>
#include <functional>
#include <limits>

using motifex::test::Listening;

namespace {

using Edit = std::function<void(doc::Properties&)>;

QVariantMap sizeData(qlonglong width, qlonglong height)
{
    return QVariantMap{{QStringLiteral("width"), width}, {QStringLiteral("height"), height}};
}

QVariantMap badFunctionChain()
{
    const QVariantMap step{{QStringLiteral("identifier"), QStringLiteral("no-such-function")}};
    return QVariantMap{{QStringLiteral("functions"), QVariantList{step}}};
}

} // namespace

Q_DECLARE_METATYPE(Edit)
Q_DECLARE_METATYPE(doc::CompareResult)

class TestProperties : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<motifex::test::CoreStartup> m_startup;

    std::shared_ptr<doc::Properties> newProperties() const
    {
        return std::make_shared<doc::Properties>(m_startup->edited.get());
    }

private slots:
    void initTestCase() { m_startup = std::make_unique<motifex::test::CoreStartup>(); }
    void cleanupTestCase() { m_startup.reset(); }

    void defaults()
    {
        const auto properties = newProperties();
        const QVariantMap data = properties->toData().toMap();

        QCOMPARE(data.size(), 27);
        QCOMPARE(data.value("generatorIdentifier"), QVariant(QStringLiteral("pointgrid")));
        QCOMPARE(data.value("algorithmIdentifier"), QVariant(QStringLiteral("largestSpace")));
        QCOMPARE(data.value("canvasSize"), QVariant(sizeData(78000000, 52000000)));
        QCOMPARE(data.value("canvasMargin"), QVariant(qlonglong(1000000)));
        QCOMPARE(data.value("canvasBackgroundColor"), QVariant(QStringLiteral("#202040")));
        QCOMPARE(data.value("canvasFrameColor"), QVariant(QStringLiteral("#282848")));
        QCOMPARE(data.value("canvasFrameShape"), QVariant(QStringLiteral("rectangle")));
        QCOMPARE(data.value("canvasFrameRatio"), QVariant(1.0));
        QCOMPARE(data.value("canvasFrameValueE"), QVariant(0.0));
        QCOMPARE(data.value("precision"), QVariant(1));
        QCOMPARE(data.value("itemSpacing"), QVariant(qlonglong(1000000)));
        QCOMPARE(data.value("itemOverlap"), QVariant(qlonglong(0)));
        QCOMPARE(data.value("worldShape"), QVariant(QStringLiteral("circle")));
        QCOMPARE(data.value("randomPlacementAmount"), QVariant(0.4));
        QCOMPARE(data.value("name"), QVariant(QString()));
        QVERIFY(properties->canvasBackgroundEnabled() && properties->canvasFrameEnabled());
        QVERIFY(!properties->isRoundToPrecisionEnabled() && properties->isSnapToFrameEnabled());
        QCOMPARE(properties->precision().step(), 0.1);
        QCOMPARE(properties->worldRotation()->input(), doc::DynamicValueInput::Zero);
        QCOMPARE(properties->worldOrderZ()->input(), doc::DynamicValueInput::ItemIndex);
        QVERIFY(properties->worldColor()->isStaticColor());
        QCOMPARE(properties->worldColor()->staticColour().name(), QStringLiteral("#6070e0"));
        QCOMPARE(properties->documentSize(), geo::Size(80000000, 54000000));
    }

    void oneEditPerKey_data()
    {
        QTest::addColumn<Edit>("edit");
        QTest::addColumn<QString>("path");
        QTest::addColumn<doc::CompareResult>("result");
        using R = doc::CompareResult;
        using P = doc::Properties;

        QTest::newRow("generator") << Edit([](P& p) { p.setGeneratorIdentifier("other"); }) << "generatorIdentifier" << R::RequiresRegenerate;
        QTest::newRow("algorithm") << Edit([](P& p) { p.setAlgorithmIdentifier("other"); }) << "algorithmIdentifier" << R::RequiresRegenerate;
        QTest::newRow("size") << Edit([](P& p) { p.setCanvasSize(geo::Size(78000000, 52000001)); }) << "canvasSize" << R::RequiresRegenerate;
        QTest::newRow("margin") << Edit([](P& p) { p.setCanvasMargin(geo::Length(2)); }) << "canvasMargin" << R::Changed;
        QTest::newRow("background") << Edit([](P& p) { p.setCanvasBackgroundColor(Qt::red); }) << "canvasBackgroundColor" << R::Changed;
        QTest::newRow("background on") << Edit([](P& p) { p.setCanvasBackgroundEnabled(false); }) << "canvasBackgroundEnabled" << R::Changed;
        QTest::newRow("frame colour") << Edit([](P& p) { p.setCanvasFrameColor(Qt::red); }) << "canvasFrameColor" << R::Changed;
        QTest::newRow("frame on") << Edit([](P& p) { p.setCanvasFrameEnabled(false); }) << "canvasFrameEnabled" << R::Changed;
        QTest::newRow("frame shape") << Edit([](P& p) { p.setCanvasFrameShape(frame::Shape::Star); }) << "canvasFrameShape" << R::RequiresRegenerate;
        QTest::newRow("frame ratio") << Edit([](P& p) { p.setCanvasFrameRatio(0.5); }) << "canvasFrameRatio" << R::RequiresRegenerate;
        QTest::newRow("frame A") << Edit([](P& p) { p.setCanvasFrameValueA(0.1); }) << "canvasFrameValueA" << R::RequiresRegenerate;
        QTest::newRow("frame B") << Edit([](P& p) { p.setCanvasFrameValueB(0.1); }) << "canvasFrameValueB" << R::RequiresRegenerate;
        QTest::newRow("frame C") << Edit([](P& p) { p.setCanvasFrameValue(2, 0.1); }) << "canvasFrameValueC" << R::RequiresRegenerate;
        QTest::newRow("frame D") << Edit([](P& p) { p.setCanvasFrameValueD(0.1); }) << "canvasFrameValueD" << R::RequiresRegenerate;
        QTest::newRow("frame E") << Edit([](P& p) { p.setCanvasFrameValueE(0.1); }) << "canvasFrameValueE" << R::RequiresRegenerate;
        QTest::newRow("precision") << Edit([](P& p) { p.setPrecision(geo::Precision::fromLevel(3)); }) << "precision" << R::RequiresRegenerate;
        QTest::newRow("spacing") << Edit([](P& p) { p.setItemSpacing(geo::Length(5)); }) << "itemSpacing" << R::RequiresRegenerate;
        QTest::newRow("overlap") << Edit([](P& p) { p.setItemOverlap(geo::Length(5)); }) << "itemOverlap" << R::Changed;
        QTest::newRow("world rotation") << Edit([](P& p) { p.worldRotation()->setOffset(0.25); }) << "worldRotation/offset" << R::Changed;
        QTest::newRow("world order") << Edit([](P& p) { p.worldOrderZ()->setInput(doc::DynamicValueInput::Random); }) << "worldOrderZ/input" << R::Changed;
        QTest::newRow("world shape") << Edit([](P& p) { p.setWorldShape(shape::Manager::instance()->shape(1UL)); }) << "worldShape" << R::Changed;
        QTest::newRow("world colour") << Edit([](P& p) { p.worldColor()->saturation()->setOffset(0.1); }) << "worldColor/saturation/offset" << R::Changed;
        QTest::newRow("random amount") << Edit([](P& p) { p.setRandomPlacementAmount(0.5); }) << "randomPlacementAmount" << R::RequiresRegenerate;
        QTest::newRow("round") << Edit([](P& p) { p.setRoundToPrecisionEnabled(true); }) << "roundToPrecisionEnabled" << R::RequiresRegenerate;
        QTest::newRow("snap") << Edit([](P& p) { p.setSnapToFrameEnabled(false); }) << "snapToFrameEnabled" << R::RequiresRegenerate;
        QTest::newRow("name") << Edit([](P& p) { p.setName("n"); }) << "name" << R::Changed;
        QTest::newRow("notes") << Edit([](P& p) { p.setNotes("n"); }) << "notes" << R::Changed;
    }

    void oneEditPerKey()
    {
        QFETCH(Edit, edit);
        QFETCH(QString, path);
        QFETCH(doc::CompareResult, result);
        const auto original = newProperties();
        const auto edited = newProperties();
        QCOMPARE(original->compare(edited), doc::CompareResult::Equal);
        Listening listening(edited);

        edit(*edited);
        edit(*edited);

        QCOMPARE(listening.recorder.events, QStringList{QStringLiteral("property:") + path});
        QCOMPARE(listening.recorder.lastElement, edited.get());
        QCOMPARE(original->compare(edited), result);
        QCOMPARE(edited->compare(original), result);
    }

    void compareTakesTheStrongestDifference()
    {
        const auto original = newProperties();
        const auto edited = newProperties();
        edited->setNotes("notes");
        edited->setCanvasBackgroundColor(Qt::white);
        QCOMPARE(original->compare(edited), doc::CompareResult::Changed);
        edited->setCanvasSize(geo::Size(2000000, 2000000));
        QCOMPARE(original->compare(edited), doc::CompareResult::RequiresRegenerate);
    }

    void frameValueIndexOutOfRange()
    {
        const auto properties = newProperties();
        Listening listening(properties);
        properties->setCanvasFrameValue(5, 0.5);
        QVERIFY(listening.recorder.events.isEmpty());
        QCOMPARE(properties->canvasFrameValue(5), geo::Normal1D(0.0));
        properties->setCanvasFrameValueE(0.75);
        QCOMPARE(properties->canvasFrameValue(4), geo::Normal1D(0.75));
    }

    void loading_data()
    {
        QTest::addColumn<QVariantMap>("data");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QVariant>("expected");
        const double nan = std::numeric_limits<double>::quiet_NaN();

        QTest::newRow("size clamped") << QVariantMap{{"canvasSize", sizeData(0, 5000000000)}} << "canvasSize" << QVariant(sizeData(1000000, 1000000000));
        QTest::newRow("size in millimetres") << QVariantMap{{"canvasSize", QVariantMap{{"width", 20.5}, {"height", 30.0}}}} << "canvasSize" << QVariant(sizeData(20500000, 30000000));
        QTest::newRow("negative margin") << QVariantMap{{"canvasMargin", qlonglong(-5)}} << "canvasMargin" << QVariant(qlonglong(0));
        QTest::newRow("huge margin") << QVariantMap{{"canvasMargin", 1e300}} << "canvasMargin" << QVariant(qlonglong(1000000000));
        QTest::newRow("wide spacing") << QVariantMap{{"itemSpacing", 200.0}} << "itemSpacing" << QVariant(qlonglong(100000000));
        QTest::newRow("negative overlap") << QVariantMap{{"itemOverlap", qlonglong(-1)}} << "itemOverlap" << QVariant(qlonglong(0));
        QTest::newRow("unknown generator") << QVariantMap{{"generatorIdentifier", "unknown"}} << "generatorIdentifier" << QVariant("pointgrid");
        QTest::newRow("generator case") << QVariantMap{{"generatorIdentifier", "PointGrid"}} << "generatorIdentifier" << QVariant("pointgrid");
        QTest::newRow("any algorithm") << QVariantMap{{"algorithmIdentifier", "whatever"}} << "algorithmIdentifier" << QVariant("whatever");
        QTest::newRow("amount above one") << QVariantMap{{"randomPlacementAmount", 1.5}} << "randomPlacementAmount" << QVariant(1.0);
        QTest::newRow("amount NaN") << QVariantMap{{"randomPlacementAmount", nan}} << "randomPlacementAmount" << QVariant(0.0);
        QTest::newRow("ratio NaN") << QVariantMap{{"canvasFrameRatio", nan}} << "canvasFrameRatio" << QVariant(0.0);
        QTest::newRow("ratio beyond the canvas") << QVariantMap{{"canvasFrameRatio", 5.0}} << "canvasFrameRatio" << QVariant(1.0);
        QTest::newRow("ratio overflowing") << QVariantMap{{"canvasFrameRatio", 1e300}} << "canvasFrameRatio" << QVariant(1.0);
        QTest::newRow("value A negative") << QVariantMap{{"canvasFrameValueA", -2.0}} << "canvasFrameValueA" << QVariant(0.0);
        QTest::newRow("value D above one") << QVariantMap{{"canvasFrameValueD", 1.25}} << "canvasFrameValueD" << QVariant(1.0);
        QTest::newRow("value E kept") << QVariantMap{{"canvasFrameValueE", 0.3}} << "canvasFrameValueE" << QVariant(0.3);
        QTest::newRow("frame shape") << QVariantMap{{"canvasFrameShape", "ellipse"}} << "canvasFrameShape" << QVariant("ellipse");
        QTest::newRow("unknown frame shape") << QVariantMap{{"canvasFrameShape", "hexagon"}} << "canvasFrameShape" << QVariant("rectangle");
        QTest::newRow("colour hex") << QVariantMap{{"canvasBackgroundColor", "#ABCDEF"}} << "canvasBackgroundColor" << QVariant("#abcdef");
        QTest::newRow("colour name") << QVariantMap{{"canvasFrameColor", "red"}} << "canvasFrameColor" << QVariant("#ff0000");
        QTest::newRow("background no colour") << QVariantMap{{"canvasBackgroundColor", "no colour"}} << "canvasBackgroundColor" << QVariant("#202040");
        QTest::newRow("frame no colour") << QVariantMap{{"canvasFrameColor", ""}} << "canvasFrameColor" << QVariant("#282848");
        QTest::newRow("switch off") << QVariantMap{{"snapToFrameEnabled", false}} << "snapToFrameEnabled" << QVariant(false);
        QTest::newRow("precision limited") << QVariantMap{{"precision", 9}} << "precision" << QVariant(6);
        QTest::newRow("unknown world shape") << QVariantMap{{"worldShape", "no-such-shape"}} << "worldShape" << QVariant("circle");
        QTest::newRow("digits and punctuation") << QVariantMap{{"name", "Pattern 2, v1.5!"}} << "name" << QVariant("Pattern 2, v1.5!");
        QTest::newRow("controls and formats") << QVariantMap{{"name", QString::fromUtf8("A\tB\r\nC\u200e\u202eD") + QChar(0) + "E"}} << "name" << QVariant("AB\nCDE");
        QTest::newRow("format beyond 16 bits") << QVariantMap{{"name", QString::fromUtf8("x\U000E0001\U0001F600\u00a0y")}} << "name" << QVariant(QString::fromUtf8("x\U0001F600\u00a0y"));
        QTest::newRow("line feed in notes") << QVariantMap{{"notes", "first 1.\nsecond"}} << "notes" << QVariant("first 1.\nsecond");
    }

    void loading()
    {
        QFETCH(QVariantMap, data);
        QFETCH(QString, key);
        QFETCH(QVariant, expected);
        const auto properties = newProperties();
        properties->setCanvasMargin(geo::Length(7));

        properties->setFromDataOrThrow(data);

        QCOMPARE(properties->toData().toMap().value(key), expected);
        if (!data.contains("canvasMargin")) {
            QCOMPARE(properties->canvasMargin().value(), 1000000); // every key missing keeps its default
        }
    }

    void loadingAnEmptyMapGivesTheDefaultsAndOneReset()
    {
        const auto properties = newProperties();
        properties->setName("name");
        properties->worldOrderZ()->setOffset(0.5);
        properties->setCanvasFrameShape(frame::Shape::Heart);
        Listening listening(properties);

        properties->setFromDataOrThrow(QVariantMap{});

        QCOMPARE(properties->toData(), newProperties()->toData());
        QCOMPARE(listening.recorder.events.count(QStringLiteral("reset")), 1);
        QCOMPARE(listening.recorder.events.constLast(), QStringLiteral("reset"));
    }

    void worldShapeFollowsTheShapeMap()
    {
        const QString builtIn = m_startup->shapes->shape(3UL)->identifier();
        const auto properties = newProperties();
        properties->setFromDataOrThrow(QVariantMap{{"worldShape", "imported"}}, {{QStringLiteral("imported"), builtIn}});
        QCOMPARE(properties->worldShape()->identifier(), builtIn);
        QCOMPARE(properties->worldShape(), m_startup->shapes->shape(builtIn));
    }

    void worldValueErrorCarriesItsKey()
    {
        const auto properties = newProperties();
        const QVariantMap data{{"worldColor", QVariantMap{{"hue", badFunctionChain()}}}};
        try {
            properties->setFromDataOrThrowWithKey("properties", data, {});
            QFAIL("The unknown function was accepted.");
        } catch (const err::Deserialize& error) {
            QCOMPARE(error.message(), QStringLiteral("Unknown function identifier."));
            QCOMPARE(error.keyPath(), (QStringList{"properties", "worldColor", "hue", "identifier"}));
        }
    }

    void generatorWithoutRegistry()
    {
        m_startup->generators.reset();
        const auto properties = newProperties();
        properties->setFromDataOrThrow(QVariantMap{{"generatorIdentifier", "other"}});
        QCOMPARE(properties->generatorIdentifier(), QStringLiteral("pointgrid"));
        properties->setFromDataOrThrow(QVariantMap{{"generatorIdentifier", "pointgrid"}});
        QCOMPARE(properties->generatorIdentifier(), QStringLiteral("pointgrid"));
        m_startup->generators = std::make_unique<GeneratorManager>(m_startup->generatorCopy);
    }
};

MOTIFEX_TEST_MAIN(TestProperties)
#include "tst_properties.moc"
