#include "common/TestMain.h"

#include "canvas/Canvas.h"
#include "frame/Base.h"
#include "frame/Manager.h"

#include <QJsonDocument>
#include <QVariantList>
#include <QVariantMap>

#include <memory>

namespace {

qint64 mm(double millimeters)
{
    return geo::fixedFromDouble(millimeters);
}

// Canvas data takes the road of a project file: JSON text and back.
QVariant throughJson(const QVariant& data)
{
    const QByteArray text = QJsonDocument::fromVariant(data).toJson(QJsonDocument::Compact);
    return QJsonDocument::fromJson(text).toVariant();
}

QSharedPointer<canvas::CanvasItem> makeItem(qint64 index, double x, double y, double radius, double overlap)
{
    auto item = canvas::CanvasItem::create(QStringLiteral("item-%1").arg(index % 2), index, QStringLiteral("circle"),
                                           geo::Point2D(mm(x), mm(y)), geo::Length(mm(radius)));
    item->setOverlap(geo::Length(mm(overlap)));
    item->setFill(QStringLiteral("#102030"));
    return item;
}

QVariantMap itemData(qint64 index)
{
    return makeItem(index, 10.0 + double(index), 20.0, 2.0, 0.0)->toData().toMap();
}

} // namespace

class TestCanvas : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<frame::Manager> m_manager;

    QSharedPointer<canvas::Canvas> makeCanvas() const
    {
        const geo::Size size(mm(78), mm(52));
        auto canvas = canvas::Canvas::create(size, m_manager->createFrame(frame::Shape::Star, size, 0.4, {0.1, 0.6, 0.3, 0.8}));
        auto styled = makeItem(0, 12.5, 7.25, 2.0, 0.5);
        styled->setAngle(geo::Angle(90500000));
        styled->setFill(QStringLiteral("#6070e0"));
        styled->setFillOpacity(0.35);
        styled->setOrderZ(3.5);
        canvas->addItem(styled);
        canvas->addItem(makeItem(1, 40.0, 26.0, 1.0, 0.5));
        canvas->addItem(makeItem(2, 60.123456, 30.000001, 0.25, 0.0));
        return canvas;
    }

    QVariantMap goodData() const { return makeCanvas()->toData().toMap(); }

