#include "common/TestMain.h"

#include "err/Deserialize.h"
#include "shape/Manager.h"
#include "shape/Star.h"

#include <QJsonDocument>
#include <QStandardPaths>
#include <QtConcurrent>

#include <atomic>
#include <csignal>
#include <sys/resource.h>

namespace {

QVariantMap shapeData(const QString& type, const QString& identifier, const QString& name, int index,
                      const QVariantMap& modifiers, int version = 1)
{
    return {{"version", version}, {"type", type}, {"identifier", identifier}, {"name", name}, {"index", index},
            {"modifier", modifiers}};
}

QVariantMap starData(const QString& identifier, const QString& name, int index, double valleyRatio = 0.5)
{
    return shapeData("SimpleStar", identifier, name, index, {{"0", 0.5}, {"1", valleyRatio}, {"2", 0.5}});
}

QDir storage()
{
    return QDir(shape::Manager::getShapeStorageDir());
}

// Writes bytes as they are and anything else as JSON.
bool writeFile(const QString& path, const QVariant& content)
{
    QFile file(QDir(storage()).filePath(path));
    const QByteArray bytes = content.typeId() == QMetaType::QByteArray ? content.toByteArray()
                                                                        : QJsonDocument::fromVariant(content).toJson();
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

QVariantMap readShapeFile(const QString& identifier)
{
    QFile file(storage().filePath("shape_" + identifier + ".json"));
    return file.open(QIODevice::ReadOnly) ? QJsonDocument::fromJson(file.readAll()).toVariant().toMap() : QVariantMap();
}

QStringList storedFiles(const QString& folder = QString())
{
    return QDir(storage().filePath(folder)).entryList({"*.json"}, QDir::Files, QDir::Name);
}

QString addStar(shape::Manager& manager, const QString& name, double valleyRatio = 0.5)
{
    auto star = std::make_shared<shape::Star>();
    star->resetToDefaults();
    star->setName(name);
    star->setInnerCorners(valleyRatio);
    return manager.add(star);
}

template <typename Call>
QString reasonOf(Call call)
{
    try {
        call();
    } catch (const err::Error& error) {
        return error.reason();
    }
    return QStringLiteral("no error");
}

// Every signal of a manager, in order, as text such as "beforeShapeAdded 170".
struct SignalLog : QObject {
    explicit SignalLog(shape::Manager& manager)
    {
        const auto named = [this](const QString& name) { return [this, name](const QVariant& v = {}) {
            events << (v.isValid() ? name + " " + v.toString() : name); }; };
        using M = shape::Manager;
        connect(&manager, &M::shapeChanged, this, named("shapeChanged"));
        connect(&manager, &M::shapeAdded, this, named("shapeAdded"));
        connect(&manager, &M::shapeRemoved, this, named("shapeRemoved"));
        connect(&manager, &M::beforeShapeAdded, this, named("beforeShapeAdded"));
        connect(&manager, &M::afterShapeAdded, this, named("afterShapeAdded"));
        connect(&manager, &M::beforeShapeRemoved, this, named("beforeShapeRemoved"));
        connect(&manager, &M::afterShapeRemoved, this, named("afterShapeRemoved"));
    }
    QStringList events;
};

} // namespace

class TestManager : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        storage().removeRecursively();
        storage();
    }

    void loadOrderFollowsTheStoredIndex()
    {
        QCOMPARE(shape::Manager::instance(), nullptr);
        {
            shape::Manager manager;
            QCOMPARE(shape::Manager::instance(), &manager);
            manager.loadOrThrow();
            QCOMPARE(manager.shapeCount(), std::size_t(170));
            QCOMPARE(manager.shape(0ul), manager.defaultShape());
            QVERIFY(manager.indexForShapeId("Circle") == -1 && !manager.shape(170ul));
        }
        QCOMPARE(shape::Manager::instance(), nullptr);

        QVERIFY(writeFile("a.json", starData("second", "Second", 1001)));
        QVERIFY(writeFile("b.json", starData("first", "First", 1000)));
        shape::Manager manager;
        manager.loadOrThrow();
        QCOMPARE(manager.shape(170ul)->identifier(), QString("first"));
        QCOMPARE(manager.indexForShapeId("second"), 171);
        // The next save writes each shape under its identifier and removes the old names.
        manager.saveOrThrow();
        QCOMPARE(storedFiles(), (QStringList{"shape_first.json", "shape_second.json"}));
        QCOMPARE(readShapeFile("second").value("index").toInt(), 1001);
    }

    void ignoredAndFailedFiles()
    {
        QByteArray padded = QJsonDocument::fromVariant(starData("padded", "Padded", 1000)).toJson();
        QVERIFY(writeFile("shape_padded.json", padded.append(QByteArray(100001 - padded.size(), ' '))));
        QVERIFY(writeFile("shape_broken.json", QByteArray("{\"version\": 1,")));
        QVERIFY(writeFile("shape_new.json", shapeData("SimpleStar", "new", "New", 1000, {}, 2)));
        QVERIFY(writeFile("shape_other.json", shapeData("Blob", "other", "Other", 1002, {})));
        QVERIFY(writeFile("shape_kept.json", starData("kept", "Kept", 1001)));
        // Neither a folder nor a file that cannot be read ends the load with nothing loaded.
        QVERIFY(storage().mkdir("folder.json"));
        const int failed = QFile::link("/proc/self/mem", storage().filePath("shape_unreadable.json")) ? 3 : 2;

        shape::Manager manager;
        QCOMPARE(reasonOf([&] { manager.loadOrThrow(); }), QStringLiteral("Failed to deserialize %1 shape files.").arg(failed));
        QCOMPARE(manager.shapeCount(), std::size_t(171));
        manager.saveOrThrow();
        QCOMPARE(readShapeFile("kept").value("name").toString(), QString("Kept"));
        manager.fixLoadingIssues();
        QCOMPARE(storedFiles(), (QStringList{"shape_broken.json", "shape_kept.json", "shape_padded.json"}));
        QCOMPARE(storedFiles("failed").mid(0, 2), (QStringList{"shape_new.json", "shape_other.json"}));
        QCOMPARE(storedFiles("failed").size(), failed);
    }

    void failedFileWithATakenNameIsMovedAside()
    {
        QVERIFY(storage().mkdir("failed"));
        QVERIFY(writeFile("failed/shape_x.json", QByteArray("from an earlier start")));
        QVERIFY(writeFile("failed/shape_x-1.json", QByteArray("from the start before")));
        QVERIFY(writeFile("shape_x.json", QByteArray("[1, 2]")));
        shape::Manager manager;
        QVERIFY_THROWS_EXCEPTION(err::Deserialize, manager.loadOrThrow());
        manager.fixLoadingIssues();
        QFile moved(storage().filePath("failed/shape_x-2.json"));
        QVERIFY(moved.open(QIODevice::ReadOnly));
        QCOMPARE(moved.readAll(), QByteArray("[1, 2]"));
        // Nothing is left to move: the next start finds no failure.
        shape::Manager().loadOrThrow();
    }

    void duplicateIdentifiersKeepBothShapes()
    {
        QVERIFY(writeFile("shape_twin.json", starData("twin", "Original", 1000)));
        QVERIFY(writeFile("copy.json", starData("twin", "Second", 1001)));
        QVERIFY(writeFile("odd.json", starData("circle", "Not The Circle", 1002)));
        shape::Manager manager;
        manager.loadOrThrow();
        QCOMPARE(manager.shape("twin")->name(), QString("Original"));
        manager.saveOrThrow();
        shape::Manager nextStart;
        nextStart.loadOrThrow();
        QCOMPARE(nextStart.shapeCount(), std::size_t(173));
        QCOMPARE(nextStart.shape(171ul)->name(), QString("Second"));
        QCOMPARE(nextStart.shape(172ul)->name(), QString("Not The Circle"));
    }

    void failedWriteRemovesNothing_data()
    {
        QTest::addColumn<bool>("isFolderInTheWay");
        QTest::newRow("file cannot be opened") << true;
        QTest::newRow("data cannot be written") << false;
    }
    void failedWriteRemovesNothing()
    {
        QFETCH(bool, isFolderInTheWay);
        QVERIFY(writeFile("legacy.json", starData("kept", "Kept", 1000)));
        shape::Manager manager;
        manager.loadOrThrow();
        QVERIFY(!isFolderInTheWay || storage().mkdir("shape_kept.json"));
        // A file size limit fails the write like a full disk; the signal for it is ignored.
        rlimit previous{};
        getrlimit(RLIMIT_FSIZE, &previous);
        rlimit limited = previous;
        limited.rlim_cur = isFolderInTheWay ? previous.rlim_cur : 16;
        const auto handler = std::signal(SIGXFSZ, SIG_IGN);
        setrlimit(RLIMIT_FSIZE, &limited);
        const QString reason = reasonOf([&] { manager.saveOrThrow(); });
        setrlimit(RLIMIT_FSIZE, &previous);
        std::signal(SIGXFSZ, handler);
        QVERIFY2(reason.startsWith("Saving the shape file \"shape_kept.json\" failed. Error: "), qPrintable(reason));
        QCOMPARE(storedFiles(), QStringList{"legacy.json"});
        QCOMPARE(manager.storedFileNames(), std::set<QString>{"legacy.json"});
    }

    void missingStorageFolderIsRefused()
    {
        const QString dataFolder = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
        QVERIFY(writeFile(dataFolder + "/shape_stray.json", starData("stray", "Stray", 1000)));
        QVERIFY(storage().removeRecursively());
        // A file where the folder belongs, and a shape file in the working folder that relative names would reach.
        QFile blocker(dataFolder + "/shapes");
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        const QString previousWorkingFolder = QDir::currentPath();
        QVERIFY(QDir::setCurrent(dataFolder));

        QCOMPARE(shape::Manager::getShapeStorageDir(), QString());
        shape::Manager manager;
        const QString message = "Could not access the storage directory for the shape definitions.";
        QCOMPARE(reasonOf([&] { manager.loadOrThrow(); }), message);
        QCOMPARE(reasonOf([&] { manager.saveOrThrow(); }), message);
        QCOMPARE(reasonOf([&] { manager.fixLoadingIssues(); }), message);
        QVERIFY(!addStar(manager, "Kept in memory").isEmpty() && !manager.hasShapeId("stray"));
        QCOMPARE(QDir().entryList({"*.json"}, QDir::Files), QStringList{"shape_stray.json"});
        QVERIFY(blocker.remove() && QDir::setCurrent(previousWorkingFolder));
    }

    void readingOneFile()
    {
        const std::pair<QVariant, QString> cases[] = {
            {QVariantList{1, 2}, "Shape data is malformed"},
            {QVariantMap{{"version", 1}}, "Shape data contains no type name."},
            {shapeData("simplestar", "x1", "X", 0, {}), "Unknown shape type."},
            {starData("x", "X", 0), "The identifier in data has an unknown format.; keypath=identifier"}};
        for (const auto& [data, reason] : cases) {
            QCOMPARE(reasonOf([&caseData = data] { shape::Manager::createShapeFromDataOrThrow(caseData); }), reason);
        }
    }

    void addUpdateAndRemove()
    {
        shape::Manager manager;
        SignalLog log(manager);
        QCOMPARE(addStar(manager, "Line\nbreak"), QString());
        QCOMPARE(manager.add(nullptr), QString());
        QVERIFY(log.events.isEmpty() && storedFiles().isEmpty());

        auto star = std::make_shared<shape::Star>();
        star->resetToDefaults();
        const QString first = manager.add(star);
        QVERIFY(first != star->identifier() && manager.shape(first) != star);
        QCOMPARE(log.events, (QStringList{"beforeShapeAdded 170", "afterShapeAdded", "shapeAdded " + first}));
        const QString second = addStar(manager, "Second");

        log.events.clear();
        const auto before = manager.shape(first);
        QVERIFY(manager.update(first, "Changed", {0.25, 7.0, std::nan("")}));
        QCOMPARE(manager.shape(first)->modifierValues(), (std::vector<geo::Normal1D>{0.25, 1.0, 0.0}));
        QCOMPARE(manager.indexForShapeId(first), 170);
        // A reader that took the shape before the change still holds it whole and unchanged.
        QVERIFY(before->isVisuallyEqual(star));
        QVERIFY(!manager.update("no-such-shape", "Name", {}));
        // Names the shape file could not be read back with; the last is 65 surrogate pairs, 130 code units.
        for (const QString& name : {QString("Name\n"), QString("Tab\there"), QString(101, 'a'),
                                    QString::fromUtf8(QByteArray("\xF0\x9F\x98\x80").repeated(65))}) {
            QVERIFY(!manager.update(first, name, {0.1, 0.1, 0.1}));
        }
        QCOMPARE(log.events, QStringList{"shapeChanged " + first});
        QCOMPARE(readShapeFile(first).value("name").toString(), QString("Changed"));

        log.events.clear();
        QVERIFY(!manager.remove("circle") && manager.remove(first) && !manager.remove(first));
        QCOMPARE(log.events, (QStringList{"beforeShapeRemoved 170", "afterShapeRemoved", "shapeRemoved " + first}));
        QCOMPARE(storedFiles(), QStringList{"shape_" + second + ".json"});
        QCOMPARE(readShapeFile(second).value("index").toInt(), 1000);
    }

    void exportAndImport()
    {
        shape::Manager author;
        const QString first = addStar(author, "First", 0.1);
        const QString second = addStar(author, "Second", 0.2);
        addStar(author, "Unused", 0.3);
        const QVariantList entries = author.toData({first, "circle", "no-such-shape", second}).toList();
        QCOMPARE(entries.size(), 2);
        for (const QVariant& entry : entries) {
            // The index of an entry is the shape's position in the whole list.
            QCOMPARE(entry.toMap().value("index").toInt(), author.indexForShapeId(entry.toMap().value("identifier").toString()));
        }
        init();
        shape::Manager manager;
        SignalLog log(manager);
        QCOMPARE(manager.setFromDataOrThrow(entries), (shape::Manager::IdentifierMap{{first, first}, {second, second}}));
        const QString firstRead = entries[0].toMap().value("identifier").toString();
        QCOMPARE(log.events.mid(0, 4), (QStringList{"beforeShapeAdded 170", "afterShapeAdded", "shapeAdded " + firstRead,
                                                    "beforeShapeAdded 171"}));
        QCOMPARE(storedFiles().size(), 2);
        // The same shapes again are held already: nothing is appended, announced or written.
        log.events.clear();
        init();
        QVERIFY(manager.setFromDataOrThrow(manager.toData({first, second})).empty());
        QVERIFY(log.events.isEmpty() && storedFiles().isEmpty() && manager.setFromDataOrThrow(QVariant()).empty());
        QCOMPARE(manager.shapeCount(), std::size_t(172));
    }

    void importRenamesTakenIdentifiers()
    {
        shape::Manager manager;
        manager.setFromDataOrThrow(QVariantList{starData("taken", "Star", 175, 0.5)});
        const QString renamed = manager.setFromDataOrThrow(QVariantList{starData("taken", "Star", 175, 0.9)}).at("taken");
        QVERIFY(renamed != "taken" && shape::Base::isValidIdentifier(renamed));
        QCOMPARE(manager.shape(renamed)->modifierValues()[1].value(), 0.9);
        QCOMPARE(manager.shape("taken")->modifierValues()[1].value(), 0.5);
        QCOMPARE(readShapeFile(renamed).value("identifier").toString(), renamed);
        QVERIFY(manager.setFromDataOrThrow(QVariantList{starData("circle", "Round", 3)}).at("circle") != "circle");

        // Off the main thread the same data resolves to the held shapes without any change.
        QVERIFY(storage().removeRecursively());
        SignalLog log(manager);
        const QVariantList data{starData("taken", "Star", 175, 0.5), starData("taken-2", "Star", 176, 0.9), starData("unknown", "New", 177)};
        QCOMPARE(manager.resolveDataOrThrow(data), (shape::Manager::IdentifierMap{{"taken-2", renamed}, {"unknown", "unknown"}}));
        QVERIFY(!manager.hasShapeId("unknown") && log.events.isEmpty() && storedFiles().isEmpty());
        QVERIFY(manager.resolveDataOrThrow(QVariant()).empty());
    }

    void badEntries_data()
    {
        QTest::addColumn<QVariant>("data");
        QTest::addColumn<QString>("reason");
        const QVariantMap good = starData("good-one", "Good", 175);
        const auto with = [&good](const QString& key, const QVariant& value) {
            QVariantMap changed = good;
            value.isValid() ? void(changed.insert(key, value)) : void(changed.remove(key));
            return QVariant(QVariantList{changed});
        };
        QTest::newRow("not a list") << QVariant(good) << "The shape entry is not a list.";
        QTest::newRow("no object") << QVariant(QVariantList{good, 5}) << "The shape entry is no object.; keypath=entry[1]";
        QTest::newRow("no identifier") << with("identifier", {}) << "The shape entry has no identifier.; keypath=entry[0]";
        QTest::newRow("empty identifier") << with("identifier", "") << "The shape entry has an empty identifier.; keypath=entry[0]";
        QTest::newRow("trailing line feed") << with("identifier", "good-one\n")
                                            << "The shape entry has an malformed identifier.; keypath=entry[0]";
        QTest::newRow("unknown type") << with("type", "Blob") << "The shape entry has an unknown type.; keypath=entry[0]";
        QTest::newRow("inner error") << QVariant(QVariantList{good, shapeData("SimpleStar", "b-2", "B", 1, {}, 2)})
                                     << "Unknown version `2` in data.; keypath=entry[1]->version";
        QTest::newRow("missing modifier") << with("modifier", QVariantMap{{"0", 0.5}})
                                          << "Missing modifier value `1`.; keypath=entry[0]->modifier";
    }
    void badEntries()
    {
        QFETCH(QVariant, data);
        QFETCH(QString, reason);
        shape::Manager manager;
        SignalLog log(manager);
        QCOMPARE(reasonOf([&] { manager.resolveDataOrThrow(data); }), reason);
        // Every entry is checked before the first one is added.
        QCOMPARE(reasonOf([&] { manager.setFromDataOrThrow(data); }), reason);
        QVERIFY(!manager.hasShapeId("good-one") && log.events.isEmpty() && storedFiles().isEmpty());
    }

    void lookupsWhileTheMainThreadChangesTheList()
    {
        shape::Manager manager;
        const QString stable = addStar(manager, "Stable");
        const QVariant projectShapes = manager.toData({stable});
        std::atomic<bool> isDone{false};
        std::atomic<int> problems{0};
        const auto reader = [&]() {
            int rounds = 0;
            for (; !isDone.load() || rounds < 20; ++rounds) {
                const auto last = manager.shape(static_cast<unsigned long>(manager.shapeCount() - 1));
                const auto byIdentifier = last ? manager.shape(last->identifier()) : nullptr;
                const bool isWrong = (byIdentifier && byIdentifier->identifier() != last->identifier())
                    || manager.indexForShapeId(stable) != 170 || !manager.defaultShape()
                    || manager.toData({stable}) != projectShapes || !manager.resolveDataOrThrow(projectShapes).empty();
                problems += isWrong ? 1 : 0;
            }
            return rounds;
        };
        QFuture<int> first = QtConcurrent::run(reader);
        QFuture<int> second = QtConcurrent::run(reader);
        for (int i = 0; i < 16; ++i) {
            const QString added = addStar(manager, "Busy", 0.3);
            QVERIFY(manager.update(added, QStringLiteral("Busy %1").arg(i), {0.1, 0.2, 0.3}));
            manager.setFromDataOrThrow(QVariantList{starData(QStringLiteral("imported-%1").arg(i), "Imported", 175, 0.9)});
            QVERIFY(i % 2 == 1 || manager.remove(added));
        }
        isDone = true;
        QVERIFY(first.result() >= 20 && second.result() >= 20);
        QCOMPARE(problems.load(), 0);
        QCOMPARE(manager.shapeCount(), std::size_t(170 + 1 + 8 + 16));
    }
};

MOTIFEX_TEST_MAIN(TestManager)
#include "tst_manager.moc"
