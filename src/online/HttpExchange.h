#pragma once

#include <QByteArray>
#include <QNetworkRequest>
#include <QUrl>
#include <chrono>

class QIODevice;
class QNetworkAccessManager;

// One exchange on the window's shared HTTP client. The caller waits in a local event loop, so
// the windows keep painting and taking input meanwhile. At most one exchange waits on a client
// at a time; the window that started it cancels it when it closes.

struct THttpReply {
    enum class Outcome {
        Received,  // the whole body arrived with a success status
        Failed,    // lookup, connection, error status, time-out, too large, broken transfer
        Cancelled, // the window closed (or the program quit) while the exchange waited, or
                   // another exchange was waiting on the client so this one was not sent
    };
    Outcome outcome = Outcome::Failed;
    QByteArray body; // the body for Received (not filled when it went to a sink)

    bool received() const { return outcome == Outcome::Received; }
};

// Replies larger than this are cut off and count as failed.
inline constexpr qint64 kMaxReplyBytes = 16 * 1024 * 1024;

// A request with the client's fixed headers (User-Agent, Accept) and redirects followed.
QNetworkRequest ClientRequest(const QUrl &url);

// POSTs body to the request's URL and waits for the reply body (at most maxBytes). An exchange
// that has not ended within deadline fails, however steadily the server keeps sending.
THttpReply HttpPost(QNetworkAccessManager &http, QNetworkRequest request, const QByteArray &body,
                    std::chrono::milliseconds deadline, qint64 maxBytes = kMaxReplyBytes);
// GETs the request's URL, writing the body into sink as it arrives (at most maxBytes), within
// deadline.
THttpReply HttpGet(QNetworkAccessManager &http, QNetworkRequest request, QIODevice &sink,
                   qint64 maxBytes, std::chrono::milliseconds deadline);

// Whether an exchange is waiting on this client; a second one would be refused.
bool HttpWaiting(const QNetworkAccessManager &http);
// Ends the waiting exchange as Cancelled (for a window that closes). Safe at any time.
void CancelHttpWaiting(QNetworkAccessManager &http);

// An exchange that receives nothing for this long is aborted and fails (30 seconds; tests
// shorten it).
std::chrono::milliseconds HttpTransferTimeout();
void SetHttpTransferTimeout(std::chrono::milliseconds timeout);

// The overall deadlines of the program's requests: a news request 60 seconds, a download of the
// live update (its update information) 30 seconds. Tests shorten them.
enum class THttpPurpose { News, LiveUpdate };
std::chrono::milliseconds HttpDeadline(THttpPurpose purpose);
void SetHttpDeadline(THttpPurpose purpose, std::chrono::milliseconds deadline);
