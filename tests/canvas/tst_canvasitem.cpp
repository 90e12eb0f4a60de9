#include "common/TestMain.h"

#include "canvas/CanvasItem.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QVariantMap>

#include <limits>

using canvas::CanvasItem;

namespace {

// A valid item map as a project file holds it.
const char* validItemJson = R"({
    "itemId": "item-1",
    "index": 4,
    "shapeId": "Heart",
    "center": {"center": {"x": 1000000, "y": -2000000}, "radius": 3000000},
    "overlap": 250000,
    "angle": 45000000,
    "fill": "#ff8000",
    "fillOpacity": 0.5,
    "orderZ": 0.25
})";

QVariantMap mapFromJson(const QByteArray& json)
{
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(json, &error);
    if (error.error != QJsonParseError::NoError) {
        qFatal("Bad test JSON: %s", qPrintable(error.errorString()));
    }
    return document.object().toVariantMap();
}

// The map through JSON text and back, as saving and opening a project does.
QVariant throughJson(const QVariant& data)
{
    return QJsonDocument::fromJson(QJsonDocument::fromVariant(data).toJson()).toVariant();
}

// The read field as a variant, so that one table can check every field.
QVariant field(const CanvasItem& item, const QString& key)
{
    if (key == QLatin1String("itemId")) return item.itemId();
    if (key == QLatin1String("index")) return item.index();
    if (key == QLatin1String("shapeId")) return item.shapeId();
    if (key == QLatin1String("center")) return item.circle().toVariant();
    if (key == QLatin1String("overlap")) return item.overlap().value();
    if (key == QLatin1String("angle")) return item.angle().value();
    if (key == QLatin1String("fill")) return item.fill();
    if (key == QLatin1String("fillOpacity")) return item.fillOpacity().value();
    if (key == QLatin1String("orderZ")) return item.orderZ().value();
    return {};
}

} // namespace

class TestCanvasItem : public QObject
{
    Q_OBJECT

private slots:
    void constructorDefaults();
    void toDataWritesNineKeys();
    void roundTripThroughJson_data();
    void roundTripThroughJson();
    void readingRules_data();
    void readingRules();
    void missingKeyFails_data();
    void missingKeyFails();
    void notANumberReadsAsZero();
    void failedReadLeavesItemUnchanged();
    void nonMapFails();
};

void TestCanvasItem::constructorDefaults()
{
    const auto item = CanvasItem::create(QStringLiteral("a"), 7, QStringLiteral("Circle"), geo::Point2D(1, 2),
                                         geo::Length(3));
    QVERIFY(item);
    QCOMPARE(item->itemId(), QStringLiteral("a"));
    QCOMPARE(item->index(), qint64(7));
    QCOMPARE(item->shapeId(), QStringLiteral("Circle"));
    QCOMPARE(item->center(), geo::Point2D(1, 2));
    QCOMPARE(item->radius(), geo::Length(3));
    QCOMPARE(item->overlap(), geo::Length(0));
    QCOMPARE(item->angle(), geo::Angle(0));
    QCOMPARE(item->fill(), QString());
    QCOMPARE(item->fillOpacity().value(), 1.0);
    QCOMPARE(item->orderZ().value(), 0.0);
}

void TestCanvasItem::toDataWritesNineKeys()
{
    CanvasItem item(QStringLiteral("a"), 3, QStringLiteral("Ring"), geo::Point2D(10, 20), geo::Length(30));
    const QVariantMap map = item.toData().toMap();
    QCOMPARE(map.keys(), QStringList({"angle", "center", "fill", "fillOpacity", "index", "itemId", "orderZ",
                                      "overlap", "shapeId"}));
    QCOMPARE(map.value("index").typeId(), int(QMetaType::LongLong));
    QCOMPARE(map.value("overlap").typeId(), int(QMetaType::LongLong));
    QCOMPARE(map.value("angle").typeId(), int(QMetaType::LongLong));
    QCOMPARE(map.value("fillOpacity").typeId(), int(QMetaType::Double));
    QCOMPARE(map.value("orderZ").typeId(), int(QMetaType::Double));
    QCOMPARE(map.value("center"), geo::Circle(geo::Point2D(10, 20), geo::Length(30)).toVariant());
}

