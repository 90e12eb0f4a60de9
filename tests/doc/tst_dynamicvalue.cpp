#include "common/TestMain.h"

#include "doc/DynamicValue.h"
#include "doc/InputFunctions.h"
#include "err/Deserialize.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QtConcurrent>

#include <cmath>
#include <limits>
#include <set>
#include <stdexcept>

using doc::DynamicValue;
using doc::DynamicValueInput;
using doc::InputFunction;
using doc::InputFunctionOperator;
using doc::InputFunctionSource;

Q_DECLARE_METATYPE(doc::DynamicValueInput)
Q_DECLARE_METATYPE(geo::Normal2D)

namespace {

constexpr double notANumber = std::numeric_limits<double>::quiet_NaN();

// Records announcements as "kind:name" and checks that every property change names the value itself.
class Recorder : public doc::DocumentChangeListener
{
public:
    explicit Recorder(DynamicValue& value) : m_value(value) { m_value.addListener(this); }
    ~Recorder() override { m_value.removeListener(this); }

    void onDocumentPropertyChanged(const QString& name, const doc::DocumentElement* element) override
    {
        texts.append((element == &m_value ? QStringLiteral("property:") : QStringLiteral("foreign:")) + name);
    }
    void onDocumentElementAdded(const QString& name) override { texts.append(QStringLiteral("added:") + name); }
    void onDocumentElementRemoved(const QString& name) override { texts.append(QStringLiteral("removed:") + name); }
    void onDocumentElementReset() override { texts.append(QStringLiteral("reset")); }

    QStringList texts;

private:
    DynamicValue& m_value;
};

std::shared_ptr<DynamicValue> makeValue(DynamicValueInput input, double offset = 0.0,
                                        geo::NormalRange range = {0.0, 1.0}, geo::Normal2D center = {0.5, 0.5})
{
    return std::make_shared<DynamicValue>(nullptr, input, offset, range, center);
}

void appendStep(DynamicValue& value, const char* identifier, InputFunctionOperator op = InputFunctionOperator::Map,
                InputFunctionSource source = InputFunctionSource::Result)
{
    value.functions()->appendFunction(InputFunction::create(QString::fromLatin1(identifier), op, source));
}

doc::ItemStyleInput at(double x, double y)
{
    return {x, y, 0.0, 0.0};
}

QVariant throughJsonText(const QVariant& data)
{
    const QByteArray text = QJsonDocument(QJsonObject::fromVariantMap(data.toMap())).toJson();
    return QJsonDocument::fromJson(text).object().toVariantMap();
}

} // namespace

