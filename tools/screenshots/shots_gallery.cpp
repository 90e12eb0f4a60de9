#include "ShotContext.h"

#include "app/MainWindow.h"
#include "app/PreferencesDialog.h"
#include "app/UpdateCheck.h"

#include <QDialog>
#include <QLabel>
#include <QListWidget>
#include <QRegularExpression>
#include <QSettings>
#include <QTcpServer>
#include <QTcpSocket>

namespace {

// Stands in for the update service on 127.0.0.1: every request gets the same small JSON reply.
class LoopbackUpdateService
{
public:
    explicit LoopbackUpdateService(const QByteArray& reply)
        : m_reply(reply)
    {
        m_server.listen(QHostAddress::LocalHost, 0);
        QObject::connect(&m_server, &QTcpServer::newConnection, [this] {
            while (QTcpSocket* socket = m_server.nextPendingConnection()) {
                QObject::connect(socket, &QTcpSocket::readyRead, socket, [this, socket] { answer(socket); });
                QObject::connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
            }
        });
    }

    QUrl address() const { return QUrl(QStringLiteral("http://127.0.0.1:%1").arg(m_server.serverPort())); }

private:
    void answer(QTcpSocket* socket)
    {
        QByteArray& request = m_requests[socket];
        request += socket->readAll();
        const int headerEnd = request.indexOf("\r\n\r\n");
        const QRegularExpressionMatch length =
            QRegularExpression(QStringLiteral("content-length: *(\\d+)"), QRegularExpression::CaseInsensitiveOption)
                .match(QString::fromLatin1(request));
        if (headerEnd < 0 || request.size() < headerEnd + 4 + length.captured(1).toInt()) {
            return;
        }
        m_requests.remove(socket);
        socket->write("HTTP/1.1 200 OK\r\nContent-Type: application/json\r\nContent-Length: "
                      + QByteArray::number(m_reply.size()) + "\r\nConnection: close\r\n\r\n" + m_reply);
        socket->disconnectFromHost();
    }

    QTcpServer m_server;
    QByteArray m_reply;
    QHash<QTcpSocket*, QByteArray> m_requests;
};

// The gallery as "Open Example..." shows it, then with an example on a light background. Examples with a
// user shape stay unselected: previewing one would add its shape to the shapes of the later pictures.
void shootExampleDialog(ShotContext& context)
{
    MainWindow* window = context.window();
    context.saveModal([window] { window->showExampleGallery(); }, QStringLiteral("gallery"), [&context](QWidget* dialog) {
        auto* list = dialog->findChild<QListWidget*>(QStringLiteral("exampleList"));
        if (list->count() < 4) {
            qWarning("The example gallery shows too few examples.");
        } else {
            list->setCurrentRow(3);
            context.save(dialog, QStringLiteral("gallery-light-background"));
        }
        static_cast<QDialog*>(dialog)->reject();
    });
}

void shootPreferences(ShotContext& context)
{
    PreferencesDialog* preferences = context.window()->preferencesDialog();
    context.saveModal([preferences] { preferences->open(); }, QStringLiteral("preferences"), [&context](QWidget* dialog) {
        auto* description = dialog->findChild<QLabel*>(QStringLiteral("updateCheckDesciption"));
        context.saveModal([description] { emit description->linkActivated(QStringLiteral("#")); },
                          QStringLiteral("preferences-request-data"));
        static_cast<QDialog*>(dialog)->reject();
    });
}

void shootUpdateBoxes(ShotContext& context)
{
    // Only the manual checks below may run: no automatic check of these instances.
    QSettings().setValue(QStringLiteral("updateCheck"), false);
    {
        LoopbackUpdateService service(R"({"status":"OK","versions":{"release":"2.7.0"}})");
        UpdateCheck check(nullptr, service.address());
        context.saveModal([&check] { check.checkForUpdate(); }, QStringLiteral("update-new-version"));
    }
    {
        LoopbackUpdateService service(R"({"status":"OK","versions":{"release":"2.6.0"}})");
        UpdateCheck check(nullptr, service.address());
        context.saveModal([&check] { check.checkForUpdate(); }, QStringLiteral("update-latest-version"));
    }
    {
        // The program's own service address is reserved and never answers.
        UpdateCheck check(nullptr);
        context.saveModal([&check] { check.checkForUpdate(); }, QStringLiteral("update-error"));
    }
    QSettings().remove(QStringLiteral("updateCheck"));
}

} // namespace

void shootGallery(ShotContext& context)
{
    shootExampleDialog(context);
    shootPreferences(context);
    shootUpdateBoxes(context);
}
