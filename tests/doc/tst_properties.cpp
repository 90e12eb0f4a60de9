#include "common/TestMain.h"
#include "doc/tst_document_support.h"

#include "doc/Color.h"
#include "doc/DynamicValue.h"
#include "doc/Properties.h"

#include <limits>

using motifex::test::Listening;
using Edit = std::function<void(doc::Properties&)>;

namespace {

QVariantMap sizeData(qlonglong width, qlonglong height)
{
    return QVariantMap{{"width", width}, {"height", height}};
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

    void defaultsAndLookUps()
    {
        const auto properties = newProperties();
        const QVariantMap expected{
            {"generatorIdentifier", "pointgrid"}, {"algorithmIdentifier", "largestSpace"}, {"canvasSize", sizeData(78000000, 52000000)},
            {"canvasMargin", qlonglong(1000000)}, {"canvasBackgroundColor", "#202040"}, {"canvasBackgroundEnabled", true},
            {"canvasFrameColor", "#282848"}, {"canvasFrameEnabled", true}, {"canvasFrameShape", "rectangle"}, {"canvasFrameRatio", 1.0},
            {"canvasFrameValueA", 0.0}, {"canvasFrameValueB", 0.0}, {"canvasFrameValueC", 0.0}, {"canvasFrameValueD", 0.0},
            {"canvasFrameValueE", 0.0}, {"precision", 1}, {"itemSpacing", qlonglong(1000000)}, {"itemOverlap", qlonglong(0)},
            {"worldShape", "circle"}, {"randomPlacementAmount", 0.4}, {"roundToPrecisionEnabled", false}, {"snapToFrameEnabled", true},
            {"name", ""}, {"notes", ""}};
        QVariantMap data = properties->toData().toMap();
        for (const char* worldValue : {"worldRotation", "worldOrderZ", "worldColor"}) {
            QVERIFY(data.remove(worldValue) == 1);
        }
        QCOMPARE(data, expected);
        QCOMPARE(properties->precision().step(), 0.1);
        QCOMPARE(properties->worldRotation()->toString(), QStringLiteral("{zero;fn[];0.000;0.000-1.000;0.500,0.500}"));
        QCOMPARE(properties->worldOrderZ()->toString(), QStringLiteral("{item_index;fn[];0.000;0.000-1.000;0.500,0.500}"));
        QVERIFY(properties->worldColor()->isStaticColor());
        QCOMPARE(properties->worldColor()->staticColour().name(), QStringLiteral("#6070e0"));
        QCOMPARE(properties->documentSize(), geo::Size(80000000, 54000000));
        QCOMPARE(properties->canvasFrameValue(5), geo::Normal1D(0.0));
        QCOMPARE(properties->propertiesRequireRegenerate(), (QStringList{"generatorIdentifier", "algorithmIdentifier", "canvasFrameShape", "canvasFrameRatio", "canvasFrameValueA", "canvasFrameValueB", "canvasFrameValueC", "canvasFrameValueD", "canvasFrameValueE", "canvasSize", "precision", "itemSpacing", "roundToPrecisionEnabled", "randomPlacementAmount", "snapToFrameEnabled"}));

        properties->setName("name");
        properties->worldOrderZ()->setOffset(0.5);
        properties->setCanvasFrameShape(frame::Shape::Heart);
        Listening listening(properties);
        properties->setCanvasFrameValue(5, 0.5); // there is no sixth value
        QVERIFY(listening.recorder.events.isEmpty());
        properties->setFromDataOrThrow(QVariantMap{});
        QCOMPARE(properties->toData(), newProperties()->toData());
        QCOMPARE(listening.recorder.events.count("reset"), 1);
        QCOMPARE(listening.recorder.events.constLast(), QStringLiteral("reset"));

        const auto builtIn = m_startup->shapes->shape(3UL);
        properties->setFromDataOrThrow(QVariantMap{{"worldShape", "imported"}}, {{"imported", builtIn->identifier()}});
        QCOMPARE(properties->worldShape(), builtIn);

        m_startup->generators.reset();
        properties->setFromDataOrThrow(QVariantMap{{"generatorIdentifier", "other"}});
        QCOMPARE(properties->generatorIdentifier(), QStringLiteral("pointgrid"));
        m_startup->generators = std::make_unique<GeneratorManager>(m_startup->generatorCopy);
    }

    // The keys' texts are those of the data (see defaults); these setters compare in their own ways.
    void oneEditPerKey_data()
    {
        QTest::addColumn<Edit>("edit");
        QTest::addColumn<QString>("path");
        QTest::addColumn<doc::CompareResult>("result");
        using R = doc::CompareResult;
        using P = doc::Properties;

        QTest::newRow("generator") << Edit([](P& p) { p.setGeneratorIdentifier("other"); }) << "generatorIdentifier" << R::RequiresRegenerate;
        QTest::newRow("size") << Edit([](P& p) { p.setCanvasSize(geo::Size(78000000, 52000001)); }) << "canvasSize" << R::RequiresRegenerate;
        QTest::newRow("margin") << Edit([](P& p) { p.setCanvasMargin(geo::Length(2)); }) << "canvasMargin" << R::Changed;
        QTest::newRow("background") << Edit([](P& p) { p.setCanvasBackgroundColor(Qt::red); }) << "canvasBackgroundColor" << R::Changed;
        QTest::newRow("frame C") << Edit([](P& p) { p.setCanvasFrameValue(2, 0.1); }) << "canvasFrameValueC" << R::RequiresRegenerate;
        QTest::newRow("frame E") << Edit([](P& p) { p.setCanvasFrameValueE(0.1); }) << "canvasFrameValueE" << R::RequiresRegenerate;
        QTest::newRow("precision") << Edit([](P& p) { p.setPrecision(geo::Precision::fromLevel(3)); }) << "precision" << R::RequiresRegenerate;
        QTest::newRow("world rotation") << Edit([](P& p) { p.worldRotation()->setOffset(0.25); }) << "worldRotation/offset" << R::Changed;
        QTest::newRow("world order") << Edit([](P& p) { p.worldOrderZ()->setInput(doc::DynamicValueInput::Random); }) << "worldOrderZ/input" << R::Changed;
        QTest::newRow("world shape") << Edit([](P& p) { p.setWorldShape(shape::Manager::instance()->shape(1UL)); }) << "worldShape" << R::Changed;
        QTest::newRow("world colour") << Edit([](P& p) { p.worldColor()->saturation()->setOffset(0.1); }) << "worldColor/saturation/offset" << R::Changed;
        QTest::newRow("notes") << Edit([](P& p) { p.setNotes("n"); }) << "notes" << R::Changed;
    }

    void oneEditPerKey()
    {
        QFETCH(Edit, edit);
        QFETCH(QString, path);
        const auto original = newProperties();
        const auto edited = newProperties();
        QCOMPARE(original->compare(edited), doc::CompareResult::Equal);
        Listening listening(edited);
        edit(*edited);
        edit(*edited); // the same value again announces nothing
        QCOMPARE(listening.recorder.events, QStringList{"property:" + path});
        QCOMPARE(listening.recorder.lastElement, edited.get());
        QTEST(original->compare(edited), "result");
        QTEST(edited->compare(original), "result");
        edited->setNotes("other notes"); // a further difference that a restyle catches up with
        QTEST(original->compare(edited), "result");
    }

    void loading_data()
    {
        QTest::addColumn<QVariantMap>("data");
        QTest::addColumn<QVariant>("expected");
        const double nan = std::numeric_limits<double>::quiet_NaN();

        QTest::newRow("size clamped") << QVariantMap{{"canvasSize", sizeData(0, 5000000000)}} << QVariant(sizeData(1000000, 1000000000));
        QTest::newRow("negative margin") << QVariantMap{{"canvasMargin", qlonglong(-5)}} << QVariant(qlonglong(0));
        QTest::newRow("huge margin") << QVariantMap{{"canvasMargin", 1e300}} << QVariant(qlonglong(1000000000));
        QTest::newRow("wide spacing") << QVariantMap{{"itemSpacing", 200.0}} << QVariant(qlonglong(100000000));
        QTest::newRow("unknown generator") << QVariantMap{{"generatorIdentifier", "unknown"}} << QVariant("pointgrid");
        QTest::newRow("any algorithm") << QVariantMap{{"algorithmIdentifier", "whatever"}} << QVariant("whatever");
        QTest::newRow("amount above one") << QVariantMap{{"randomPlacementAmount", 1.5}} << QVariant(1.0);
        QTest::newRow("amount NaN") << QVariantMap{{"randomPlacementAmount", nan}} << QVariant(0.0);
        QTest::newRow("ratio NaN") << QVariantMap{{"canvasFrameRatio", nan}} << QVariant(0.0);
        QTest::newRow("ratio beyond the canvas") << QVariantMap{{"canvasFrameRatio", 5.0}} << QVariant(1.0);
        QTest::newRow("value A negative") << QVariantMap{{"canvasFrameValueA", -2.0}} << QVariant(0.0);
        QTest::newRow("frame shape") << QVariantMap{{"canvasFrameShape", "ellipse"}} << QVariant("ellipse");
        QTest::newRow("unknown frame shape") << QVariantMap{{"canvasFrameShape", "hexagon"}} << QVariant("rectangle");
        QTest::newRow("colour hex") << QVariantMap{{"canvasBackgroundColor", "#ABCDEF"}} << QVariant("#abcdef");
        QTest::newRow("background no colour") << QVariantMap{{"canvasBackgroundColor", "no colour"}} << QVariant("#202040");
        QTest::newRow("frame no colour") << QVariantMap{{"canvasFrameColor", ""}} << QVariant("#282848");
        QTest::newRow("precision limited") << QVariantMap{{"precision", 9}} << QVariant(6);
        QTest::newRow("unknown world shape") << QVariantMap{{"worldShape", "no-such-shape"}} << QVariant("circle");
        QTest::newRow("digits and punctuation") << QVariantMap{{"name", "Pattern 2, v1.5!"}} << QVariant("Pattern 2, v1.5!");
        QTest::newRow("controls and formats") << QVariantMap{{"name", QString::fromUtf8("A\tB\r\nC\u200e\u202eD") + QChar(0) + "E"}} << QVariant("AB\nCDE");
        QTest::newRow("format beyond 16 bits") << QVariantMap{{"name", QString::fromUtf8("x\U000E0001\U0001F600\u00a0y")}} << QVariant(QString::fromUtf8("x\U0001F600\u00a0y"));
        QTest::newRow("line feed in notes") << QVariantMap{{"notes", "first 1.\nsecond"}} << QVariant("first 1.\nsecond");
    }

    void loading()
    {
        QFETCH(QVariantMap, data);
        const auto properties = newProperties();
        properties->setCanvasMargin(geo::Length(7));
        properties->setFromDataOrThrow(data);
        QTEST(properties->toData().toMap().value(data.firstKey()), "expected");
        if (!data.contains("canvasMargin")) {
            QCOMPARE(properties->canvasMargin().value(), 1000000); // every key missing keeps its default
        }
    }

};

MOTIFEX_TEST_MAIN(TestProperties)
#include "tst_properties.moc"
