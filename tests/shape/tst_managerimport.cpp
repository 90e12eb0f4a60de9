#include "common/TestMain.h"
#include "shape/tst_manager_support.h"

#include "err/Deserialize.h"
#include "shape/Star.h"

#include <QtConcurrent>

#include <atomic>

using namespace managertest;

class TestManagerImport : public QObject
{
    Q_OBJECT

private slots:
    void init() { resetStorage(); }

    void exportWritesUserShapesOnly();
    void importAppendsNewShapesOnce();
    void importRenamesATakenIdentifier();
    void importOfHeldShapesWritesNothing();
    void nullDataImportsNothing();
    void badEntries_data();
    void badEntries();
    void badEntryLeavesTheDatabaseAlone();
    void exportedShapesReimportUnchanged();
    void resolveAddsNothing();
    void lookupsWhileTheMainThreadChangesTheList();
};

namespace {

QString addStar(shape::Manager& manager, const QString& name, double valleyRatio)
{
    auto star = std::make_shared<shape::Star>();
    star->resetToDefaults();
    star->setName(name);
    star->setInnerCorners(valleyRatio);
    return manager.add(star);
}

} // namespace

void TestManagerImport::exportWritesUserShapesOnly()
{
    shape::Manager manager;
    const QString first = addStar(manager, "First", 0.1);
    const QString second = addStar(manager, "Second", 0.2);
    addStar(manager, "Unused", 0.3);

    const QVariant data = manager.toData({first, "circle", "no-such-shape", second});
    QCOMPARE(data.typeId(), QMetaType::QVariantList);
    QStringList expected{first, second};
    expected.sort();
    QCOMPARE(identifiersFrom(data), expected);
    // The index of an entry is the shape's position in the whole list.
    for (const QVariant& entry : data.toList()) {
        const QVariantMap map = entry.toMap();
        QCOMPARE(map.value("index").toInt(), manager.indexForShapeId(map.value("identifier").toString()));
        QCOMPARE(map.value("type").toString(), QString("SimpleStar"));
    }
    QVERIFY(manager.toData({}).toList().isEmpty());
}

void TestManagerImport::importAppendsNewShapesOnce()
{
    shape::Manager manager;
    SignalLog log(manager);
    const QVariant data = QVariantList{starData("project-star", "Project Star", 175), heartData("project-heart", "Heart", 176)};

    const auto map = manager.setFromDataOrThrow(data);
    QCOMPARE(map, (shape::Manager::IdentifierMap{{"project-heart", "project-heart"}, {"project-star", "project-star"}}));
    QCOMPARE(manager.indexForShapeId("project-star"), 170);
    QCOMPARE(manager.indexForShapeId("project-heart"), 171);
    QCOMPARE(log.events, (QStringList{"beforeShapeAdded 170", "afterShapeAdded", "shapeAdded project-star",
                                      "beforeShapeAdded 171", "afterShapeAdded", "shapeAdded project-heart"}));
    QCOMPARE(storedFiles(), (QStringList{"shape_project-heart.json", "shape_project-star.json"}));

    log.events.clear();
    QVERIFY(manager.setFromDataOrThrow(data).empty());
    QVERIFY(log.events.isEmpty());
    QCOMPARE(manager.shapeCount(), std::size_t(172));
}

void TestManagerImport::importRenamesATakenIdentifier()
{
    shape::Manager manager;
    manager.setFromDataOrThrow(QVariantList{starData("taken", "Star", 175, 0.5)});

    const QVariantMap other = starData("taken", "Star", 175, 0.9);
    const auto map = manager.setFromDataOrThrow(QVariantList{other});
    QCOMPARE(map.size(), std::size_t(1));
    const QString renamed = map.at("taken");
    QVERIFY(renamed != "taken");
    QVERIFY(shape::Base::isValidIdentifier(renamed));
    QCOMPARE(manager.shape(renamed)->modifierValues()[1].value(), 0.9);
    QCOMPARE(manager.shape("taken")->modifierValues()[1].value(), 0.5);
    QVERIFY(storedFiles().contains("shape_" + renamed + ".json"));

    // A built-in identifier is taken as well.
    const auto builtInMap = manager.setFromDataOrThrow(QVariantList{heartData("circle", "Round", 3)});
    QVERIFY(builtInMap.at("circle") != "circle");
    QCOMPARE(manager.defaultShape()->type(), shape::Type::Circle);
}

