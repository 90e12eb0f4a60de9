#include "common/TestMain.h"
#include "shape/tst_manager_support.h"

#include "err/Deserialize.h"
#include "err/IoError.h"
#include "shape/Heart.h"
#include "shape/Star.h"

#include <QStandardPaths>
#include <QTemporaryDir>

#include <csignal>
#include <sys/resource.h>

using namespace managertest;

namespace {

// Lowers the soft limit on the size of files this process writes for the life of the object; the
// signal that exceeding it sends is ignored, so the write fails instead.
class FileSizeLimit
{
public:
    explicit FileSizeLimit(rlim_t bytes)
    {
        getrlimit(RLIMIT_FSIZE, &m_previous);
        m_previousHandler = std::signal(SIGXFSZ, SIG_IGN);
        rlimit limited = m_previous;
        limited.rlim_cur = std::min(bytes, m_previous.rlim_max);
        setrlimit(RLIMIT_FSIZE, &limited);
    }
    ~FileSizeLimit()
    {
        setrlimit(RLIMIT_FSIZE, &m_previous);
        std::signal(SIGXFSZ, m_previousHandler);
    }
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;

private:
    rlimit m_previous{};
    void (*m_previousHandler)(int) = nullptr;
};

} // namespace

class TestManager : public QObject
{
    Q_OBJECT

private slots:
    void init() { resetStorage(); }

    void emptyStorageHoldsTheBuiltIns();
    void instanceFollowsTheObject();
    void savedShapesLoadBackInOrder();
    void loadOrderFollowsTheStoredIndex();
    void oversizedAndBrokenFilesAreIgnored();
    void failedFilesAreCountedAndMoved();
    void failedFileWithATakenNameIsMovedAside();
    void foldersAndUnreadableFilesDoNotEndTheLoad();
    void duplicateIdentifiersKeepBothShapes();
    void storedValuesAreClamped();
    void failedWriteRemovesNothing_data();
    void failedWriteRemovesNothing();
    void missingStorageFolderIsRefused();
    void readingOneFile_data();
    void readingOneFile();
    void addStoresAValidCopy();
    void addRefusesAnInvalidShape();
    void updateReplacesTheShape();
    void updateRefusesBadNames_data();
    void updateRefusesBadNames();
    void removeDeletesTheFile();
    void builtInShapesCannotBeRemoved();
};

void TestManager::emptyStorageHoldsTheBuiltIns()
{
    shape::Manager manager;
    manager.loadOrThrow();
    QCOMPARE(manager.shapeCount(), std::size_t(170));
    QCOMPARE(manager.defaultShape()->identifier(), QString("circle"));
    QCOMPARE(manager.shape(0ul), manager.defaultShape());
    QCOMPARE(manager.indexForShapeId("circle"), 0);
    QCOMPARE(manager.indexForShapeId("no-such-shape"), -1);
    QVERIFY(!manager.hasShapeId("no-such-shape"));
    QVERIFY(!manager.shape(170ul));
    QVERIFY(!manager.shape("Circle"));
    QVERIFY(manager.storedFileNames().empty());
    QVERIFY(manager.failedFileNames().empty());
}

void TestManager::instanceFollowsTheObject()
{
    QCOMPARE(shape::Manager::instance(), nullptr);
    {
        shape::Manager manager;
        QCOMPARE(shape::Manager::instance(), &manager);
    }
    QCOMPARE(shape::Manager::instance(), nullptr);
}

void TestManager::savedShapesLoadBackInOrder()
{
    QString starId;
    QString heartId;
    {
        shape::Manager manager;
        auto star = std::make_shared<shape::Star>();
        star->resetToDefaults();
        star->setName("My Star");
        star->setPointCount(5);
        auto heart = std::make_shared<shape::Heart>();
        heart->resetToDefaults();
        heart->setRatio(0.25);
        starId = manager.add(star);
        heartId = manager.add(heart);
    }
    QCOMPARE(readShapeFile("shape_" + starId + ".json").value("index").toInt(), 1000);
    QCOMPARE(readShapeFile("shape_" + heartId + ".json").value("index").toInt(), 1001);

    shape::Manager manager;
    manager.loadOrThrow();
    QCOMPARE(manager.shapeCount(), std::size_t(172));
    QCOMPARE(manager.shape(170ul)->identifier(), starId);
    QCOMPARE(manager.shape(170ul)->name(), QString("My Star"));
    QVERIFY(!manager.shape(170ul)->isBuiltIn());
    QCOMPARE(manager.shape(171ul)->identifier(), heartId);
    QCOMPARE(manager.shape(171ul)->modifierValues().front().value(), 0.25);
    QCOMPARE(manager.storedFileNames(), (std::set<QString>{"shape_" + starId + ".json", "shape_" + heartId + ".json"}));
}

