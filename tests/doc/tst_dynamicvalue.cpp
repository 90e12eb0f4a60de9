#include "common/TestMain.h"
#include "doc/tst_document_support.h"

#include "doc/DynamicValue.h"

#include <QtConcurrent>

#include <cmath>
#include <limits>
#include <set>
#include <stdexcept>

using doc::DynamicValue;
using doc::DynamicValueInput;
using motifex::test::deserializeError;
using motifex::test::Listening;
using motifex::test::step;
using motifex::test::throughJsonText;
using Op = doc::InputFunctionOperator;
using Source = doc::InputFunctionSource;

Q_DECLARE_METATYPE(geo::Normal2D)

namespace {

constexpr double notANumber = std::numeric_limits<double>::quiet_NaN();

std::shared_ptr<DynamicValue> makeValue(DynamicValueInput input, double offset = 0.0, geo::NormalRange range = {0.0, 1.0},
                                        geo::Normal2D center = {0.5, 0.5})
{
    return std::make_shared<DynamicValue>(nullptr, input, offset, range, center);
}

doc::ItemStyleInput at(double x, double y)
{
    return {x, y, 0.0, 0.0};
}

QVariantMap entry(const char* identifier, const char* op, const char* source)
{
    return QVariantMap{{"identifier", identifier}, {"operator", op}, {"source", source}};
}

std::shared_ptr<doc::InputFunctions> chainOf(const QVariantList& data)
{
    auto chain = std::make_shared<doc::InputFunctions>(nullptr);
    chain->setFromDataOrThrow(data);
    return chain;
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
        QTest::addColumn<doc::ItemStyleInput>("item");
        QTest::addColumn<double>("expected");
        using I = DynamicValueInput;
        using In = doc::ItemStyleInput;
        const geo::Normal2D middle(0.5, 0.5);
        const geo::Normal2D origin(0.0, 0.0);
        const double diagonal = std::sqrt(0.5);
        QTest::newRow("x") << I::X << middle << In{0.3, 0.8} << 0.3;
        QTest::newRow("x clamped") << I::X << middle << In{1.7, 0.8} << 1.0;
        QTest::newRow("x NaN") << I::X << middle << In{notANumber, 0.8} << 0.0;
        QTest::newRow("y negative") << I::Y << middle << In{0.3, -0.8} << 0.0;
        QTest::newRow("angle right") << I::PolarAngle << middle << In{0.9, 0.5} << 0.5;
        QTest::newRow("angle left") << I::PolarAngle << middle << In{0.1, 0.5} << 0.0;
        QTest::newRow("angle below") << I::PolarAngle << middle << In{0.5, 0.9} << 0.75;
        QTest::newRow("angle above") << I::PolarAngle << middle << In{0.5, 0.1} << 0.25;
        QTest::newRow("angle on center") << I::PolarAngle << middle << In{0.5, 0.5} << 0.5;
        QTest::newRow("angle below right") << I::PolarAngle << middle << In{0.9, 0.9} << 0.625;
        QTest::newRow("distance corner") << I::PolarDistance << middle << In{0.0, 0.0} << 1.0;
        QTest::newRow("distance center") << I::PolarDistance << middle << In{0.5, 0.5} << 0.0;
        QTest::newRow("distance edge") << I::PolarDistance << middle << In{1.0, 0.5} << 0.5 / diagonal;
        QTest::newRow("distance from origin") << I::PolarDistance << origin << In{1.0, 1.0} << 1.0;
        QTest::newRow("radius") << I::ItemRadius << middle << In{0.1, 0.1, 0.3, 0.9} << 0.3;
        QTest::newRow("index") << I::ItemIndex << middle << In{0.1, 0.1, 0.3, 0.9} << 0.9;
    }

    void eachInput()
    {
        QFETCH(DynamicValueInput, input);
        QFETCH(geo::Normal2D, center);
        QFETCH(doc::ItemStyleInput, item);
        QTEST(makeValue(input, 0.0, {0.0, 1.0}, center)->normal(item, false).value(), "expected");
    }

    void rangeOffsetWrapAndClamp_data()
    {
        QTest::addColumn<DynamicValueInput>("input");
        QTest::addColumn<double>("offset");
        QTest::addColumn<double>("x");
        QTest::addColumn<double>("wrapped");
        QTest::addColumn<double>("clamped");
        using I = DynamicValueInput;
        // Range {0.2, 0.6} throughout; a zero input skips chain and range.
        QTest::newRow("mapped") << I::X << 0.0 << 0.5 << 0.4 << 0.4;
        QTest::newRow("clamped input") << I::X << 0.0 << 1.7 << 0.6 << 0.6;
        QTest::newRow("offset") << I::X << 0.7 << 0.5 << 0.1 << 1.0;
        QTest::newRow("1.25") << I::Zero << 1.25 << 0.5 << 0.25 << 1.0;
        QTest::newRow("-0.25") << I::Zero << -0.25 << 0.5 << 0.75 << 0.0;
        QTest::newRow("1.0") << I::Zero << 1.0 << 0.5 << 0.0 << 1.0;
        QTest::newRow("-1.0") << I::Zero << -1.0 << 0.5 << 1.0 << 0.0;
        QTest::newRow("NaN") << I::Zero << notANumber << 0.5 << 0.0 << 0.0;
    }