private slots:
    void initTestCase() { m_manager = std::make_unique<frame::Manager>(); }
    void cleanupTestCase() { m_manager.reset(); }

    void newCanvasHasNoItems()
    {
        const geo::Size size(mm(30), mm(20));
        const auto frame = m_manager->createFrame(frame::Shape::Ellipse, size, 1.0, {});
        const auto canvas = canvas::Canvas::create(size, frame);
        QCOMPARE(canvas->size(), size);
        QCOMPARE(canvas->frame(), frame);
        QVERIFY(canvas->items().isEmpty());
        QCOMPARE(canvas->radiusRange(), std::make_pair(geo::Length::maximum(), geo::Length(0)));
    }

    void radiusRange()
    {
        const geo::Size size(mm(30), mm(20));
        canvas::Canvas canvas(size, m_manager->createFrame(frame::Shape::Rectangle, size, 1.0, {}));
        canvas.addItem(makeItem(0, 5, 5, 2.0, 0.5));
        canvas.addItem(makeItem(1, 9, 5, 1.0, 0.5));
        QCOMPARE(canvas.radiusRange(), std::make_pair(geo::Length(mm(1.5)), geo::Length(mm(2.5))));
        QCOMPARE(canvas.items().size(), 2);
        QCOMPARE(canvas.items().at(1)->index(), qint64(1));
    }

    void roundTripThroughJson()
    {
        const auto original = makeCanvas();
        const QVariantMap data = original->toData().toMap();
        QCOMPARE(data.keys(), (QStringList{"frame", "items", "size"}));

        const auto read = canvas::Canvas::create(throughJson(data));
        QVERIFY(read);
        QCOMPARE(read->size(), original->size());
        QVERIFY(read->frame());
        QCOMPARE(read->frame()->shape(), frame::Shape::Star);
        QCOMPARE(read->frame()->toData(), original->frame()->toData());
        QCOMPARE(read->frame()->outline(), original->frame()->outline());
        QCOMPARE(read->items().size(), original->items().size());
        for (qsizetype i = 0; i < read->items().size(); ++i) {
            const canvas::CanvasItem& a = *read->items().at(i);
            const canvas::CanvasItem& b = *original->items().at(i);
            QCOMPARE(a.itemId(), b.itemId());
            QCOMPARE(a.index(), b.index());
            QCOMPARE(a.shapeId(), b.shapeId());
            QCOMPARE(a.circle(), b.circle());
            QCOMPARE(a.overlap(), b.overlap());
            QCOMPARE(a.angle(), b.angle());
            QCOMPARE(a.fill(), b.fill());
            QCOMPARE(a.fillOpacity().value(), b.fillOpacity().value());
            QCOMPARE(a.orderZ().value(), b.orderZ().value());
        }
        QCOMPARE(read->toData(), original->toData());
    }

    void indexesAreRenumberedWhenMissing_data()
    {
        QTest::addColumn<QList<qint64>>("stored");
        QTest::addColumn<QList<qint64>>("expected");
        QTest::newRow("all zero") << QList<qint64>{0, 0, 0} << QList<qint64>{0, 1, 2};
        QTest::newRow("kept") << QList<qint64>{0, 1, 2} << QList<qint64>{0, 1, 2};
        QTest::newRow("single zero") << QList<qint64>{0} << QList<qint64>{0};
        QTest::newRow("two zeros among others") << QList<qint64>{7, 0, 3, 0} << QList<qint64>{0, 1, 2, 3};
        QTest::newRow("no zero") << QList<qint64>{5, 9} << QList<qint64>{5, 9};
    }

    void indexesAreRenumberedWhenMissing()
    {
        QFETCH(QList<qint64>, stored);
        QFETCH(QList<qint64>, expected);
        QVariantMap data = goodData();
        QVariantList items;
        for (const qint64 index : stored) {
            QVariantMap item = itemData(index);
            item.insert("fill", "red");
            item.insert("orderZ", 0.25);
            items.append(item);
        }
        data.insert("items", items);
        const auto canvas = canvas::Canvas::create(throughJson(data));
        QVERIFY(canvas);
        QCOMPARE(canvas->items().size(), expected.size());
        for (qsizetype i = 0; i < expected.size(); ++i) {
            const canvas::CanvasItem& item = *canvas->items().at(i);
            QCOMPARE(item.index(), expected[i]);
            // Renumbering keeps everything else.
            QCOMPARE(item.center(), geo::Point2D(mm(10.0 + double(stored[i])), mm(20)));
            QCOMPARE(item.fill(), QStringLiteral("red"));
            QCOMPARE(item.orderZ().value(), 0.25);
        }
    }

    void badDataGivesNoCanvas_data()
    {
        QTest::addColumn<QVariant>("data");
        const QVariantMap good = goodData();
        const auto without = [&good](const QString& key) {
            QVariantMap map = good;
            map.remove(key);
            return QVariant(map);
        };
        const auto with = [&good](const QString& key, const QVariant& value) {
            QVariantMap map = good;
            map.insert(key, value);
            return QVariant(map);
        };
        const auto sizeMap = [](double width, double height) {
            return QVariant(QVariantMap{{"width", width}, {"height", height}});
        };
        QVariantMap itemWithoutOrder = itemData(0);
        itemWithoutOrder.remove("orderZ");
        QVariantMap itemWithoutRadius = itemData(1);
        itemWithoutRadius.insert("center", QVariantMap{{"center", QVariantMap{{"x", 1.0}, {"y", 1.0}}}, {"radius", 0}});
        QVariantMap frameWithoutValueE = good.value("frame").toMap();
        frameWithoutValueE.remove("valueE");
        QVariantMap frameOfUnknownShape = good.value("frame").toMap();
        frameOfUnknownShape.insert("shapeId", "hexagon");

        QTest::newRow("no frame") << without("frame");
        QTest::newRow("no size") << without("size");
        QTest::newRow("no items") << without("items");
        QTest::newRow("empty items") << with("items", QVariantList{});
        QTest::newRow("items not a list") << with("items", QStringLiteral("items"));
        QTest::newRow("size 0 x 0") << with("size", sizeMap(0, 0));
        QTest::newRow("negative width") << with("size", sizeMap(-78, 52));
        QTest::newRow("negative height") << with("size", sizeMap(78, -0.5));
        QTest::newRow("size beyond range") << with("size", sizeMap(1e30, 52));
        QTest::newRow("item without orderZ") << with("items", QVariantList{itemData(0), itemWithoutOrder});
        QTest::newRow("item with radius 0") << with("items", QVariantList{itemWithoutRadius});
        QTest::newRow("item not a map") << with("items", QVariantList{itemData(0), 17});
        QTest::newRow("frame without valueE") << with("frame", frameWithoutValueE);
        QTest::newRow("frame of unknown shape") << with("frame", frameOfUnknownShape);
        QTest::newRow("frame not a map") << with("frame", QVariantList{1, 2});
        QTest::newRow("not a map") << QVariant(QStringLiteral("canvas"));
        QTest::newRow("a list") << QVariant(QVariantList{good});
        QTest::newRow("invalid") << QVariant();
    }

    void badDataGivesNoCanvas()
    {
        QFETCH(QVariant, data);
        QVERIFY(!canvas::Canvas::create(data));
        QVERIFY(!canvas::Canvas::create(throughJson(data)));
    }

    void flatCanvasIsAccepted()
    {
        QVariantMap data = goodData();
        data.insert("size", QVariantMap{{"width", 0}, {"height", qlonglong(mm(5))}});
        const auto canvas = canvas::Canvas::create(throughJson(data));
        QVERIFY(canvas);
        QCOMPARE(canvas->size(), geo::Size(0, mm(5)));
    }

    void failedReadLeavesTheCanvasAsItWas()
    {
        const auto canvas = makeCanvas();
        const QVariant before = canvas->toData();
        QVariantMap data = goodData();
        data.insert("items", QVariantList{itemData(4), QVariantMap{}});
        data.insert("size", QVariantMap{{"width", 10.0}, {"height", 10.0}});
        QVERIFY(!canvas->setFromData(data));
        QCOMPARE(canvas->toData(), before);
    }

    void readingNeedsTheFrameRegistry()
    {
        const QVariant data = goodData();
        m_manager.reset();
        QVERIFY(!canvas::Canvas::create(data));
        m_manager = std::make_unique<frame::Manager>();
        QVERIFY(canvas::Canvas::create(data));
    }
};

MOTIFEX_TEST_MAIN(TestCanvas)
#include "tst_canvas.moc"