class TestDynamicValue : public QObject
{
    Q_OBJECT

private slots:
    void eachInput_data()
    {
        QTest::addColumn<DynamicValueInput>("input");
        QTest::addColumn<geo::Normal2D>("center");
        QTest::addColumn<double>("x");
        QTest::addColumn<double>("y");
        QTest::addColumn<double>("radius");
        QTest::addColumn<double>("index");
        QTest::addColumn<double>("expected");

        const geo::Normal2D middle(0.5, 0.5);
        const double diagonal = std::sqrt(0.5);
        QTest::newRow("x") << DynamicValueInput::X << middle << 0.3 << 0.8 << 0.0 << 0.0 << 0.3;
        QTest::newRow("x clamped") << DynamicValueInput::X << middle << 1.7 << 0.8 << 0.0 << 0.0 << 1.0;
        QTest::newRow("x NaN") << DynamicValueInput::X << middle << notANumber << 0.8 << 0.0 << 0.0 << 0.0;
        QTest::newRow("y") << DynamicValueInput::Y << middle << 0.3 << 0.8 << 0.0 << 0.0 << 0.8;
        QTest::newRow("y negative") << DynamicValueInput::Y << middle << 0.3 << -0.8 << 0.0 << 0.0 << 0.0;
        QTest::newRow("angle right") << DynamicValueInput::PolarAngle << middle << 0.9 << 0.5 << 0.0 << 0.0 << 0.5;
        QTest::newRow("angle left") << DynamicValueInput::PolarAngle << middle << 0.1 << 0.5 << 0.0 << 0.0 << 0.0;
        QTest::newRow("angle below") << DynamicValueInput::PolarAngle << middle << 0.5 << 0.9 << 0.0 << 0.0 << 0.75;
        QTest::newRow("angle above") << DynamicValueInput::PolarAngle << middle << 0.5 << 0.1 << 0.0 << 0.0 << 0.25;
        QTest::newRow("angle on center") << DynamicValueInput::PolarAngle << middle << 0.5 << 0.5 << 0.0 << 0.0 << 0.5;
        QTest::newRow("angle below right") << DynamicValueInput::PolarAngle << middle << 0.9 << 0.9 << 0.0 << 0.0 << 0.625;
        QTest::newRow("angle from corner")
            << DynamicValueInput::PolarAngle << geo::Normal2D(0.0, 0.0) << 1.0 << 0.0 << 0.0 << 0.0 << 0.5;
        QTest::newRow("distance corner") << DynamicValueInput::PolarDistance << middle << 0.0 << 0.0 << 0.0 << 0.0 << 1.0;
        QTest::newRow("distance center") << DynamicValueInput::PolarDistance << middle << 0.5 << 0.5 << 0.0 << 0.0 << 0.0;
        QTest::newRow("distance edge")
            << DynamicValueInput::PolarDistance << middle << 1.0 << 0.5 << 0.0 << 0.0 << 0.5 / diagonal;
        QTest::newRow("distance from origin")
            << DynamicValueInput::PolarDistance << geo::Normal2D(0.0, 0.0) << 1.0 << 1.0 << 0.0 << 0.0 << 1.0;
        QTest::newRow("distance from origin edge")
            << DynamicValueInput::PolarDistance << geo::Normal2D(0.0, 0.0) << 1.0 << 0.0 << 0.0 << 0.0 << diagonal;
        QTest::newRow("radius") << DynamicValueInput::ItemRadius << middle << 0.1 << 0.1 << 0.3 << 0.9 << 0.3;
        QTest::newRow("radius above 1") << DynamicValueInput::ItemRadius << middle << 0.1 << 0.1 << 1.5 << 0.9 << 1.0;
        QTest::newRow("index") << DynamicValueInput::ItemIndex << middle << 0.1 << 0.1 << 0.3 << 0.9 << 0.9;
        QTest::newRow("zero") << DynamicValueInput::Zero << middle << 0.1 << 0.1 << 0.3 << 0.9 << 0.0;
    }

    void eachInput()
    {
        QFETCH(DynamicValueInput, input);
        QFETCH(geo::Normal2D, center);
        QFETCH(double, x);
        QFETCH(double, y);
        QFETCH(double, radius);
        QFETCH(double, index);
        QFETCH(double, expected);

        const auto value = makeValue(input, 0.0, {0.0, 1.0}, center);
        const double result = value->normal({x, y, radius, index}, false);
        QVERIFY2(std::abs(result - expected) < 1e-9, qPrintable(QString::number(result, 'g', 17)));
    }

    void unknownInputGoesThroughChainAndRange()
    {
        const auto value = makeValue(static_cast<DynamicValueInput>(42), 0.0, {0.2, 0.6});
        appendStep(*value, "invert");
        QCOMPARE(value->normal(at(0.3, 0.3), false), 0.6); // invert(0) = 1, mapped to the range end
    }

    void randomInputIsSharedSafelyBetweenThreads()
    {
        const auto value = makeValue(DynamicValueInput::Random);
        const QList<double> draws = QtConcurrent::blockingMapped(
            QList<int>(4000), [&value](int) { return value->normal(at(0.5, 0.5), false).value(); });
        const std::set<double> distinct(draws.cbegin(), draws.cend());
        QVERIFY(distinct.size() > 3990);
        QVERIFY(*distinct.cbegin() >= 0.0 && *distinct.crbegin() < 1.0);
    }