    void rangeOffsetWrapAndClamp()
    {
        QFETCH(DynamicValueInput, input);
        QFETCH(double, offset);
        QFETCH(double, x);
        const auto value = makeValue(input, offset, {0.2, 0.6});
        QTEST(value->normal(at(x, 0.0), true).value(), "wrapped");
        QTEST(value->normal(at(x, 0.0), false).value(), "clamped");
    }

    void zeroParentUnknownAndRandomInputs()
    {
        const auto value = makeValue(DynamicValueInput::Zero, 0.1, {0.2, 0.6});
        value->functions()->appendFunction(step("invert"));
        QCOMPARE(value->normal(at(0.0, 0.0), false), 0.1); // chain and range skipped
        value->setInput(DynamicValueInput::X);
        QCOMPARE(value->normal(at(0.0, 0.0), false), 0.7); // invert(0) = 1 maps to 0.6
        value->setInput(static_cast<DynamicValueInput>(42));
        QCOMPARE(value->normal(at(0.3, 0.3), false), 0.7);

        const auto child = makeValue(DynamicValueInput::Parent, 1.25, {0.5, 1.0});
        QCOMPARE(child->normal(at(0.9, 0.9), true), 0.25); // no parent: the offset alone
        QCOMPARE(child->normal(at(0.9, 0.9), false), 1.0);
        // The parent's result is not mapped into the child's range again.
        const auto parent = makeValue(DynamicValueInput::Zero, 0.3);
        child->setParent(parent);
        child->setOffset(0.2);
        QCOMPARE(child->normal(at(0.1, 0.1), false), 0.5);
        // The child's chain shapes the parent's result; the cyclic flag reaches the parent.
        child->functions()->appendFunction(step("x^2"));
        child->setOffset(0.0);
        parent->setOffset(-0.5);
        QCOMPARE(child->normal(at(0.1, 0.1), true), 0.25);
        QCOMPARE(child->normal(at(0.1, 0.1), false), 0.0);

        // The one random source is shared safely by threads and seeded from the system.
        const auto random = makeValue(DynamicValueInput::Random);
        const QList<double> draws = QtConcurrent::blockingMapped(QList<int>(4000), [&random](int) { return random->normal(at(0.5, 0.5), false).value(); });
        const std::set<double> distinct(draws.cbegin(), draws.cend());
        QVERIFY(distinct.size() > 3990);
        QVERIFY(*distinct.cbegin() >= 0.0 && *distinct.crbegin() < 1.0);

        QCOMPARE(DynamicValue::randomSeed([] { return quint64(1234); }), quint64(1234));
        std::set<quint64> seeds;
        for (int i = 0; i < 4; ++i) {
            seeds.insert(DynamicValue::randomSeed([]() -> quint64 { throw std::runtime_error("no entropy"); }));
        }
        QVERIFY(seeds.size() > 1);
    }

    void tables()
    {
        QStringList rows;
        for (const auto& entry : doc::dynamicValueInputList()) {
            rows.append(QStringLiteral("%1 %2 %3 %4 %5").arg(int(entry.value)).arg(entry.identifier, entry.description, QString::number(entry.glyph.unicode(), 16), entry.previewText));
    
        QStringList rows;
        for (const auto& row : doc::inputFunctionOperatorList()) {
            rows.append(QStringLiteral("%1 %2 %3").arg(int(row.value)).arg(row.identifier, row.label));
        }
        for (const auto& row : doc::inputFunctionSourceList()) {
            rows.append(QStringLiteral("%1 %2 %3").arg(int(row.value)).arg(row.identifier, row.label));
        }
        QCOMPARE(rows, (QStringList{"0 map Map", "1 add Add", "2 multiply Multiply", "0 result Last Result", "1 input Original Input"}));
        QCOMPARE(doc::inputFunctionOperatorToString(static_cast<Op>(7)), QString());
        QCOMPARE(doc::inputFunctionOperatorFromString("Map"), Op::Multiply);
        QCOMPARE(doc::inputFunctionSourceToString(static_cast<Source>(-1)), QString());
        QCOMPARE(doc::inputFunctionSourceFromString("input"), Source::Input);
        QCOMPARE(doc::inputFunctionSourceFromString("Input"), Source::Result);
    
    }
        QCOMPARE(rows, (QStringList{"0 parent Use parent value as input f345 parent", "1 zero Use zero as input 30 static",
                                    "2 x Use item X position as input f07e X→", "3 y Use item Y position as input f07d Y↓",
                                    "4 polar_angle Use angle to item from center as input e08c angle→↓",
                                    "5 polar_distance Use the distance from center as input e09e distance→↓",
                                    "6 item_radius Use relative size of the item. f545 radius→",
                                    "7 item_index Use relative index, of the order how the item was placed. f88c index→",
                                    "8 random Use a random value as input f522 random→↓"}));
        QCOMPARE(doc::dynamicValueInputToPreviewInfo(DynamicValueInput::PolarAngle), QStringLiteral("angle→↓"));
        QCOMPARE(doc::dynamicValueInputToPreviewInfo(static_cast<DynamicValueInput>(9)), QString());
        QCOMPARE(doc::dynamicValueInputToString(static_cast<DynamicValueInput>(-1)), QStringLiteral("zero"));
        QCOMPARE(doc::dynamicValueInputFromString("random"), DynamicValueInput::Random);
        QCOMPARE(doc::dynamicValueInputFromString("Random"), DynamicValueInput::Zero);
    }

