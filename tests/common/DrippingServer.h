#pragma once
// A hostile HTTP server on 127.0.0.1 that never lets a request time out for inactivity: it
// answers every request with a success status and a large announced body, then sends that
// body one byte per interval. It lives in the test's own event loop, so it keeps dripping
// while the code under test waits in a local loop.

#include <QHash>
#include <QHostAddress>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>

#include <chrono>

class TDrippingServer : public QObject {
public:
    explicit TDrippingServer(std::chrono::milliseconds interval, qint64 announcedBytes = 1000000)
        : m_interval(interval), m_announced(announcedBytes)
    {
        m_server.listen(QHostAddress::LocalHost, 0);
        connect(&m_server, &QTcpServer::newConnection, this, &TDrippingServer::accept);
    }

    bool isRunning() const { return m_server.isListening(); }
    // "http://127.0.0.1:PORT/" followed by path.
    QString url(const QString &path = QString()) const
    {
        return QStringLiteral("http://127.0.0.1:%1/").arg(m_server.serverPort()) + path;
    }
    QByteArray baseUrl() const { return url().toLatin1(); }

    // Body bytes sent so far, over all connections.
    qint64 dripped() const { return m_dripped; }
    // Connections the client has closed while the server was still dripping.
    int closedByClient() const { return m_closedByClient; }

private:
    void accept()
    {
        while (QTcpSocket *socket = m_server.nextPendingConnection()) {
            socket->setParent(this);
            connect(socket, &QTcpSocket::readyRead, this, [this, socket] { readRequest(socket); });
        }
    }

    // The answer starts once the request's header has arrived; its body is not waited for.
    void readRequest(QTcpSocket *socket)
    {
        QByteArray &seen = m_requests[socket];
        seen += socket->readAll();
        if (!seen.contains("\r\n\r\n") || socket->property("answering").toBool())
            return;
        socket->setProperty("answering", true);
        socket->write("HTTP/1.1 200 OK\r\nContent-Type: text/plain\r\nContent-Length: " +
                      QByteArray::number(m_announced) + "\r\n\r\n");
        auto *timer = new QTimer(socket);
        connect(timer, &QTimer::timeout, socket, [this, socket] { drip(*socket); });
        connect(socket, &QTcpSocket::disconnected, this, [this, timer] {
            if (timer->isActive())
                ++m_closedByClient;
            timer->stop();
        });
        timer->start(m_interval);
    }

    void drip(QTcpSocket &socket)
    {
        if (socket.state() != QAbstractSocket::ConnectedState)
            return;
        socket.write("x");
        ++m_dripped;
    }

    QTcpServer m_server;
    std::chrono::milliseconds m_interval;
    qint64 m_announced;
    qint64 m_dripped = 0;
    int m_closedByClient = 0;
    QHash<QTcpSocket *, QByteArray> m_requests;
};
