#include "common/TestMain.h"
#include "doc/tst_document_support.h"

#include "doc/Color.h"
#include "doc/DynamicValue.h"

using doc::Color;
using doc::DynamicValueInput;
using motifex::test::Listening;
using motifex::test::step;
using ColorEdit = std::function<void(Color&)>;

Q_DECLARE_METATYPE(ColorEdit)

namespace {

const QString defaultChannels = QStringLiteral("{zero;fn[];0.000;-0.500-0.500;0.500,0.500};{zero;fn[];0.800;-0.100-0.100;0.500,0.500};"
                                               "{zero;fn[];0.800;-0.100-0.100;0.500,0.500};{zero;fn[];1.000;0.000--0.200;0.500,0.500}");

// "h s v a" of a colour, each rounded to three decimals.
QString hsva(const QColor& color)
{
    return QStringLiteral("%1 %2 %3 %4").arg(color.hsvHueF(), 0, 'f', 3).arg(color.hsvSaturationF(), 0, 'f', 3).arg(color.valueF(), 0, 'f', 3).arg(color.alphaF(), 0, 'f', 3);
}

} // namespace

class TestColor : public QObject
{
    Q_OBJECT

private slots:
    void staticAndParentColorsAndReading()
    {
        const auto color = std::make_shared<Color>(nullptr);
        const QColor expected = QColor::fromHsvF(0.0f, 0.8f, 0.8f, 1.0f);
        QCOMPARE(color->colorForInput({0.0, 0.0, 0.0, 0.0}), expected);
        QCOMPARE(color->colorForInput({1.0, 0.3, 0.5, 0.9}), expected);
        QVERIFY(color->isStaticColor() && !color->isParentColor() && !color->hasParent());
        QCOMPARE(color->staticColour(), expected);
        QCOMPARE(color->toString(), "Color{{};" + defaultChannels + "}");
        Color withParent(nullptr);
        withParent.setParent(color);
        QCOMPARE(withParent.toString(), "Color{Color{{};" + defaultChannels + "};" + defaultChannels + "}");

        auto parent = std::make_shared<Color>(nullptr);
        parent->hue()->setInput(DynamicValueInput::X);
        parent->value()->setInput(DynamicValueInput::Y);
        parent->alpha()->setOffset(0.6);
        auto child = std::make_shared<Color>(nullptr);
        child->setParentColor();
        QVERIFY(child->isParentColor() && !child->isStaticColor() && !child->staticColour().isValid());
        QCOMPARE(child->colorForInput({0.2, 0.7, 0.0, 0.0}), QColor::fromHsvF(0.0f, 0.0f, 0.0f, 0.0f));

        child->setParent(parent);
        QVERIFY(child->hue()->parent() == parent->hue() && child->alpha()->parent() == parent->alpha());
        for (double x : {0.0, 0.2, 0.7, 1.0}) {
            QCOMPARE(child->colorForInput({x, 1.0 - x, 0.5, 0.5}), parent->colorForInput({x, 1.0 - x, 0.5, 0.5}));
        }
        child->saturation()->setOffset(0.1);
        QVERIFY(!child->isParentColor());
        child->setParent(nullptr);
        QVERIFY(child->hue()->parent() == nullptr && child->value()->parent() == nullptr);

        // Reading data: an error carries the channel's key; channels after it keep their state.
        Listening listening(color);
        const QVariantMap data{{"hue", QVariantMap{{"offset", 0.5}}}, {"saturation", motifex::test::badChain()}, {"alpha", QVariantMap{{"offset", 0.5}}}};
        QCOMPARE(motifex::test::deserializeError([&] { color->setFromDataOrThrowWithKey("worldColor", data); }),
                 QStringLiteral("Unknown function identifier.; keypath=worldColor->saturation->identifier"));
        QCOMPARE(color->hue()->offset(), 0.5);   // read before the failure
        QCOMPARE(color->alpha()->offset(), 1.0); // never reached
        QVERIFY(!listening.recorder.events.contains("reset"));

        color->setFromDataOrThrow(QVariantMap());
        const QString empty = QStringLiteral("{zero;fn[];0.000;0.000-0.000;0.000,0.000}");
        QCOMPARE(color->toString(), QStringList({"Color{{}", empty, empty, empty, empty + "}"}).join(';'));

        color->hue()->setInput(DynamicValueInput::PolarAngle);
        color->hue()->functions()->appendFunction(step("x^2"));
        color->alpha()->setRange({-1.0, 0.25});
        const QVariant text = motifex::test::throughJsonText(color->toData());
        QCOMPARE(text.toMap().keys(), (QStringList{"alpha", "hue", "saturation", "value"}));
        Color copy(nullptr);
        copy.setFromDataOrThrow(text);
        QCOMPARE(copy.toString(), color->toString());

        const std::shared_ptr<doc::DynamicValue> hue = Color(nullptr).hue();
        hue->setOffset(0.4); // the destroyed colour has left the channel's listeners
    }

