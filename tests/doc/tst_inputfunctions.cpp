#include "common/TestMain.h"

#include "doc/Document.h"
#include "doc/DocumentChangeListener.h"
#include "doc/InputFunctions.h"
#include "err/Deserialize.h"

#include <QJsonDocument>

#include <limits>

namespace {

using Op = doc::InputFunctionOperator;
using Source = doc::InputFunctionSource;

constexpr double notANumber = std::numeric_limits<double>::quiet_NaN();

std::shared_ptr<doc::InputFunction> step(const char* identifier, Op op, Source source)
{
    auto function = doc::InputFunction::create(QString::fromUtf8(identifier), op, source);
    if (function == nullptr) {
        qFatal("Unregistered function in a test.");
    }
    return function;
}

class Recorder : public doc::DocumentChangeListener
{
public:
    void onDocumentPropertyChanged(const QString& name, const doc::DocumentElement*) override
    {
        events.append(QStringLiteral("property:") + name);
    }
    void onDocumentElementAdded(const QString& name) override { events.append(QStringLiteral("added:") + name); }
    void onDocumentElementRemoved(const QString& name) override { events.append(QStringLiteral("removed:") + name); }
    void onDocumentElementReset() override { events.append(QStringLiteral("reset")); }

    QStringList events;
};

// A chain with a recorder attached, on a document of its own.
struct Chain {
    Chain() { chain.addListener(&recorder); }
    ~Chain() { chain.removeListener(&recorder); }

    std::shared_ptr<doc::Document> document = std::make_shared<doc::Document>();
    doc::InputFunctions chain{document.get()};
    Recorder recorder;
};

QVariant throughJsonText(const QVariant& data)
{
    const QByteArray text = QJsonDocument::fromVariant(data).toJson();
    return QJsonDocument::fromJson(text).toVariant();
}

} // namespace

class TestInputFunctions : public QObject
{
    Q_OBJECT

private slots:
    void operatorTable()
    {
        const auto& list = doc::inputFunctionOperatorList();
        QCOMPARE(list.size(), std::size_t(3));
        const QStringList identifiers{QStringLiteral("map"), QStringLiteral("add"), QStringLiteral("multiply")};
        const QStringList labels{QStringLiteral("Map"), QStringLiteral("Add"), QStringLiteral("Multiply")};
        for (std::size_t i = 0; i < list.size(); ++i) {
            QCOMPARE(static_cast<int>(list[i].value), static_cast<int>(i));
            QCOMPARE(list[i].identifier, identifiers.at(static_cast<qsizetype>(i)));
            QCOMPARE(list[i].label, labels.at(static_cast<qsizetype>(i)));
            QCOMPARE(doc::inputFunctionOperatorToString(list[i].value), list[i].identifier);
            QCOMPARE(doc::inputFunctionOperatorFromString(list[i].identifier), list[i].value);
        }
        QCOMPARE(doc::inputFunctionOperatorToString(static_cast<Op>(7)), QString());
        QCOMPARE(doc::inputFunctionOperatorFromString(QStringLiteral("Map")), Op::Multiply);
        QCOMPARE(doc::inputFunctionOperatorFromString(QString()), Op::Multiply);
    }

    void sourceTable()
    {
        const auto& list = doc::inputFunctionSourceList();
        QCOMPARE(list.size(), std::size_t(2));
        QCOMPARE(list[0].value, Source::Result);
        QCOMPARE(list[0].identifier, QStringLiteral("result"));
        QCOMPARE(list[0].label, QStringLiteral("Last Result"));
        QCOMPARE(list[1].value, Source::Input);
        QCOMPARE(list[1].identifier, QStringLiteral("input"));
        QCOMPARE(list[1].label, QStringLiteral("Original Input"));
        QCOMPARE(doc::inputFunctionSourceToString(static_cast<Source>(-1)), QString());
        QCOMPARE(doc::inputFunctionSourceFromString(QStringLiteral("input")), Source::Input);
        QCOMPARE(doc::inputFunctionSourceFromString(QStringLiteral("Input")), Source::Result);
    }