void TestManager::loadOrderFollowsTheStoredIndex()
{
    QVERIFY(writeShapeFile("a.json", starData("second", "Second", 1001)));
    QVERIFY(writeShapeFile("b.json", starData("first", "First", 1000)));
    shape::Manager manager;
    manager.loadOrThrow();
    QCOMPARE(manager.shape(170ul)->identifier(), QString("first"));
    QCOMPARE(manager.shape(171ul)->identifier(), QString("second"));

    // The next save writes each shape under its identifier and removes the old names.
    manager.saveOrThrow();
    QCOMPARE(storedFiles(), (QStringList{"shape_first.json", "shape_second.json"}));
    QCOMPARE(readShapeFile("shape_second.json").value("index").toInt(), 1001);
}

void TestManager::oversizedAndBrokenFilesAreIgnored()
{
    QByteArray padded = QJsonDocument::fromVariant(starData("padded", "Padded", 1000)).toJson();
    padded.append(QByteArray(100001 - padded.size(), ' '));
    QVERIFY(writeFile(storage().filePath("shape_padded.json"), padded));
    QVERIFY(writeFile(storage().filePath("shape_broken.json"), "{\"version\": 1,"));
    QVERIFY(writeShapeFile("shape_good.json", starData("good", "Good", 1000)));

    shape::Manager manager;
    manager.loadOrThrow();
    QCOMPARE(manager.shapeCount(), std::size_t(171));
    QVERIFY(manager.failedFileNames().empty());
    manager.fixLoadingIssues();
    QCOMPARE(storedFiles(), (QStringList{"shape_broken.json", "shape_good.json", "shape_padded.json"}));
}

void TestManager::failedFilesAreCountedAndMoved()
{
    QVariantMap newerVersion = starData("new", "New", 1000);
    newerVersion.insert("version", 2);
    QVERIFY(writeShapeFile("shape_new.json", newerVersion));
    QVERIFY(writeShapeFile("shape_kept.json", starData("kept", "Kept", 1001)));
    QVERIFY(writeShapeFile("shape_other.json", shapeData("Blob", "other", "Other", 1002, {})));

    shape::Manager manager;
    try {
        manager.loadOrThrow();
        QFAIL("the load did not report the failed files");
    } catch (const err::Deserialize& error) {
        QCOMPARE(error.reason(), QString("Failed to deserialize 2 shape files.; keypath="));
    }
    QVERIFY(manager.hasShapeId("kept"));
    QCOMPARE(manager.failedFileNames(), (std::set<QString>{"shape_new.json", "shape_other.json"}));

    manager.fixLoadingIssues();
    QCOMPARE(storedFiles(), QStringList{"shape_kept.json"});
    const QDir failed(storage().filePath("failed"));
    QCOMPARE(failed.entryList(QDir::Files, QDir::Name), (QStringList{"shape_new.json", "shape_other.json"}));
    QVERIFY(manager.failedFileNames().empty());
}

void TestManager::failedFileWithATakenNameIsMovedAside()
{
    const QDir folder = storage();
    QVERIFY(folder.mkdir("failed"));
    QVERIFY(writeFile(folder.filePath("failed/shape_x.json"), "from an earlier start"));
    QVERIFY(writeFile(folder.filePath("failed/shape_x-1.json"), "from the start before"));
    QVERIFY(writeFile(folder.filePath("shape_x.json"), "[1, 2]"));

    shape::Manager manager;
    QVERIFY_THROWS_EXCEPTION(err::Deserialize, manager.loadOrThrow());
    manager.fixLoadingIssues();
    QVERIFY(storedFiles().isEmpty());
    QFile earlier(folder.filePath("failed/shape_x.json"));
    QVERIFY(earlier.open(QIODevice::ReadOnly));
    QCOMPARE(earlier.readAll(), QByteArray("from an earlier start"));
    QFile moved(folder.filePath("failed/shape_x-2.json"));
    QVERIFY(moved.open(QIODevice::ReadOnly));
    QCOMPARE(moved.readAll(), QByteArray("[1, 2]"));

    // Nothing is left to move: the next start finds no failure.
    shape::Manager nextStart;
    nextStart.loadOrThrow();
}

