#include "common/TestMain.h"

#include "doc/Color.h"
#include "doc/DynamicValue.h"
#include "doc/InputFunctions.h"
#include "err/Deserialize.h"

#include <QJsonDocument>
#include <QJsonObject>

#include <functional>

using doc::Color;
using doc::DynamicValue;
using doc::DynamicValueInput;

namespace {

// Records the paths announced by one colour while it lives, and checks that each names the colour.
class Recorder : public doc::DocumentChangeListener
{
public:
    explicit Recorder(Color& color) : m_color(color) { m_color.addListener(this); }
    ~Recorder() override { m_color.removeListener(this); }

    void onDocumentPropertyChanged(const QString& name, const doc::DocumentElement* element) override
    {
        paths.append(element == &m_color ? name : QStringLiteral("foreign:") + name);
    }
    void onDocumentElementAdded(const QString& name) override { paths.append(QStringLiteral("added:") + name); }
    void onDocumentElementRemoved(const QString& name) override { paths.append(QStringLiteral("removed:") + name); }
    void onDocumentElementReset() override { paths.append(QStringLiteral("reset")); }

    QStringList paths;

private:
    Color& m_color;
};

const QString defaultChannels = QStringLiteral("{zero;fn[];0.000;-0.500-0.500;0.500,0.500};"
                                               "{zero;fn[];0.800;-0.100-0.100;0.500,0.500};"
                                               "{zero;fn[];0.800;-0.100-0.100;0.500,0.500};"
                                               "{zero;fn[];1.000;0.000--0.200;0.500,0.500}");

bool isNear(double a, double b)
{
    // QColor keeps hue in hundredths of a degree and the others in 1/65535.
    return std::abs(a - b) < 1e-4;
}

void appendStep(DynamicValue& value, const char* identifier)
{
    value.functions()->appendFunction(doc::InputFunction::create(
        QString::fromLatin1(identifier), doc::InputFunctionOperator::Map, doc::InputFunctionSource::Result));
}

} // namespace

class TestColor : public QObject
{
    Q_OBJECT

private slots:
    void newColorIsStatic()
    {
        Color color(nullptr);
        const QColor expected = QColor::fromHsvF(0.0f, 0.8f, 0.8f, 1.0f);
        for (const doc::ItemStyleInput& in : {doc::ItemStyleInput{0.0, 0.0, 0.0, 0.0}, doc::ItemStyleInput{1.0, 0.3, 0.5, 0.9}}) {
            QCOMPARE(color.colorForInput(in), expected);
        }
        QVERIFY(color.isStaticColor());
        QVERIFY(!color.isParentColor());
        QCOMPARE(color.staticColour(), expected);
        QVERIFY(!color.hasParent());
        QVERIFY(color.alpha()->range() == Color::dAlphaRange);
        QVERIFY(color.saturation()->center() == Color::dSaturationCenter);
        QCOMPARE(color.toString(), QStringLiteral("Color{{};") + defaultChannels + QStringLiteral("}"));

        Color child(nullptr);
        child.setParent(std::make_shared<Color>(nullptr));
        QVERIFY(child.hasParent());
        QCOMPARE(child.toString(),
                 QStringLiteral("Color{Color{{};") + defaultChannels + QStringLiteral("};") + defaultChannels + "}");
    }

    void hueFromPosition_data()
    {
        QTest::addColumn<double>("x");
        QTest::addColumn<double>("hue");
        QTest::newRow("middle") << 0.5 << 0.9;
        QTest::newRow("right wraps") << 1.0 << 0.4;
        QTest::newRow("left") << 0.0 << 0.4;
    }

    void hueFromPosition()
    {
        QFETCH(double, x);
        QFETCH(double, hue);
        Color color(nullptr);
        color.hue()->setInput(DynamicValueInput::X);
        color.hue()->setOffset(0.9);
        const QColor result = color.colorForInput({x, 0.5, 0.0, 0.0});
        QVERIFY2(isNear(result.hueF(), hue), qPrintable(QString::number(result.hueF())));
        QVERIFY(isNear(result.saturationF(), 0.8));
        QVERIFY(!color.isStaticColor());
        QVERIFY(!color.staticColour().isValid());
    }

