#include "common/TestMain.h"

#include "doc/ColorManager.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QStandardPaths>

namespace {

QString colorsPath()
{
    return QStandardPaths::writableLocation(QStandardPaths::AppDataLocation) + QStringLiteral("/colors");
}

void writeFile(const QString& name, const QByteArray& content)
{
    QDir().mkpath(colorsPath());
    QFile file(colorsPath() + QLatin1Char('/') + name);
    QVERIFY(file.open(QIODevice::WriteOnly));
    QCOMPARE(file.write(content), content.size());
}

QByteArray presetJson(const QString& identifier, const QString& name = QStringLiteral("Preset"))
{
    QJsonObject object{{QStringLiteral("identifier"), identifier},
                       {QStringLiteral("name"), name},
                       {QStringLiteral("data"), QJsonObject{{QStringLiteral("hue"), 0.25}}}};
    return QJsonDocument(object).toJson();
}

QJsonObject readJson(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return {};
    }
    return QJsonDocument::fromJson(file.readAll()).object();
}

QStringList identifiers(const doc::ColorManager& manager)
{
    QStringList result;
    for (const auto& entry : manager.entries()) {
        result.append(entry.identifier);
    }
    return result;
}

// Collects the log lines written while it lives.
class LogCapture
{
public:
    LogCapture() : m_previous(qInstallMessageHandler(&LogCapture::handle)) { s_lines.clear(); }
    ~LogCapture() { qInstallMessageHandler(m_previous); }
    QStringList lines() const { return s_lines; }

private:
    static void handle(QtMsgType, const QMessageLogContext&, const QString& message) { s_lines.append(message); }

    static inline QStringList s_lines;
    QtMessageHandler m_previous;
};

} // namespace