void TestManager::foldersAndUnreadableFilesDoNotEndTheLoad()
{
    const QDir folder = storage();
    QVERIFY(folder.mkdir("folder.json"));
    QVERIFY(writeShapeFile("shape_z.json", starData("zeta", "Zeta", 1000)));
    // The kernel refuses to read this file from its start, whoever the reader is.
    const bool hasUnreadableFile = QFile::link("/proc/self/mem", folder.filePath("shape_unreadable.json"));

    shape::Manager manager;
    if (hasUnreadableFile) {
        QVERIFY_THROWS_EXCEPTION(err::Deserialize, manager.loadOrThrow());
        QCOMPARE(manager.failedFileNames(), std::set<QString>{"shape_unreadable.json"});
    } else {
        manager.loadOrThrow();
    }
    QVERIFY(manager.hasShapeId("zeta"));

    // The save that follows keeps the shape that was read.
    manager.saveOrThrow();
    QCOMPARE(readShapeFile("shape_zeta.json").value("name").toString(), QString("Zeta"));
    QVERIFY(QFileInfo(folder.filePath("folder.json")).isDir());
}

void TestManager::duplicateIdentifiersKeepBothShapes()
{
    QVERIFY(writeShapeFile("shape_twin.json", starData("twin", "Original", 1000)));
    QVERIFY(writeShapeFile("copy.json", starData("twin", "Second", 1001)));
    QVERIFY(writeShapeFile("odd.json", heartData("circle", "Not The Circle", 1002)));

    shape::Manager manager;
    manager.loadOrThrow();
    QCOMPARE(manager.shapeCount(), std::size_t(173));
    QCOMPARE(manager.shape("twin")->name(), QString("Original"));
    QCOMPARE(manager.shape(171ul)->name(), QString("Second"));
    QVERIFY(manager.shape(171ul)->identifier() != "twin");
    QCOMPARE(manager.defaultShape()->type(), shape::Type::Circle);
    QVERIFY(manager.shape(172ul)->identifier() != "circle");

    manager.saveOrThrow();
    shape::Manager nextStart;
    nextStart.loadOrThrow();
    QCOMPARE(nextStart.shapeCount(), std::size_t(173));
    QCOMPARE(nextStart.shape(171ul)->identifier(), manager.shape(171ul)->identifier());
    QCOMPARE(nextStart.shape(172ul)->name(), QString("Not The Circle"));
}

void TestManager::storedValuesAreClamped()
{
    // Unchecked, 1e5 would build a star of about 900000 points.
    QVERIFY(writeShapeFile("shape_huge.json", shapeData("SimpleStar", "huge", "Huge", 1000,
                                                        {{"0", 1e5}, {"1", -3.0}, {"2", "text"}})));
    shape::Manager manager;
    manager.loadOrThrow();
    QCOMPARE(manager.shape("huge")->modifierValues(), (std::vector<geo::Normal1D>{1.0, 0.0, 0.0}));

    manager.setFromDataOrThrow(QVariantList{heartData("steep", "Steep", 175, 40.0)});
    QCOMPARE(manager.shape("steep")->modifierValues().front().value(), 1.0);
}

void TestManager::failedWriteRemovesNothing_data()
{
    QTest::addColumn<bool>("isFolderInTheWay");

    QTest::newRow("file cannot be opened") << true;
    QTest::newRow("data cannot be written") << false;
}

