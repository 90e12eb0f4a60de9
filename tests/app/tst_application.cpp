#include "app/Application.h"
#include "support/WidgetTestMain.h"

#include <QDir>
#include <QFile>
#include <QFileOpenEvent>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

namespace {

QString writeFile(const QDir& folder, const QString& name, const QByteArray& content)
{
    const QString path = folder.filePath(name);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(content) != content.size()) {
        return {};
    }
    return path;
}

// A pattern that differs from byte to byte, so that a shifted or repeated block would show.
QByteArray patternedBytes(qsizetype size)
{
    QByteArray bytes(size, Qt::Uninitialized);
    for (qsizetype index = 0; index < size; ++index) {
        bytes[index] = static_cast<char>((index * 7 + index / 251) & 0xff);
    }
    return bytes;
}

} // namespace

class ApplicationTest : public QObject
{
    Q_OBJECT

private slots:
    void fileOpenEventCarriesTheFirstBytes_data()
    {
        QTest::addColumn<qsizetype>("size");
        QTest::addColumn<qsizetype>("expectedSize");
        QTest::newRow("one byte") << qsizetype(1) << qsizetype(1);
        QTest::newRow("a small project") << qsizetype(2345) << qsizetype(2345);
        QTest::newRow("exactly the limit") << qsizetype(10000000) << qsizetype(10000000);
        QTest::newRow("12 MB: cut at the limit") << qsizetype(12000000) << qsizetype(10000000);
    }

    void fileOpenEventCarriesTheFirstBytes()
    {
        QFETCH(qsizetype, size);
        QFETCH(qsizetype, expectedSize);
        QTemporaryDir folder;
        const QByteArray content = patternedBytes(size);
        const QString path = writeFile(QDir(folder.path()), QStringLiteral("project.mtfx"), content);
        QVERIFY(!path.isEmpty());
        QSignalSpy spy(qApp, SIGNAL(fileOpenRequest(QString, QByteArray)));
        QCoreApplication::postEvent(qApp, new QFileOpenEvent(QUrl::fromLocalFile(path)));
        QTRY_COMPARE(spy.size(), 1);
        QCOMPARE(spy.at(0).at(0).toString(), path);
        const QByteArray data = spy.at(0).at(1).toByteArray();
        QCOMPARE(data.size(), expectedSize);
        QVERIFY(data == content.left(expectedSize));
    }

    void fileOpenEventWithoutContent_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::newRow("empty file") << QStringLiteral("empty");
        QTest::newRow("folder") << QStringLiteral("folder");
        QTest::newRow("missing file") << QStringLiteral("missing");
        QTest::newRow("remote URL") << QStringLiteral("remote");
    }

    void fileOpenEventWithoutContent()
    {
        QFETCH(QString, kind);
        QTemporaryDir folder;
        const QDir dir(folder.path());
        QUrl url;
        if (kind == QLatin1String("empty")) {
            url = QUrl::fromLocalFile(writeFile(dir, QStringLiteral("empty.mtfx"), QByteArray()));
        } else if (kind == QLatin1String("folder")) {
            QVERIFY(dir.mkdir(QStringLiteral("folder.mtfx")));
            url = QUrl::fromLocalFile(dir.filePath(QStringLiteral("folder.mtfx")));
        } else if (kind == QLatin1String("missing")) {
            url = QUrl::fromLocalFile(dir.filePath(QStringLiteral("missing.mtfx")));
        } else {
            url = QUrl(QStringLiteral("https://example.com/project.mtfx"));
        }
        QSignalSpy spy(qApp, SIGNAL(fileOpenRequest(QString, QByteArray)));
        QCoreApplication::postEvent(qApp, new QFileOpenEvent(url));
        QCoreApplication::sendPostedEvents(qApp);
        QCOMPARE(spy.size(), 0);
    }
};

MOTIFEX_WIDGET_TEST_MAIN(ApplicationTest)
#include "tst_application.moc"
