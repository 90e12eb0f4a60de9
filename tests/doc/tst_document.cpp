#include "common/TestMain.h"
#include "doc/tst_document_support.h"

#include "doc/Color.h"
#include "doc/DynamicValue.h"
#include "doc/Item.h"
#include "doc/Items.h"
#include "doc/Properties.h"
#include "doc/UpdateScope.h"
#include "err/Error.h"

#include <QtConcurrent>

#include <array>

using motifex::test::badChain;
using motifex::test::Listening;
using motifex::test::Recorder;
using motifex::test::step;
using motifex::test::throughJsonText;

namespace {

// Applies an edit to the document and returns the announcements it expects.
using DocumentEdit = std::function<QStringList(doc::Document&)>;

const QString loadError = QStringLiteral("There was a problem while parsing the shape definitions in the document; ");

// A user shape that no held shape looks like, as a project's "shapes" entry.
QVariantMap freshShapeEntry(const QString& name)
{
    const auto shape = shape::Manager::instance()->shape(QStringLiteral("circle"))->copy();
    shape->setName(name);
    return shape->toData(170).toMap();
}

QString itemPath(const doc::Document& document, int index)
{
    return QStringLiteral("items/") + document.items()->itemAt(index)->itemId();
}

// The chain resets of the four channels of the colour at the path, as a colour read announces them.
QStringList channelChains(const QString& colorPath)
{
    QStringList events;
    for (const char* channel : {"hue", "saturation", "value", "alpha"}) {
        events << QStringLiteral("property:%1/%2/functions").arg(colorPath, QLatin1String(channel));
    }
    return events;
}

using Recorders = std::array<Recorder, 3>;
// Changes the listener list of the value from inside a listener's callback.
using Meddle = std::function<void(doc::DynamicValue&, Recorders&)>;

} // namespace

Q_DECLARE_METATYPE(DocumentEdit)
Q_DECLARE_METATYPE(Meddle)

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
        mine->setName("Mine 2");
        const QString mineId = shapes().add(mine);
        const auto properties = document->properties();
        properties->setFromDataOrThrow(QVariantMap{
            {"algorithmIdentifier", "other"}, {"canvasSize", QVariantMap{{"width", 120.5}, {"height", 80.0}}}, {"canvasMargin", 2.5},
            {"canvasBackgroundColor", "#102030"}, {"canvasFrameEnabled", false}, {"canvasFrameShape", "heart"}, {"canvasFrameRatio", 0.625},
            {"canvasFrameValueB", 0.3}, {"precision", 4}, {"itemSpacing", 1.5}, {"itemOverlap", 0.2}, {"randomPlacementAmount", 0.1},
            {"roundToPrecisionEnabled", true}, {"snapToFrameEnabled", false}, {"name", "Pattern 2, v1.5"},
            {"notes", "First line.\nSecond: 100%"}, {"worldShape", mineId}});
        properties->worldRotation()->setInput(doc::DynamicValueInput::PolarAngle);
        properties->worldRotation()->functions()->appendFunction(step("x^2", doc::InputFunctionOperator::Add));
        properties->worldColor()->hue()->setInput(doc::DynamicValueInput::X);
        properties->worldColor()->hue()->setRange(geo::NormalRange{0.1, 0.7});
        const auto item = document->items()->addItem();
        item->setFromDataOrThrow(QVariantMap{{"shapeId", mineId}, {"radius", 7.0}, {"radiusTransition", "x^2"}, {"radiusEnd", 2.0}, {"count", 33}});
        item->color()->setStaticColor(QColor("#336699"));
        item->orderZ()->functions()->appendFunction(step("x^2", doc::InputFunctionOperator::Add, doc::InputFunctionSource::Input));
        document->items()->itemAt(0)->setShapeId(shapes().shape(5UL)->identifier());
        return document;
    }