void TestManagerImport::importOfHeldShapesWritesNothing()
{
    shape::Manager manager;
    const QString held = addStar(manager, "Held", 0.4);
    const QVariant data = manager.toData({held});
    QVERIFY(storage().remove("shape_" + held + ".json"));

    QVERIFY(manager.setFromDataOrThrow(data).empty());
    QVERIFY(storedFiles().isEmpty());
}

void TestManagerImport::nullDataImportsNothing()
{
    shape::Manager manager;
    QVERIFY(manager.setFromDataOrThrow(QVariant()).empty());
    QVERIFY(manager.resolveDataOrThrow(QVariant()).empty());
    QVERIFY(manager.setFromDataOrThrow(QVariantList{}).empty());
    QCOMPARE(manager.shapeCount(), std::size_t(170));
}

void TestManagerImport::badEntries_data()
{
    QTest::addColumn<QVariant>("data");
    QTest::addColumn<QString>("reason");

    const QVariantMap good = starData("good-one", "Good", 175);
    QVariantMap noIdentifier = good;
    noIdentifier.remove("identifier");
    QVariantMap emptyIdentifier = good;
    emptyIdentifier.insert("identifier", "");
    QVariantMap shortIdentifier = good;
    shortIdentifier.insert("identifier", "a");
    QVariantMap trailingLineFeed = good;
    trailingLineFeed.insert("identifier", "good-one\n");
    QVariantMap unknownType = good;
    unknownType.insert("type", "Blob");
    QVariantMap newerVersion = good;
    newerVersion.insert("version", 2);
    QVariantMap missingValue = good;
    missingValue.insert("modifier", QVariantMap{{"0", 0.5}});

    QTest::newRow("not a list") << QVariant(good) << "The shape entry is not a list.; keypath=";
    QTest::newRow("no object") << QVariant(QVariantList{good, 5}) << "The shape entry is no object.; keypath=entry[1]";
    QTest::newRow("no identifier") << QVariant(QVariantList{noIdentifier})
                                   << "The shape entry has no identifier.; keypath=entry[0]";
    QTest::newRow("empty identifier") << QVariant(QVariantList{emptyIdentifier})
                                      << "The shape entry has an empty identifier.; keypath=entry[0]";
    QTest::newRow("malformed identifier") << QVariant(QVariantList{shortIdentifier})
                                          << "The shape entry has an malformed identifier.; keypath=entry[0]";
    QTest::newRow("trailing line feed") << QVariant(QVariantList{trailingLineFeed})
                                        << "The shape entry has an malformed identifier.; keypath=entry[0]";
    QTest::newRow("unknown type") << QVariant(QVariantList{unknownType})
                                  << "The shape entry has an unknown type.; keypath=entry[0]";
    QTest::newRow("inner error") << QVariant(QVariantList{good, newerVersion})
                                 << "Unknown version `2` in data.; keypath=entry[1]->version";
    QTest::newRow("missing modifier") << QVariant(QVariantList{missingValue})
                                      << "Missing modifier value `1`.; keypath=entry[0]->modifier";
}

void TestManagerImport::badEntries()
{
    QFETCH(QVariant, data);
    QFETCH(QString, reason);

    shape::Manager manager;
    for (const bool imports : {true, false}) {
        try {
            if (imports) {
                manager.setFromDataOrThrow(data);
            } else {
                manager.resolveDataOrThrow(data);
            }
            QFAIL("no error");
        } catch (const err::Deserialize& error) {
            QCOMPARE(error.reason(), reason);
        }
    }
}

void TestManagerImport::badEntryLeavesTheDatabaseAlone()
{
    shape::Manager manager;
    SignalLog log(manager);
    QVariantMap bad = starData("bad-one", "Bad", 175);
    bad.insert("index", -1);
    const QVariant data = QVariantList{starData("good-one", "Good", 175), bad};
    QVERIFY_THROWS_EXCEPTION(err::Deserialize, manager.setFromDataOrThrow(data));
    QVERIFY(!manager.hasShapeId("good-one"));
    QCOMPARE(manager.shapeCount(), std::size_t(170));
    QVERIFY(log.events.isEmpty());
    QVERIFY(storedFiles().isEmpty());
}