class TestColorManager : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        QDir(colorsPath()).removeRecursively();
        QFile::remove(colorsPath());
    }

    void loadAcceptsOnlyMatchingFiles_data()
    {
        QTest::addColumn<QString>("fileName");
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QStringList>("loaded");
        QTest::addColumn<QString>("message");

        const QString mismatch = QStringLiteral("Identifier does not match file name: %1");
        const QString parse = QStringLiteral("Failed to parse color definition file: %1");
        const QString invalid = QStringLiteral("Invalid identifier in color definition file: %1");
        QTest::newRow("matching") << "color_ab.json" << presetJson("ab") << QStringList{"ab"} << QString();
        QTest::newRow("dash instead of underscore") << "color-ab.json" << presetJson("ab") << QStringList() << mismatch;
        QTest::newRow("extra part") << "color_x_ab.json" << presetJson("ab") << QStringList() << mismatch;
        QTest::newRow("underscore in identifier")
            << "color_x_ab.json" << presetJson("x_ab") << QStringList{"x_ab"} << QString();
        QTest::newRow("upper-case suffix") << "color_ab.JSON" << presetJson("ab") << QStringList() << QString();
        QTest::newRow("array") << "color_ab.json" << QByteArray("[1, 2]") << QStringList() << parse;
        QTest::newRow("empty") << "color_ab.json" << QByteArray() << QStringList() << parse;
        QByteArray large = presetJson("ab");
        large.insert(1, QByteArray(100000, ' '));
        QTest::newRow("over 100000 bytes") << "color_ab.json" << large << QStringList() << parse;
        QTest::newRow("dot in file name") << "color_ab.v2.json" << presetJson("ab") << QStringList() << mismatch;
        QTest::newRow("dot in identifier") << "color_ab.v2.json" << presetJson("ab.v2") << QStringList() << invalid;
        QTest::newRow("parent folder") << "color_x.json" << presetJson("../x") << QStringList() << invalid;
        QTest::newRow("slash") << "color_a.json" << presetJson("a/b") << QStringList() << invalid;
        QTest::newRow("empty identifier") << "color_.json" << presetJson("") << QStringList() << invalid;
    }

    void loadAcceptsOnlyMatchingFiles()
    {
        QFETCH(QString, fileName);
        QFETCH(QByteArray, content);
        QFETCH(QStringList, loaded);
        QFETCH(QString, message);
        writeFile(fileName, content);

        doc::ColorManager manager;
        LogCapture log;
        manager.load();

        QCOMPARE(identifiers(manager), loaded);
        const QString path = colorsPath() + QStringLiteral("/") + fileName;
        QCOMPARE(log.lines(), message.isEmpty() ? QStringList() : QStringList{message.arg(path)});
        QVERIFY(QFileInfo::exists(path)); // bad files stay untouched
    }

    void loadReadsNameAndDataInNameOrder()
    {
        writeFile(QStringLiteral("color_b.json"), presetJson("b", "Second"));
        writeFile(QStringLiteral("color_a.json"), presetJson("a", "First"));
        QDir(colorsPath()).mkdir(QStringLiteral("color_c.json"));

        doc::ColorManager manager;
        manager.load();

        QCOMPARE(identifiers(manager), (QStringList{"a", "b"}));
        QCOMPARE(manager.name(QStringLiteral("a")), QStringLiteral("First"));
        QCOMPARE(manager.data(QStringLiteral("b")), QVariant(QVariantMap{{QStringLiteral("hue"), 0.25}}));
        QCOMPARE(manager.entry(QStringLiteral("b")).name, QStringLiteral("Second"));
    }

    void addWritesOneFileThatLoadsAgain()
    {
        doc::ColorManager manager;
        manager.load();
        const QVariantMap data{{QStringLiteral("hue"), QVariantMap{{QStringLiteral("input"), QStringLiteral("x")}}}};
        const QString identifier = manager.add(QStringLiteral("Warm"), data);

        QVERIFY(!identifier.isEmpty());
        QCOMPARE(identifiers(manager), QStringList{identifier});
        const QStringList files = QDir(colorsPath()).entryList(QDir::Files);
        QCOMPARE(files, QStringList{QStringLiteral("color_%1.json").arg(identifier)});
        const QJsonObject json = readJson(colorsPath() + QLatin1Char('/') + files.first());
        QCOMPARE(json.keys(), (QStringList{"appName", "appVersion", "data", "dataVersion", "identifier", "name"}));
        QCOMPARE(json.value(QStringLiteral("dataVersion")).toInt(), 1);
        QCOMPARE(json.value(QStringLiteral("identifier")).toString(), identifier);
        QCOMPARE(json.value(QStringLiteral("appName")).toString(), QStringLiteral("Motifex"));
        QCOMPARE(json.value(QStringLiteral("appVersion")).toString(), QStringLiteral("2.6.0"));

        doc::ColorManager reloaded;
        reloaded.load();
        QCOMPARE(identifiers(reloaded), QStringList{identifier});
        QCOMPARE(reloaded.name(identifier), QStringLiteral("Warm"));
        QCOMPARE(reloaded.data(identifier), QVariant(data));
    }

    void addOnUnwritableFolderFails()
    {
        // A plain file where the folder belongs: nothing can be created in it.
        QDir().mkpath(QFileInfo(colorsPath()).path());
        writeFileAt(colorsPath());
        doc::ColorManager manager;
        QTest::ignoreMessage(QtDebugMsg, qPrintable(QStringLiteral("Failed to create data storage path: %1").arg(colorsPath())));
        manager.load();

        QTest::ignoreMessage(QtDebugMsg, QRegularExpression(QStringLiteral("^Failed to open color data file for write: ")));
        QTest::ignoreMessage(QtDebugMsg, "Failed to save entry on the disk.");
        QVERIFY(manager.add(QStringLiteral("Warm"), QVariantMap()).isEmpty());
        QVERIFY(manager.entries().empty());
    }

    void updateAndRenameRewriteTheFile()
    {
        doc::ColorManager manager;
        manager.load();
        const QString identifier = manager.add(QStringLiteral("Warm"), QVariantMap{{QStringLiteral("a"), 1}});
        const QString path = colorsPath() + QStringLiteral("/color_%1.json").arg(identifier);

        QVERIFY(manager.update(identifier, QVariantMap{{QStringLiteral("a"), 2}}));
        QVERIFY(manager.rename(identifier, QStringLiteral("Cold")));

        QCOMPARE(manager.name(identifier), QStringLiteral("Cold"));
        const QJsonObject json = readJson(path);
        QCOMPARE(json.value(QStringLiteral("name")).toString(), QStringLiteral("Cold"));
        QCOMPARE(json.value(QStringLiteral("data")).toObject().value(QStringLiteral("a")).toInt(), 2);
    }

    void unknownIdentifierChangesNothing()
    {
        doc::ColorManager manager;
        manager.load();
        QVERIFY(QFileInfo(colorsPath()).isDir()); // made by load

        QVERIFY(!manager.update(QStringLiteral("none"), QVariantMap()));
        QVERIFY(!manager.rename(QStringLiteral("none"), QStringLiteral("x")));
        QVERIFY(QDir(colorsPath()).isEmpty());
        QVERIFY(manager.entries().empty());
        QVERIFY(manager.name(QStringLiteral("none")).isNull());
        QVERIFY(!manager.data(QStringLiteral("none")).isValid());
        const doc::ColorManager::Entry entry = manager.entry(QStringLiteral("none"));
        QVERIFY(entry.identifier.isEmpty() && entry.name.isEmpty() && !entry.data.isValid());
    }

    void failedWriteIsReported()
    {
        writeFile(QStringLiteral("color_ab.json"), presetJson("ab", "Old"));
        doc::ColorManager manager;
        manager.load();
        // A folder in place of the file: the new content cannot replace it.
        const QString path = colorsPath() + QStringLiteral("/color_ab.json");
        QVERIFY(QFile::remove(path));
        QVERIFY(QDir().mkpath(path + QStringLiteral("/keep")));

        LogCapture log;
        QVERIFY(!manager.update(QStringLiteral("ab"), QVariantMap{{QStringLiteral("a"), 2}}));
        QVERIFY(!manager.rename(QStringLiteral("ab"), QStringLiteral("New")));
        QVERIFY(!manager.saveEntry(manager.entry(QStringLiteral("ab"))));

        QCOMPARE(log.lines().count(QStringLiteral("Failed to update entry on the disk.")), 2);
        QCOMPARE(manager.name(QStringLiteral("ab")), QStringLiteral("New"));
        QCOMPARE(manager.data(QStringLiteral("ab")), QVariant(QVariantMap{{QStringLiteral("a"), 2}}));
        QVERIFY(QFileInfo(path).isDir());
    }

    void removeDeletesFileAndEntry()
    {
        writeFile(QStringLiteral("color_ab.json"), presetJson("ab"));
        writeFile(QStringLiteral("color_cd.json"), presetJson("cd"));
        doc::ColorManager manager;
        manager.load();

        QVERIFY(manager.remove(QStringLiteral("ab")));

        QCOMPARE(identifiers(manager), QStringList{"cd"});
        QCOMPARE(QDir(colorsPath()).entryList(QDir::Files), QStringList{"color_cd.json"});
    }

    void removeOfUnknownIdentifierTouchesNothing()
    {
        writeFile(QStringLiteral("color_ab.json"), presetJson("ab"));
        writeFile(QStringLiteral("color_none.json"), presetJson("other"));
        doc::ColorManager manager;
        QTest::ignoreMessage(QtDebugMsg, QRegularExpression(QStringLiteral("^Identifier does not match file name: ")));
        manager.load();

        QVERIFY(!manager.remove(QStringLiteral("none")));

        QCOMPARE(identifiers(manager), QStringList{"ab"});
        QCOMPARE(QDir(colorsPath()).entryList(QDir::Files), (QStringList{"color_ab.json", "color_none.json"}));
    }

    void failedRemoveKeepsTheEntry()
    {
        writeFile(QStringLiteral("color_ab.json"), presetJson("ab"));
        doc::ColorManager manager;
        manager.load();
        const QString path = colorsPath() + QStringLiteral("/color_ab.json");
        QVERIFY(QFile::remove(path));
        QVERIFY(QDir().mkpath(path + QStringLiteral("/keep")));

        QTest::ignoreMessage(QtDebugMsg, qPrintable(QStringLiteral("Failed to remove color data file: %1").arg(path)));
        QVERIFY(!manager.remove(QStringLiteral("ab")));
        QCOMPARE(identifiers(manager), QStringList{"ab"});
    }

    void removeOfVanishedFileDropsTheEntry()
    {
        writeFile(QStringLiteral("color_ab.json"), presetJson("ab"));
        doc::ColorManager manager;
        manager.load();
        QVERIFY(QFile::remove(colorsPath() + QStringLiteral("/color_ab.json")));

        QVERIFY(manager.remove(QStringLiteral("ab")));
        QVERIFY(manager.entries().empty());
    }

    void saveEntryRejectsUnsafeIdentifiers_data()
    {
        QTest::addColumn<QString>("identifier");
        QTest::newRow("parent folder") << "../outside";
        QTest::newRow("slash") << "a/b";
        QTest::newRow("dots") << "..";
        QTest::newRow("dot") << "a.b";
        QTest::newRow("backslash") << "a\\b";
        QTest::newRow("space") << "a b";
        QTest::newRow("empty") << "";
        QTest::newRow("non-ASCII letter") << "\u00e4";
    }

    void saveEntryRejectsUnsafeIdentifiers()
    {
        QFETCH(QString, identifier);
        doc::ColorManager manager;
        manager.load();
        QTest::ignoreMessage(QtDebugMsg, qPrintable(QStringLiteral("Invalid color identifier: %1").arg(identifier)));
        QVERIFY(!manager.saveEntry({identifier, QStringLiteral("x"), QVariantMap()}));
        QVERIFY(QDir(colorsPath()).isEmpty());
        QVERIFY(!QFileInfo::exists(QFileInfo(colorsPath()).path() + QStringLiteral("/outside.json")));
    }

private:
    static void writeFileAt(const QString& path)
    {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
    }
};

MOTIFEX_TEST_MAIN(TestColorManager)
#include "tst_colormanager.moc"
