#include "online/NewsService.h"

#include "online/HttpExchange.h"
#include "toolkit/MessageBox.h"
#include "util/CodePage.h"

#include <QNetworkAccessManager>

TNewsService::TNewsService(QNetworkAccessManager &http, TMessageBox &msgMain,
                           const TBrandingSettings &settings)
    : m_http(http), m_msgMain(msgMain), m_settings(settings)
{
}

std::optional<QByteArray> TNewsService::request(const QByteArray &script,
                                                TNewsOperation operation,
                                                const TFormFields &fields,
                                                const QByteArray &prodtype)
{
    const QByteArray url = NewsScriptUrl(NewsBaseUrl(m_settings, prodtype), script);
    const QByteArray boundary = MultipartBoundary(fields);
    QNetworkRequest request = ClientRequest(QUrl(FromAnsi(url)));
    request.setHeader(QNetworkRequest::ContentTypeHeader,
                      QByteArray("multipart/form-data; boundary=" + boundary));
    const THttpReply reply = HttpPost(m_http, request, MultipartBody(fields, boundary),
                                      HttpDeadline(THttpPurpose::News));
    m_cancelled = reply.outcome == THttpReply::Outcome::Cancelled;
    if (m_cancelled)
        return std::nullopt;
    const QByteArray trimmed = TrimReply(reply.body);
    const TNewsReply kind = ClassifyReply(trimmed);
    if (kind == TNewsReply::Success)
        return trimmed;
    const QString message = NewsFailureMessage(kind, operation);
    if (!message.isEmpty())
        m_msgMain.show(message, QMessageBox::Warning, QMessageBox::Ok);
    return std::nullopt;
}

bool TNewsService::FetchNewsList(const QByteArray &publisherId, const QByteArray &brandCode,
                                 const QByteArray &prodtype, const QByteArray &newstarget,
                                 QList<QByteArray> &target)
{
    const auto reply = request(kLatestNewsScript, TNewsOperation::List,
                               NewsRequestFields(publisherId, brandCode, prodtype, "conttype",
                                                 "all", newstarget),
                               prodtype);
    if (!reply)
        return false;
    target.append(ReadNewsListReply(*reply));
    return true;
}

bool TNewsService::FetchLatestNews(const QByteArray &publisherId, const QByteArray &brandCode,
                                   const QByteArray &prodtype, const QByteArray &newstarget,
                                   QByteArray &newsId, QByteArray &title)
{
    newsId.clear();
    title.clear();
    const auto reply = request(kLatestNewsScript, TNewsOperation::Latest,
                               NewsRequestFields(publisherId, brandCode, prodtype, "conttype",
                                                 "lastcode", newstarget),
                               prodtype);
    if (!reply)
        return false;
    const TLatestNews latest = ReadLatestNewsReply(*reply);
    newsId = latest.id;
    title = latest.title.left(kMaxAlertTitle); // one byte per character
    return true;
}

bool TNewsService::FetchNewsDetails(const QByteArray &publisherId, const QByteArray &brandCode,
                                    const QByteArray &prodtype, const QByteArray &newstarget,
                                    const QByteArray &newsId, QByteArray &body)
{
    body.clear();
    const auto reply = request(kNewsDetailsScript, TNewsOperation::Details,
                               NewsRequestFields(publisherId, brandCode, prodtype, "newsid",
                                                 newsId, newstarget),
                               prodtype);
    if (!reply)
        return false;
    body = ReadNewsDetailsReply(*reply);
    return true;
}
