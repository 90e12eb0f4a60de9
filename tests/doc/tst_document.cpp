#include "common/TestMain.h"
#include "doc/tst_document_support.h"

#include "doc/Color.h"
#include "doc/DynamicValue.h"
#include "doc/InputFunctions.h"
#include "doc/Item.h"
#include "doc/Items.h"
#include "doc/Properties.h"
#include "doc/UpdateScope.h"
#include "err/Deserialize.h"

#include <QSignalSpy>
#include <QtConcurrent>

#include <functional>

using motifex::test::Listening;
using motifex::test::throughJsonText;

namespace {

// Applies an edit to the document and returns the announcements it expects.
using DocumentEdit = std::function<QStringList(doc::Document&)>;

const QString loadError = QStringLiteral("There was a problem while parsing the shape definitions in the document; ");

QVariantMap badChain()
{
    return QVariantMap{{"functions", QVariantList{QVariantMap{{"identifier", "no-such-function"}}}}};
}

std::shared_ptr<doc::InputFunction> squareStep()
{
    return doc::InputFunction::create("x^2", doc::InputFunctionOperator::Add, doc::InputFunctionSource::Input);
}

// A user shape that no held shape looks like, as a project's "shapes" entry.
QVariantMap freshShapeEntry(const QString& name)
{
    const auto shape = shape::Manager::instance()->shape(QStringLiteral("circle"))->copy();
    shape->setName(name);
    return shape->toData(170).toMap();
}

QString itemIdAt(const doc::Document& document, int index)
{
    return document.items()->itemAt(index)->itemId();
}

} // namespace

Q_DECLARE_METATYPE(DocumentEdit)

class TestDocument : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<motifex::test::CoreStartup> m_startup;

    shape::Manager& shapes() const { return *m_startup->shapes; }

    // Every part of the document away from its defaults, a user shape included.
    std::shared_ptr<doc::Document> richDocument() const
    {
        auto document = std::make_shared<doc::Document>();
        auto mine = shapes().shape(QStringLiteral("circle"))->copy();
        mine->setName(QStringLiteral("Mine 2"));
        const QString mineId = shapes().add(mine);
        const auto properties = document->properties();
        properties->setAlgorithmIdentifier("other");
        properties->setCanvasSize(geo::Size(120500000, 80000000));
        properties->setCanvasMargin(geo::Length(2500000));
        properties->setCanvasBackgroundColor(QColor("#102030"));
        properties->setCanvasFrameEnabled(false);
        properties->setCanvasFrameShape(frame::Shape::Heart);
        properties->setCanvasFrameRatio(0.625);
        properties->setCanvasFrameValueB(0.3);
        properties->setPrecision(geo::Precision::fromLevel(4));
        properties->setItemSpacing(geo::Length(1500000));
        properties->setItemOverlap(geo::Length(200000));
        properties->setRandomPlacementAmount(0.1);
        properties->setRoundToPrecisionEnabled(true);
        properties->setSnapToFrameEnabled(false);
        properties->setName("Pattern 2, v1.5");
        properties->setNotes("First line.\nSecond: 100%");
        properties->setWorldShape(shapes().shape(mineId));
        properties->worldRotation()->setInput(doc::DynamicValueInput::PolarAngle);
        properties->worldRotation()->functions()->appendFunction(squareStep());
        properties->worldColor()->hue()->setInput(doc::DynamicValueInput::X);
        properties->worldColor()->hue()->setRange(geo::NormalRange{0.1, 0.7});
        const auto item = document->items()->addItem();
        item->setShapeId(mineId);
        item->setRadius(geo::Length(7000000));
        item->setRadiusTransition("x^2");
        item->setRadiusEnd(geo::Length(2000000));
        item->setCount(33);
        item->color()->setStaticColor(QColor("#336699"));
        item->orderZ()->functions()->appendFunction(squareStep());
        document->items()->itemAt(0)->setShapeId(shapes().shape(5UL)->identifier());
        return document;
    }