void TestCanvasItem::roundTripThroughJson_data()
{
    QTest::addColumn<qint64>("index");
    QTest::addColumn<qint64>("coordinate");
    QTest::addColumn<qint64>("radius");
    QTest::addColumn<qint64>("angle");
    QTest::addColumn<QString>("fill");
    QTest::addColumn<double>("fillOpacity");
    QTest::addColumn<double>("orderZ");
    QTest::newRow("plain") << qint64(2) << qint64(1500000) << qint64(2000000) << qint64(-90000000) << "#00ff7f"
                           << 0.75 << 0.125;
    QTest::newRow("whole numbers") << qint64(0) << qint64(-1) << qint64(1) << qint64(0) << "red" << 1.0 << 3.0;
    QTest::newRow("beyond a double's digits")
        << std::numeric_limits<qint64>::max() << qint64(9007199254740993) << std::numeric_limits<qint64>::max()
        << std::numeric_limits<qint64>::min() << "black" << 0.0 << -12.5;
}

void TestCanvasItem::roundTripThroughJson()
{
    QFETCH(qint64, index);
    QFETCH(qint64, coordinate);
    QFETCH(qint64, radius);
    QFETCH(qint64, angle);
    QFETCH(QString, fill);
    QFETCH(double, fillOpacity);
    QFETCH(double, orderZ);
    CanvasItem item(QStringLiteral("item-7"), index, QStringLiteral("user-shape"), geo::Point2D(coordinate, -coordinate),
                    geo::Length(radius));
    item.setOverlap(geo::Length(coordinate));
    item.setAngle(geo::Angle(angle));
    item.setFill(fill);
    item.setFillOpacity(fillOpacity);
    item.setOrderZ(orderZ);

    const auto read = CanvasItem::create(throughJson(item.toData()));
    QVERIFY(read);
    QCOMPARE(read->itemId(), item.itemId());
    QCOMPARE(read->index(), index);
    QCOMPARE(read->shapeId(), item.shapeId());
    QCOMPARE(read->circle(), item.circle());
    QCOMPARE(read->overlap(), item.overlap());
    QCOMPARE(read->angle(), item.angle());
    QCOMPARE(read->fill(), fill);
    QCOMPARE(read->fillOpacity().value(), fillOpacity);
    QCOMPARE(read->orderZ().value(), orderZ);
}