void TestManager::failedWriteRemovesNothing()
{
    QFETCH(bool, isFolderInTheWay);
    QVERIFY(writeShapeFile("legacy.json", starData("kept", "Kept", 1000)));
    shape::Manager manager;
    manager.loadOrThrow();
    if (isFolderInTheWay) {
        QVERIFY(storage().mkdir("shape_kept.json"));
    }
    try {
        // A file size limit makes the data fail to reach the disk, like a full disk; the open succeeds.
        FileSizeLimit limit(isFolderInTheWay ? RLIM_INFINITY : 16);
        manager.saveOrThrow();
        QFAIL("the failed write was reported as success");
    } catch (const err::IoError& error) {
        QVERIFY2(error.reason().startsWith("Saving the shape file \"shape_kept.json\" failed. Error: "),
                 qPrintable(error.reason()));
    }
    QCOMPARE(storedFiles(), QStringList{"legacy.json"});
    QCOMPARE(manager.storedFileNames(), std::set<QString>{"legacy.json"});
    QCOMPARE(readShapeFile("legacy.json").value("name").toString(), QString("Kept"));
}

void TestManager::missingStorageFolderIsRefused()
{
    const QString dataFolder = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    QVERIFY(QDir(dataFolder + "/shapes").removeRecursively());
    QVERIFY(writeFile(dataFolder + "/shapes", "a file where the folder belongs"));
    QTemporaryDir workingFolder;
    const QString previousWorkingFolder = QDir::currentPath();
    QVERIFY(QDir::setCurrent(workingFolder.path()));
    QVERIFY(writeFile("shape_stray.json", QJsonDocument::fromVariant(starData("stray", "Stray", 1000)).toJson()));

    QCOMPARE(shape::Manager::getShapeStorageDir(), QString());
    shape::Manager manager;
    const QString message = "Could not access the storage directory for the shape definitions.";
    QVERIFY_THROWS_EXCEPTION(err::IoError, manager.loadOrThrow());
    QVERIFY_THROWS_EXCEPTION(err::IoError, manager.saveOrThrow());
    QVERIFY_THROWS_EXCEPTION(err::IoError, manager.fixLoadingIssues());
    try {
        manager.loadOrThrow();
    } catch (const err::IoError& error) {
        QCOMPARE(error.reason(), message);
    }
    auto star = std::make_shared<shape::Star>();
    star->resetToDefaults();
    QVERIFY(!manager.add(star).isEmpty());
    QVERIFY(!manager.hasShapeId("stray"));
    QCOMPARE(QDir().entryList({"*.json"}, QDir::Files), QStringList{"shape_stray.json"});
    QVERIFY(!QDir("failed").exists());

    QVERIFY(QDir::setCurrent(previousWorkingFolder));
    QVERIFY(QFile::remove(dataFolder + "/shapes"));
}

void TestManager::readingOneFile_data()
{
    QTest::addColumn<QVariant>("data");
    QTest::addColumn<QString>("reason");

    QTest::newRow("list") << QVariant(QVariantList{1, 2}) << "Shape data is malformed; keypath=";
    QTest::newRow("text") << QVariant("star") << "Shape data is malformed; keypath=";
    QTest::newRow("no type") << QVariant(QVariantMap{{"version", 1}}) << "Shape data contains no type name.; keypath=";
    QTest::newRow("unknown type") << QVariant(shapeData("simplestar", "x1", "X", 0, {}))
                                  << "Unknown shape type.; keypath=";
    QTest::newRow("shape error passes unchanged")
        << QVariant(starData("x", "X", 0)) << "The identifier in data has an unknown format.; keypath=identifier";
}

void TestManager::readingOneFile()
{
    QFETCH(QVariant, data);
    QFETCH(QString, reason);
    try {
        shape::Manager::createShapeFromDataOrThrow(data);
        QFAIL("no error");
    } catch (const err::Deserialize& error) {
        QCOMPARE(error.reason(), reason);
    }
}

void TestManager::addStoresAValidCopy()
{
    shape::Manager manager;
    SignalLog log(manager);
    auto star = std::make_shared<shape::Star>();
    star->resetToDefaults();
    star->setName("Added");
    const QString identifier = manager.add(star);

    QVERIFY(shape::Base::isValidIdentifier(identifier));
    QVERIFY(identifier != star->identifier());
    QCOMPARE(log.events, (QStringList{"beforeShapeAdded 170", "afterShapeAdded", "shapeAdded " + identifier}));
    const auto held = manager.shape(identifier);
    QVERIFY(held != star);
    QVERIFY(held->isVisuallyEqual(star));
    QCOMPARE(manager.indexForShapeId(identifier), 170);
    QCOMPARE(storedFiles(), QStringList{"shape_" + identifier + ".json"});
}

