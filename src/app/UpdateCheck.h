#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>
#include <QUrl>

class QNetworkAccessManager;
class QNetworkReply;

// Asks the maker's update service, once after each start and on request, whether a newer release
// exists: one POST of a small signed JSON object, and a JSON reply naming the newest release.
class UpdateCheck : public QObject
{
    Q_OBJECT

public:
    // The fields of one request, in the order in which they are signed.
    struct RequestFields {
        QString time;
        QString application;
        QString version;
        QString installation;
        QString salt;
    };

    // A broken or hostile server could stream without end: replies are cut off beyond this size.
    static constexpr qint64 maximumReplySize = 64 * 1024;
    static constexpr int automaticCheckDelayMilliseconds = 1000;

    // The service the program asks; tests and tools pass their own address to the constructor.
    static QUrl defaultServiceAddress();
    // Signs the request that is sent.
    static const QByteArray sendingSecret;
    // Signs the sample that the preferences show, so that a shown sample is never a valid request.
    static const QByteArray displaySecret;

    // Schedules the automatic check when the setting "updateCheck" allows it.
    explicit UpdateCheck(QObject* parent, const QUrl& serviceAddress = defaultServiceAddress());

    const QUrl& serviceAddress() const { return m_serviceAddress; }
    // A new request body: compact and signed with the sending secret, or indented and signed with the
    // display secret when it is for display.
    QByteArray createJsonData(bool isForDisplay) const;

    // The stored installation id; a new one is made and stored when none is stored or the stored
    // text is not a UUID.
    static QString installationId();
    // Lower-case hexadecimal SHA3-256 of the UTF-8 id text.
    static QString installationHash(const QString& installationId);
    // Base64 of the SHA3-512 over the fields in their order, followed by the secret.
    static QString signature(const RequestFields& fields, const QByteArray& secret);
    // The request body for the given fields.
    static QByteArray requestBody(const RequestFields& fields, bool isForDisplay);

public slots:
    // The user's "Check for Updates...": from now on every outcome is reported.
    void checkForUpdate();
    void onUpdateCheck();

private:
    void initializeNetwork();
    void onUpdateCheckReplyFinished(QNetworkReply* reply, bool isTooLarge);
    // The error message for a reply content that names no release; empty when it names one.
    static QString readRelease(const QByteArray& content, QString* release);
    void showNewVersion(const QString& release);
    void showLatestVersion();
    // Errors are reported only to a user who asked for the check.
    void showError(const QString& message);

    QNetworkAccessManager* m_networkManager = nullptr;
    // The reply of the last request, until it is handled.
    QNetworkReply* m_reply = nullptr;
    bool m_isInteractive = false;
    QUrl m_serviceAddress;
};