    void evaluation_data()
    {
        QTest::addColumn<ColorEdit>("edit");
        QTest::addColumn<doc::ItemStyleInput>("item");
        QTest::addColumn<QString>("expected");
        using In = doc::ItemStyleInput;
        const auto hueFromX = [](Color& c) { c.hue()->setInput(DynamicValueInput::X); c.hue()->setOffset(0.9); };
        QTest::newRow("hue mapped to 0") << ColorEdit(hueFromX) << In{0.5, 0.5} << "0.900 0.800 0.800 1.000";
        QTest::newRow("hue wraps") << ColorEdit(hueFromX) << In{1.0, 0.5} << "0.400 0.800 0.800 1.000";
        QTest::newRow("hue below") << ColorEdit(hueFromX) << In{0.0, 0.5} << "0.400 0.800 0.800 1.000";
        QTest::newRow("value clamped") << ColorEdit([](Color& c) { c.value()->setInput(DynamicValueInput::ItemRadius); c.value()->setOffset(0.95); }) << In{0.0, 0.0, 1.0} << "0.000 0.800 1.000 1.000";
        QTest::newRow("growing input lowers alpha") << ColorEdit([](Color& c) { c.alpha()->setInput(DynamicValueInput::ItemIndex); }) << In{0.0, 0.0, 0.0, 1.0} << "0.000 0.800 0.800 0.800";
        // A static colour whose offsets lie outside 0..1: the hue wraps, the rest is clamped.
        const auto offsets = [](double hue, double other) {
            return ColorEdit([hue, other](Color& c) {
                c.hue()->setOffset(hue);
                for (const auto& channel : {c.saturation(), c.value(), c.alpha()}) {
                    channel->setOffset(other);
                }
            });
        };
        QTest::newRow("offsets above") << offsets(1.25, 1.5) << In{} << "0.250 1.000 1.000 1.000";
        QTest::newRow("offsets below") << offsets(-0.25, -0.2) << In{} << "0.750 0.000 0.000 0.000";
        QTest::newRow("whole turns") << offsets(3.0, 2.0) << In{} << "0.000 1.000 1.000 1.000";
        // Made static from a colour after other settings; a grey's undefined hue becomes 0.
        const auto fromColor = [](const QColor& source) {
            return ColorEdit([source](Color& c) { c.setParentColor(); c.hue()->setRange({0.1, 0.2}); c.setStaticColor(source); });
        };
        QTest::newRow("static grey") << fromColor(QColor(128, 128, 128)) << In{0.3, 0.3} << "0.000 0.000 0.502 1.000";
        QTest::newRow("static black") << fromColor(Qt::black) << In{} << "0.000 0.000 0.000 1.000";
        QTest::newRow("static hsv") << fromColor(QColor::fromHsvF(0.3f, 0.5f, 0.6f, 0.7f)) << In{} << "0.300 0.500 0.600 0.700";
        QTest::newRow("static red") << fromColor(QColor(255, 0, 0, 51)) << In{0.3, 0.3, 0.3, 0.3} << "0.000 1.000 1.000 0.200";
    }

    void evaluation()
    {
        QFETCH(ColorEdit, edit);
        QFETCH(doc::ItemStyleInput, item);
        Color color(nullptr);
        edit(color);
        QTEST(hsva(color.colorForInput(item)), "expected");
        QCOMPARE(color.staticColour(), color.isStaticColor() ? color.colorForInput(item) : QColor());
        QVERIFY(!color.isStaticColor() || (color.hue()->range() == Color::dHueRange && color.alpha()->range() == Color::dAlphaRange));
    }

    void changePaths_data()
    {
        QTest::addColumn<ColorEdit>("edit");
        QTest::addColumn<QStringList>("paths");
        QTest::newRow("hue offset") << ColorEdit([](Color& c) { c.hue()->setOffset(0.3); }) << QStringList{"hue/offset"};
        QTest::newRow("saturation offset") << ColorEdit([](Color& c) { c.saturation()->setOffset(0.3); }) << QStringList{"saturation/offset"};
        QTest::newRow("value range") << ColorEdit([](Color& c) { c.value()->setRange({0.0, 0.3}); }) << QStringList{"value/range"};
        QTest::newRow("alpha center") << ColorEdit([](Color& c) { c.alpha()->setCenter({0.0, 0.3}); }) << QStringList{"alpha/center"};
        QTest::newRow("hue chain") << ColorEdit([](Color& c) { c.hue()->functions()->appendFunction(step("linear")); }) << QStringList{"hue/functions"};
        QTest::newRow("equal offset") << ColorEdit([](Color& c) { c.value()->setOffset(0.8); }) << QStringList();
        QTest::newRow("channel reset") << ColorEdit([](Color& c) { c.hue()->resetToDefaults(); }) << QStringList{"hue/functions"};
        QTest::newRow("read data") << ColorEdit([](Color& c) { c.setFromDataOrThrow(c.toData()); }) << QStringList{"hue/functions", "saturation/functions", "value/functions", "alpha/functions", "reset"};
        QTest::newRow("static colour") << ColorEdit([](Color& c) { c.setStaticColor(QColor::fromHsvF(0.5f, 0.8f, 0.25f, 1.0f)); }) << QStringList{"hue/offset", "saturation/offset", "value/offset"};
        QTest::newRow("parent colour") << ColorEdit([](Color& c) { c.setParentColor(); }) << QStringList{"hue/input", "saturation/input", "saturation/offset", "value/input", "value/offset", "alpha/input", "alpha/offset"};
        QTest::newRow("parent link") << ColorEdit([](Color& c) { c.setParent(std::make_shared<Color>(nullptr)); }) << QStringList();
    }

    void changePaths()
    {
        QFETCH(ColorEdit, edit);
        QFETCH(QStringList, paths);
        const auto color = std::make_shared<Color>(nullptr);
        Listening listening(color);
        edit(*color);
        QCOMPARE(listening.recorder.events.replaceInStrings("property:", ""), paths);
        QVERIFY(paths.isEmpty() || listening.recorder.lastElement == color.get());
    }

};

MOTIFEX_TEST_MAIN(TestColor)
#include "tst_color.moc"