void TestManager::addRefusesAnInvalidShape()
{
    shape::Manager manager;
    SignalLog log(manager);
    auto star = std::make_shared<shape::Star>();
    star->resetToDefaults();
    star->setName("Line\nbreak");
    QCOMPARE(manager.add(star), QString());
    QCOMPARE(manager.add(nullptr), QString());
    QVERIFY(log.events.isEmpty());
    QCOMPARE(manager.shapeCount(), std::size_t(170));
    QVERIFY(storedFiles().isEmpty());
}

void TestManager::updateReplacesTheShape()
{
    shape::Manager manager;
    auto star = std::make_shared<shape::Star>();
    star->resetToDefaults();
    const QString identifier = manager.add(star);
    const auto before = manager.shape(identifier);
    SignalLog log(manager);

    QVERIFY(manager.update(identifier, "Changed", {0.25, 7.0, std::nan("")}));
    QCOMPARE(log.events, QStringList{"shapeChanged " + identifier});
    const auto after = manager.shape(identifier);
    QCOMPARE(after->name(), QString("Changed"));
    QCOMPARE(after->modifierValues(), (std::vector<geo::Normal1D>{0.25, 1.0, 0.0}));
    QCOMPARE(manager.indexForShapeId(identifier), 170);
    // A reader that took the shape before the change still sees it whole and unchanged.
    QCOMPARE(before->name(), star->name());
    QVERIFY(before->isVisuallyEqual(star));
    const QVariantMap stored = readShapeFile("shape_" + identifier + ".json");
    QCOMPARE(stored.value("name").toString(), QString("Changed"));
    QCOMPARE(stored.value("modifier").toMap().value("1").toDouble(), 1.0);

    QVERIFY(!manager.update("no-such-shape", "Name", {}));
    QCOMPARE(log.events.size(), 1);
}

void TestManager::updateRefusesBadNames_data()
{
    QTest::addColumn<QString>("name");

    QTest::newRow("line feed") << "Two\nLines";
    QTest::newRow("trailing line feed") << "Name\n";
    QTest::newRow("101 letters") << QString(101, 'a');
    QTest::newRow("129 units") << QString(129, 'a');
    QTest::newRow("control character") << QString("Tab\there");
}

void TestManager::updateRefusesBadNames()
{
    QFETCH(QString, name);
    shape::Manager manager;
    auto star = std::make_shared<shape::Star>();
    star->resetToDefaults();
    star->setName("Good");
    const QString identifier = manager.add(star);
    SignalLog log(manager);

    QVERIFY(!manager.update(identifier, name, {0.1, 0.1, 0.1}));
    QVERIFY(log.events.isEmpty());
    QCOMPARE(manager.shape(identifier)->name(), QString("Good"));
    QCOMPARE(readShapeFile("shape_" + identifier + ".json").value("name").toString(), QString("Good"));
}

void TestManager::removeDeletesTheFile()
{
    shape::Manager manager;
    auto star = std::make_shared<shape::Star>();
    star->resetToDefaults();
    const QString first = manager.add(star);
    const QString second = manager.add(star);
    SignalLog log(manager);

    QVERIFY(manager.remove(first));
    QCOMPARE(log.events, (QStringList{"beforeShapeRemoved 170", "afterShapeRemoved", "shapeRemoved " + first}));
    QVERIFY(!manager.hasShapeId(first));
    QCOMPARE(manager.indexForShapeId(second), 170);
    QCOMPARE(storedFiles(), QStringList{"shape_" + second + ".json"});
    QCOMPARE(readShapeFile("shape_" + second + ".json").value("index").toInt(), 1000);
    QVERIFY(!manager.remove(first));
}

void TestManager::builtInShapesCannotBeRemoved()
{
    shape::Manager manager;
    SignalLog log(manager);
    QVERIFY(!manager.remove("circle"));
    QVERIFY(!manager.remove("leaf-30"));
    QVERIFY(log.events.isEmpty());
    QCOMPARE(manager.shapeCount(), std::size_t(170));
    QCOMPARE(manager.defaultShape()->identifier(), QString("circle"));
}

MOTIFEX_TEST_MAIN(TestManager)
#include "tst_manager.moc"
