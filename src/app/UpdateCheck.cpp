#include "app/UpdateCheck.h"

#include "app/ApplicationController.h"
#include "app/MainWindow.h"
#include "app/WebLinks.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDateTime>
#include <QDebug>
#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonParseError>
#include <QMessageBox>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QRandomGenerator64>
#include <QSettings>
#include <QTimer>
#include <QUuid>
#include <QVersionNumber>

#include <algorithm>
#include <memory>

const QByteArray UpdateCheck::sendingSecret = QByteArrayLiteral("Zq4Wm7*RtX2Lp9Kv@Hs5Nd3Bf8Yc6Gj1");
const QByteArray UpdateCheck::displaySecret = QByteArrayLiteral("Tr8Kx3Vn6Qw1Jm5Pz9Lc2Hb7Fd4Sg0Ya");

namespace {

const QString keyUpdateCheck = QStringLiteral("updateCheck");
const QString keyInstallationId = QStringLiteral("installationId");
const QString requestPath = QStringLiteral("/update_check/");

QWidget* boxParent()
{
    ApplicationController* controller = ApplicationController::instance();
    return controller != nullptr ? controller->mainWindow() : nullptr;
}

// Names under the reserved ".invalid" domain never resolve, so a request to one fails here, without
// asking the network.
bool isReservedInvalidHost(const QString& host)
{
    return host.endsWith(QStringLiteral(".invalid"), Qt::CaseInsensitive)
        || host.compare(QStringLiteral("invalid"), Qt::CaseInsensitive) == 0;
}

} // namespace

QUrl UpdateCheck::defaultServiceAddress()
{
    return QUrl(QStringLiteral("https://updates.motifex.invalid"));
}

UpdateCheck::UpdateCheck(QObject* parent, const QUrl& serviceAddress)
    : QObject(parent)
    , m_serviceAddress(serviceAddress)
{
    initializeNetwork();
}

void UpdateCheck::initializeNetwork()
{
    m_networkManager = new QNetworkAccessManager(this);
    if (QSettings().value(keyUpdateCheck, true).toBool()) {
        QTimer::singleShot(automaticCheckDelayMilliseconds, this, &UpdateCheck::onUpdateCheck);
    }
}

QString UpdateCheck::installationId()
{
    QSettings settings;
    QString identifier = settings.value(keyInstallationId).toString();
    if (!identifier.isEmpty() && QUuid::fromString(identifier).isNull()) {
        identifier.clear();
    }
    if (identifier.isEmpty()) {
        identifier = QUuid::createUuid().toString(QUuid::WithBraces);
        settings.setValue(keyInstallationId, identifier);
    }
    return identifier;
}

QString UpdateCheck::installationHash(const QString& installationId)
{
    return QString::fromLatin1(
        QCryptographicHash::hash(installationId.toUtf8(), QCryptographicHash::Sha3_256).toHex());
}

QString UpdateCheck::signature(const RequestFields& fields, const QByteArray& secret)
{
    QCryptographicHash hash(QCryptographicHash::Sha3_512);
    for (const QString* field : {&fields.time, &fields.application, &fields.version, &fields.installation, &fields.salt}) {
        hash.addData(field->toUtf8());
    }
    hash.addData(secret);
    return QString::fromLatin1(hash.result().toBase64());
}

QByteArray UpdateCheck::requestBody(const RequestFields& fields, bool isForDisplay)
{
    QJsonObject request;
    request.insert(QStringLiteral("time"), fields.time);
    request.insert(QStringLiteral("application"), fields.application);
    request.insert(QStringLiteral("version"), fields.version);
    request.insert(QStringLiteral("installation"), fields.installation);
    request.insert(QStringLiteral("salt"), fields.salt);
    request.insert(QStringLiteral("signature"), signature(fields, isForDisplay ? displaySecret : sendingSecret));
    return QJsonDocument(request).toJson(isForDisplay ? QJsonDocument::Indented : QJsonDocument::Compact);
}

QByteArray UpdateCheck::createJsonData(bool isForDisplay) const
{
    RequestFields fields;
    fields.time = QDateTime::currentDateTimeUtc().toString(Qt::ISODate);
    fields.application = QCoreApplication::applicationName();
    fields.version = QCoreApplication::applicationVersion();
    fields.installation = installationHash(installationId());
    fields.salt = QString::number(QRandomGenerator64::system()->generate());
    return requestBody(fields, isForDisplay);
}

void UpdateCheck::checkForUpdate()
{
    m_isInteractive = true;
    onUpdateCheck();
}

