#include "common/TestMain.h"
#include "doc/tst_document_support.h"

#include "doc/Color.h"
#include "doc/DynamicValue.h"
#include "doc/Item.h"
#include "doc/Items.h"
#include "doc/Properties.h"

#include <QUuid>

#include <limits>

using motifex::test::Listening;

namespace {

using ItemEdit = std::function<void(doc::Item&)>;

constexpr qint64 int64Max = std::numeric_limits<qint64>::max();
constexpr qint64 int64Min = std::numeric_limits<qint64>::min();

// Each item as "<radius>x<count>", or "<identifier>:<radius>" with identifiers.
QStringList summary(const doc::Items& items, bool withIdentifiers = false)
{
    QStringList result;
    for (const auto& item : items.items()) {
        result.append(withIdentifiers ? item->itemId() + ":" + QString::number(item->radius().value())
                                      : QStringLiteral("%1x%2").arg(item->radius().value()).arg(item->count()));
    }
    return result;
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
    std::shared_ptr<doc::Items> newItems(const QVariantList& data = {}) const
    {
        auto items = std::make_shared<doc::Items>(document());
        if (!data.isEmpty()) {
            items->setFromDataOrThrow(data);
        }
        return items;
    }

private slots:
    void initTestCase() { m_startup = std::make_unique<motifex::test::CoreStartup>(); }
    void cleanupTestCase() { m_startup.reset(); }

    void newDuplicatedAndRemovedItems()
    {
        const auto item = doc::Item::create(document());
        const auto properties = m_startup->edited->properties();
        QVERIFY(isUuidText(item->itemId()) && item->itemId() != doc::Item::create(document())->itemId());
        QCOMPARE(QStringLiteral("%1 %2 %3 %4").arg(item->shapeId()).arg(item->radius().value()).arg(item->radiusEnd().value()).arg(item->count()), " 4000000 0 10");
        QCOMPARE(item->rotation()->parent(), properties->worldRotation());
        QCOMPARE(item->rotation()->input(), doc::DynamicValueInput::Parent);
        QCOMPARE(item->orderZ()->parent(), properties->worldOrderZ());
        QCOMPARE(item->color()->parent(), properties->worldColor());
        QVERIFY(item->color()->isParentColor());

        // The transition function is resolved on loading and on a change.
        item->setFromDataOrThrow(QVariantMap{{"radius", qlonglong(9000000)}, {"radiusEnd", qlonglong(0)}, {"radiusTransition", "x^2"}, {"count", 4}});
        QCOMPARE(item->radiusForInstance(1).value(), 7999992);
        item->setRadiusTransition("linear");
        QCOMPARE(item->radiusForInstance(1).value(), 5999994); // s6 = 666666

        const auto items = newItems({QVariantMap{}, QVariantMap{}, QVariantMap{}});
        const auto original = items->itemAt(0);
        original->setFromDataOrThrow(QVariantMap{{"shapeId", "star"}, {"radius", 3.0}, {"radiusTransition", "x^2"}, {"radiusEnd", 1.0}, {"count", 7}, {"rotation", QVariantMap{{"input", "random"}}}});
        original->color()->setStaticColor(Qt::green);
        Listening listening(items);

        const auto copy = items->duplicateItem(0);
        QCOMPARE(items->itemAt(1), copy);
        QVERIFY(isUuidText(copy->itemId()) && copy->itemId() != original->itemId());
        QVariantMap copyData = copy->toData().toMap();
        copyData.insert("itemId", original->itemId());
        QCOMPARE(copyData, original->toData().toMap());
        QCOMPARE(copy->radiusForInstance(3).value(), original->radiusForInstance(3).value());
        QCOMPARE(copy->color()->parent(), original->color()->parent());
        QVERIFY(items->duplicateItem(4) == nullptr && items->duplicateItem(-1) == nullptr);

        items->removeItem(4);
        items->removeItem(-1);
        items->removeItem(0);
        original->setCount(99); // no longer listened to
        copy->setCount(1);
        QCOMPARE(listening.recorder.events, (QStringList{"added:" + copy->itemId(), "removed:" + original->itemId(), "property:" + copy->itemId() + "/count"}));
        QCOMPARE(listening.recorder.lastElement, items.get());
        QVERIFY(items->item(original->itemId()) == nullptr && items->itemAt(3) == nullptr);
    }

    // Each row gives the data and the expected "shape radius end transition count".
    void loadingAnItem_data()
    {
        QTest::addColumn<QVariant>("data");
        QTest::addColumn<QString>("expected");
        const auto entry = [](const char* transition, qlonglong end) { return QVariant(QVariantMap{{"radius", 5.0}, {"radiusTransition", transition}, {"radiusEnd", end}, {"shapeId", "s"}, {"count", 3}}); };
        QTest::newRow("nothing stored") << QVariant(QVariantMap{}) << "circle 10000000 0  1";
        QTest::newRow("no map") << QVariant(42) << "circle 10000000 0  1";
        QTest::newRow("radius too small") << QVariant(QVariantMap{{"radius", qlonglong(5000)}}) << "circle 10000000 0  1";
        QTest::newRow("count zero") << QVariant(QVariantMap{{"count", 0}}) << "circle 10000000 0  1";
        QTest::newRow("count too large") << QVariant(QVariantMap{{"count", 2000000}}) << "circle 10000000 0  1";
        QTest::newRow("count wrapping into range") << QVariant(QVariantMap{{"count", qlonglong(4294967297)}}) << "circle 10000000 0  1";
        QTest::newRow("count from JSON number") << QVariant(QVariantMap{{"count", 12.0}}) << "circle 10000000 0  12";
        QTest::newRow("unknown transition") << entry("no-such-function", 1000000) << "s 5000000 0  3";
        QTest::newRow("end above radius") << entry("linear", 6000000) << "s 5000000 0  3";
        QTest::newRow("end missing") << QVariant(QVariantMap{{"radius", 5.0}, {"radiusTransition", "linear"}, {"shapeId", "s"}, {"count", 3}}) << "s 5000000 0  3";
        QTest::newRow("end zero keeps") << entry("linear", 0) << "s 5000000 0 linear 3";
        QTest::newRow("end equal radius") << entry("x^2", 5000000) << "s 5000000 5000000 x^2 3";
        QTest::newRow("end without transition") << entry("", 1000000) << "s 5000000 0  3";
    }

    void loadingAnItem()
    {
        QFETCH(QVariant, data);
        const auto item = doc::Item::create(document());
        item->rotation()->setInput(doc::DynamicValueInput::X);
        item->setFromDataOrThrow(data, {});
        QTEST(QStringLiteral("%1 %2 %3 %4 %5").arg(item->shapeId()).arg(item->radius().value()).arg(item->radiusEnd().value()).arg(item->radiusTransition()).arg(item->count()), "expected");
        QVERIFY(isUuidText(item->itemId()));
        QCOMPARE(item->rotation()->input(), doc::DynamicValueInput::Parent);
        QVERIFY(item->color()->isParentColor());

        item->setFromDataOrThrow(QVariantMap{{"shapeId", "s"}}, {{"s", "renamed"}});
        QCOMPARE(item->shapeId(), QStringLiteral("renamed"));
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
        QTest::newRow("linear") << qint64(4000000) << qint64(0) << "linear" << 5 << 1 << qint64(3000000);
        QTest::newRow("linear last") << qint64(4000000) << qint64(1000000) << "linear" << 5 << 4 << qint64(1000000);
        QTest::newRow("one copy takes the value at 0") << qint64(4000000) << qint64(1000000) << "invert" << 1 << 0 << qint64(1000000);
        QTest::newRow("no copies") << qint64(4000000) << qint64(1000000) << "invert" << 0 << 0 << qint64(1000000);
        // (1/3)^2 = 0.111…: s6 = 888888 and 9000000 × 888888 / 1000000 = 7999992.
        QTest::newRow("square") << qint64(9000000) << qint64(0) << "x^2" << 4 << 1 << qint64(7999992);
        // (2/3)^2 = 0.444…: 9000000 × 555555 / 1e6 + 444444 × 3000000 / 1e6 = 4999995 + 1333332.
        QTest::newRow("square with end") << qint64(9000000) << qint64(3000000) << "x^2" << 4 << 2 << qint64(6333327);
        QTest::newRow("64-bit halves") << int64Max << int64Max << "linear" << 3 << 1 << qint64(int64Max - 1);
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
        const auto items = newItems();
        const auto other = newItems(items->toData().toList());
        QCOMPARE(items->compare(other), doc::CompareResult::Equal);
        const auto edited = other->itemAt(2);
        Listening listening(other);
        edit(*edited);
        edit(*edited); // the same value again announces nothing
        QCOMPARE(listening.recorder.events, QStringList{"property:" + edited->itemId() + "/" + path});
        QVERIFY(edited->count() >= 0);
        QTEST(items->itemAt(2)->compare(edited), "result");
        QTEST(items->compare(other), "result");
        QTEST(other->compare(items), "result");
    }

    void defaultItemsAndSort()
    {
        const QStringList defaults{"6000000x1", "5000000x4", "4000000x8", "3000000x16", "2000000x32", "1000000x64", "500000x128", "250000x1000"};
        const auto items = newItems();
        Listening listening(items);
        items->resetToDefault();
        const QString first = items->itemAt(0)->itemId();
        QCOMPARE(listening.recorder.events.mid(0, 2), (QStringList{"property:" + first + "/radius", "property:" + first + "/count"}));
        QCOMPARE(listening.recorder.events.count("reset"), 1);
        QCOMPARE(listening.recorder.events.constLast(), QStringLiteral("reset"));
        for (const QVariant& data : {QVariant(QVariantList{}), QVariant(), QVariant(QVariantMap{{"radius", 1}})}) {
            items->removeItem(0);
            items->setFromDataOrThrow(data);
            QCOMPARE(summary(*items), defaults);
            QCOMPARE(items->itemIds().size(), 8);
        }

        items->setFromDataOrThrow(QVariantList{QVariantMap{{"itemId", "a"}, {"radius", 2.0}}, QVariantMap{{"itemId", "b"}, {"radius", 5.0}},
                                               QVariantMap{{"itemId", "c"}, {"radius", 2.0}}, QVariantMap{{"itemId", "d"}, {"radius", 3.0}}});
        listening.recorder.events.clear();
        items->sort(); // largest first, equal radii in their order
        QCOMPARE(summary(*items, true), (QStringList{"b:5000000", "d:3000000", "a:2000000", "c:2000000"}));
        QCOMPARE(listening.recorder.events, QStringList{"reset"});
    }

    void identifiersStayUniqueAndMatchListsInComparison()
    {
        const auto items = newItems({QVariantMap{{"itemId", "a"}, {"count", 2}}, QVariantMap{{"itemId", "a"}, {"count", 3}},
                                     QVariantMap{{"itemId", ""}}, QVariantMap{{"itemId", "b"}}, QVariantMap{}});
        QCOMPARE(items->itemAt(0)->itemId() + items->itemAt(3)->itemId(), QStringLiteral("ab"));
        QCOMPARE(items->item("a")->count(), 2);
        QVERIFY(isUuidText(items->itemAt(1)->itemId()) && isUuidText(items->itemAt(2)->itemId()));
        QCOMPARE(items->itemAt(1)->count(), 3);
        QCOMPARE(items->itemIds().size(), 5);

        // Lists are compared item by item through the identifiers; their order does not matter.
        QVariantList data = items->toData().toList();
        std::reverse(data.begin(), data.end());
        const auto reordered = newItems(data);
        QCOMPARE(items->compare(reordered), doc::CompareResult::Equal);
        reordered->removeItem(0);
        QCOMPARE(items->compare(reordered), doc::CompareResult::RequiresRegenerate);
        QCOMPARE(items->compare(newItems()), doc::CompareResult::RequiresRegenerate);
    }

};

MOTIFEX_TEST_MAIN(TestItems)
#include "tst_items.moc"