    void channelsAreClamped()
    {
        Color color(nullptr);
        color.value()->setInput(DynamicValueInput::ItemRadius);
        color.value()->setOffset(0.95); // range {-0.1, 0.1} maps 1 to 0.1
        QCOMPARE(color.colorForInput({0.0, 0.0, 1.0, 0.0}).valueF(), 1.0f);
        color.alpha()->setInput(DynamicValueInput::ItemIndex); // range {0, -0.2} lowers alpha
        QVERIFY(isNear(color.colorForInput({0.0, 0.0, 0.0, 1.0}).alphaF(), 0.8));
    }

    void setStaticColor_data()
    {
        QTest::addColumn<QColor>("source");
        QTest::addColumn<double>("hue");
        QTest::addColumn<double>("saturation");
        QTest::addColumn<double>("value");
        QTest::addColumn<double>("alpha");
        QTest::newRow("grey") << QColor(128, 128, 128) << 0.0 << 0.0 << 128 / 255.0 << 1.0;
        QTest::newRow("black") << QColor(Qt::black) << 0.0 << 0.0 << 0.0 << 1.0;
        QTest::newRow("hsv") << QColor::fromHsvF(0.3f, 0.5f, 0.6f, 0.7f) << 0.3 << 0.5 << 0.6 << 0.7;
        QTest::newRow("red") << QColor(255, 0, 0, 51) << 0.0 << 1.0 << 1.0 << 0.2;
    }

    void setStaticColor()
    {
        QFETCH(QColor, source);
        QFETCH(double, hue);
        QFETCH(double, saturation);
        QFETCH(double, value);
        QFETCH(double, alpha);

        Color color(nullptr);
        color.setParentColor();
        color.hue()->setRange({0.1, 0.2});
        color.setStaticColor(source);

        QVERIFY(color.isStaticColor());
        QVERIFY(color.hue()->offset() >= 0.0); // never the -1 of an undefined hue
        QVERIFY(isNear(color.hue()->offset(), hue));
        QVERIFY(isNear(color.saturation()->offset(), saturation));
        QVERIFY(isNear(color.value()->offset(), value));
        QVERIFY(isNear(color.alpha()->offset(), alpha));
        QVERIFY(color.hue()->range() == Color::dHueRange);
        QVERIFY(color.alpha()->range() == Color::dAlphaRange);
        QVERIFY(color.value()->center() == Color::dValueCenter);
        QVERIFY(color.staticColour().isValid());
        QCOMPARE(color.staticColour(), color.colorForInput({0.3, 0.3, 0.3, 0.3}));
    }

    void staticColourWrapsAndClampsOffsets_data()
    {
        QTest::addColumn<double>("hue");
        QTest::addColumn<double>("other");
        QTest::addColumn<double>("expectedHue");
        QTest::addColumn<double>("expectedOther");
        QTest::newRow("above") << 1.25 << 1.5 << 0.25 << 1.0;
        QTest::newRow("below") << -0.25 << -0.2 << 0.75 << 0.0;
        QTest::newRow("minus one") << -1.0 << 0.5 << 1.0 << 0.5;
        QTest::newRow("whole turns") << 3.0 << 2.0 << 0.0 << 1.0;
    }

    void staticColourWrapsAndClampsOffsets()
    {
        QFETCH(double, hue);
        QFETCH(double, other);
        QFETCH(double, expectedHue);
        QFETCH(double, expectedOther);
        Color color(nullptr);
        color.hue()->setOffset(hue);
        color.saturation()->setOffset(other);
        color.value()->setOffset(other);
        color.alpha()->setOffset(other);

        const QColor result = color.staticColour();
        QVERIFY(result.isValid());
        QVERIFY(isNear(result.hsvHueF(), expectedHue) || (expectedHue == 1.0 && result.hsvHueF() == 0.0f));
        QVERIFY(isNear(result.saturationF(), expectedOther));
        QVERIFY(isNear(result.valueF(), expectedOther));
        QVERIFY(isNear(result.alphaF(), expectedOther));
        QCOMPARE(result, color.colorForInput({0.5, 0.5, 0.5, 0.5}));
    }

