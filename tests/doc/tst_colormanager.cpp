#include "common/TestMain.h"

#include "doc/ColorManager.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QStandardPaths>

#include <algorithm>
#include <iterator>

namespace {

QString colorsPath(const QString& fileName = QString())
{
    return QStandardPaths::writableLocation(QStandardPaths::AppDataLocation) + "/colors/" + fileName;
}

void writeFile(const QString& name, const QByteArray& content)
{
    QDir().mkpath(colorsPath());
    QFile file(colorsPath(name));
    QVERIFY(file.open(QIODevice::WriteOnly) && file.write(content) == content.size());
}

QByteArray presetJson(const QString& identifier, const QString& name = QStringLiteral("Preset"))
{
    return QJsonDocument(QJsonObject{{"identifier", identifier}, {"name", name}, {"data", QJsonObject{{"hue", 0.25}}}}).toJson();
}

QJsonObject readJson(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? QJsonDocument::fromJson(file.readAll()).object() : QJsonObject();
}

QStringList identifiers(const doc::ColorManager& manager)
{
    QStringList result;
    std::transform(manager.entries().cbegin(), manager.entries().cend(), std::back_inserter(result), [](const auto& entry) { return entry.identifier; });
    return result;
}

// A folder in place of the preset's file: the file can be neither replaced nor removed.
void blockFile(const QString& fileName)
{
    QVERIFY(QFile::remove(colorsPath(fileName)));
    QVERIFY(QDir().mkpath(colorsPath(fileName) + "/keep"));
}

} // namespace

