#pragma once

#include <QByteArray>
#include <QCryptographicHash>
#include <QObject>
#include <QPointer>
#include <QTimer>
#include <QUrl>

class QIODevice;
class QNetworkAccessManager;
class QNetworkReply;

enum class TFetchResult {
    Ok,
    HttpError,    // the server answered with a status other than 200
    NetworkError, // no connection, or the transfer broke
    Stalled,      // nothing arrived for the inactivity timeout
    TooSlow,      // not complete by the overall deadline
    TooLarge,     // more bytes than allowed
    WriteFailed,  // the sink refused the bytes
    Aborted,      // abort() was called
};

// One HTTP GET into a device, hashing the bytes as they arrive. It never takes more than
// maxBytes, and gives up when nothing arrives for inactivityMs or when it is not complete
// deadlineMs after it started (a server sending a byte now and then never stalls). finished()
// is emitted once.
class THttpFetch : public QObject {
    Q_OBJECT

public:
    THttpFetch(QNetworkAccessManager &http, const QUrl &url, QIODevice &sink, qint64 maxBytes,
               int inactivityMs, qint64 deadlineMs, QObject *parent = nullptr);
    ~THttpFetch() override;

    void abort();
    qint64 received() const { return m_received; }
    QByteArray sha256() const { return m_hash.result(); }
    const QUrl &url() const { return m_url; }

signals:
    void progressed(qint64 received);
    // detail: the server's status ("404 Not Found") or the network's error text.
    void finished(TFetchResult result, const QString &detail);

private:
    void readBody();
    void checkAnnouncedSize();
    void stop(TFetchResult reason);
    void replyFinished();

    QUrl m_url;
    QIODevice &m_sink;
    qint64 m_maxBytes;
    qint64 m_received = 0;
    QCryptographicHash m_hash{QCryptographicHash::Sha256};
    QPointer<QNetworkReply> m_reply;
    QTimer m_inactivity;
    QTimer m_deadline;
    TFetchResult m_stopReason = TFetchResult::Ok;
    bool m_done = false;
};