void TestManagerImport::exportedShapesReimportUnchanged()
{
    QVariant projectShapes;
    {
        shape::Manager author;
        const QString first = addStar(author, "First", 0.1);
        const QString second = addStar(author, "Second", 0.2);
        projectShapes = author.toData({first, second});
    }
    resetStorage();
    shape::Manager manager;
    const auto imported = manager.setFromDataOrThrow(projectShapes);
    QCOMPARE(imported.size(), std::size_t(2));
    QStringList held;
    for (const auto& [read, current] : imported) {
        QCOMPARE(current, read);
        held << current;
    }
    // Exporting what was imported gives the same shapes, which then import as already held.
    const QVariant again = manager.toData(QSet<QString>(held.begin(), held.end()));
    QCOMPARE(identifiersFrom(again), identifiersFrom(projectShapes));
    QVERIFY(manager.setFromDataOrThrow(again).empty());
    QCOMPARE(manager.shapeCount(), std::size_t(172));
}

void TestManagerImport::resolveAddsNothing()
{
    shape::Manager manager;
    manager.setFromDataOrThrow(QVariantList{starData("taken", "Star", 175, 0.5)});
    // An earlier import renamed this version of "taken"; it is held under its new identifier.
    const QString renamed = manager.setFromDataOrThrow(QVariantList{starData("taken", "Star", 175, 0.9)}).at("taken");
    const QString folderPath = shape::Manager::getShapeStorageDir();
    QVERIFY(QDir(folderPath).removeRecursively());
    SignalLog log(manager);

    const QVariant data = QVariantList{starData("taken", "Star", 175, 0.5), starData("taken-2", "Star", 176, 0.9),
                                       heartData("unknown", "New Heart", 177)};
    const auto map = manager.resolveDataOrThrow(data);
    QCOMPARE(map, (shape::Manager::IdentifierMap{{"taken-2", renamed}, {"unknown", "unknown"}}));
    QVERIFY(!manager.hasShapeId("unknown"));
    QCOMPARE(manager.shapeCount(), std::size_t(172));
    QVERIFY(log.events.isEmpty());
    QVERIFY(!QDir(folderPath).exists());
}

void TestManagerImport::lookupsWhileTheMainThreadChangesTheList()
{
    shape::Manager manager;
    const QString stable = addStar(manager, "Stable", 0.5);
    const QVariant projectShapes = manager.toData({stable});
    std::atomic<bool> isDone{false};
    std::atomic<int> problems{0};

    const auto reader = [&]() {
        int rounds = 0;
        while (!isDone.load() || rounds < 20) {
            const std::size_t count = manager.shapeCount();
            const auto last = manager.shape(static_cast<unsigned long>(count - 1));
            const auto byIdentifier = last ? manager.shape(last->identifier()) : nullptr;
            if (byIdentifier && byIdentifier->identifier() != last->identifier()) {
                ++problems;
            }
            if (manager.indexForShapeId(stable) != 170 || !manager.defaultShape()) {
                ++problems;
            }
            if (identifiersFrom(manager.toData({stable})) != QStringList{stable}) {
                ++problems;
            }
            if (!manager.resolveDataOrThrow(projectShapes).empty()) {
                ++problems;
            }
            ++rounds;
        }
        return rounds;
    };
    QFuture<int> first = QtConcurrent::run(reader);
    QFuture<int> second = QtConcurrent::run(reader);
    for (int i = 0; i < 16; ++i) {
        const QString added = addStar(manager, "Busy", 0.3);
        QVERIFY(manager.update(added, QStringLiteral("Busy %1").arg(i), {0.1, 0.2, 0.3}));
        manager.setFromDataOrThrow(QVariantList{heartData(QStringLiteral("imported-%1").arg(i), "Imported", 175)});
        if (i % 2 == 0) {
            QVERIFY(manager.remove(added));
        }
    }
    isDone = true;
    QVERIFY(first.result() >= 20);
    QVERIFY(second.result() >= 20);
    QCOMPARE(problems.load(), 0);
    QCOMPARE(manager.shapeCount(), std::size_t(170 + 1 + 8 + 16));
}

MOTIFEX_TEST_MAIN(TestManagerImport)
#include "tst_managerimport.moc"
