#include "support/ModalAnswerer.h"
#include "support/WidgetTestMain.h"
#include "tst_updatecheck_server.h"

#include "app/UpdateCheck.h"

#include <QCryptographicHash>
#include <QJsonDocument>
#include <QJsonObject>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QPointer>
#include <QSettings>
#include <QSignalSpy>
#include <QUuid>
#include <QtTest>

#include <memory>

using motifex::test::ModalAnswerer;
using motifex::test::ModalRecord;

namespace {

const QString errorHeading = QStringLiteral("<h2>There was a problem, checking for an update.</h2><p>The problem "
                                            "may be temporary, please try again in a few minutes.</p><p>%1</p>");
const QString latestText = QStringLiteral("<h2>Yay!</h2><p>You are using the latest version of this application.</p>");
QString newVersionText(const char* release)
{
    return QStringLiteral("<h2>New Version Available!</h2><p>There is a new version of this software available. You "
                          "are using version 2.6.0 and there is version %1 available. Download the free update "
                          "here:</p><p><a href=\"https://quillane.com/motifex/download/\">"
                          "https://quillane.com/motifex/download/</a></p>")
        .arg(QLatin1String(release));
}

// The secret as the service knows it; the signature is recomputed here, apart from the program.
const QByteArray serviceSendingSecret = "Zq4Wm7*RtX2Lp9Kv@Hs5Nd3Bf8Yc6Gj1";

QString expectedSignature(const QJsonObject& request, const QByteArray& secret)
{
    QByteArray signedText;
    for (const char* key : {"time", "application", "version", "installation", "salt"}) {
        signedText += request.value(QLatin1String(key)).toString().toUtf8();
    }
    return QString::fromLatin1(QCryptographicHash::hash(signedText + secret, QCryptographicHash::Sha3_512).toBase64());
}

QByteArray releaseReply(const char* release)
{
    return QByteArray(R"({"status":"OK","versions":{"release":")") + release + "\"}}";
}

void setAutomaticCheck(bool isEnabled)
{
    QSettings().setValue(QStringLiteral("updateCheck"), isEnabled);
}

// The request as the service sees it: a compact signed object with the installation's digest.
void verifyRequest(const UpdateServerStub::Request& request)
{
    QCOMPARE(request.method, QByteArray("POST"));
    QCOMPARE(request.path, QByteArray("/update_check/"));
    QCOMPARE(request.contentType, QByteArray("application/json"));
    QVERIFY(!request.body.contains('\n'));
    const QJsonObject body = QJsonDocument::fromJson(request.body).object();
    QCOMPARE(body.keys(), QStringList({"application", "installation", "salt", "signature", "time", "version"}));
    QCOMPARE(body.value("application").toString(), QStringLiteral("Motifex"));
    QCOMPARE(body.value("version").toString(), QStringLiteral("2.6.0"));
    const QByteArray installationId = QSettings().value("installationId").toString().toUtf8();
    QCOMPARE(body.value("installation").toString(),
             QString::fromLatin1(QCryptographicHash::hash(installationId, QCryptographicHash::Sha3_256).toHex()));
    bool isNumber = false;
    body.value("salt").toString().toULongLong(&isNumber);
    QVERIFY(isNumber);
    const QDateTime time = QDateTime::fromString(body.value("time").toString(), Qt::ISODate);
    QVERIFY(time.isValid() && time.timeSpec() == Qt::UTC);
    QCOMPARE(body.value("signature").toString(), expectedSignature(body, serviceSendingSecret));
}

// The next reply of the check's network, once it is finished and the check has released it.
bool waitForReleasedReply(UpdateCheck& check)
{
    auto* network = check.findChild<QNetworkAccessManager*>();
    QSignalSpy finished(network, &QNetworkAccessManager::finished);
    if (!finished.wait(20000)) {
        return false;
    }
    QPointer<QObject> reply(finished.first().first().value<QNetworkReply*>());
    return QTest::qWaitFor([&reply] { return reply.isNull(); }, 20000);
}

} // namespace

