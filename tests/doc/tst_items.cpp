#include "common/TestMain.h"
#include "doc/tst_document_support.h"

#include "doc/Color.h"
#include "doc/DynamicValue.h"
#include "doc/Item.h"
#include "doc/Items.h"
#include "doc/Properties.h"
#include "err/Deserialize.h"

#include <QUuid>

#include <functional>
#include <limits>

using motifex::test::Listening;

namespace {

using ItemEdit = std::function<void(doc::Item&)>;

constexpr qint64 int64Max = std::numeric_limits<qint64>::max();
constexpr qint64 int64Min = std::numeric_limits<qint64>::min();

doc::Item::ShapeIdMap toShapeIdMap(const QVariantMap& map)
{
    doc::Item::ShapeIdMap result;
    for (auto entry = map.cbegin(); entry != map.cend(); ++entry) {
        result[entry.key()] = entry.value().toString();
    }
    return result;
}

QList<qint64> radiiOf(const doc::Items& items)
{
    QList<qint64> radii;
    for (const auto& item : items.items()) {
        radii.append(item->radius().value());
    }
    return radii;
}

QList<int> countsOf(const doc::Items& items)
{
    QList<int> counts;
    for (const auto& item : items.items()) {
        counts.append(item->count());
    }
    return counts;
}

bool isUuidText(const QString& text)
{
    return !QUuid::fromString(text).isNull() && !text.startsWith(QLatin1Char('{'));
}

} // namespace

Q_DECLARE_METATYPE(ItemEdit)
Q_DECLARE_METATYPE(doc::CompareResult)

class TestItems : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<motifex::test::CoreStartup> m_startup;

    doc::Document* document() const { return m_startup->edited.get(); }
    std::shared_ptr<doc::Items> newItems() const { return std::make_shared<doc::Items>(document()); }