private slots:
    void initTestCase() { m_startup = std::make_unique<motifex::test::CoreStartup>(); }
    void cleanupTestCase() { m_startup.reset(); }

    void newDocumentAndRoundTripThroughJsonText()
    {
        const auto document = std::make_shared<doc::Document>();
        const QVariantMap data = document->toData().toMap();
        QCOMPARE(data.keys(), (QStringList{"items", "properties", "shapes"}));
        QCOMPARE(data.value("shapes"), QVariant(QVariantList{}));
        QCOMPARE(data.value("items").toList().size(), 8);
        QCOMPARE(document->shapeIds(), QSet<QString>{"circle"});
        QVERIFY(*document->update() == doc::UpdateState::Idle && document->document() == document.get());

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
        QCOMPARE(motifex::test::deserializeError([&] { document->setFromDataOrThrow(throughJsonText(data)); }),
                 loadError + message + "; keypath=" + keyPath.join("->"));
        QCOMPARE(document->toData(), before);
        QVERIFY(listening.recorder.events.isEmpty());
        QCOMPARE(*document->update(), doc::UpdateState::Idle);
        QCOMPARE(shapes().shapeCount(), shapeCount);
    }

    void loadAndReset()
    {
        const auto document = richDocument();
        const QVariant before = document->toData();
        const std::size_t shapeCount = shapes().shapeCount();
        Listening listening(document);
        {
            doc::UpdateScope scope(document);
            QVERIFY(scope.beginEditorUpdate()); // nothing is done while a control writes
            document->setFromDataOrThrow(QVariantMap{});
            document->resetToDefault();
            QVERIFY(!document->setFromDocument(std::make_shared<doc::Document>()));
        }
        QCOMPARE(document->toData(), before);
        QVERIFY(listening.recorder.events.isEmpty());

        document->resetToDefault(); // the properties' and the item list's resets, then its own
        QCOMPARE(listening.recorder.events.count("reset"), 3);

        listening.recorder.events.clear();
        bool isAlwaysLoading = true;
        listening.recorder.action = [&] { isAlwaysLoading &= *document->update() == doc::UpdateState::DocumentUpdate; };
        document->setFromDataOrThrow(QVariantMap{});
        QCOMPARE(document->properties()->toData(), m_startup->edited->properties()->toData());
        QCOMPARE(document->items()->items().size(), 8);
        // The resets of the properties and of the item list (two: the defaults, then the load) come first.
        QCOMPARE(listening.recorder.events.count("reset"), 4);
        QCOMPARE(listening.recorder.events.constLast(), QStringLiteral("reset"));
        QVERIFY(isAlwaysLoading);
        QCOMPARE(*document->update(), doc::UpdateState::Idle);
        QCOMPARE(shapes().shapeCount(), shapeCount);
    }

    void copyAndCompare()
    {
        const auto document = richDocument();
        const auto copy = m_startup->generatorCopy;
        QVERIFY(copy->setFromDocument(document));
        QCOMPARE(copy->compare(document), doc::CompareResult::Equal);
        copy->properties()->setName("Other");
        copy->items()->itemAt(1)->color()->value()->setOffset(0.2);
        QCOMPARE(copy->compare(document), doc::CompareResult::Changed);
        QCOMPARE(document->compare(copy), doc::CompareResult::Changed);
        copy->items()->itemAt(2)->setCount(3);
        QCOMPARE(copy->compare(document), doc::CompareResult::RequiresRegenerate);

        // A document from which the user removed every item is copied without items.
        while (!document->items()->items().isEmpty()) {
            document->items()->removeItem(0);
        }
        QVERIFY(copy->setFromDocument(document));
        QVERIFY(copy->items()->items().isEmpty());
        QCOMPARE(copy->compare(document), doc::CompareResult::Equal);
        copy->setFromDataOrThrow(document->toData()); // project data still gets the default items
        QCOMPARE(copy->items()->items().size(), 8);

        // A copy that cannot be read resets the target, logs and tells the caller.
        const auto source = richDocument();
        const auto worldShape = source->properties()->worldShape();
        const QString name = worldShape->name();
        worldShape->setName("tab\tin the name"); // the copy cannot read this shape back
        copy->properties()->setName("Before");
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression("^Could not copy the document, reset it to the defaults: "));
        const bool copied = copy->setFromDocument(source);
        worldShape->setName(name);
        QVERIFY(!copied);
        QCOMPARE(copy->properties()->toData(), m_startup->edited->properties()->toData());
        QCOMPARE(copy->items()->items().size(), 8);
        QVERIFY(!copy->setFromDocument(nullptr));
    }

    void shapesAreImportedOnTheMainThreadOnly()
    {
        const QVariantMap entry = freshShapeEntry("Imported once");
        const QString identifier = entry.value("identifier").toString();
        const QVariant data = throughJsonText(QVariantMap{{"shapes", QVariantList{entry}}, {"properties", QVariantMap{{"worldShape", identifier}}},
                                                          {"items", QVariantList{QVariantMap{{"shapeId", identifier}}}}});
        const std::size_t shapeCount = shapes().shapeCount();
        const auto loadElsewhere = [&data] {
            auto document = std::make_shared<doc::Document>();
            document->setFromDataOrThrow(data);
            return document->properties()->worldShape()->identifier();
        };

        QCOMPARE(QtConcurrent::run(loadElsewhere).result(), QStringLiteral("circle"));
        QCOMPARE(shapes().shapeCount(), shapeCount);

        const auto document = std::make_shared<doc::Document>();
        document->setFromDataOrThrow(data);
        QCOMPARE(shapes().shapeCount(), shapeCount + 1);
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
        const auto square = [] { return step("x^2"); };

        QTest::newRow("canvas size") << DocumentEdit([](D& d) { d.properties()->setCanvasSize(geo::Size(5000000, 5000000)); return QStringList{"property:properties/canvasSize"}; });
        QTest::newRow("world colour") << DocumentEdit([](D& d) { d.properties()->worldColor()->saturation()->setOffset(0.3); return QStringList{"property:properties/worldColor/saturation/offset"}; });
        QTest::newRow("item count") << DocumentEdit([](D& d) { d.items()->itemAt(2)->setCount(5); return QStringList{"property:" + itemPath(d, 2) + "/count"}; });
        QTest::newRow("item colour") << DocumentEdit([](D& d) { d.items()->itemAt(0)->color()->hue()->setOffset(0.5); return QStringList{"property:" + itemPath(d, 0) + "/color/hue/offset"}; });
        QTest::newRow("item order chain") << DocumentEdit([square](D& d) { d.items()->itemAt(1)->orderZ()->functions()->appendFunction(square()); return QStringList{"property:" + itemPath(d, 1) + "/orderZ/functions"}; });
        QTest::newRow("add") << DocumentEdit([](D& d) { d.items()->addItem(); return QStringList{"added:" + itemPath(d, 8)}; });
        QTest::newRow("duplicate") << DocumentEdit([](D& d) { d.items()->duplicateItem(4); return QStringList{"added:" + itemPath(d, 5)}; });
        QTest::newRow("remove") << DocumentEdit([](D& d) { const QString removed = itemPath(d, 3); d.items()->removeItem(3); return QStringList{"removed:" + removed}; });
        QTest::newRow("sort") << DocumentEdit([](D& d) { d.items()->sort(); return QStringList{"reset"}; });
        QTest::newRow("properties reset") << DocumentEdit([](D& d) { d.properties()->resetToDefault(); return QStringList{"property:properties/worldRotation/functions", "property:properties/worldRotation", "property:properties/worldOrderZ/functions", "property:properties/worldOrderZ", "property:properties/worldOrderZ/input", "reset"}; });
        // Resets inside a world value or an item's style value reach the document as a change of the
        // value's key, after the value has been read whole.
        QTest::newRow("item value reset") << DocumentEdit([](D& d) { d.items()->itemAt(0)->rotation()->resetToDefaults(); return QStringList{"property:" + itemPath(d, 0) + "/rotation/functions", "property:" + itemPath(d, 0) + "/rotation"}; });
        QTest::newRow("preset into the world colour") << DocumentEdit([](D& d) { d.properties()->worldColor()->setFromDataOrThrow(d.properties()->worldColor()->toData()); return channelChains("properties/worldColor") << "property:properties/worldColor"; });
        QTest::newRow("preset into an item colour") << DocumentEdit([](D& d) { const auto color = d.items()->itemAt(1)->color(); color->setFromDataOrThrow(color->toData()); return channelChains(itemPath(d, 1) + "/color") << "property:" + itemPath(d, 1) + "/color"; });
        QTest::newRow("world order read") << DocumentEdit([](D& d) { const auto order = d.properties()->worldOrderZ(); order->setFromDataOrThrow(order->toData()); return QStringList{"property:properties/worldOrderZ/functions", "property:properties/worldOrderZ"}; });
        QTest::newRow("item back to its data") << DocumentEdit([](D& d) {
            const auto item = d.items()->itemAt(2);
            item->setFromDataOrThrow(item->toData());
            const QString path = "property:" + itemPath(d, 2);
            return QStringList{path + "/rotation/functions", path + "/rotation", path + "/orderZ/functions", path + "/orderZ"} << channelChains(itemPath(d, 2) + "/color") << path + "/color";
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

    void listenersAreCalledInRegistrationOrderAndMayReleaseTheElement()
    {
        auto value = std::make_shared<doc::DynamicValue>(nullptr);
        QStringList order;
        Recorders r;
        for (const int i : {1, 0, 1}) {
            r[i].action = [&order, i] { order.append(QString::number(i)); };
            value->addListener(&r[i]);
        }
        value->setOffset(0.1);
        value->setOffset(0.1); // the same value again announces nothing
        value->removeListener(&r[1]); // every entry of it
        value->removeListener(&r[2]); // not on the list
        value->setOffset(0.2);
        QCOMPARE(order, (QStringList{"1", "0", "1", "0"}));
        QCOMPARE(r[0].events, (QStringList{"property:offset", "property:offset"}));
        QCOMPARE(r[0].lastElement, value.get());

        r[0].action = [&] { value.reset(); }; // a listener releases the announcing element
        value->addListener(&r[1]);
        value->setOffset(0.3);
        QVERIFY(value == nullptr && r[1].events.size() == 2);
    }

    // Three recorders a, b, c stand on a value in this order and b meddles in its callbacks; then two
    // announcements follow. A listener's exception ends only the announcement it was thrown in.
    void listenersChangingTheListDuringACall_data()
    {
        QTest::addColumn<Meddle>("meddle");
        QTest::addColumn<QList<int>>("counts");
        using V = doc::DynamicValue;

        QTest::newRow("removes itself") << Meddle([](V& v, Recorders& r) { v.removeListener(&r[1]); }) << QList<int>{2, 1, 2};
        QTest::newRow("removes the others") << Meddle([](V& v, Recorders& r) { v.removeListener(&r[0]); v.removeListener(&r[2]); }) << QList<int>{1, 2, 0};
        QTest::newRow("adds one for the next call") << Meddle([](V& v, Recorders& r) { if (r[1].events.size() == 1) v.addListener(&r[0]); }) << QList<int>{3, 2, 2};
        QTest::newRow("leaves and comes back") << Meddle([](V& v, Recorders& r) { v.removeListener(&r[1]); v.addListener(&r[1]); }) << QList<int>{2, 2, 2};
        QTest::newRow("announces again, then removes c") << Meddle([](V& v, Recorders& r) { if (r[1].events.size() == 1) { v.setOffset(0.5); v.removeListener(&r[2]); } }) << QList<int>{3, 3, 1};
        QTest::newRow("removes c and throws") << Meddle([](V& v, Recorders& r) { if (r[1].events.size() == 1) { v.removeListener(&r[2]); throw err::Error("Listener failed."); } }) << QList<int>{2, 2, 0};
    }

    void listenersChangingTheListDuringACall()
    {
        QFETCH(Meddle, meddle);
        auto value = std::make_shared<doc::DynamicValue>(nullptr);
        Recorders r;
        r[1].action = [&] { meddle(*value, r); };
        for (Recorder& recorder : r) {
            value->addListener(&recorder);
        }
        for (const double offset : {0.1, 0.2}) {
            try {
                value->setOffset(offset);
            } catch (const err::Error&) {
            }
        }
        QTEST((QList<int>{int(r[0].events.size()), int(r[1].events.size()), int(r[2].events.size())}), "counts");
        value.reset(); // before the recorders it points to
    }

    // A control writes unless a document update runs; a listener refreshes unless an editor update runs.
    // Each result is "<allowed><state inside the scope>"; closing the scope restores the state.
    void scopeRules()
    {
        using S = doc::UpdateState;
        const auto document = std::make_shared<doc::Document>();
        QStringList results;
        for (const S before : {S::Idle, S::DocumentUpdate, S::EditorUpdate}) {
            for (const bool isEditor : {true, false}) {
                *document->update() = before;
                {
                    doc::UpdateScope scope(document);
                    const bool isAllowed = isEditor ? scope.beginEditorUpdate() : scope.beginDocumentUpdate();
                    results.append(QStringLiteral("%1%2").arg(isAllowed).arg(int(*document->update())));
                }
                QCOMPARE(*document->update(), before);
            }
        }
        QCOMPARE(results, (QStringList{"12", "11", "01", "11", "12", "02"}));
    }
};

MOTIFEX_TEST_MAIN(TestDocument)
#include "tst_document.moc"