    void randomSeedFallsBackWhenTheDeviceThrows()
    {
        QCOMPARE(DynamicValue::randomSeed([] { return quint64(1234); }), quint64(1234));
        std::set<quint64> seeds;
        for (int i = 0; i < 4; ++i) {
            seeds.insert(DynamicValue::randomSeed([]() -> quint64 { throw std::runtime_error("no entropy"); }));
        }
        QVERIFY(seeds.size() > 1);
    }

    void parentInput()
    {
        const auto orphan = makeValue(DynamicValueInput::Parent, 0.3, {0.5, 1.0});
        QCOMPARE(orphan->normal(at(0.9, 0.9), false), 0.3);
        orphan->setOffset(1.25);
        QCOMPARE(orphan->normal(at(0.9, 0.9), true), 0.25);
        QCOMPARE(orphan->normal(at(0.9, 0.9), false), 1.0);

        // The parent's result is not mapped into the child's range again.
        const auto parent = makeValue(DynamicValueInput::Zero, 0.3);
        const auto child = makeValue(DynamicValueInput::Parent, 0.2, {0.5, 1.0});
        child->setParent(parent);
        QCOMPARE(child->normal(at(0.1, 0.1), false), 0.5);

        // The child's chain shapes the parent's result; the cyclic flag reaches the parent.
        appendStep(*child, "x^2");
        child->setOffset(0.0);
        parent->setOffset(-0.5);
        QCOMPARE(child->normal(at(0.1, 0.1), true), 0.25);
        QCOMPARE(child->normal(at(0.1, 0.1), false), 0.0);
    }

    void zeroSkipsChainAndRange()
    {
        const auto value = makeValue(DynamicValueInput::Zero, 0.1, {0.2, 0.6});
        appendStep(*value, "invert");
        QCOMPARE(value->normal(at(0.0, 0.0), false), 0.1);
        value->setInput(DynamicValueInput::X);
        QCOMPARE(value->normal(at(0.0, 0.0), false), 0.7);
    }

    void rangeAndOffset_data()
    {
        QTest::addColumn<double>("offset");
        QTest::addColumn<bool>("cyclic");
        QTest::addColumn<double>("x");
        QTest::addColumn<double>("expected");

        QTest::newRow("mapped") << 0.0 << false << 0.5 << 0.4;
        QTest::newRow("clamped input") << 0.0 << false << 1.7 << 0.6;
        QTest::newRow("offset") << 0.1 << false << 0.5 << 0.5;
        QTest::newRow("offset clamped") << 0.7 << false << 0.5 << 1.0;
        QTest::newRow("offset wrapped") << 0.7 << true << 0.5 << 0.1;
        QTest::newRow("negative wrapped") << -0.5 << true << 0.0 << 0.7;
        QTest::newRow("negative clamped") << -0.5 << false << 0.0 << 0.0;
    }

    void rangeAndOffset()
    {
        QFETCH(double, offset);
        QFETCH(bool, cyclic);
        QFETCH(double, x);
        QFETCH(double, expected);
        const auto value = makeValue(DynamicValueInput::X, offset, {0.2, 0.6});
        QVERIFY(std::abs(value->normal(at(x, 0.0), cyclic) - expected) < 1e-12);
    }

    void wrapAndClamp_data()
    {
        QTest::addColumn<double>("offset");
        QTest::addColumn<double>("wrapped");
        QTest::addColumn<double>("clamped");

        QTest::newRow("1.25") << 1.25 << 0.25 << 1.0;
        QTest::newRow("-0.25") << -0.25 << 0.75 << 0.0;
        QTest::newRow("1.0") << 1.0 << 0.0 << 1.0;
        QTest::newRow("-1.0") << -1.0 << 1.0 << 0.0;
        QTest::newRow("0.5") << 0.5 << 0.5 << 0.5;
        QTest::newRow("3.5") << 3.5 << 0.5 << 1.0;
        QTest::newRow("NaN") << notANumber << 0.0 << 0.0;
        QTest::newRow("infinity") << std::numeric_limits<double>::infinity() << 0.0 << 1.0;
    }

