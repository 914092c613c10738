#pragma once

#include "online/NewsProtocol.h"

#include <QByteArray>
#include <QList>

class QNetworkAccessManager;
class TMessageBox;

// The alert shows no more of the latest item's title than this.
inline constexpr qsizetype kMaxAlertTitle = 200;

// The three requests to the publisher's news service, on the main window's HTTP client, with
// the warnings of each operation shown through msgMain. Callers pass the level's publisher ID,
// BranderCode, the level's code and "UA".
class TNewsService {
public:
    TNewsService(QNetworkAccessManager &http, TMessageBox &msgMain,
                 const TBrandingSettings &settings);

    // Appends the records of a successful list reply to target (which it never clears). True
    // when the reply holds the success marker, also without records.
    bool FetchNewsList(const QByteArray &publisherId, const QByteArray &brandCode,
                       const QByteArray &prodtype, const QByteArray &newstarget,
                       QList<QByteArray> &target);
    // The latest item's id and title (both empty when the service has none), the title cut
    // to its first kMaxAlertTitle characters for the alert. Never shows a message.
    bool FetchLatestNews(const QByteArray &publisherId, const QByteArray &brandCode,
                         const QByteArray &prodtype, const QByteArray &newstarget,
                         QByteArray &newsId, QByteArray &title);
    // The decoded HTML body of one item.
    bool FetchNewsDetails(const QByteArray &publisherId, const QByteArray &brandCode,
                          const QByteArray &prodtype, const QByteArray &newstarget,
                          const QByteArray &newsId, QByteArray &body);

    // Whether the last request was cancelled because its window closed, or not sent because
    // another request was waiting; its caller then stops quietly.
    bool wasCancelled() const { return m_cancelled; }

private:
    // Sends one request; returns the trimmed reply when it is a success, else shows the
    // operation's warning (none when a closing window cancelled it) and returns nothing.
    std::optional<QByteArray> request(const QByteArray &script, TNewsOperation operation,
                                      const TFormFields &fields, const QByteArray &prodtype);

    QNetworkAccessManager &m_http;
    TMessageBox &m_msgMain;
    const TBrandingSettings &m_settings;
    bool m_cancelled = false;
};