    void textKeyDataAndAnnouncements()
    {
        QCOMPARE(DynamicValue(nullptr).toString(), QStringLiteral("{zero;fn[];0.000;0.000-1.000;0.500,0.500}"));
        const auto value = makeValue(DynamicValueInput::PolarAngle, -0.25, {-0.5, 0.125}, {0.3333, 1.0});
        value->functions()->appendFunction(step("linear"));
        value->functions()->appendFunction(step("sine_01", Op::Multiply, Source::Input));
        value->setParent(makeValue(DynamicValueInput::X));
        QCOMPARE(value->toString(), QStringLiteral("{polar_angle;fn[linear(map,result),sine_01(multiply,input)];-0.250;-0.500-0.125;0.333,1.000}"));

        const QVariant data = throughJsonText(value->toData());
        QCOMPARE(data.toMap().keys(), (QStringList{"center", "functions", "input", "offset", "range"}));
        DynamicValue copy(nullptr);
        copy.setFromDataOrThrow(data);
        QCOMPARE(copy.toData(), value->toData());
        QVERIFY(copy.parent() == nullptr);

        Listening listening(value);
        // Equal values and the parent link announce nothing.
        value->setRange({-0.5, 0.125});
        value->setCenter({0.3333, 1.0});
        value->setParent(nullptr);
        QVERIFY(listening.recorder.events.isEmpty());

        value->setInput(DynamicValueInput::Y);
        value->setOffset(0.2);
        value->setRange({0.1, 1.0});
        value->setCenter({0.5, 0.1});
        value->functions()->appendFunction(step("linear"));
        value->functions()->replaceFunction(0, step("invert"));
        value->functions()->removeFunction(7);
        value->functions()->resetToDefaults();
        value->setFromDataOrThrow(value->toData());
        value->resetToInheritFromParent();
        QCOMPARE(listening.recorder.events, (QStringList{"property:input", "property:offset", "property:range", "property:center",
                                                         "property:functions", "property:functions", "property:functions", "property:functions",
                                                         "property:functions", "reset", "property:functions", "reset"}));
        QCOMPARE(listening.recorder.lastElement, value.get());
        QCOMPARE(value->toString(), QStringLiteral("{parent;fn[];0.000;0.000-1.000;0.500,0.500}"));

        const std::shared_ptr<doc::InputFunctions> chain = DynamicValue(nullptr).functions();
        chain->appendFunction(step("linear")); // the destroyed value has left the chain's listeners
    }