    void wrapAndClamp()
    {
        QFETCH(double, offset);
        QFETCH(double, wrapped);
        QFETCH(double, clamped);
        const auto value = makeValue(DynamicValueInput::Zero, offset);
        QCOMPARE(value->normal(at(0.5, 0.5), true), wrapped);
        QCOMPARE(value->normal(at(0.5, 0.5), false), clamped);
        QCOMPARE(DynamicValue::wrappedOrClamped(offset, true), wrapped);
    }

    void inputTable()
    {
        const auto& list = doc::dynamicValueInputList();
        QStringList identifiers;
        for (const auto& entry : list) {
            QCOMPARE(int(entry.value), identifiers.size());
            identifiers.append(entry.identifier);
        }
        QCOMPARE(identifiers, (QStringList{"parent", "zero", "x", "y", "polar_angle", "polar_distance", "item_radius",
                                           "item_index", "random"}));
        QCOMPARE(list[4].glyph, QChar(0xE08C));
        QCOMPARE(list[1].glyph, QChar(u'0'));
        QCOMPARE(doc::dynamicValueInputToPreviewInfo(DynamicValueInput::PolarAngle), QStringLiteral("angle→↓"));
        QCOMPARE(doc::dynamicValueInputToPreviewInfo(static_cast<DynamicValueInput>(9)), QString());
        QCOMPARE(doc::dynamicValueInputToString(static_cast<DynamicValueInput>(-1)), QStringLiteral("zero"));
        QCOMPARE(doc::dynamicValueInputFromString(QStringLiteral("random")), DynamicValueInput::Random);
        QCOMPARE(doc::dynamicValueInputFromString(QStringLiteral("Random")), DynamicValueInput::Zero);
    }

    void toStringKey()
    {
        DynamicValue value(nullptr);
        QCOMPARE(value.toString(), QStringLiteral("{zero;fn[];0.000;0.000-1.000;0.500,0.500}"));

        value.setInput(DynamicValueInput::PolarAngle);
        value.setOffset(-0.25);
        value.setRange({-0.5, 0.125});
        value.setCenter({0.3333, 1.0});
        appendStep(value, "linear");
        appendStep(value, "sine_01", InputFunctionOperator::Multiply, InputFunctionSource::Input);
        value.setParent(makeValue(DynamicValueInput::X));
        QCOMPARE(value.toString(), QStringLiteral("{polar_angle;fn[linear(map,result),sine_01(multiply,input)];"
                                                  "-0.250;-0.500-0.125;0.333,1.000}"));
    }

    void dataRoundTripThroughJsonText()
    {
        const auto value = makeValue(DynamicValueInput::PolarDistance, -0.3, {0.2, -0.4}, {0.25, 0.75});
        appendStep(*value, "x^2");
        appendStep(*value, "invert", InputFunctionOperator::Add, InputFunctionSource::Input);
        const QVariant data = throughJsonText(value->toData());

        DynamicValue copy(nullptr);
        copy.setFromDataOrThrow(data);

        QCOMPARE(copy.toString(), value->toString());
        QCOMPARE(copy.input(), DynamicValueInput::PolarDistance);
        QCOMPARE(copy.offset(), -0.3);
        QVERIFY(copy.range() == geo::NormalRange(0.2, -0.4));
        QVERIFY(copy.center() == geo::Normal2D(0.25, 0.75));
        QVERIFY(*copy.functions() == *value->functions());
        QCOMPARE(copy.toData(), value->toData());
        QCOMPARE(data.toMap().keys(), (QStringList{"center", "functions", "input", "offset", "range"}));
    }

