#pragma once

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QObject>
#include <QTcpServer>
#include <QTcpSocket>
#include <QUrl>

// A small HTTP server on 127.0.0.1 (a free port) that stands in for the update service: it records each
// request and gives the answer set for it.
class UpdateServerStub : public QObject
{
    Q_OBJECT

public:
    struct Request {
        QByteArray method;
        QByteArray path;
        QByteArray contentType;
        QByteArray body;
    };

    enum class Answer {
        Reply,           // the status line and body set by setReply
        Endless,         // a chunked reply that never ends
        DeclaredTooLarge // a reply that announces ten megabytes and then waits
    };
    Q_ENUM(Answer)

    UpdateServerStub()
    {
        if (!m_server.listen(QHostAddress::LocalHost, 0)) {
            qFatal("The loopback update server could not listen.");
        }
        connect(&m_server, &QTcpServer::newConnection, this, &UpdateServerStub::onNewConnection);
    }

    ~UpdateServerStub() override
    {
        // The sockets go with the server, after this stub's own members: they must not call back.
        m_server.disconnect(this);
        for (QTcpSocket* socket : m_buffers.keys()) {
            socket->disconnect(this);
        }
    }

    QUrl address() const { return QUrl(QStringLiteral("http://127.0.0.1:%1").arg(m_server.serverPort())); }
    void setReply(const QByteArray& statusLine, const QByteArray& body)
    {
        m_answer = Answer::Reply;
        m_statusLine = statusLine;
        m_body = body;
    }
    void setAnswer(Answer answer) { m_answer = answer; }
    const QList<Request>& requests() const { return m_requests; }
    int openConnections() const { return static_cast<int>(m_buffers.size()); }

private:
    // Far beyond any reply the program accepts: a stream this long means the client never stopped it.
    static constexpr qint64 streamLimit = 256 * 1024 * 1024;
    static constexpr qint64 chunkSize = 16 * 1024;

    static QByteArray headerValue(const QList<QByteArray>& lines, const QByteArray& name)
    {
        for (const QByteArray& line : lines) {
            const qsizetype colon = line.indexOf(':');
            if (colon > 0 && line.left(colon).trimmed().toLower() == name) {
                return line.mid(colon + 1).trimmed();
            }
        }
        return {};
    }

    void onNewConnection()
    {
        while (QTcpSocket* socket = m_server.nextPendingConnection()) {
            m_buffers.insert(socket, QByteArray());
            connect(socket, &QTcpSocket::readyRead, this, [this, socket] { onReadyRead(socket); });
            connect(socket, &QTcpSocket::disconnected, this, [this, socket] {
                m_buffers.remove(socket);
                socket->deleteLater();
            });
        }
    }

    void onReadyRead(QTcpSocket* socket)
    {
        QByteArray& buffer = m_buffers[socket];
        buffer += socket->readAll();
        const qsizetype headerEnd = buffer.indexOf("\r\n\r\n");
        const QList<QByteArray> lines = buffer.left(headerEnd).split('\n');
        const qint64 contentLength = headerValue(lines, "content-length").toLongLong();
        if (headerEnd < 0 || buffer.size() < headerEnd + 4 + contentLength) {
            return;
        }
        const QList<QByteArray> requestLine = lines.value(0).trimmed().split(' ');
        m_requests.append({requestLine.value(0), requestLine.value(1), headerValue(lines, "content-type"),
                           buffer.mid(headerEnd + 4, contentLength)});
        buffer.clear();
        answer(socket);
    }

    void answer(QTcpSocket* socket)
    {
        const QByteArray json = "HTTP/1.1 %1\r\nContent-Type: application/json\r\n";
        switch (m_answer) {
        case Answer::Reply:
            socket->write(QByteArray(json).replace("%1", m_statusLine) + "Content-Length: "
                          + QByteArray::number(m_body.size()) + "\r\nConnection: close\r\n\r\n" + m_body);
            socket->disconnectFromHost();
            break;
        case Answer::Endless:
            socket->write(QByteArray(json).replace("%1", "200 OK") + "Transfer-Encoding: chunked\r\n\r\n");
            connect(socket, &QTcpSocket::bytesWritten, this, [this, socket] { streamMore(socket); });
            streamMore(socket);
            break;
        case Answer::DeclaredTooLarge:
            socket->write(QByteArray(json).replace("%1", "200 OK") + "Content-Length: 10000000\r\n\r\n{\"status\":");
            break;
        }
    }

    void streamMore(QTcpSocket* socket)
    {
        if (socket->bytesToWrite() > chunkSize || m_streamedBytes >= streamLimit) {
            return;
        }
        socket->write(QByteArray::number(chunkSize, 16) + "\r\n" + QByteArray(chunkSize, ' ') + "\r\n");
        m_streamedBytes += chunkSize;
    }

    QHash<QTcpSocket*, QByteArray> m_buffers;
    QList<Request> m_requests;
    QByteArray m_statusLine = "200 OK";
    QByteArray m_body;
    Answer m_answer = Answer::Reply;
    qint64 m_streamedBytes = 0;
    QTcpServer m_server;
};