    void reading()
    {
        const auto value = makeValue(DynamicValueInput::Y, 0.4, {0.1, 0.2}, {0.3, 0.4});
        value->functions()->appendFunction(step("linear"));
        Listening listening(value);
        // A failure keeps chain, offset, range and center, but the input is already read.
        QVariantMap data = motifex::test::badChain();
        data.insert("input", "x");
        data.insert("offset", 0.9);
        QCOMPARE(deserializeError([&] { value->setFromDataOrThrow(data); }), QStringLiteral("Unknown function identifier.; keypath=identifier"));
        QCOMPARE(value->toString(), QStringLiteral("{x;fn[linear(map,result)];0.400;0.100-0.200;0.300,0.400}"));
        QVERIFY(listening.recorder.events.isEmpty());

        value->setFromDataOrThrow(QVariantMap{{"input", "x"}});
        QCOMPARE(value->toString(), QStringLiteral("{x;fn[];0.000;0.000-0.000;0.000,0.000}"));
        value->setFromDataOrThrow(QVariantMap{{"input", "Random"}, {"offset", notANumber}, {"center", QVariantMap{{"x", 1.5}, {"y", -2.0}}}});
        QCOMPARE(value->toString(), QStringLiteral("{zero;fn[];0.000;0.000-0.000;1.000,0.000}"));

        QCOMPARE(doc::InputFunction::fromDataOrThrow(QVariantMap{{"identifier", "x^2"}})->toString(), QStringLiteral("x^2(multiply,result)"));
        QCOMPARE(doc::InputFunction::fromDataOrThrow(entry("log", "ADD", "inputs"))->toString(), QStringLiteral("log(multiply,result)"));

        const auto chain = chainOf({entry("linear", "map", "result")});
        Listening chainListening(chain);
        for (const QVariant& bad : {QVariant(QVariantMap{{"identifier", "nope"}}), QVariant(QVariantMap{{"operator", "add"}}),
                                    QVariant(QVariantMap{{"identifier", "Linear"}}), QVariant("linear")}) {
            QCOMPARE(deserializeError([&] { chain->setFromDataOrThrow(QVariantList{QVariantMap{{"identifier", "invert"}}, bad}); }),
                     QStringLiteral("Unknown function identifier.; keypath=identifier"));
        }
        QCOMPARE(chain->toString(), QStringLiteral("fn[linear(map,result)]"));
        QVERIFY(chainListening.recorder.events.isEmpty());
    }

    void chainValues_data()
    {
        QTest::addColumn<QVariantList>("data");
        QTest::addColumn<double>("input");
        QTest::addColumn<double>("expected");
        const double nan = std::numeric_limits<double>::quiet_NaN();
        QTest::newRow("add clamps at the end") << QVariantList{entry("linear", "add", "result")} << 0.7 << 1.0;
        QTest::newRow("multiply reads the original input") << QVariantList{entry("x^2", "map", "result"), entry("invert", "multiply", "input")} << 0.5 << 0.125;
        QTest::newRow("empty above 1") << QVariantList{} << 1.3 << 1.0;
        QTest::newRow("empty below 0") << QVariantList{} << -0.2 << 0.0;
        QTest::newRow("empty NaN") << QVariantList{} << nan << 0.0;
        // invert gives -0.3, plus 1.3 / 2.
        QTest::newRow("steps are not clamped in between") << QVariantList{entry("invert", "map", "result"), entry("divide_2", "add", "input")} << 1.3 << 0.35;
        QTest::newRow("NaN becomes 0 at add") << QVariantList{entry("linear", "add", "result"), entry("invert", "map", "result")} << nan << 1.0;
        QTest::newRow("linear passes NaN on") << QVariantList{entry("linear", "map", "result"), entry("1-(1-x)^2", "map", "result")} << nan << 1.0;
        QTest::newRow("steps trap") << QVariantList{entry("steps_10", "map", "result")} << 0.3 << 2.0 / 9;
    }

    void chainValues()
    {
        QFETCH(QVariantList, data);
        QFETCH(double, input);
        QTEST(chainOf(data)->normal(input).value(), "expected");
    }

    void chainEditsAreAnnouncedAndNeverStoreANullStep()
    {
        QVERIFY(step("nope") == nullptr);
        const auto chain = std::make_shared<doc::InputFunctions>(nullptr);
        Listening listening(chain);
        chain->appendFunction(nullptr);
        chain->appendFunction(step("linear"));
        chain->appendFunction(step("x^2", Op::Add, Source::Input));
        chain->appendFunction(step("log", Op::Multiply));
        chain->replaceFunction(1, step("sine_01", Op::Map, Source::Input));
        chain->replaceFunction(0, nullptr);
        chain->replaceFunction(5, step("linear"));
        chain->replaceFunction(-1, step("linear"));
        chain->removeFunction(0);
        chain->removeFunction(5);
        chain->removeFunction(-1);
        QCOMPARE(chain->toString(), QStringLiteral("fn[sine_01(map,input),log(multiply,result)]"));
        QVERIFY(chain->function(2) == nullptr && chain->function(-1) == nullptr);

        const auto copy = chainOf(chain->toData().toList());
        QVERIFY(*copy == *chain);
        copy->replaceFunction(1, step("log", Op::Multiply, Source::Input));
        QVERIFY(*copy != *chain);
        copy->removeFunction(1);
        QVERIFY(*copy != *chain);

        chain->resetToDefaults();
        QCOMPARE(listening.recorder.events, (QStringList{"added:0", "added:1", "added:2", "property:1", "removed:0", "removed:5", "removed:-1", "reset"}));
        QCOMPARE(chain->toString(), QStringLiteral("fn[]"));
    }
};

MOTIFEX_TEST_MAIN(TestDynamicValue)
#include "tst_dynamicvalue.moc"