void UpdateCheck::onUpdateCheck()
{
    QUrl address = m_serviceAddress;
    address.setPath(requestPath);
    if (isReservedInvalidHost(address.host())) {
        showError(tr("Network error: %1").arg(tr("Host %1 not found").arg(address.host())));
        return;
    }
    QNetworkRequest request(address);
    request.setHeader(QNetworkRequest::ContentTypeHeader, QStringLiteral("application/json"));
    QNetworkReply* reply = m_networkManager->post(request, createJsonData(false));
    m_reply = reply;
    auto isTooLarge = std::make_shared<bool>(false);
    const auto abortWhenTooLarge = [reply, isTooLarge](qint64 size) {
        if (!*isTooLarge && size > maximumReplySize) {
            *isTooLarge = true;
            reply->abort();
        }
    };
    // A reply is stopped as soon as it announces, or has sent, more than it may.
    connect(reply, &QNetworkReply::metaDataChanged, this, [reply, abortWhenTooLarge] {
        abortWhenTooLarge(reply->header(QNetworkRequest::ContentLengthHeader).toLongLong());
    });
    connect(reply, &QNetworkReply::downloadProgress, this,
            [abortWhenTooLarge](qint64 received, qint64 total) { abortWhenTooLarge(std::max(received, total)); });
    // Queued, so that the reply is handled (and boxes shown) outside the network code's own calls,
    // also when the abort above finishes it.
    connect(
        reply, &QNetworkReply::finished, this,
        [this, reply, isTooLarge] { onUpdateCheckReplyFinished(reply, *isTooLarge); }, Qt::QueuedConnection);
}

void UpdateCheck::onUpdateCheckReplyFinished(QNetworkReply* reply, bool isTooLarge)
{
    reply->deleteLater();
    if (m_reply == reply) {
        m_reply = nullptr;
    }
    // One byte more than allowed tells a reply that is too large from one that fits exactly.
    const QByteArray content = isTooLarge ? QByteArray() : reply->read(maximumReplySize + 1);
    if (isTooLarge || content.size() > maximumReplySize) {
        showError(tr("Network error: %1").arg(tr("The reply is larger than %1 bytes.").arg(maximumReplySize)));
        return;
    }
    if (reply->error() != QNetworkReply::NoError) {
        qDebug("error content: %s", content.constData());
        showError(tr("Network error: %1").arg(reply->errorString()));
        return;
    }
    QString release;
    const QString error = readRelease(content, &release);
    if (!error.isEmpty()) {
        showError(error);
        return;
    }
    // Only a release text that is a version number as a whole counts: "25[.9" or "3.0-rc1" is none and
    // compares as the empty version, which is never newer.
    qsizetype versionEnd = 0;
    QVersionNumber available = QVersionNumber::fromString(release, &versionEnd);
    if (versionEnd != release.size()) {
        available = QVersionNumber();
    }
    const QVersionNumber current = QVersionNumber::fromString(QCoreApplication::applicationVersion());
    if (QVersionNumber::compare(available, current) > 0) {
        showNewVersion(available.toString());
    } else if (m_isInteractive) {
        showLatestVersion();
    }
}

QString UpdateCheck::readRelease(const QByteArray& content, QString* release)
{
    QJsonParseError parseError;
    const QJsonDocument document = QJsonDocument::fromJson(content, &parseError);
    if (parseError.error != QJsonParseError::NoError) {
        return tr("JSON error: %1").arg(parseError.errorString());
    }
    if (!document.isObject()) {
        return tr("JSON error: Expected object.");
    }
    const QJsonObject reply = document.object();
    if (reply.value(QStringLiteral("status")).toString() != QStringLiteral("OK")) {
        return tr("JSON error: Unexpected status.");
    }
    *release = reply.value(QStringLiteral("versions")).toObject().value(QStringLiteral("release")).toString();
    return {};
}

void UpdateCheck::showNewVersion(const QString& release)
{
    const QString downloadPage = WebLinks::downloadPage().toString();
    QMessageBox box(boxParent());
    box.setIcon(QMessageBox::Information);
    box.setWindowTitle(tr("New Version Available!"));
    box.setTextFormat(Qt::RichText);
    box.setText(tr("<h2>New Version Available!</h2><p>There is a new version of this software available. You are "
                   "using version %1 and there is version %2 available. Download the free update here:</p>")
                    .arg(QCoreApplication::applicationVersion().toHtmlEscaped(), release.toHtmlEscaped())
                + QStringLiteral("<p><a href=\"%1\">%1</a></p>").arg(downloadPage.toHtmlEscaped()));
    box.setStandardButtons(QMessageBox::Ok);
    box.setTextInteractionFlags(Qt::LinksAccessibleByMouse);
    box.exec();
}

void UpdateCheck::showLatestVersion()
{
    QMessageBox::information(boxParent(), tr("Latest Version"),
                             tr("<h2>Yay!</h2><p>You are using the latest version of this application.</p>"),
                             QMessageBox::Ok);
}

void UpdateCheck::showError(const QString& message)
{
    if (!m_isInteractive) {
        return;
    }
    QMessageBox::information(boxParent(), tr("Error Checking for Update"),
                             tr("<h2>There was a problem, checking for an update.</h2><p>The problem may be "
                                "temporary, please try again in a few minutes.</p><p>%1</p>")
                                 .arg(message.toHtmlEscaped()),
                             QMessageBox::Ok);
}
