#include "common/TestMain.h"

#include "canvas/Canvas.h"
#include "frame/Base.h"
#include "frame/Manager.h"

#include <QJsonDocument>

using canvas::Canvas;
using canvas::CanvasItem;

namespace {

// Data takes the road of a project file: JSON text and back.
QVariant throughJson(const QVariant& data)
{
    return QJsonDocument::fromJson(QJsonDocument::fromVariant(data).toJson()).toVariant();
}

QSharedPointer<CanvasItem> makeItem(qint64 index, double radius, double overlap)
{
    auto item = CanvasItem::create(QStringLiteral("item-%1").arg(index % 2), index, QStringLiteral("circle"),
                                   geo::Point2D::fromMillimeters(10.5 + index, 20), geo::Length::fromDouble(radius));
    item->setOverlap(geo::Length::fromDouble(overlap));
    item->setFill(QStringLiteral("#102030"));
    return item;
}

QVariantMap itemData(qint64 index)
{
    return makeItem(index, 2.0, 0.0)->toData().toMap();
}

// The map with the value under the key, or without the key for an invalid value.
QVariantMap changed(QVariantMap map, const QString& key, const QVariant& value)
{
    map.remove(key);
    if (value.isValid()) {
        map.insert(key, value);
    }
    return map;
}

} // namespace

class TestCanvas : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<frame::Manager> m_frames = std::make_unique<frame::Manager>();

    // A star frame and an item with numbers beyond a double's digits.
    QSharedPointer<Canvas> makeCanvas() const
    {
        const geo::Size size = geo::Size::fromMillimeters(78, 52);
        auto canvas = Canvas::create(size, m_frames->createFrame(frame::Shape::Star, size, 0.4, {0.1, 0.6, 0.3, 0.8}));
        constexpr qint64 largest = std::numeric_limits<qint64>::max();
        auto item = CanvasItem::create("item-7", largest, "user-shape", geo::Point2D(9007199254740993, -1), geo::Length(largest));
        item->setOverlap(geo::Length(-9007199254740993));
        item->setAngle(geo::Angle(std::numeric_limits<qint64>::min()));
        item->setFill(QStringLiteral("red"));
        item->setFillOpacity(0.75);
        item->setOrderZ(-12.5);
        canvas->addItem(item);
        return canvas;
    }

