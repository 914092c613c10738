#pragma once
// A real HTTP server on 127.0.0.1 for network tests: PHP's built-in web server serving a
// folder, optionally through a router script. Each instance takes a free port, so tests that
// run at the same time do not meet.

#include <QElapsedTimer>
#include <QProcess>
#include <QStandardPaths>
#include <QString>
#include <QStringList>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTest>

class TPhpServer {
public:
    // Serves documentRoot; router (a PHP file) answers every request when given.
    explicit TPhpServer(const QString &documentRoot, const QString &router = QString())
    {
        m_port = freePort();
        QStringList arguments{QStringLiteral("-S"), QStringLiteral("127.0.0.1:%1").arg(m_port),
                              QStringLiteral("-t"), documentRoot};
        if (!router.isEmpty())
            arguments << router;
        m_process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        m_process.setStandardOutputFile(QProcess::nullDevice());
        m_process.start(QStringLiteral("php"), arguments);
        m_started = m_process.waitForStarted(5000) && waitUntilListening();
    }
    ~TPhpServer()
    {
        m_process.kill();
        m_process.waitForFinished(5000);
    }
    TPhpServer(const TPhpServer &) = delete;
    TPhpServer &operator=(const TPhpServer &) = delete;

    // False when php is missing or the server did not come up within five seconds.
    bool isRunning() const { return m_started; }
    quint16 port() const { return m_port; }
    // "http://127.0.0.1:PORT/" followed by path.
    QString url(const QString &path = QString()) const
    {
        return QStringLiteral("http://127.0.0.1:%1/").arg(m_port) + path;
    }

    static bool phpAvailable() { return !QStandardPaths::findExecutable(QStringLiteral("php")).isEmpty(); }

private:
    static quint16 freePort()
    {
        QTcpServer probe;
        probe.listen(QHostAddress::LocalHost, 0);
        return probe.serverPort();
    }
    bool waitUntilListening()
    {
        QElapsedTimer clock;
        clock.start();
        while (clock.elapsed() < 5000) {
            QTcpSocket socket;
            socket.connectToHost(QHostAddress::LocalHost, m_port);
            if (socket.waitForConnected(200))
                return true;
            if (m_process.state() != QProcess::Running)
                return false;
            QTest::qWait(50);
        }
        return false;
    }

    QProcess m_process;
    quint16 m_port = 0;
    bool m_started = false;
};
