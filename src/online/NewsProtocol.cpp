#include "online/NewsProtocol.h"

#include "util/UUtils.h"

#include <QRandomGenerator>

namespace {

const QByteArray kSuccessMarker = QByteArrayLiteral("OK");
// The marker as it follows the last record.
const QByteArray kTrailingMarker = QByteArray(1, kNewsRecordSeparator) + kSuccessMarker;

QByteArray WithoutTrailingMarkers(QByteArray reply)
{
    return reply.replace(kTrailingMarker, QByteArray());
}

} // namespace

std::optional<TNewsLevel> NewsLevelInUse(const TBrandingSettings &settings)
{
    const struct {
        const char *name;
        const char *prodtype;
        const QByteArray &publisherId;
    } levels[] = {
        {"Master", "BM", settings.MasterPublID},
        {"Platinum", "BP", settings.PlatinumPublID},
        {"Gold", "BG", settings.GoldPublID},
    };
    for (const auto &level : levels) {
        if (settings.BranderType == level.name && !level.publisherId.isEmpty()) {
            const QByteArray prodtype(level.prodtype);
            return TNewsLevel{prodtype, NewsBaseUrl(settings, prodtype), level.publisherId};
        }
    }
    return std::nullopt;
}

QByteArray NewsBaseUrl(const TBrandingSettings &settings, const QByteArray &prodtype)
{
    if (prodtype == "BM")
        return settings.MasterNewsBaseURL;
    if (prodtype == "BP")
        return settings.PlatinumNewsBaseURL;
    if (prodtype == "BG")
        return settings.GoldNewsBaseURL;
    return QByteArray();
}

QByteArray NewsScriptUrl(const QByteArray &baseUrl, const QByteArray &script)
{
    if (baseUrl.endsWith('/'))
        return baseUrl + script;
    return baseUrl + '/' + script;
}

TFormFields NewsRequestFields(const QByteArray &publisherId, const QByteArray &brandCode,
                              const QByteArray &prodtype, const QByteArray &ownName,
                              const QByteArray &ownValue, const QByteArray &newstarget)
{
    return {
        {"memusername", publisherId}, {"prodcode", brandCode}, {"prodtype", prodtype},
        {ownName, ownValue},          {"newstarget", newstarget}, {"something", QByteArray()},
    };
}

QByteArray MultipartBody(const TFormFields &fields, const QByteArray &boundary)
{
    QByteArray body;
    for (const auto &[name, value] : fields) {
        body += "--" + boundary + "\r\n";
        body += "Content-Disposition: form-data; name=\"" + name + "\"\r\n\r\n";
        body += value + "\r\n";
    }
    body += "--" + boundary + "--\r\n";
    return body;
}

QByteArray MultipartBoundary(const TFormFields &fields)
{
    for (;;) {
        const QByteArray boundary =
            "----ZelvoFormBoundary" +
            QByteArray::number(QRandomGenerator::global()->generate64(), 16);
        bool clash = false;
        for (const auto &field : fields)
            clash = clash || field.second.contains(boundary);
        if (!clash)
            return boundary;
    }
}

QByteArray TrimReply(const QByteArray &reply)
{
    qsizetype first = 0;
    qsizetype end = reply.size();
    while (first < end && quint8(reply[first]) <= 32)
        ++first;
    while (end > first && quint8(reply[end - 1]) <= 32)
        --end;
    return reply.mid(first, end - first);
}

TNewsReply ClassifyReply(const QByteArray &trimmedReply)
{
    if (trimmedReply.contains(kSuccessMarker))
        return TNewsReply::Success;
    if (trimmedReply.isEmpty())
        return TNewsReply::Empty;
    if (trimmedReply == "CONNECTIONFAIL")
        return TNewsReply::ConnectionFail;
    if (trimmedReply == "INVALIDUSER")
        return TNewsReply::InvalidUser;
    if (trimmedReply == "INVALIDPRODUCT")
        return TNewsReply::InvalidProduct;
    if (trimmedReply == "INVALIDNEWS")
        return TNewsReply::InvalidNews;
    return TNewsReply::Unknown;
}

QString NewsFailureMessage(TNewsReply kind, TNewsOperation operation)
{
    if (operation == TNewsOperation::Latest)
        return QString();
    switch (kind) {
    case TNewsReply::Empty:
        return QStringLiteral("There is a trouble accessing the news site. Contact your provider.");
    case TNewsReply::ConnectionFail:
        return QStringLiteral("There is a trouble in the settings file on the news site.");
    case TNewsReply::InvalidUser:
        return QStringLiteral("There is a trouble with the Publisher Id. Contact your provider.");
    case TNewsReply::InvalidProduct:
        return QStringLiteral(
            "There is a trouble with the product validation. Contact your provider.");
    case TNewsReply::InvalidNews:
        // The list request never asks for one item, so it does not look for this code.
        if (operation == TNewsOperation::Details)
            return QStringLiteral("There is a trouble with this news. Contact your provider.");
        return QString();
    case TNewsReply::Success:
    case TNewsReply::Unknown:
        break;
    }
    return QString();
}

QList<QByteArray> ReadNewsListReply(const QByteArray &reply)
{
    QList<QByteArray> records;
    for (const QByteArray &piece : SplitString(kNewsRecordSeparator, reply)) {
        if (!piece.isEmpty() && piece != kSuccessMarker)
            records.append(piece);
    }
    return records;
}

TLatestNews ReadLatestNewsReply(const QByteArray &reply)
{
    const QByteArray rest = WithoutTrailingMarkers(reply);
    if (rest == kSuccessMarker)
        return {};
    const QList<QByteArray> fields = SplitString(kNewsFieldSeparator, rest);
    TLatestNews latest;
    if (!fields.isEmpty())
        latest.id = fields[0];
    if (fields.size() > 1)
        latest.title = fields[1];
    return latest;
}

QByteArray ReadNewsDetailsReply(const QByteArray &reply)
{
    return DecodeDollarHex(WithoutTrailingMarkers(reply));
}
