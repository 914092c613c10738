#include "online/HttpExchange.h"

#include <QEventLoop>
#include <QIODevice>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QPointer>
#include <QTimer>

namespace {

using namespace std::chrono_literals;

// Marks a reply that a closing window cancelled, as against one that timed out.
const char *const kCancelledProperty = "zelvoCancelledByWindow";

std::chrono::milliseconds &TransferTimeout()
{
    static std::chrono::milliseconds timeout = 30s;
    return timeout;
}

std::chrono::milliseconds &Deadline(THttpPurpose purpose)
{
    static std::chrono::milliseconds news = 60s;
    static std::chrono::milliseconds liveUpdate = 30s;
    return purpose == THttpPurpose::News ? news : liveUpdate;
}

bool SchemeAllowed(const QUrl &url)
{
    // Only the web: a base URL from a settings file must never read local files.
    return url.isValid() && (url.scheme() == QLatin1String("http") ||
                             url.scheme() == QLatin1String("https"));
}

// Collects a reply's body into memory or a sink, aborting it past the size limit.
class TBodyReader {
public:
    TBodyReader(QNetworkReply &reply, QIODevice *sink, qint64 maxBytes)
        : m_reply(reply), m_sink(sink), m_maxBytes(maxBytes)
    {
    }

    // Takes what has arrived; fails once the body is too large or the sink refused it.
    void drain()
    {
        if (m_failed || !m_reply.isOpen())
            return; // an aborted reply is closed
        const QByteArray chunk = m_reply.readAll();
        m_total += chunk.size();
        if (m_total > m_maxBytes) {
            fail();
            return;
        }
        if (m_sink) {
            if (m_sink->write(chunk) != chunk.size())
                fail();
        } else {
            m_body += chunk;
        }
    }

    bool failed() const { return m_failed; }
    QByteArray takeBody() { return std::move(m_body); }

    // Ends the exchange as failed: too large, refused by the sink, or past its deadline.
    void fail()
    {
        m_failed = true;
        // Emits finished, which ends the wait; the reply itself is deleted later.
        m_reply.abort();
    }

private:
    QNetworkReply &m_reply;
    QIODevice *m_sink;
    qint64 m_maxBytes;
    qint64 m_total = 0;
    bool m_failed = false;
    QByteArray m_body;
};

bool SuccessStatus(const QNetworkReply &reply)
{
    const QVariant status = reply.attribute(QNetworkRequest::HttpStatusCodeAttribute);
    if (!status.isValid())
        return true; // not HTTP (never reached: only http and https are sent)
    const int code = status.toInt();
    return code >= 200 && code < 300;
}

THttpReply Exchange(QNetworkAccessManager &http, QNetworkRequest request, const QByteArray *body,
                    QIODevice *sink, qint64 maxBytes, std::chrono::milliseconds deadline)
{
    if (HttpWaiting(http))
        return {THttpReply::Outcome::Cancelled, {}}; // never two at once: this one is not sent
    if (!SchemeAllowed(request.url()))
        return {};
    request.setTransferTimeout(int(HttpTransferTimeout().count()));
    QPointer<QNetworkReply> reply = body ? http.post(request, *body) : http.get(request);
    TBodyReader reader(*reply, sink, maxBytes);

    QEventLoop loop;
    // The inactivity limit alone lets a server that sends a byte now and then hold the
    // exchange for ever.
    QTimer overall;
    overall.setSingleShot(true);
    QObject::connect(&overall, &QTimer::timeout, &loop, [&reader] { reader.fail(); });
    overall.start(deadline);
    QObject::connect(reply, &QNetworkReply::readyRead, &loop, [&reader] { reader.drain(); });
    QObject::connect(reply, &QNetworkReply::finished, &loop, &QEventLoop::quit);
    QObject::connect(reply, &QObject::destroyed, &loop, &QEventLoop::quit);
    if (!reply->isFinished())
        loop.exec();

    if (!reply)
        return {THttpReply::Outcome::Cancelled, {}};
    if (!reply->isFinished()) {
        // The loop was ended from outside (the program quits): nothing more will come.
        reply->setProperty(kCancelledProperty, true);
        reply->abort();
    }
    overall.stop();
    reply->disconnect(&loop);
    reader.drain();
    THttpReply result;
    if (reply->property(kCancelledProperty).toBool())
        result.outcome = THttpReply::Outcome::Cancelled;
    else if (reply->error() == QNetworkReply::NoError && !reader.failed() && SuccessStatus(*reply))
        result = {THttpReply::Outcome::Received, reader.takeBody()};
    // Never deleted here: this may still run inside one of the reply's own signals.
    reply->deleteLater();
    return result;
}

} // namespace

QNetworkRequest ClientRequest(const QUrl &url)
{
    QNetworkRequest request(url);
    request.setHeader(QNetworkRequest::UserAgentHeader,
                      QByteArrayLiteral("Mozilla/4.0 (compatible; MSIE 5.5; Windows NT 4.0)"));
    request.setRawHeader(QByteArrayLiteral("Accept"), QByteArrayLiteral("text/html, */*"));
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute,
                         QNetworkRequest::NoLessSafeRedirectPolicy);
    return request;
}

THttpReply HttpPost(QNetworkAccessManager &http, QNetworkRequest request, const QByteArray &body,
                    std::chrono::milliseconds deadline, qint64 maxBytes)
{
    return Exchange(http, std::move(request), &body, nullptr, maxBytes, deadline);
}

THttpReply HttpGet(QNetworkAccessManager &http, QNetworkRequest request, QIODevice &sink,
                   qint64 maxBytes, std::chrono::milliseconds deadline)
{
    return Exchange(http, std::move(request), nullptr, &sink, maxBytes, deadline);
}

bool HttpWaiting(const QNetworkAccessManager &http)
{
    const auto replies = http.findChildren<QNetworkReply *>(Qt::FindDirectChildrenOnly);
    for (const QNetworkReply *reply : replies)
        if (reply->isRunning())
            return true;
    return false;
}

void CancelHttpWaiting(QNetworkAccessManager &http)
{
    const auto replies = http.findChildren<QNetworkReply *>(Qt::FindDirectChildrenOnly);
    for (QNetworkReply *reply : replies) {
        if (reply->isRunning()) {
            reply->setProperty(kCancelledProperty, true);
            reply->abort();
        }
    }
}

std::chrono::milliseconds HttpTransferTimeout()
{
    return TransferTimeout();
}

void SetHttpTransferTimeout(std::chrono::milliseconds timeout)
{
    TransferTimeout() = timeout;
}

std::chrono::milliseconds HttpDeadline(THttpPurpose purpose)
{
    return Deadline(purpose);
}

void SetHttpDeadline(THttpPurpose purpose, std::chrono::milliseconds deadline)
{
    Deadline(purpose) = deadline;
}