class UpdateCheckTest : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        QSettings().clear();
    }

    void knownAnswers()
    {
        QCOMPARE(UpdateCheck::installationHash(QStringLiteral("{12345678-1234-5678-1234-567812345678}")),
                 QStringLiteral("6b3e82a40bcd896583defe696011a827ae1e82a0e59bcdca838544b619d5998c"));
        UpdateCheck::RequestFields fields{QStringLiteral("2025-01-02T03:04:05Z"), QStringLiteral("Motifex"),
                                          QStringLiteral("2.6.0"),
                                          QStringLiteral("6b3e82a40bcd896583defe696011a827ae1e82a0e59bcdca838544b619d5998c"),
                                          QStringLiteral("42")};
        QCOMPARE(UpdateCheck::signature(fields, UpdateCheck::sendingSecret),
                 QStringLiteral("rcZya6ISrFyB4g2XbBYVCFzw92Dswx6o/K5VZGGPn3jpSwbLnCLrc/ZqlL8zHnKUv4Oi/+P7JomO4I+gtPVBHg=="));
        QCOMPARE(UpdateCheck::signature(fields, UpdateCheck::displaySecret),
                 QStringLiteral("dUmqmt+7lR1pVCFF2lRytg8kPfmG3eQFkM82cAGj1T4kNHmS5OCiQON5spsb/t1BrXfL5ZXq6d6bhOYdDjgEAg=="));

        const QByteArray sent = UpdateCheck::requestBody(fields, false);
        QCOMPARE(sent, QByteArray(R"({"application":"Motifex","installation":"6b3e82a40bcd896583defe696011a827ae1e82a0e59bcdca838544b619d5998c","salt":"42","signature":"rcZya6ISrFyB4g2XbBYVCFzw92Dswx6o/K5VZGGPn3jpSwbLnCLrc/ZqlL8zHnKUv4Oi/+P7JomO4I+gtPVBHg==","time":"2025-01-02T03:04:05Z","version":"2.6.0"})"));
        const QByteArray shown = UpdateCheck::requestBody(fields, true);
        QVERIFY(shown.startsWith("{\n    \"application\": \"Motifex\",\n"));
        QCOMPARE(QJsonDocument::fromJson(shown).object().value("signature").toString(),
                 QStringLiteral("dUmqmt+7lR1pVCFF2lRytg8kPfmG3eQFkM82cAGj1T4kNHmS5OCiQON5spsb/t1BrXfL5ZXq6d6bhOYdDjgEAg=="));
    }

    void installationIdIsKeptOrReplaced_data()
    {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<bool>("isKept");
        QTest::newRow("none") << QString() << false;
        QTest::newRow("not a uuid") << "not-a-uuid" << false;
        QTest::newRow("uuid with braces") << "{12345678-1234-5678-1234-567812345678}" << true;
    }

    void installationIdIsKeptOrReplaced()
    {
        QFETCH(QString, stored);
        QFETCH(bool, isKept);
        if (!stored.isNull()) {
            QSettings().setValue("installationId", stored);
        }
        UpdateCheck check(nullptr, QUrl(QStringLiteral("http://127.0.0.1:9")));
        const QJsonObject first = QJsonDocument::fromJson(check.createJsonData(false)).object();
        const QString identifier = QSettings().value("installationId").toString();
        QCOMPARE(identifier == stored, isKept);
        QVERIFY(identifier.startsWith('{') && !QUuid::fromString(identifier).isNull());
        QCOMPARE(first.value("installation").toString(), UpdateCheck::installationHash(identifier));

        // The same installation again; the salt, and with it the signature, are new each time.
        const QJsonObject second = QJsonDocument::fromJson(check.createJsonData(false)).object();
        QCOMPARE(QSettings().value("installationId").toString(), identifier);
        QCOMPARE(second.value("installation"), first.value("installation"));
        QVERIFY(second.value("salt") != first.value("salt"));
        QVERIFY(second.value("signature") != first.value("signature"));
    }

    // Each reply to the automatic check, then to the user's: only a newer version is shown unasked.
    void replies_data()
    {
        QTest::addColumn<QByteArray>("statusLine");
        QTest::addColumn<QByteArray>("reply");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("text");
        const QString error = QStringLiteral("Error Checking for Update");
        QTest::newRow("newer") << QByteArray("200 OK") << releaseReply("2.6.1") << "New Version Available!"
                               << newVersionText("2.6.1");
        QTest::newRow("newer major only") << QByteArray("200 OK") << releaseReply("3") << "New Version Available!"
                                          << newVersionText("3");
        // Only a release text that is a version number as a whole counts; anything else is never newer.
        for (const char* release : {"2.6.0", "2.5.9", "soon", "25[.9", "3.0-rc1", "3.0-rc1<b>x</b>", "3.0 ", ""}) {
            QTest::addRow("not newer: \"%s\"", release)
                << QByteArray("200 OK") << releaseReply(release) << "Latest Version" << latestText;
        }
        QTest::newRow("not json") << QByteArray("200 OK") << QByteArray("not json") << error
                                  << errorHeading.arg("JSON error: illegal value");
        QTest::newRow("no object") << QByteArray("200 OK") << QByteArray("[1]") << error
                                   << errorHeading.arg("JSON error: Expected object.");
        QTest::newRow("status in lower case")
            << QByteArray("200 OK") << QByteArray(R"({"status":"ok","versions":{"release":"9.0.0"}})") << error
            << errorHeading.arg("JSON error: Unexpected status.");
        QTest::newRow("server failure, reason escaped")
            << QByteArray("500 <b>Broken</b>") << QByteArray("{}") << error
            << errorHeading.arg("Network error: Error transferring %1/update_check/ - server replied: "
                                "&lt;b&gt;Broken&lt;/b&gt;");
    }

    void replies()
    {
        QFETCH(QByteArray, statusLine);
        QFETCH(QByteArray, reply);
        QFETCH(QString, title);
        QFETCH(QString, text);
        UpdateServerStub server;
        text.replace("%1", server.address().toString());
        server.setReply(statusLine, reply);
        ModalAnswerer answerer;
        answerer.clickStandardButton(QMessageBox::Ok);
        UpdateCheck check(nullptr, server.address());
        QVERIFY(waitForReleasedReply(check));
        QCOMPARE(server.requests().size(), 1);
        verifyRequest(server.requests().first());
        QVERIFY(!QTest::currentTestFailed());
        const bool isNewer = title == QLatin1String("New Version Available!");
        QCOMPARE(answerer.records().size(), isNewer ? 1 : 0);

        if (isNewer) {
            answerer.clickStandardButton(QMessageBox::Ok);
        }
        check.checkForUpdate();
        QTRY_VERIFY_WITH_TIMEOUT(answerer.isDone(), 20000);
        QCOMPARE(answerer.records().size(), isNewer ? 2 : 1);
        const ModalRecord box = answerer.lastRecord();
        QCOMPARE(box.title, title);
        QCOMPARE(box.text, text);
        QCOMPARE(box.icon, QMessageBox::Information);
        QCOMPARE(box.buttonTexts, QStringList({"OK"}));
    }

    void switchedOffSendsNothingUntilAsked()
    {
        setAutomaticCheck(false);
        UpdateServerStub server;
        server.setReply("200 OK", releaseReply("2.6.0"));
        UpdateCheck switchedOff(nullptr, server.address());
        // Made later with the same delay, so its check runs after the first one's would have.
        setAutomaticCheck(true);
        UpdateServerStub witnessServer;
        witnessServer.setReply("200 OK", releaseReply("2.6.0"));
        UpdateCheck witness(nullptr, witnessServer.address());
        QVERIFY(waitForReleasedReply(witness));
        QCOMPARE(witnessServer.requests().size(), 1);
        QVERIFY(switchedOff.findChildren<QNetworkReply*>().isEmpty());
        QCOMPARE(server.requests().size(), 0);

        ModalAnswerer answerer;
        answerer.clickStandardButton(QMessageBox::Ok);
        switchedOff.checkForUpdate();
        QTRY_VERIFY_WITH_TIMEOUT(answerer.isDone(), 20000);
        QCOMPARE(server.requests().size(), 1);
        QCOMPARE(answerer.lastRecord().title, QStringLiteral("Latest Version"));
    }

    void oversizedReplyIsCutOff_data()
    {
        QTest::addColumn<UpdateServerStub::Answer>("answer");
        QTest::newRow("endless stream") << UpdateServerStub::Answer::Endless;
        QTest::newRow("announced ten megabytes") << UpdateServerStub::Answer::DeclaredTooLarge;
    }

    void oversizedReplyIsCutOff()
    {
        QFETCH(UpdateServerStub::Answer, answer);
        setAutomaticCheck(false);
        UpdateServerStub server;
        server.setAnswer(answer);
        UpdateCheck check(nullptr, server.address());
        ModalAnswerer answerer;
        answerer.clickStandardButton(QMessageBox::Ok);
        check.checkForUpdate();
        QTRY_VERIFY_WITH_TIMEOUT(answerer.isDone(), 20000);
        QCOMPARE(answerer.lastRecord().text, errorHeading.arg("Network error: The reply is larger than 65536 bytes."));
        // The client dropped the connection; the server would have stopped at its own far larger limit
        // and kept it open.
        QTRY_COMPARE_WITH_TIMEOUT(server.openConnections(), 0, 20000);
        QTRY_VERIFY(check.findChildren<QNetworkReply*>().isEmpty());
    }

    void reservedServiceAddressFailsWithoutNetwork()
    {
        QCOMPARE(UpdateCheck::defaultServiceAddress(), QUrl("https://updates.motifex.invalid"));
        setAutomaticCheck(false);
        UpdateCheck check(nullptr);
        ModalAnswerer answerer;
        answerer.clickStandardButton(QMessageBox::Ok);
        check.checkForUpdate();
        QTRY_VERIFY(answerer.isDone());
        QCOMPARE(answerer.lastRecord().text, errorHeading.arg("Network error: Host updates.motifex.invalid not found"));
        QVERIFY(check.findChildren<QNetworkReply*>().isEmpty());
    }
};

MOTIFEX_WIDGET_TEST_MAIN(UpdateCheckTest)
#include "tst_updatecheck.moc"