private slots:
    void initTestCase() { m_startup = std::make_unique<motifex::test::CoreStartup>(); }
    void cleanupTestCase() { m_startup.reset(); }

    void newItemInheritsTheWorldValues()
    {
        const auto item = doc::Item::create(document());
        const auto properties = m_startup->edited->properties();
        QVERIFY(isUuidText(item->itemId()));
        QVERIFY(item->shapeId().isEmpty());
        QCOMPARE(item->radius().value(), 4000000);
        QCOMPARE(item->radiusEnd().value(), 0);
        QCOMPARE(item->count(), 10);
        QCOMPARE(item->rotation()->parent(), properties->worldRotation());
        QCOMPARE(item->rotation()->input(), doc::DynamicValueInput::Parent);
        QCOMPARE(item->orderZ()->parent(), properties->worldOrderZ());
        QCOMPARE(item->color()->parent(), properties->worldColor());
        QVERIFY(item->color()->isParentColor());
        QVERIFY(doc::Item::create(document())->itemId() != item->itemId());
    }

    void loadingAnItem_data()
    {
        QTest::addColumn<QVariant>("data");
        QTest::addColumn<QVariantMap>("shapeMap");
        QTest::addColumn<QString>("shapeId");
        QTest::addColumn<qint64>("radius");
        QTest::addColumn<qint64>("radiusEnd");
        QTest::addColumn<QString>("transition");
        QTest::addColumn<int>("count");
        const QVariantMap noMap;
        const auto entry = [](qlonglong radius, const QString& transition, const QVariant& end) {
            QVariantMap map{{"radius", radius}, {"radiusTransition", transition}, {"shapeId", "s"}, {"count", 3}};
            if (end.isValid()) {
                map.insert("radiusEnd", end);
            }
            return QVariant(map);
        };

        QTest::newRow("nothing stored") << QVariant(QVariantMap{}) << noMap << "circle" << qint64(10000000) << qint64(0) << "" << 1;
        QTest::newRow("no map") << QVariant(42) << noMap << "circle" << qint64(10000000) << qint64(0) << "" << 1;
        QTest::newRow("radius too small") << QVariant(QVariantMap{{"radius", qlonglong(5000)}}) << noMap << "circle" << qint64(10000000) << qint64(0) << "" << 1;
        QTest::newRow("radius too large") << QVariant(QVariantMap{{"radius", qlonglong(1000000001)}}) << noMap << "circle" << qint64(10000000) << qint64(0) << "" << 1;
        QTest::newRow("radius in millimetres") << QVariant(QVariantMap{{"radius", 2.5}}) << noMap << "circle" << qint64(2500000) << qint64(0) << "" << 1;
        QTest::newRow("count zero") << QVariant(QVariantMap{{"count", 0}}) << noMap << "circle" << qint64(10000000) << qint64(0) << "" << 1;
        QTest::newRow("count too large") << QVariant(QVariantMap{{"count", 2000000}}) << noMap << "circle" << qint64(10000000) << qint64(0) << "" << 1;
        QTest::newRow("count negative") << QVariant(QVariantMap{{"count", -3}}) << noMap << "circle" << qint64(10000000) << qint64(0) << "" << 1;
        QTest::newRow("count wrapping into range") << QVariant(QVariantMap{{"count", qlonglong(4294967297)}}) << noMap << "circle" << qint64(10000000) << qint64(0) << "" << 1;
        QTest::newRow("count from JSON number") << QVariant(QVariantMap{{"count", 12.0}}) << noMap << "circle" << qint64(10000000) << qint64(0) << "" << 12;
        QTest::newRow("unknown transition") << entry(5000000, "no-such-function", qlonglong(1000000)) << noMap << "s" << qint64(5000000) << qint64(0) << "" << 3;
        QTest::newRow("end above radius") << entry(5000000, "linear", qlonglong(6000000)) << noMap << "s" << qint64(5000000) << qint64(0) << "" << 3;
        QTest::newRow("end below smallest") << entry(5000000, "linear", qlonglong(5000)) << noMap << "s" << qint64(5000000) << qint64(0) << "" << 3;
        QTest::newRow("end missing") << entry(5000000, "linear", QVariant()) << noMap << "s" << qint64(5000000) << qint64(0) << "" << 3;
        QTest::newRow("end zero keeps") << entry(5000000, "linear", qlonglong(0)) << noMap << "s" << qint64(5000000) << qint64(0) << "linear" << 3;
        QTest::newRow("end equal radius") << entry(5000000, "x^2", qlonglong(5000000)) << noMap << "s" << qint64(5000000) << qint64(5000000) << "x^2" << 3;
        QTest::newRow("end without transition") << entry(5000000, "", qlonglong(1000000)) << noMap << "s" << qint64(5000000) << qint64(0) << "" << 3;
        QTest::newRow("shape renamed") << entry(5000000, "", QVariant()) << QVariantMap{{"s", "t"}} << "t" << qint64(5000000) << qint64(0) << "" << 3;
    }

    void loadingAnItem()
    {
        QFETCH(QVariant, data);
        QFETCH(QVariantMap, shapeMap);
        const auto item = doc::Item::create(document());
        item->rotation()->setInput(doc::DynamicValueInput::X);

        item->setFromDataOrThrow(data, toShapeIdMap(shapeMap));

        QTEST(item->shapeId(), "shapeId");
        QTEST(item->radius().value(), "radius");
        QTEST(item->radiusEnd().value(), "radiusEnd");
        QTEST(item->radiusTransition(), "transition");
        QTEST(item->count(), "count");
        QVERIFY(isUuidText(item->itemId()));
        QCOMPARE(item->rotation()->input(), doc::DynamicValueInput::Parent);
        QVERIFY(item->color()->isParentColor());
    }

    void loadedTransitionIsUsed()
    {
        const auto item = doc::Item::create(document());
        item->setFromDataOrThrow(QVariantMap{{"radius", qlonglong(9000000)}, {"radiusEnd", qlonglong(0)},
                                             {"radiusTransition", "x^2"}, {"count", 4}});
        QCOMPARE(item->radiusForInstance(1).value(), 7999992);
    }

    void radiusForInstance_data()
    {
        QTest::addColumn<qint64>("radius");
        QTest::addColumn<qint64>("radiusEnd");
        QTest::addColumn<QString>("transition");
        QTest::addColumn<int>("count");
        QTest::addColumn<int>("index");
        QTest::addColumn<qint64>("expected");

        QTest::newRow("no transition") << qint64(4000000) << qint64(1000000) << "" << 5 << 3 << qint64(4000000);
        QTest::newRow("no transition past the count") << qint64(4000000) << qint64(0) << "" << 5 << 99 << qint64(4000000);
        QTest::newRow("linear") << qint64(4000000) << qint64(0) << "linear" << 5 << 1 << qint64(3000000);
        QTest::newRow("linear first") << qint64(4000000) << qint64(1000000) << "linear" << 5 << 0 << qint64(4000000);
        QTest::newRow("linear last") << qint64(4000000) << qint64(1000000) << "linear" << 5 << 4 << qint64(1000000);
        QTest::newRow("one copy takes the value at 0") << qint64(4000000) << qint64(1000000) << "invert" << 1 << 0 << qint64(1000000);
        QTest::newRow("no copies") << qint64(4000000) << qint64(1000000) << "invert" << 0 << 0 << qint64(1000000);
        // (1/3)^2 = 0.111…: s6 = 888888 and 9000000 × 888888 / 1000000 = 7999992.
        QTest::newRow("square") << qint64(9000000) << qint64(0) << "x^2" << 4 << 1 << qint64(7999992);
        // (2/3)^2 = 0.444…: 9000000 × 555555 / 1e6 + 444444 × 3000000 / 1e6 = 4999995 + 1333332.
        QTest::newRow("square with end") << qint64(9000000) << qint64(3000000) << "x^2" << 4 << 2 << qint64(6333327);
        QTest::newRow("64-bit halves") << int64Max << int64Max << "linear" << 3 << 1 << qint64(int64Max - 1);
        QTest::newRow("64-bit start") << int64Max << qint64(0) << "linear" << 3 << 0 << int64Max;
        QTest::newRow("64-bit end") << int64Max << int64Max << "linear" << 2 << 1 << int64Max;
        QTest::newRow("64-bit smallest") << int64Min << qint64(0) << "linear" << 2 << 0 << int64Min;
    }

    void radiusForInstance()
    {
        QFETCH(qint64, radius);
        QFETCH(qint64, radiusEnd);
        QFETCH(QString, transition);
        QFETCH(int, count);
        QFETCH(int, index);
        const auto item = doc::Item::create(document());
        item->setRadius(geo::Length(radius));
        item->setRadiusEnd(geo::Length(radiusEnd));
        item->setRadiusTransition(transition);
        item->setCount(count);

        QTEST(item->radiusForInstance(index).value(), "expected");
    }

    void changedTransitionIsUsedAtOnce()
    {
        const auto item = doc::Item::create(document());
        item->setRadius(geo::Length(9000000));
        item->setCount(4);
        item->setRadiusTransition("linear");
        QCOMPARE(item->radiusForInstance(1).value(), 5999994); // s6 = 666666
        item->setRadiusTransition("x^2");
        QCOMPARE(item->radiusForInstance(1).value(), 7999992);
    }

    void oneEditPerField_data()
    {
        QTest::addColumn<ItemEdit>("edit");
        QTest::addColumn<QString>("path");
        QTest::addColumn<doc::CompareResult>("result");
        using R = doc::CompareResult;
        using I = doc::Item;

        QTest::newRow("radius") << ItemEdit([](I& i) { i.setRadius(geo::Length(1)); }) << "radius" << R::RequiresRegenerate;
        QTest::newRow("transition") << ItemEdit([](I& i) { i.setRadiusTransition("linear"); }) << "radiusTransition" << R::RequiresRegenerate;
        QTest::newRow("end") << ItemEdit([](I& i) { i.setRadiusEnd(geo::Length(1)); }) << "radiusEnd" << R::RequiresRegenerate;
        QTest::newRow("count") << ItemEdit([](I& i) { i.setCount(11); }) << "count" << R::RequiresRegenerate;
        QTest::newRow("negative count") << ItemEdit([](I& i) { i.setCount(-5); }) << "count" << R::RequiresRegenerate;
        QTest::newRow("shape") << ItemEdit([](I& i) { i.setShapeId("star"); }) << "shapeId" << R::Changed;
        QTest::newRow("rotation") << ItemEdit([](I& i) { i.rotation()->setOffset(0.5); }) << "rotation/offset" << R::Changed;
        QTest::newRow("order") << ItemEdit([](I& i) { i.orderZ()->setInput(doc::DynamicValueInput::Y); }) << "orderZ/input" << R::Changed;
        QTest::newRow("colour") << ItemEdit([](I& i) { i.color()->alpha()->setOffset(0.5); }) << "color/alpha/offset" << R::Changed;
    }

    void oneEditPerField()
    {
        QFETCH(ItemEdit, edit);
        QFETCH(QString, path);
        QFETCH(doc::CompareResult, result);
        const auto items = newItems();
        const auto other = newItems();
        other->setFromDataOrThrow(items->toData());
        QCOMPARE(items->compare(other), doc::CompareResult::Equal);
        const auto edited = other->itemAt(2);
        Listening listening(edited);

        edit(*edited);
        edit(*edited);

        QCOMPARE(listening.recorder.events, QStringList{QStringLiteral("property:") + path});
        QVERIFY(edited->count() >= 0);
        QCOMPARE(items->itemAt(2)->compare(edited), result);
        QCOMPARE(items->compare(other), result);
        QCOMPARE(other->compare(items), result);
    }

    void compareListsByIdentifier()
    {
        const auto items = newItems();
        const auto reordered = newItems();
        QVariantList data = items->toData().toList();
        std::reverse(data.begin(), data.end());
        reordered->setFromDataOrThrow(data);
        QCOMPARE(items->compare(reordered), doc::CompareResult::Equal);

        reordered->removeItem(0);
        QCOMPARE(items->compare(reordered), doc::CompareResult::RequiresRegenerate);
        QCOMPARE(items->compare(newItems()), doc::CompareResult::RequiresRegenerate);
    }

    void resetAnnouncesTheNewValuesThenOneReset()
    {
        const auto items = newItems();
        Listening listening(items);
        items->resetToDefault();
        const QStringList& events = listening.recorder.events;
        const QString first = items->itemAt(0)->itemId();
        QCOMPARE(events.first(), QStringLiteral("property:%1/radius").arg(first));
        QCOMPARE(events.at(1), QStringLiteral("property:%1/count").arg(first));
        QCOMPARE(events.count(QStringLiteral("reset")), 1);
        QCOMPARE(events.constLast(), QStringLiteral("reset"));
    }

    void emptyOrForeignDataGivesTheDefaults_data()
    {
        QTest::addColumn<QVariant>("data");
        QTest::newRow("empty list") << QVariant(QVariantList{});
        QTest::newRow("missing") << QVariant();
        QTest::newRow("map") << QVariant(QVariantMap{{"radius", 1}});
    }

    void emptyOrForeignDataGivesTheDefaults()
    {
        QFETCH(QVariant, data);
        const auto items = newItems();
        items->removeItem(0);
        items->setFromDataOrThrow(data);
        QCOMPARE(radiiOf(*items), (QList<qint64>{6000000, 5000000, 4000000, 3000000, 2000000, 1000000, 500000, 250000}));
        QCOMPARE(countsOf(*items), (QList<int>{1, 4, 8, 16, 32, 64, 128, 1000}));
        QCOMPARE(items->itemIds().size(), 8);
    }

    void identifiersStayUnique()
    {
        const auto items = newItems();
        const QVariantList data{QVariantMap{{"itemId", "a"}, {"count", 2}}, QVariantMap{{"itemId", "a"}, {"count", 3}},
                                QVariantMap{{"itemId", ""}}, QVariantMap{{"itemId", "b"}}, QVariantMap{}};

        items->setFromDataOrThrow(data);

        QCOMPARE(items->items().size(), 5);
        QCOMPARE(items->itemAt(0)->itemId(), QStringLiteral("a"));
        QCOMPARE(items->item("a")->count(), 2);
        QVERIFY(isUuidText(items->itemAt(1)->itemId()));
        QCOMPARE(items->itemAt(1)->count(), 3);
        QVERIFY(isUuidText(items->itemAt(2)->itemId()));
        QCOMPARE(items->itemAt(3)->itemId(), QStringLiteral("b"));
        QCOMPARE(items->itemIds().size(), 5);
    }

    void sortKeepsEqualRadiiInOrder()
    {
        const auto items = newItems();
        const QVariantList data{QVariantMap{{"itemId", "a"}, {"radius", 2.0}}, QVariantMap{{"itemId", "b"}, {"radius", 5.0}},
                                QVariantMap{{"itemId", "c"}, {"radius", 2.0}}, QVariantMap{{"itemId", "d"}, {"radius", 3.0}}};
        items->setFromDataOrThrow(data);
        Listening listening(items);

        items->sort();

        QCOMPARE(radiiOf(*items), (QList<qint64>{5000000, 3000000, 2000000, 2000000}));
        QStringList order;
        for (const auto& item : items->items()) {
            order.append(item->itemId());
        }
        QCOMPARE(order, (QStringList{"b", "d", "a", "c"}));
        QCOMPARE(listening.recorder.events, QStringList{"reset"});
    }

    void duplicate()
    {
        const auto items = newItems();
        items->setFromDataOrThrow(QVariantList{QVariantMap{}, QVariantMap{}, QVariantMap{}});
        const auto original = items->itemAt(0);
        original->setShapeId("star");
        original->setRadius(geo::Length(3000000));
        original->setRadiusTransition("x^2");
        original->setRadiusEnd(geo::Length(1000000));
        original->setCount(7);
        original->rotation()->setInput(doc::DynamicValueInput::Random);
        original->color()->setStaticColor(Qt::green);
        Listening listening(items);

        const auto copy = items->duplicateItem(0);

        QCOMPARE(items->itemAt(1), copy);
        QCOMPARE(items->items().size(), 4);
        QVERIFY(isUuidText(copy->itemId()) && copy->itemId() != original->itemId());
        QVariantMap copyData = copy->toData().toMap();
        QVariantMap originalData = original->toData().toMap();
        copyData.remove("itemId");
        originalData.remove("itemId");
        QCOMPARE(copyData, originalData);
        QCOMPARE(copy->radiusForInstance(3).value(), original->radiusForInstance(3).value());
        QCOMPARE(copy->color()->parent(), original->color()->parent());
        QCOMPARE(listening.recorder.events, QStringList{"added:" + copy->itemId()});

        copy->setCount(1);
        QCOMPARE(listening.recorder.events.constLast(), "property:" + copy->itemId() + "/count");
        QCOMPARE(listening.recorder.lastElement, items.get());
        QVERIFY(items->duplicateItem(4) == nullptr);
        QVERIFY(items->duplicateItem(-1) == nullptr);
        QCOMPARE(items->items().size(), 4);
    }

    void removeStopsListening()
    {
        const auto items = newItems();
        const auto removed = items->itemAt(1);
        Listening listening(items);

        items->removeItem(8);
        items->removeItem(-1);
        QVERIFY(listening.recorder.events.isEmpty());

        items->removeItem(1);
        removed->setCount(99);

        QCOMPARE(listening.recorder.events, QStringList{"removed:" + removed->itemId()});
        QCOMPARE(items->items().size(), 7);
        QVERIFY(items->item(removed->itemId()) == nullptr);
        QVERIFY(items->itemAt(7) == nullptr);
    }
};

MOTIFEX_TEST_MAIN(TestItems)
#include "tst_items.moc"