    void chainValues_data()
    {
        QTest::addColumn<QVariant>("data");
        QTest::addColumn<double>("input");
        QTest::addColumn<double>("expected");
        const auto entry = [](const char* identifier, const char* op, const char* source) {
            return QVariant(QVariantMap{{QStringLiteral("identifier"), QString::fromUtf8(identifier)},
                                        {QStringLiteral("operator"), QString::fromUtf8(op)},
                                        {QStringLiteral("source"), QString::fromUtf8(source)}});
        };
        QTest::newRow("add clamps at the end") << QVariant(QVariantList{entry("linear", "add", "result")}) << 0.7 << 1.0;
        QTest::newRow("multiply reads the original input")
            << QVariant(QVariantList{entry("x^2", "map", "result"), entry("invert", "multiply", "input")}) << 0.5
            << 0.125;
        QTest::newRow("empty above 1") << QVariant(QVariantList{}) << 1.3 << 1.0;
        QTest::newRow("empty below 0") << QVariant(QVariantList{}) << -0.2 << 0.0;
        QTest::newRow("empty NaN") << QVariant(QVariantList{}) << notANumber << 0.0;
        QTest::newRow("steps are not clamped in between")
            << QVariant(QVariantList{entry("invert", "map", "result"), entry("divide_2", "add", "input")}) << 1.3
            << 0.35; // invert gives -0.3, plus 1.3 / 2
        QTest::newRow("negative inside, clamped at the end")
            << QVariant(QVariantList{entry("invert", "map", "result")}) << 1.3 << 0.0;
        QTest::newRow("NaN becomes 0 at add")
            << QVariant(QVariantList{entry("linear", "add", "result"), entry("invert", "map", "result")}) << notANumber << 1.0;
        QTest::newRow("linear passes NaN to the next step")
            << QVariant(QVariantList{entry("linear", "map", "result"), entry("1-(1-x)^2", "map", "result")}) << notANumber
            << 1.0;
        QTest::newRow("steps trap") << QVariant(QVariantList{entry("steps_10", "map", "result")}) << 0.3 << 2.0 / 9;
    }

    void chainValues()
    {
        QFETCH(QVariant, data);
        QFETCH(double, input);
        QFETCH(double, expected);
        Chain chain;
        chain.chain.setFromDataOrThrow(data);
        QVERIFY(qAbs(chain.chain.normal(input) - expected) < 1e-12);
    }

    void missingOperatorAndSourceFallBack()
    {
        const auto function =
            doc::InputFunction::fromDataOrThrow(QVariantMap{{QStringLiteral("identifier"), QStringLiteral("x^2")}});
        QVERIFY(function != nullptr);
        QCOMPARE(function->identifier(), QStringLiteral("x^2"));
        QCOMPARE(function->op(), Op::Multiply);
        QCOMPARE(function->inputSource(), Source::Result);
        const auto unmatched = doc::InputFunction::fromDataOrThrow(
            QVariantMap{{QStringLiteral("identifier"), QStringLiteral("log")},
                        {QStringLiteral("operator"), QStringLiteral("ADD")},
                        {QStringLiteral("source"), QStringLiteral("inputs")}});
        QCOMPARE(unmatched->toString(), QStringLiteral("log(multiply,result)"));
    }

    void unknownIdentifierIsTheOneError_data()
    {
        QTest::addColumn<QVariant>("entry");
        QTest::newRow("unknown") << QVariant(QVariantMap{{QStringLiteral("identifier"), QStringLiteral("nope")}});
        QTest::newRow("missing") << QVariant(QVariantMap{{QStringLiteral("operator"), QStringLiteral("add")}});
        QTest::newRow("case differs") << QVariant(QVariantMap{{QStringLiteral("identifier"), QStringLiteral("Linear")}});
        QTest::newRow("no map") << QVariant(QStringLiteral("linear"));
    }

    void unknownIdentifierIsTheOneError()
    {
        QFETCH(QVariant, entry);
        Chain chain;
        chain.chain.appendFunction(step("linear", Op::Map, Source::Result));
        chain.recorder.events.clear();
        const QVariantList data{
            QVariantMap{{QStringLiteral("identifier"), QStringLiteral("invert")}},
            entry,
        };
        try {
            chain.chain.setFromDataOrThrow(data);
            QFAIL("no error");
        } catch (const err::Deserialize& error) {
            QCOMPARE(error.reason(), QStringLiteral("Unknown function identifier.; keypath=identifier"));
        }
        QCOMPARE(chain.chain.toString(), QStringLiteral("fn[linear(map,result)]"));
        QVERIFY(chain.recorder.events.isEmpty());
    }

