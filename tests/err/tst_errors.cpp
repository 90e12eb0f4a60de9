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

    void keyPathGrowsOutwardOrStaysEmpty()
    {
        const err::Deserialize innermost(QStringLiteral("Bad radius."), QStringLiteral("radius"));
        const err::Deserialize entry(QStringLiteral("[2]"), innermost);
        const err::Deserialize outer(QStringLiteral("items"), entry);
        QCOMPARE(outer.reason(), QStringLiteral("Bad radius.; keypath=items->[2]->radius"));
        QCOMPARE(QString::fromUtf8(outer.what()), outer.reason());
        QCOMPARE(outer.reason().count(QStringLiteral("; keypath=")), 1);
        QCOMPARE(err::Deserialize(QStringLiteral("Broken.")).reason(), QStringLiteral("Broken.; keypath="));
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
