#include "common/TestMain.h"

#include "io/AtomicFile.h"

#include <QFile>
#include <QTemporaryDir>

#include <sys/resource.h>

#include <csignal>

class TestAtomicFile : public QObject
{
    Q_OBJECT

private:
    static QByteArray contents(const QString& path)
    {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

private slots:
    void writesReplacesAndReportsAnUnreachableFolder()
    {
        QTemporaryDir folder;
        const QString path = folder.filePath(QStringLiteral("a.json"));
        QVERIFY(io::writeFileAtomically(path, "first"));
        QVERIFY(io::writeFileAtomically(path, "second"));
        QCOMPARE(contents(path), QByteArray("second"));
        QString reason;
        QVERIFY(!io::writeFileAtomically(folder.filePath(QStringLiteral("missing/a.json")), "x", &reason));
        QVERIFY(!reason.isEmpty());
    }

    // A write that fails half-way (here: the file size limit, which holds even for root) must leave the
    // old file untouched and report the failure.
    void failedWriteKeepsTheOldFile()
    {
        QTemporaryDir folder;
        const QString path = folder.filePath(QStringLiteral("a.json"));
        QVERIFY(io::writeFileAtomically(path, "old content"));

        std::signal(SIGXFSZ, SIG_IGN);
        rlimit previous{};
        getrlimit(RLIMIT_FSIZE, &previous);
        rlimit limited = previous;
        limited.rlim_cur = 4;
        QCOMPARE(setrlimit(RLIMIT_FSIZE, &limited), 0);
        const bool written = io::writeFileAtomically(path, QByteArray(1000, 'x'));
        setrlimit(RLIMIT_FSIZE, &previous);

        QVERIFY(!written);
        QCOMPARE(contents(path), QByteArray("old content"));
        QCOMPARE(QDir(folder.path()).entryList(QDir::Files), QStringList{QStringLiteral("a.json")});
    }
};

MOTIFEX_TEST_MAIN(TestAtomicFile)
#include "tst_atomicfile.moc"
