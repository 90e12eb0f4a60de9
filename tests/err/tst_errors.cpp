#include "common/TestMain.h"

#include "err/Deserialize.h"
#include "err/IoError.h"

class TestErrors : public QObject
{
    Q_OBJECT

private slots:
    void whatIsCachedPerObject()
    {
        const err::Error error(QStringLiteral("Grüße"));
        const char* first = error.what();
        QCOMPARE(first, error.what());
        QCOMPARE(QString::fromUtf8(first), QStringLiteral("Grüße"));

        const err::Error copy(error);
        QVERIFY(copy.what() != first);
        QCOMPARE(QString::fromUtf8(copy.what()), QStringLiteral("Grüße"));
    }

    // The key path grows outward as the error is passed up; without any key the reason is the message
    // alone, with no empty "keypath=" for the user to puzzle over.
    void reasonNamesTheKeyPathWhenThereIsOne_data()
    {
        QTest::addColumn<QStringList>("keyPath");
        QTest::addColumn<QString>("reason");
        QTest::newRow("no key") << QStringList() << "Bad radius.";
        QTest::newRow("one key") << QStringList{"radius"} << "Bad radius.; keypath=radius";
        QTest::newRow("three levels") << QStringList{"items", "[2]", "radius"} << "Bad radius.; keypath=items->[2]->radius";
    }

    void reasonNamesTheKeyPathWhenThereIsOne()
    {
        QFETCH(QStringList, keyPath);
        QFETCH(QString, reason);
        const QString message = QStringLiteral("Bad radius.");
        err::Deserialize error = keyPath.isEmpty() ? err::Deserialize(message) : err::Deserialize(message, keyPath.last());
        for (qsizetype level = keyPath.size() - 2; level >= 0; --level) {
            error = err::Deserialize(keyPath.at(level), error);
        }
        QCOMPARE(error.keyPath(), keyPath);
        QCOMPARE(error.message(), message);
        QCOMPARE(error.reason(), reason);
        QCOMPARE(QString::fromUtf8(error.what()), reason);
    }

    void messageJoinedWithInner()
    {
        const err::Deserialize inner(QStringLiteral("Unknown function identifier."), QStringLiteral("identifier"));
        const err::Deserialize outer(QStringLiteral("Bad colour"), QStringLiteral("hue"), inner);
        QCOMPARE(outer.reason(), QStringLiteral("Bad colour; Unknown function identifier.; keypath=hue->identifier"));
    }

    void percentSignsInMessagesSurvive()
    {
        const err::Deserialize inner(QStringLiteral("100% %1 broken"), QStringLiteral("a"));
        const err::Deserialize outer(QStringLiteral("%2 level"), QStringLiteral("b"), inner);
        QCOMPARE(outer.reason(), QStringLiteral("%2 level; 100% %1 broken; keypath=b->a"));
    }

    void ioErrorIsAnError()
    {
        try {
            throw err::IoError(QStringLiteral("Disk full."));
        } catch (const err::Error& error) {
            QCOMPARE(error.reason(), QStringLiteral("Disk full."));
        }
    }
};

MOTIFEX_TEST_MAIN(TestErrors)
#include "tst_errors.moc"
