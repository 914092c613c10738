#include "online_support.h"


#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QTcpServer>
#include <QUrlQuery>

namespace {

// Answers from plan files beside it: <name>.status/.location/.stall/.bytes/.cookie/.body,
// where <name> is the request path with "/" written as "_". Logs each request, one line of
// url-encoded pairs.
const char kRouter[] = R"PHP(<?php
$path = parse_url($_SERVER['REQUEST_URI'], PHP_URL_PATH);
$pairs = [];
foreach ($_POST as $name => $value) {
    $pairs[] = rawurlencode('field:' . $name) . '=' . rawurlencode($value);
}
foreach (['method' => $_SERVER['REQUEST_METHOD'], 'path' => $path,
          'ua' => $_SERVER['HTTP_USER_AGENT'] ?? '', 'accept' => $_SERVER['HTTP_ACCEPT'] ?? '',
          'type' => $_SERVER['CONTENT_TYPE'] ?? '', 'cookie' => $_SERVER['HTTP_COOKIE'] ?? '']
         as $name => $value) {
    $pairs[] = rawurlencode($name) . '=' . rawurlencode($value);
}
file_put_contents(__DIR__ . '/requests.log', implode('&', $pairs) . "\n", FILE_APPEND | LOCK_EX);
$plan = __DIR__ . '/plan/' . str_replace('/', '_', $path);
if (!glob($plan . '.*')) {
    return false;
}
if (is_file("$plan.stall")) {
    sleep((int)file_get_contents("$plan.stall"));
}
if (is_file("$plan.cookie")) {
    header('Set-Cookie: ' . file_get_contents("$plan.cookie"));
}
if (is_file("$plan.location")) {
    header('Location: ' . file_get_contents("$plan.location"),
           true, (int)file_get_contents("$plan.status"));
    exit;
}
http_response_code(is_file("$plan.status") ? (int)file_get_contents("$plan.status") : 200);
if (is_file("$plan.bytes")) {
    $left = (int)file_get_contents("$plan.bytes");
    header('Content-Length: ' . $left);
    echo 'OK';
    $left -= 2;
    while ($left > 0) {
        $chunk = min($left, 65536);
        echo str_repeat('x', $chunk);
        $left -= $chunk;
    }
    exit;
}
echo is_file("$plan.body") ? file_get_contents("$plan.body") : '';
)PHP";

void WriteFile(const QString &path, const QByteArray &bytes)
{
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    if (file.open(QIODevice::WriteOnly))
        file.write(bytes);
}

void CopyTree(const QString &from, const QString &to)
{
    QDirIterator it(from, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString source = it.next();
        const QString target = to + QLatin1Char('/') + QDir(from).relativeFilePath(source);
        QDir().mkpath(QFileInfo(target).path());
        QFile::copy(source, target);
    }
}

} // namespace

QString PublisherDir()
{
    return QDir::cleanPath(QStringLiteral(TEST_DATA_DIR "/../../publisher"));
}

TBrandingSettings MasterBrand(const QByteArray &baseUrl, const QByteArray &publisherId,
                              const QByteArray &brandCode)
{
    TBrandingSettings settings;
    settings.BranderCode = brandCode;
    settings.BranderType = "Master";
    settings.MasterNewsBaseURL = baseUrl;
    settings.MasterPublID = publisherId;
    return settings;
}

TScriptedServer::TScriptedServer()
{
    WriteFile(m_root.filePath(QStringLiteral("router.php")), kRouter);
    m_server = std::make_unique<TPhpServer>(m_root.path(),
                                            m_root.filePath(QStringLiteral("router.php")));
}

void TScriptedServer::writePlan(const QString &path, const char *kind, const QByteArray &value)
{
    QString name = path;
    name.replace(QLatin1Char('/'), QLatin1Char('_'));
    WriteFile(m_root.filePath(QStringLiteral("plan/") + name + QLatin1Char('.') +
                              QLatin1String(kind)),
              value);
}

void TScriptedServer::reply(const QString &path, const QByteArray &body, int status)
{
    writePlan(path, "body", body);
    writePlan(path, "status", QByteArray::number(status));
}

void TScriptedServer::redirect(const QString &path, const QString &location, int status)
{
    writePlan(path, "location", location.toUtf8());
    writePlan(path, "status", QByteArray::number(status));
}

void TScriptedServer::stall(const QString &path, int seconds)
{
    writePlan(path, "stall", QByteArray::number(seconds));
}

void TScriptedServer::sizedReply(const QString &path, qint64 bytes)
{
    writePlan(path, "bytes", QByteArray::number(bytes));
}

void TScriptedServer::setCookie(const QString &path, const QByteArray &nameValue)
{
    writePlan(path, "cookie", nameValue);
}

void TScriptedServer::putFile(const QString &relativePath, const QByteArray &bytes)
{
    WriteFile(m_root.filePath(relativePath), bytes);
}

bool TScriptedServer::hasFile(const QString &relativePath) const
{
    return QFileInfo::exists(m_root.filePath(relativePath));
}

QList<TLoggedRequest> TScriptedServer::requests() const
{
    QList<TLoggedRequest> requests;
    QFile log(m_root.filePath(QStringLiteral("requests.log")));
    if (!log.open(QIODevice::ReadOnly))
        return requests;
    for (const QByteArray &line : log.readAll().split('\n')) {
        if (line.isEmpty())
            continue;
        TLoggedRequest request;
        for (const QByteArray &pair : line.split('&')) {
            const qsizetype equals = pair.indexOf('=');
            const QByteArray name = QByteArray::fromPercentEncoding(pair.left(equals));
            const QByteArray value = QByteArray::fromPercentEncoding(pair.mid(equals + 1));
            if (name.startsWith("field:"))
                request.fields.append({name.mid(6), value});
            else if (name == "method")
                request.method = value;
            else if (name == "path")
                request.path = value;
            else if (name == "ua")
                request.userAgent = value;
            else if (name == "accept")
                request.accept = value;
            else if (name == "type")
                request.contentType = value;
            else if (name == "cookie")
                request.cookie = value;
        }
        requests.append(request);
    }
    return requests;
}

TReferenceService::TReferenceService(const QByteArray &newsFile)
{
    CopyTree(PublisherDir(), m_root.path());
    if (!newsFile.isEmpty())
        WriteFile(m_root.filePath(QStringLiteral("news.php")), newsFile);
    m_server = std::make_unique<TPhpServer>(m_root.path());
}

QByteArray UnreachableBaseUrl()
{
    // A port that was free a moment ago: connecting to it is refused at once.
    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost, 0);
    const quint16 port = probe.serverPort();
    probe.close();
    return "http://127.0.0.1:" + QByteArray::number(port) + '/';
}

QByteArray MasterSettingsText(const QByteArray &newsBaseUrl, const QByteArray &lastNewsId,
                              const QByteArray &brandType)
{
    QByteArray text = "<%%ApplicationName%%>Zelvo Demo<%%/ApplicationName%%>\r\n"
                      "<%%BranderCode%%>ZELVODEMO<%%/BranderCode%%>\r\n"
                      "<%%BranderType%%>" + brandType + "<%%/BranderType%%>\r\n"
                      "<%%MasterNewsBaseURL%%>" + newsBaseUrl + "<%%/MasterNewsBaseURL%%>\r\n"
                      "<%%MasterPublID%%>1<%%/MasterPublID%%>\r\n";
    if (!lastNewsId.isNull())
        text += "<%%LastNewsId%%>" + lastNewsId + "<%%/LastNewsId%%>\r\n";
    return text;
}