class TestColorManager : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        QDir(colorsPath()).removeRecursively();
        QFile::remove(QFileInfo(colorsPath()).path());
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
        QByteArray large = presetJson("ab");
        large.insert(1, QByteArray(100000, ' '));
        QTest::newRow("matching") << "color_ab.json" << presetJson("ab") << QStringList{"ab"} << QString();
        QTest::newRow("dash instead of underscore") << "color-ab.json" << presetJson("ab") << QStringList() << mismatch;
        QTest::newRow("extra part") << "color_x_ab.json" << presetJson("ab") << QStringList() << mismatch;
        QTest::newRow("underscore in identifier") << "color_x_ab.json" << presetJson("x_ab") << QStringList{"x_ab"} << QString();
        QTest::newRow("upper-case suffix") << "color_ab.JSON" << presetJson("ab") << QStringList() << QString();
        QTest::newRow("array") << "color_ab.json" << QByteArray("[1, 2]") << QStringList() << parse;
        QTest::newRow("empty") << "color_ab.json" << QByteArray() << QStringList() << parse;
        QTest::newRow("over 100000 bytes") << "color_ab.json" << large << QStringList() << parse;
        QTest::newRow("dot in file name") << "color_ab.v2.json" << presetJson("ab") << QStringList() << mismatch;
        QTest::newRow("dot in identifier") << "color_ab.v2.json" << presetJson("ab.v2") << QStringList() << invalid;
        QTest::newRow("parent folder") << "color_x.json" << presetJson("../x") << QStringList() << invalid;
        QTest::newRow("empty identifier") << "color_.json" << presetJson("") << QStringList() << invalid;
    }

    void loadAcceptsOnlyMatchingFiles()
    {
        QFETCH(QString, fileName);
        QFETCH(QByteArray, content);
        QFETCH(QString, message);
        writeFile(fileName, content);
        doc::ColorManager manager;
        if (!message.isEmpty()) {
            QTest::ignoreMessage(QtDebugMsg, qPrintable(message.arg(colorsPath(fileName))));
        }
        manager.load();
        QTEST(identifiers(manager), "loaded");
        QVERIFY(QFileInfo::exists(colorsPath(fileName))); // bad files stay untouched
    }

    void addWritesOneFileThatLoadsAgain()
    {
        doc::ColorManager manager;
        manager.load();
        const QVariantMap data{{"hue", QVariantMap{{"input", "x"}}}};
        const QString identifier = manager.add("Warm", data);
        QCOMPARE(identifiers(manager), QStringList{identifier});
        QCOMPARE(QDir(colorsPath()).entryList(QDir::Files), QStringList{"color_" + identifier + ".json"});
        const QJsonObject json = readJson(colorsPath("color_" + identifier + ".json"));
        QCOMPARE(json.keys(), (QStringList{"appName", "appVersion", "data", "dataVersion", "identifier", "name"}));
        QCOMPARE(json.value("dataVersion").toInt(), 1);
        QCOMPARE(json.value("appName").toString() + " " + json.value("appVersion").toString(), QStringLiteral("Motifex 2.6.0"));
        doc::ColorManager reloaded;
        reloaded.load();
        QCOMPARE(identifiers(reloaded), QStringList{identifier});
        QCOMPARE(reloaded.name(identifier), QStringLiteral("Warm"));
        QCOMPARE(reloaded.data(identifier), QVariant(data));

        // A plain file where the folder belongs: nothing can be written.
        QVERIFY(QDir(colorsPath()).removeRecursively());
        QFile file(QFileInfo(colorsPath()).path());
        QVERIFY(file.open(QIODevice::WriteOnly));
        QTest::ignoreMessage(QtDebugMsg, qPrintable("Failed to create data storage path: " + QFileInfo(colorsPath()).path()));
        doc::ColorManager unwritable;
        unwritable.load();
        QTest::ignoreMessage(QtDebugMsg, QRegularExpression("^Failed to open color data file for write: "));
        QTest::ignoreMessage(QtDebugMsg, "Failed to save entry on the disk.");
        QVERIFY(unwritable.add("Warm", QVariantMap()).isEmpty());
        QVERIFY(unwritable.entries().empty());
    }

    void updateRenameRemoveAndUnsafeIdentifiers()
    {
        writeFile("color_ef.json", presetJson("ef"));
        writeFile("color_cd.json", presetJson("cd"));
        writeFile("color_ab.json", presetJson("ab", "Old"));
        writeFile("color_none.json", presetJson("other"));
        QDir(colorsPath()).mkdir("color_gh.json");
        doc::ColorManager manager;
        QTest::ignoreMessage(QtDebugMsg, qPrintable("Identifier does not match file name: " + colorsPath("color_none.json")));
        manager.load();
        QCOMPARE(identifiers(manager), (QStringList{"ab", "cd", "ef"})); // in name order, folders left out

        QVERIFY(manager.update("ab", QVariantMap{{"a", 2}}));
        QVERIFY(manager.rename("ab", "Cold"));
        const QJsonObject json = readJson(colorsPath("color_ab.json"));
        QCOMPARE(json.value("name").toString(), QStringLiteral("Cold"));
        QCOMPARE(json.value("data").toObject().value("a").toInt(), 2);
        QVERIFY(!manager.update("none", QVariantMap()) && !manager.rename("none", "x") && !manager.remove("none"));
        QVERIFY(manager.name("none").isNull() && !manager.data("none").isValid());
        QVERIFY(manager.entry("none").identifier.isEmpty() && manager.entry("none").name.isEmpty() && !manager.entry("none").data.isValid());
        QCOMPARE(QDir(colorsPath()).entryList(QDir::Files), (QStringList{"color_ab.json", "color_cd.json", "color_ef.json", "color_none.json"}));

        blockFile("color_ab.json");
        for (int i = 0; i < 5; ++i) { // three failed writes, two of them by update and rename
            QTest::ignoreMessage(QtDebugMsg, QRegularExpression("^Failed to (open color data file for write: |update entry on the disk\\.$)"));
        }
        QVERIFY(!manager.update("ab", QVariantMap{{"a", 3}}));
        QVERIFY(!manager.rename("ab", "New"));
        QVERIFY(!manager.saveEntry(manager.entry("ab")));
        QCOMPARE(manager.name("ab"), QStringLiteral("New")); // the list keeps the change
        QCOMPARE(manager.data("ab"), QVariant(QVariantMap{{"a", 3}}));

        QTest::ignoreMessage(QtDebugMsg, qPrintable("Failed to remove color data file: " + colorsPath("color_ab.json")));
        QVERIFY(!manager.remove("ab")); // it would come back at the next start
        QVERIFY(manager.remove("cd"));
        QVERIFY(QFile::remove(colorsPath("color_ef.json")));
        QVERIFY(manager.remove("ef"));
        QCOMPARE(identifiers(manager), QStringList{"ab"});
        QCOMPARE(QDir(colorsPath()).entryList(QDir::Files), QStringList{"color_none.json"});

        // An identifier becomes part of a file name: only letters, digits, "-" and "_" are written.
        for (const char* identifier : {"../outside", "a/b", "..", "a.b", "a\\b", "a b", "", "\u00e4"}) {
            QTest::ignoreMessage(QtDebugMsg, qPrintable(QStringLiteral("Invalid color identifier: ") + QString::fromUtf8(identifier)));
            QVERIFY(!manager.saveEntry({QString::fromUtf8(identifier), "x", QVariantMap()}));
        }
        QCOMPARE(QDir(colorsPath()).entryList(QDir::Files), QStringList{"color_none.json"});
        QVERIFY(!QFileInfo::exists(QFileInfo(colorsPath()).path() + "/outside.json"));
    }

};

MOTIFEX_TEST_MAIN(TestColorManager)
#include "tst_colormanager.moc"