private slots:
    void initTestCase() { m_startup = std::make_unique<motifex::test::CoreStartup>(); }
    void cleanupTestCase() { m_startup.reset(); }

    void newDocumentData()
    {
        const auto document = std::make_shared<doc::Document>();
        const QVariantMap data = document->toData().toMap();
        QCOMPARE(data.keys(), (QStringList{"items", "properties", "shapes"}));
        QCOMPARE(data.value("shapes"), QVariant(QVariantList{}));
        QCOMPARE(data.value("items").toList().size(), 8);
        QCOMPARE(document->properties()->compare(m_startup->edited->properties()), doc::CompareResult::Equal);
        QCOMPARE(document->shapeIds(), QSet<QString>{"circle"});
        QCOMPARE(*document->update(), doc::UpdateState::Idle);
    }

    void roundTripThroughJsonText()
    {
        const auto original = richDocument();
        const std::size_t shapeCount = shapes().shapeCount();
        const QByteArray text = QJsonDocument(original->toJson()).toJson();
        QCOMPARE(original->toData().toMap().value("shapes").toList().size(), 1);

        const auto loaded = std::make_shared<doc::Document>();
        loaded->setFromJsonOrThrow(QJsonDocument::fromJson(text).object());

        QCOMPARE(loaded->compare(original), doc::CompareResult::Equal);
        QCOMPARE(original->compare(loaded), doc::CompareResult::Equal);
        QCOMPARE(loaded->toData(), original->toData());
        QCOMPARE(loaded->properties()->worldShape(), original->properties()->worldShape());
        QCOMPARE(loaded->shapeIds(), original->shapeIds());
        QCOMPARE(shapes().shapeCount(), shapeCount); // held shapes are reused, not imported again
    }

    void badInputLeavesTheDocumentAsItWas_data()
    {
        QTest::addColumn<QVariantMap>("data");
        QTest::addColumn<QString>("message");
        QTest::addColumn<QStringList>("keyPath");
        const QVariantMap goodProperties{{"name", "Replaced"}, {"canvasFrameShape", "star"}};

        QTest::newRow("shapes no list") << QVariantMap{{"shapes", "text"}} << "The shape entry is not a list." << QStringList{"document"};
        QTest::newRow("shape no object") << QVariantMap{{"shapes", QVariantList{42}}} << "The shape entry is no object." << QStringList{"document", "entry[0]"};
        QTest::newRow("shape without identifier") << QVariantMap{{"shapes", QVariantList{QVariantMap{{"type", "Circle"}}}}} << "The shape entry has no identifier." << QStringList{"document", "entry[0]"};
        QTest::newRow("world rotation") << QVariantMap{{"properties", QVariantMap{{"worldRotation", badChain()}}}} << "Unknown function identifier." << QStringList{"document", "properties", "worldRotation", "identifier"};
        QTest::newRow("world colour") << QVariantMap{{"properties", QVariantMap{{"worldColor", QVariantMap{{"saturation", badChain()}}}}}} << "Unknown function identifier." << QStringList{"document", "properties", "worldColor", "saturation", "identifier"};
        QTest::newRow("first item order") << QVariantMap{{"properties", goodProperties}, {"items", QVariantList{QVariantMap{{"orderZ", badChain()}}}}} << "Unknown function identifier." << QStringList{"document", "items", "[0]", "orderZ", "identifier"};
        QTest::newRow("second item colour") << QVariantMap{{"properties", goodProperties}, {"items", QVariantList{QVariantMap{}, QVariantMap{{"color", QVariantMap{{"hue", badChain()}}}}}}} << "Unknown function identifier." << QStringList{"document", "items", "[1]", "color", "hue", "identifier"};
        const QVariantMap shape = freshShapeEntry("Not imported");
        QTest::newRow("new shape, bad item") << QVariantMap{{"shapes", QVariantList{shape}}, {"properties", QVariantMap{{"worldShape", shape.value("identifier")}}}, {"items", QVariantList{QVariantMap{{"rotation", badChain()}}}}} << "Unknown function identifier." << QStringList{"document", "items", "[0]", "rotation", "identifier"};
    }

    void badInputLeavesTheDocumentAsItWas()
    {
        QFETCH(QVariantMap, data);
        QFETCH(QString, message);
        QFETCH(QStringList, keyPath);
        const auto document = richDocument();
        const QVariant before = document->toData();
        const std::size_t shapeCount = shapes().shapeCount();
        Listening listening(document);

        try {
            document->setFromDataOrThrow(throughJsonText(data));
            QFAIL("The bad data was accepted.");
        } catch (const err::Deserialize& error) {
            QCOMPARE(error.message(), loadError + message);
            QCOMPARE(error.keyPath(), keyPath);
            QCOMPARE(error.reason(), loadError + message + "; keypath=" + keyPath.join("->"));
        }

        QCOMPARE(document->toData(), before);
        QVERIFY(listening.recorder.events.isEmpty());
        QCOMPARE(*document->update(), doc::UpdateState::Idle);
        QCOMPARE(shapes().shapeCount(), shapeCount);
    }

    void loadingAnEmptyMap()
    {
        const auto document = richDocument();
        const std::size_t shapeCount = shapes().shapeCount();
        Listening listening(document);

        document->setFromDataOrThrow(QVariantMap{});

        QCOMPARE(document->properties()->toData(), m_startup->edited->properties()->toData());
        QCOMPARE(document->items()->items().size(), 8);
        QCOMPARE(listening.recorder.events.constLast(), QStringLiteral("reset"));
        QCOMPARE(shapes().shapeCount(), shapeCount);
    }

    void loadAndResetWaitWhileAControlWrites()
    {
        const auto document = richDocument();
        const QVariant before = document->toData();
        Listening listening(document);
        {
            doc::UpdateScope scope(document);
            QVERIFY(scope.beginEditorUpdate());
            document->setFromDataOrThrow(QVariantMap{});
            document->resetToDefault();
            QVERIFY(!document->setFromDocument(std::make_shared<doc::Document>()));
            QCOMPARE(*document->update(), doc::UpdateState::EditorUpdate);
        }
        QCOMPARE(document->toData(), before);
        QVERIFY(listening.recorder.events.isEmpty());
    }

    void compareDocuments()
    {
        const auto document = richDocument();
        const auto copy = m_startup->generatorCopy;
        Listening listening(copy);
        QVERIFY(copy->setFromDocument(document));
        QCOMPARE(copy->compare(document), doc::CompareResult::Equal);
        QCOMPARE(listening.recorder.events.constLast(), QStringLiteral("reset"));
        QCOMPARE(*copy->update(), doc::UpdateState::Idle);

        copy->properties()->setName("Other");
        copy->items()->itemAt(1)->color()->value()->setOffset(0.2);
        QCOMPARE(copy->compare(document), doc::CompareResult::Changed);
        QCOMPARE(document->compare(copy), doc::CompareResult::Changed);

        copy->items()->itemAt(2)->setCount(3);
        QCOMPARE(copy->compare(document), doc::CompareResult::RequiresRegenerate);
        copy->items()->itemAt(2)->setCount(document->items()->itemAt(2)->count());
        copy->properties()->setItemSpacing(geo::Length(0));
        QCOMPARE(copy->compare(document), doc::CompareResult::RequiresRegenerate);
    }

    void failedCopyResetsAndTellsTheCaller()
    {
        const auto source = richDocument();
        const auto worldShape = source->properties()->worldShape();
        const QString name = worldShape->name();
        worldShape->setName(QStringLiteral("tab\tin the name")); // the copy cannot read this shape back
        const auto target = std::make_shared<doc::Document>();
        target->properties()->setName("Before");

        QTest::ignoreMessage(QtWarningMsg, QRegularExpression("^Could not copy the document, reset it to the defaults: "));
        const bool copied = target->setFromDocument(source);
        worldShape->setName(name);

        QVERIFY(!copied);
        QCOMPARE(target->properties()->toData(), m_startup->edited->properties()->toData());
        QCOMPARE(target->items()->items().size(), 8);
        QVERIFY(!target->setFromDocument(nullptr));
    }

    void shapesAreImportedOnTheMainThreadOnly()
    {
        const QVariantMap entry = freshShapeEntry("Imported once");
        const QString identifier = entry.value("identifier").toString();
        const QVariant data = throughJsonText(QVariantMap{
            {"shapes", QVariantList{entry}},
            {"properties", QVariantMap{{"worldShape", identifier}}},
            {"items", QVariantList{QVariantMap{{"shapeId", identifier}}}},
        });
        const std::size_t shapeCount = shapes().shapeCount();
        QSignalSpy added(&shapes(), &shape::Manager::shapeAdded);
        const auto loadElsewhere = [&data] {
            auto document = std::make_shared<doc::Document>();
            document->setFromDataOrThrow(data);
            return document->properties()->worldShape()->identifier();
        };

        QCOMPARE(QtConcurrent::run(loadElsewhere).result(), QStringLiteral("circle"));
        QCOMPARE(shapes().shapeCount(), shapeCount);
        QCOMPARE(added.count(), 0);

        const auto document = std::make_shared<doc::Document>();
        document->setFromDataOrThrow(data);
        QCOMPARE(shapes().shapeCount(), shapeCount + 1);
        QCOMPARE(added.count(), 1);
        QCOMPARE(document->properties()->worldShape()->identifier(), identifier);
        QCOMPARE(document->shapeIds(), QSet<QString>{identifier});

        document->setFromDataOrThrow(data);
        QCOMPARE(QtConcurrent::run(loadElsewhere).result(), identifier);
        QCOMPARE(shapes().shapeCount(), shapeCount + 1);
    }

    void notification_data()
    {
        QTest::addColumn<DocumentEdit>("edit");
        using D = doc::Document;
        const auto item = [](const D& d, int index) { return QStringLiteral("items/") + itemIdAt(d, index); };

        QTest::newRow("canvas size") << DocumentEdit([](D& d) {
            d.properties()->setCanvasSize(geo::Size(5000000, 5000000));
            return QStringList{"property:properties/canvasSize"};
        });
        QTest::newRow("world colour") << DocumentEdit([](D& d) {
            d.properties()->worldColor()->saturation()->setOffset(0.3);
            return QStringList{"property:properties/worldColor/saturation/offset"};
        });
        QTest::newRow("world rotation chain") << DocumentEdit([](D& d) {
            d.properties()->worldRotation()->functions()->appendFunction(squareStep());
            return QStringList{"property:properties/worldRotation/functions"};
        });
        QTest::newRow("item count") << DocumentEdit([item](D& d) {
            d.items()->itemAt(2)->setCount(5);
            return QStringList{"property:" + item(d, 2) + "/count"};
        });
        QTest::newRow("item colour") << DocumentEdit([item](D& d) {
            d.items()->itemAt(0)->color()->hue()->setOffset(0.5);
            return QStringList{"property:" + item(d, 0) + "/color/hue/offset"};
        });
        QTest::newRow("item order chain") << DocumentEdit([item](D& d) {
            d.items()->itemAt(1)->orderZ()->functions()->appendFunction(squareStep());
            return QStringList{"property:" + item(d, 1) + "/orderZ/functions"};
        });
        QTest::newRow("add") << DocumentEdit([item](D& d) {
            d.items()->addItem();
            return QStringList{"added:" + item(d, 8)};
        });
        QTest::newRow("duplicate") << DocumentEdit([item](D& d) {
            d.items()->duplicateItem(4);
            return QStringList{"added:" + item(d, 5)};
        });
        QTest::newRow("remove") << DocumentEdit([item](D& d) {
            const QString removed = item(d, 3);
            d.items()->removeItem(3);
            return QStringList{"removed:" + removed};
        });
        QTest::newRow("sort") << DocumentEdit([](D& d) {
            d.items()->sort();
            return QStringList{"reset"};
        });
        QTest::newRow("properties reset") << DocumentEdit([](D& d) {
            d.properties()->resetToDefault();
            return QStringList{"property:properties/worldRotation/functions", "property:properties/worldOrderZ/functions",
                               "property:properties/worldOrderZ/input", "reset"};
        });
        QTest::newRow("reset inside an item stays there") << DocumentEdit([item](D& d) {
            d.items()->itemAt(0)->rotation()->resetToDefaults();
            return QStringList{"property:" + item(d, 0) + "/rotation/functions"};
        });
    }

    void notification()
    {
        QFETCH(DocumentEdit, edit);
        const auto document = std::make_shared<doc::Document>();
        Listening listening(document);

        const QStringList expected = edit(*document);

        QCOMPARE(listening.recorder.events, expected);
        if (expected.constFirst().startsWith("property:")) {
            QCOMPARE(listening.recorder.lastElement, document.get());
        }
    }

    void documentResetPassesOnBothParts()
    {
        const auto document = richDocument();
        Listening listening(document);
        document->resetToDefault();
        QCOMPARE(listening.recorder.events.count("reset"), 3);
        QCOMPARE(listening.recorder.events.constLast(), QStringLiteral("reset"));
        QCOMPARE(document->properties()->toData(), m_startup->edited->properties()->toData());
        QCOMPARE(*document->update(), doc::UpdateState::Idle);
    }
};

MOTIFEX_TEST_MAIN(TestDocument)
#include "tst_document.moc"
