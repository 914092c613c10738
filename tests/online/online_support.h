#pragma once
// Servers on 127.0.0.1 for the online tests: the reference news service of publisher/, and a
// scripted server whose replies the test writes (exact bytes, status, redirect, stall, size)
// and which logs every request as PHP parsed it.

#include "common/PhpServer.h"
#include "common/SettingsFile.h" // WriteSettingsFile
#include "util/BrandingSettings.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QTemporaryDir>
#include <memory>

// The folder of the reference service in the source tree.
QString PublisherDir();

// Settings of a "Master" brand whose news level points at baseUrl.
TBrandingSettings MasterBrand(const QByteArray &baseUrl, const QByteArray &publisherId = "1",
                              const QByteArray &brandCode = "ZELVODEMO");

// One request as the scripted server received it.
struct TLoggedRequest {
    QByteArray method;
    QByteArray path;
    QList<std::pair<QByteArray, QByteArray>> fields; // $_POST, in the order PHP parsed them
    QByteArray userAgent;
    QByteArray accept;
    QByteArray contentType;
    QByteArray cookie;
};

class TScriptedServer {
public:
    TScriptedServer();

    bool isRunning() const { return m_server && m_server->isRunning(); }
    QString url(const QString &path = QString()) const { return m_server->url(path); }
    QByteArray baseUrl() const { return url().toLatin1(); }

    // What the server answers for a path (such as "/getlastnews.php"). Paths without a plan
    // are served as files from the server's folder.
    void reply(const QString &path, const QByteArray &body, int status = 200);
    void redirect(const QString &path, const QString &location, int status = 302);
    // Waits this long before answering (the body follows).
    void stall(const QString &path, int seconds);
    // Answers with this many bytes: "OK", then "x" up to the size.
    void sizedReply(const QString &path, qint64 bytes);
    // Sets a cookie with the reply.
    void setCookie(const QString &path, const QByteArray &nameValue);
    // A file served as is from the server's folder.
    void putFile(const QString &relativePath, const QByteArray &bytes);
    bool hasFile(const QString &relativePath) const;

    QList<TLoggedRequest> requests() const;

private:
    void writePlan(const QString &path, const char *kind, const QByteArray &value);

    QTemporaryDir m_root;
    std::unique_ptr<TPhpServer> m_server;
};

// A copy of the reference service with its own news file.
class TReferenceService {
public:
    // newsFile: the PHP text of news.php; empty keeps the sample news.
    explicit TReferenceService(const QByteArray &newsFile = QByteArray());

    bool isRunning() const { return m_server && m_server->isRunning(); }
    QByteArray baseUrl() const { return m_server->url().toLatin1(); }
    QString dir() const { return m_root.path(); }

private:
    QTemporaryDir m_root;
    std::unique_ptr<TPhpServer> m_server;
};

// An address on 127.0.0.1 where nothing listens.
QByteArray UnreachableBaseUrl();

// The plain settings text of a "Master" brand whose news service is at newsBaseUrl, with a
// stored LastNewsId line unless lastNewsId is null.
QByteArray MasterSettingsText(const QByteArray &newsBaseUrl, const QByteArray &lastNewsId,
                              const QByteArray &brandType = "Master");