    void nullStepIsNeverStored()
    {
        QVERIFY(doc::InputFunction::create(QString(), Op::Map, Source::Result) == nullptr);
        Chain chain;
        chain.chain.appendFunction(doc::InputFunction::create(QStringLiteral("nope"), Op::Map, Source::Result));
        chain.chain.appendFunction(nullptr);
        QVERIFY(chain.chain.functions().empty());

        chain.chain.appendFunction(step("invert", Op::Map, Source::Result));
        chain.chain.replaceFunction(0, nullptr);
        QCOMPARE(chain.chain.toString(), QStringLiteral("fn[invert(map,result)]"));
        QCOMPARE(chain.chain.toData().toList().size(), 1);
        QVERIFY(qAbs(chain.chain.normal(0.25) - 0.75) < 1e-12);
        QCOMPARE(chain.recorder.events, QStringList{QStringLiteral("added:0")});
    }

    void editsAreAnnounced()
    {
        Chain chain;
        chain.chain.appendFunction(step("linear", Op::Map, Source::Result));
        chain.chain.appendFunction(step("x^2", Op::Add, Source::Input));
        chain.chain.appendFunction(step("log", Op::Multiply, Source::Result));
        chain.chain.replaceFunction(1, step("sine_01", Op::Map, Source::Input));
        chain.chain.replaceFunction(5, step("sine_01", Op::Map, Source::Input));
        chain.chain.replaceFunction(-1, step("sine_01", Op::Map, Source::Input));
        chain.chain.removeFunction(0);
        chain.chain.removeFunction(5);
        chain.chain.removeFunction(-1);

        QCOMPARE(chain.recorder.events,
                 (QStringList{QStringLiteral("added:0"), QStringLiteral("added:1"), QStringLiteral("added:2"),
                              QStringLiteral("property:1"), QStringLiteral("removed:0"), QStringLiteral("removed:5"),
                              QStringLiteral("removed:-1")}));
        QCOMPARE(chain.chain.toString(), QStringLiteral("fn[sine_01(map,input),log(multiply,result)]"));
        QVERIFY(chain.chain.function(2) == nullptr);
        QVERIFY(chain.chain.function(-1) == nullptr);

        chain.recorder.events.clear();
        chain.chain.resetToDefaults();
        QCOMPARE(chain.recorder.events, QStringList{QStringLiteral("reset")});
        QCOMPARE(chain.chain.toString(), QStringLiteral("fn[]"));
    }

    void textKey()
    {
        Chain chain;
        chain.chain.appendFunction(step("linear", Op::Map, Source::Result));
        chain.chain.appendFunction(step("sine_01", Op::Multiply, Source::Input));
        QCOMPARE(chain.chain.toString(), QStringLiteral("fn[linear(map,result),sine_01(multiply,input)]"));
    }

    void roundTripThroughJsonText()
    {
        Chain original;
        original.chain.appendFunction(step("qubic_bezier_12", Op::Map, Source::Input));
        original.chain.appendFunction(step("cos_08", Op::Add, Source::Result));
        original.chain.appendFunction(step("1-(1-x)^3", Op::Multiply, Source::Input));
        const QVariant text = throughJsonText(original.chain.toData());
        QCOMPARE(text.toList().at(1).toMap(),
                 (QVariantMap{{QStringLiteral("identifier"), QStringLiteral("cos_08")},
                              {QStringLiteral("operator"), QStringLiteral("add")},
                              {QStringLiteral("source"), QStringLiteral("result")}}));

        Chain copy;
        copy.chain.setFromDataOrThrow(text);
        QVERIFY(copy.chain == original.chain);
        QCOMPARE(copy.chain.toString(), original.chain.toString());
        QCOMPARE(copy.recorder.events, QStringList{QStringLiteral("reset")});
        for (const double x : {0.0, 0.3, 0.5, 0.9, 1.0}) {
            QCOMPARE(copy.chain.normal(x), original.chain.normal(x));
        }
    }

    void equality()
    {
        Chain a;
        Chain b;
        QVERIFY(a.chain == b.chain);
        a.chain.appendFunction(step("log", Op::Map, Source::Result));
        QVERIFY(a.chain != b.chain);
        b.chain.appendFunction(step("log", Op::Map, Source::Input));
        QVERIFY(a.chain != b.chain);
        b.chain.replaceFunction(0, step("log", Op::Map, Source::Result));
        QVERIFY(a.chain == b.chain);
        QVERIFY(*step("log", Op::Add, Source::Result) != *step("log", Op::Map, Source::Result));
    }
};

MOTIFEX_TEST_MAIN(TestInputFunctions)
#include "tst_inputfunctions.moc"
