#include "updater/HttpFetch.h"

#include <QIODevice>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>

THttpFetch::THttpFetch(QNetworkAccessManager &http, const QUrl &url, QIODevice &sink,
                       qint64 maxBytes, int inactivityMs, qint64 deadlineMs, QObject *parent)
    : QObject(parent), m_url(url), m_sink(sink), m_maxBytes(maxBytes)
{
    QNetworkRequest request(url);
    // A cached or transformed answer could not be told from the publisher's bytes.
    request.setAttribute(QNetworkRequest::CacheLoadControlAttribute, QNetworkRequest::AlwaysNetwork);
    request.setRawHeader("Accept-Encoding", "identity");
    m_reply = http.get(request);
    m_inactivity.setSingleShot(true);
    m_inactivity.setInterval(inactivityMs);
    connect(&m_inactivity, &QTimer::timeout, this, [this] { stop(TFetchResult::Stalled); });
    m_deadline.setSingleShot(true);
    m_deadline.setInterval(std::chrono::milliseconds(qMax<qint64>(deadlineMs, 1)));
    connect(&m_deadline, &QTimer::timeout, this, [this] { stop(TFetchResult::TooSlow); });
    connect(m_reply, &QNetworkReply::metaDataChanged, this, &THttpFetch::checkAnnouncedSize);
    connect(m_reply, &QNetworkReply::readyRead, this, &THttpFetch::readBody);
    connect(m_reply, &QNetworkReply::finished, this, &THttpFetch::replyFinished);
    m_inactivity.start();
    m_deadline.start();
}

THttpFetch::~THttpFetch()
{
    if (m_reply) {
        m_reply->disconnect(this);
        m_reply->abort();
        m_reply->deleteLater();
    }
}

void THttpFetch::abort()
{
    stop(TFetchResult::Aborted);
}

void THttpFetch::stop(TFetchResult reason)
{
    if (m_done || !m_reply)
        return;
    m_stopReason = reason;
    m_reply->abort(); // finishes the reply, which reports the reason
}

void THttpFetch::checkAnnouncedSize()
{
    const QVariant length = m_reply->header(QNetworkRequest::ContentLengthHeader);
    if (length.isValid() && length.toLongLong() > m_maxBytes)
        stop(TFetchResult::TooLarge);
}

void THttpFetch::readBody()
{
    if (m_done || m_stopReason != TFetchResult::Ok)
        return;
    m_inactivity.start();
    const QByteArray chunk = m_reply->readAll();
    if (m_received + chunk.size() > m_maxBytes) {
        stop(TFetchResult::TooLarge);
        return;
    }
    if (m_sink.write(chunk) != chunk.size()) {
        stop(TFetchResult::WriteFailed);
        return;
    }
    m_received += chunk.size();
    m_hash.addData(chunk);
    emit progressed(m_received);
}

void THttpFetch::replyFinished()
{
    if (m_done)
        return;
    if (m_stopReason == TFetchResult::Ok)
        readBody();
    m_done = true;
    m_inactivity.stop();
    m_deadline.stop();
    QNetworkReply *reply = m_reply;
    m_reply = nullptr;
    reply->deleteLater();

    const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    const QString statusText = QStringLiteral("%1 %2").arg(status).arg(
        QString::fromLatin1(reply->attribute(QNetworkRequest::HttpReasonPhraseAttribute).toByteArray()));
    if (m_stopReason != TFetchResult::Ok)
        emit finished(m_stopReason, QString());
    else if (status != 0 && status != 200)
        emit finished(TFetchResult::HttpError, statusText.trimmed());
    else if (reply->error() != QNetworkReply::NoError)
        emit finished(TFetchResult::NetworkError, reply->errorString());
    else
        emit finished(TFetchResult::Ok, QString());
}