    void readingDefaults()
    {
        DynamicValue value(nullptr);
        appendStep(value, "linear");
        value.setFromDataOrThrow(QVariantMap{{QStringLiteral("input"), QStringLiteral("x")}});
        QCOMPARE(value.input(), DynamicValueInput::X);
        QVERIFY(value.functions()->functions().empty());
        QCOMPARE(value.offset(), 0.0);
        QVERIFY(value.range() == geo::NormalRange(0.0, 0.0));
        QVERIFY(value.center() == geo::Normal2D(0.0, 0.0));

        value.setFromDataOrThrow(QVariantMap{{QStringLiteral("input"), QStringLiteral("Random")},
                                             {QStringLiteral("offset"), notANumber},
                                             {QStringLiteral("center"), QVariantMap{{QStringLiteral("x"), 1.5}, {QStringLiteral("y"), -2.0}}}});
        QCOMPARE(value.input(), DynamicValueInput::Zero);
        QCOMPARE(value.offset(), 0.0);
        QVERIFY(value.center() == geo::Normal2D(1.0, 0.0));
    }

    void failedReadKeepsChainOffsetRangeAndCenter()
    {
        const auto value = makeValue(DynamicValueInput::Y, 0.4, {0.1, 0.2}, {0.3, 0.4});
        appendStep(*value, "linear");
        Recorder recorder(*value);
        const QVariantMap data{{QStringLiteral("input"), QStringLiteral("x")},
                               {QStringLiteral("functions"), QVariantList{QVariantMap{{"identifier", "nope"}}}},
                               {QStringLiteral("offset"), 0.9}};
        try {
            value->setFromDataOrThrow(data);
            QFAIL("no error");
        } catch (const err::Deserialize& error) {
            QCOMPARE(error.reason(), QStringLiteral("Unknown function identifier.; keypath=identifier"));
        }
        QCOMPARE(value->input(), DynamicValueInput::X);
        QCOMPARE(value->toString(), QStringLiteral("{x;fn[linear(map,result)];0.400;0.100-0.200;0.300,0.400}"));
        QVERIFY(recorder.texts.isEmpty());
    }

    void announcements()
    {
        DynamicValue value(nullptr);
        Recorder recorder(value);
        // Equal values and the parent link announce nothing.
        value.setInput(DynamicValueInput::Zero);
        value.setOffset(0.0);
        value.setRange({0.0, 1.0});
        value.setCenter({0.5, 0.5});
        value.setParent(makeValue(DynamicValueInput::X));
        QVERIFY(recorder.texts.isEmpty());

        value.setInput(DynamicValueInput::Y);
        value.setOffset(0.2);
        value.setRange({0.1, 1.0});
        value.setCenter({0.5, 0.1});
        appendStep(value, "linear");
        value.functions()->replaceFunction(0, value.functions()->function(0));
        value.functions()->removeFunction(7);
        value.functions()->resetToDefaults();
        QCOMPARE(recorder.texts, (QStringList{"property:input", "property:offset", "property:range", "property:center",
                                              "property:functions", "property:functions", "property:functions",
                                              "property:functions"}));

        recorder.texts.clear();
        value.setFromDataOrThrow(value.toData());
        value.resetToInheritFromParent();
        QCOMPARE(recorder.texts, (QStringList{"property:functions", "reset", "property:functions", "reset"}));
        QCOMPARE(value.toString(), QStringLiteral("{parent;fn[];0.000;0.000-1.000;0.500,0.500}"));
    }

    void destroyedValueLeavesItsChain()
    {
        std::shared_ptr<doc::InputFunctions> chain = DynamicValue(nullptr).functions();
        chain->appendFunction(InputFunction::create(QStringLiteral("linear"), InputFunctionOperator::Map,
                                                    InputFunctionSource::Result));
        QCOMPARE(chain->functions().size(), std::size_t(1));
    }
};

MOTIFEX_TEST_MAIN(TestDynamicValue)
#include "tst_dynamicvalue.moc"