private slots:
    void itemToData()
    {
        const CanvasItem item(QStringLiteral("a"), 3, QStringLiteral("ring"), geo::Point2D(10, 20), geo::Length(30));
        QCOMPARE(item.toData().toMap(), (QVariantMap{{"itemId", "a"}, {"index", 3}, {"shapeId", "ring"},
                                                     {"center", geo::Circle(geo::Point2D(10, 20), geo::Length(30)).toVariant()},
                                                     {"overlap", 0}, {"angle", 0}, {"fill", ""}, {"fillOpacity", 1.0}, {"orderZ", 0.0}}));
    }

    void itemReadingRules_data()
    {
        QTest::addColumn<QString>("key");
        QTest::addColumn<QVariant>("value");
        QTest::addColumn<QVariant>("read");
        const QVariant unreadable;
        QTest::newRow("empty item id") << "itemId" << QVariant("") << unreadable;
        QTest::newRow("negative index") << "index" << QVariant(-1) << unreadable;
        QTest::newRow("radius 0") << "center" << geo::Circle(geo::Point2D(1, 2), geo::Length(0)).toVariant() << unreadable;
        QTest::newRow("angle as fixed") << "angle" << QVariant(qlonglong(90000000)) << QVariant(qlonglong(90000000));
        QTest::newRow("angle in degrees") << "angle" << QVariant(90.5) << QVariant(qlonglong(90500000));
        QTest::newRow("empty fill") << "fill" << QVariant("") << QVariant("black");
        QTest::newRow("markup in fill") << "fill" << QVariant("red\"/><script>x</script>") << QVariant("black");
        QTest::newRow("opacity above 1") << "fillOpacity" << QVariant(1.7) << QVariant(1.0);
        QTest::newRow("opacity NaN") << "fillOpacity" << QVariant(qQNaN()) << QVariant(0.0);
        QTest::newRow("order not clamped") << "orderZ" << QVariant(3.5) << QVariant(3.5);
        for (const QString& key : itemData(4).keys()) {
            QTest::newRow(qPrintable("no " + key)) << key << QVariant() << unreadable;
        }
    }

    void itemReadingRules()
    {
        QFETCH(QString, key);
        QFETCH(QVariant, value);
        QFETCH(QVariant, read);
        const auto item = CanvasItem::create(changed(itemData(4), key, value));
        QCOMPARE(item ? item->toData().toMap().value(key) : QVariant(), read);
    }

    void radiusRange()
    {
        const auto canvas = Canvas::create(geo::Size(1, 1), nullptr);
        QCOMPARE(canvas->radiusRange(), std::make_pair(geo::Length::maximum(), geo::Length(0)));
        canvas->addItem(makeItem(0, 2.0, 0.5));
        canvas->addItem(makeItem(1, 1.0, 0.5));
        QCOMPARE(canvas->radiusRange(), std::make_pair(geo::Length::fromDouble(1.5), geo::Length::fromDouble(2.5)));
    }

    void roundTripThroughJson()
    {
        const auto original = makeCanvas();
        const auto read = Canvas::create(throughJson(original->toData()));
        QVERIFY(read);
        QCOMPARE(read->toData().toMap().keys(), QStringList({"frame", "items", "size"}));
        QCOMPARE(read->toData(), original->toData());
        QCOMPARE(read->frame()->outline(), original->frame()->outline());
    }

    void indexesRenumberedWhenMissing_data()
    {
        QTest::addColumn<QList<qint64>>("stored");
        QTest::addColumn<QList<qint64>>("read");
        QTest::newRow("all zero") << QList<qint64>{0, 0, 0} << QList<qint64>{0, 1, 2};
        QTest::newRow("kept") << QList<qint64>{0, 1, 2} << QList<qint64>{0, 1, 2};
        QTest::newRow("single zero") << QList<qint64>{0} << QList<qint64>{0};
    }

    void indexesRenumberedWhenMissing()
    {
        QFETCH(QList<qint64>, stored);
        QFETCH(QList<qint64>, read);
        QVariantList items;
        for (const qint64 index : stored) {
            items.append(itemData(index));
        }
        const auto canvas = Canvas::create(throughJson(changed(makeCanvas()->toData().toMap(), "items", items)));
        QVERIFY(canvas);
        for (qsizetype i = 0; i < read.size(); ++i) {
            // Renumbering keeps everything else.
            QCOMPARE(canvas->items().at(i)->toData().toMap(), changed(itemData(stored[i]), "index", read[i]));
        }
    }

    void canvasReadingRules_data()
    {
        QTest::addColumn<QString>("key");
        QTest::addColumn<QVariant>("value");
        QTest::addColumn<bool>("isReadable");
        QTest::newRow("no frame") << "frame" << QVariant() << false;
        QTest::newRow("no items") << "items" << QVariant(QVariantList{}) << false;
        QTest::newRow("item without orderZ") << "items" << QVariant(QVariantList{itemData(0), changed(itemData(1), "orderZ", {})}) << false;
        QTest::newRow("size 0 x 0") << "size" << geo::Size(0, 0).toVariant() << false;
        QTest::newRow("negative width") << "size" << geo::Size(-78000000, 52000000).toVariant() << false;
        QTest::newRow("flat") << "size" << geo::Size(0, 5000000).toVariant() << true;
    }

    void canvasReadingRules()
    {
        QFETCH(QString, key);
        QFETCH(QVariant, value);
        QFETCH(bool, isReadable);
        QCOMPARE(bool(Canvas::create(throughJson(changed(makeCanvas()->toData().toMap(), key, value)))), isReadable);
    }
};

MOTIFEX_TEST_MAIN(TestCanvas)
#include "tst_canvas.moc"