void TestCanvasItem::readingRules_data()
{
    QTest::addColumn<QString>("key");
    QTest::addColumn<QByteArray>("json");
    QTest::addColumn<bool>("isReadable");
    QTest::addColumn<QVariant>("expected");

    QTest::newRow("empty item id") << "itemId" << QByteArray(R"("")") << false << QVariant();
    QTest::newRow("index zero") << "index" << QByteArray("0") << true << QVariant(qint64(0));
    QTest::newRow("negative index") << "index" << QByteArray("-1") << false << QVariant();
    QTest::newRow("empty shape id") << "shapeId" << QByteArray(R"("")") << false << QVariant();
    QTest::newRow("radius zero") << "center" << QByteArray(R"({"center": {"x": 1, "y": 2}, "radius": 0})") << false
                                 << QVariant();
    QTest::newRow("negative radius") << "center" << QByteArray(R"({"center": {"x": 1, "y": 2}, "radius": -5})")
                                     << false << QVariant();
    // A whole JSON number is the fixed value itself; a fraction is in millimetres.
    QTest::newRow("millimetres beside fixed")
        << "center" << QByteArray(R"({"center": {"x": 1.5, "y": 2}, "radius": 0.5})") << true
        << geo::Circle(geo::Point2D(1500000, 2), geo::Length(500000)).toVariant();
    QTest::newRow("overlap as fixed") << "overlap" << QByteArray("750000") << true << QVariant(qint64(750000));
    QTest::newRow("overlap in millimetres") << "overlap" << QByteArray("0.75") << true << QVariant(qint64(750000));
    QTest::newRow("angle as fixed") << "angle" << QByteArray("90000000") << true << QVariant(qint64(90000000));
    QTest::newRow("angle in degrees") << "angle" << QByteArray("90.5") << true << QVariant(qint64(90500000));
    QTest::newRow("angle saturates") << "angle" << QByteArray("1e300") << true
                                     << QVariant(std::numeric_limits<qint64>::max());
    QTest::newRow("empty fill") << "fill" << QByteArray(R"("")") << true << QVariant(QStringLiteral("black"));
    QTest::newRow("colour name") << "fill" << QByteArray(R"("steelblue")") << true
                                 << QVariant(QStringLiteral("steelblue"));
    QTest::newRow("hex colour") << "fill" << QByteArray(R"("#80ff0000")") << true
                                << QVariant(QStringLiteral("#80ff0000"));
    QTest::newRow("no colour") << "fill" << QByteArray(R"("notacolour")") << true << QVariant(QStringLiteral("black"));
    QTest::newRow("markup in fill") << "fill" << QByteArray(R"("red\"/><script>alert(1)</script>")") << true
                                    << QVariant(QStringLiteral("black"));
    QTest::newRow("opacity above one") << "fillOpacity" << QByteArray("1.7") << true << QVariant(1.0);
    QTest::newRow("opacity below zero") << "fillOpacity" << QByteArray("-0.2") << true << QVariant(0.0);
    QTest::newRow("opacity inside") << "fillOpacity" << QByteArray("0.3") << true << QVariant(0.3);
    QTest::newRow("order above one") << "orderZ" << QByteArray("3.5") << true << QVariant(3.5);
    QTest::newRow("negative order") << "orderZ" << QByteArray("-2") << true << QVariant(-2.0);
}

void TestCanvasItem::readingRules()
{
    QFETCH(QString, key);
    QFETCH(QByteArray, json);
    QFETCH(bool, isReadable);
    QFETCH(QVariant, expected);
    QVariantMap map = mapFromJson(validItemJson);
    map.insert(key, mapFromJson("{\"value\": " + json + "}").value(QStringLiteral("value")));

    const auto item = CanvasItem::create(map);
    QCOMPARE(bool(item), isReadable);
    if (!item) {
        return;
    }
    QCOMPARE(field(*item, key), expected);
    // The other fields read as stored.
    const auto valid = CanvasItem::create(mapFromJson(validItemJson));
    QVERIFY(valid);
    for (const QString& other : map.keys()) {
        if (other != key) {
            QCOMPARE(field(*item, other), field(*valid, other));
        }
    }
}

void TestCanvasItem::missingKeyFails_data()
{
    QTest::addColumn<QString>("key");
    for (const char* key : {"itemId", "index", "shapeId", "center", "overlap", "angle", "fill", "fillOpacity",
                            "orderZ"}) {
        QTest::newRow(key) << QString::fromLatin1(key);
    }
}

void TestCanvasItem::missingKeyFails()
{
    QFETCH(QString, key);
    QVariantMap map = mapFromJson(validItemJson);
    QVERIFY(CanvasItem::create(map));
    map.remove(key);
    QVERIFY(!CanvasItem::create(map));
}

void TestCanvasItem::notANumberReadsAsZero()
{
    QVariantMap map = mapFromJson(validItemJson);
    map.insert(QStringLiteral("fillOpacity"), std::numeric_limits<double>::quiet_NaN());
    map.insert(QStringLiteral("orderZ"), std::numeric_limits<double>::quiet_NaN());
    const auto item = CanvasItem::create(map);
    QVERIFY(item);
    QCOMPARE(item->fillOpacity().value(), 0.0);
    QCOMPARE(item->orderZ().value(), 0.0);
}

void TestCanvasItem::failedReadLeavesItemUnchanged()
{
    CanvasItem item(QStringLiteral("kept"), 9, QStringLiteral("Leaf"), geo::Point2D(5, 6), geo::Length(7));
    item.setFill(QStringLiteral("blue"));
    QVariantMap map = mapFromJson(validItemJson);
    map.insert(QStringLiteral("center"), geo::Circle(geo::Point2D(1, 1), geo::Length(0)).toVariant());
    QVERIFY(!item.setFromData(map));
    QCOMPARE(item.itemId(), QStringLiteral("kept"));
    QCOMPARE(item.index(), qint64(9));
    QCOMPARE(item.shapeId(), QStringLiteral("Leaf"));
    QCOMPARE(item.circle(), geo::Circle(geo::Point2D(5, 6), geo::Length(7)));
    QCOMPARE(item.fill(), QStringLiteral("blue"));
}

void TestCanvasItem::nonMapFails()
{
    QVERIFY(!CanvasItem::create(QVariant()));
    QVERIFY(!CanvasItem::create(QVariant(QStringLiteral("item"))));
    QVERIFY(!CanvasItem::create(QVariantList{1, 2}));
}

MOTIFEX_TEST_MAIN(TestCanvasItem)
#include "tst_canvasitem.moc"