    void parentColor()
    {
        auto parent = std::make_shared<Color>(nullptr);
        parent->hue()->setInput(DynamicValueInput::X);
        parent->value()->setInput(DynamicValueInput::Y);
        parent->alpha()->setOffset(0.6);
        auto child = std::make_shared<Color>(nullptr);
        child->setParentColor();

        QVERIFY(child->isParentColor());
        QVERIFY(!child->isStaticColor());
        QVERIFY(!child->staticColour().isValid());
        QCOMPARE(child->colorForInput({0.2, 0.7, 0.0, 0.0}), QColor::fromHsvF(0.0f, 0.0f, 0.0f, 0.0f));

        child->setParent(parent);
        QVERIFY(child->hue()->parent() == parent->hue());
        QVERIFY(child->alpha()->parent() == parent->alpha());
        for (double x : {0.0, 0.2, 0.7, 1.0}) {
            const doc::ItemStyleInput in{x, 1.0 - x, 0.5, 0.5};
            QCOMPARE(child->colorForInput(in), parent->colorForInput(in));
        }

        child->saturation()->setOffset(0.1);
        QVERIFY(!child->isParentColor());

        child->setParent(nullptr);
        QVERIFY(child->hue()->parent() == nullptr);
        QVERIFY(child->value()->parent() == nullptr);
        QVERIFY(!child->toData().toMap().contains(QStringLiteral("parent")));
    }

    void changePaths_data()
    {
        QTest::addColumn<std::function<void(Color&)>>("edit");
        QTest::addColumn<QStringList>("paths");
        using Edit = std::function<void(Color&)>;
        QTest::newRow("hue offset") << Edit([](Color& c) { c.hue()->setOffset(0.3); }) << QStringList{"hue/offset"};
        QTest::newRow("saturation offset")
            << Edit([](Color& c) { c.saturation()->setOffset(0.3); }) << QStringList{"saturation/offset"};
        QTest::newRow("value range") << Edit([](Color& c) { c.value()->setRange({0.0, 0.3}); }) << QStringList{"value/range"};
        QTest::newRow("alpha center") << Edit([](Color& c) { c.alpha()->setCenter({0.0, 0.3}); })
                                      << QStringList{"alpha/center"};
        QTest::newRow("alpha input") << Edit([](Color& c) { c.alpha()->setInput(DynamicValueInput::Random); })
                                     << QStringList{"alpha/input"};
        QTest::newRow("hue chain") << Edit([](Color& c) { appendStep(*c.hue(), "linear"); })
                                   << QStringList{"hue/functions"};
        QTest::newRow("equal offset") << Edit([](Color& c) { c.value()->setOffset(0.8); }) << QStringList();
        QTest::newRow("channel reset") << Edit([](Color& c) { c.hue()->resetToDefaults(); })
                                       << QStringList{"hue/functions"};
        QTest::newRow("read data") << Edit([](Color& c) { c.setFromDataOrThrow(c.toData()); })
                                   << QStringList{"hue/functions", "saturation/functions", "value/functions",
                                                  "alpha/functions", "reset"};
        QTest::newRow("static colour")
            << Edit([](Color& c) { c.setStaticColor(QColor::fromHsvF(0.5f, 0.8f, 0.25f, 1.0f)); })
            << QStringList{"hue/offset", "saturation/offset", "value/offset"};
        QTest::newRow("parent colour") << Edit([](Color& c) { c.setParentColor(); })
                                       << QStringList{"hue/input", "saturation/input", "saturation/offset",
                                                      "value/input", "value/offset", "alpha/input", "alpha/offset"};
        QTest::newRow("parent link") << Edit([](Color& c) { c.setParent(std::make_shared<Color>(nullptr)); })
                                     << QStringList();
    }

    void changePaths()
    {
        QFETCH(std::function<void(Color&)>, edit);
        QFETCH(QStringList, paths);
        Color color(nullptr);
        Recorder recorder(color);
        edit(color);
        QCOMPARE(recorder.paths, paths);
    }

    void errorKeyPathStartsWithTheChannel()
    {
        Color color(nullptr);
        Recorder recorder(color);
        const QVariantMap bad{{QStringLiteral("input"), QStringLiteral("x")},
                              {QStringLiteral("functions"),
                               QVariantList{QVariantMap{{QStringLiteral("identifier"), QStringLiteral("nope")}}}}};
        const QVariantMap data{{QStringLiteral("hue"), QVariantMap{{QStringLiteral("offset"), 0.5}}},
                               {QStringLiteral("saturation"), bad},
                               {QStringLiteral("alpha"), QVariantMap{{QStringLiteral("offset"), 0.5}}}};
        try {
            color.setFromDataOrThrow(data);
            QFAIL("no error");
        } catch (const err::Deserialize& error) {
            QCOMPARE(error.keyPath(), (QStringList{"saturation", "identifier"}));
            QCOMPARE(error.reason(), QStringLiteral("Unknown function identifier.; keypath=saturation->identifier"));
        }
        QCOMPARE(color.hue()->offset(), 0.5);                         // read before the failure
        QCOMPARE(color.alpha()->offset(), 1.0);                       // never reached
        QVERIFY(!recorder.paths.contains(QStringLiteral("reset"))); // no reset for a failed read

        try {
            color.setFromDataOrThrowWithKey(QStringLiteral("worldColor"), QVariantMap{{QStringLiteral("hue"), bad}});
            QFAIL("no error");
        } catch (const err::Deserialize& error) {
            QCOMPARE(error.keyPath(), (QStringList{"worldColor", "hue", "identifier"}));
        }
    }

    void dataRoundTripThroughJsonText()
    {
        Color color(nullptr);
        color.hue()->setInput(DynamicValueInput::PolarAngle);
        color.hue()->setOffset(-0.3);
        appendStep(*color.hue(), "x^2");
        color.saturation()->setCenter({0.1, 0.9});
        color.alpha()->setRange({-1.0, 0.25});
        const QByteArray text = QJsonDocument(QJsonObject::fromVariantMap(color.toData().toMap())).toJson();

        Color copy(nullptr);
        copy.setFromDataOrThrow(QJsonDocument::fromJson(text).object().toVariantMap());

        QCOMPARE(copy.toString(), color.toString());
        QCOMPARE(copy.toData().toMap().keys(), (QStringList{"alpha", "hue", "saturation", "value"}));
    }

    void missingChannelReadsAsEmptyMap()
    {
        Color color(nullptr);
        color.setFromDataOrThrow(QVariantMap());
        QCOMPARE(color.toString(), QStringLiteral("Color{{};{zero;fn[];0.000;0.000-0.000;0.000,0.000};"
                                                  "{zero;fn[];0.000;0.000-0.000;0.000,0.000};"
                                                  "{zero;fn[];0.000;0.000-0.000;0.000,0.000};"
                                                  "{zero;fn[];0.000;0.000-0.000;0.000,0.000}}"));
        QCOMPARE(color.staticColour(), QColor::fromHsvF(0.0f, 0.0f, 0.0f, 0.0f));
    }

    void channelOutlivesItsColor()
    {
        std::shared_ptr<DynamicValue> hue;
        {
            Color color(nullptr);
            hue = color.hue();
        }
        hue->setOffset(0.4); // the colour has left the channel's listeners
        QCOMPARE(hue->offset(), 0.4);
    }
};

MOTIFEX_TEST_MAIN(TestColor)
#include "tst_color.moc"
