#pragma once

#include "util/BrandingSettings.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <optional>
#include <utility>

// The publisher's news service: what a request carries and what a reply means. Everything here
// is a pure function of its arguments; sending and waiting live in HttpExchange.

// The reply's record and field separators.
inline constexpr char kNewsRecordSeparator = char(0xAF);
inline constexpr char kNewsFieldSeparator = '^';

// The two scripts of the service.
inline const QByteArray kLatestNewsScript = QByteArrayLiteral("getlastnews.php");
inline const QByteArray kNewsDetailsScript = QByteArrayLiteral("getnewsdetails.php");

// One news level of the brander's settings: the code sent as "prodtype" and the level's
// base URL and publisher ID.
struct TNewsLevel {
    QByteArray prodtype; // "BM", "BP" or "BG"
    QByteArray baseUrl;
    QByteArray publisherId;
};

// The level in use: the row (Master, Platinum, Gold, tested in that order) whose name equals
// BranderType exactly and whose publisher ID is not empty. None for any other BranderType.
std::optional<TNewsLevel> NewsLevelInUse(const TBrandingSettings &settings);

// The base URL that belongs to a prodtype code; empty for an unknown code.
QByteArray NewsBaseUrl(const TBrandingSettings &settings, const QByteArray &prodtype);

// The base URL followed by the script, with one "/" between them unless the base ends in one.
QByteArray NewsScriptUrl(const QByteArray &baseUrl, const QByteArray &script);

// Form fields in the order they are sent.
using TFormFields = QList<std::pair<QByteArray, QByteArray>>;

// The six fields of a request: memusername, prodcode, prodtype, then the operation's own
// field (conttype or newsid), newstarget, and the always empty "something".
TFormFields NewsRequestFields(const QByteArray &publisherId, const QByteArray &brandCode,
                              const QByteArray &prodtype, const QByteArray &ownName,
                              const QByteArray &ownValue, const QByteArray &newstarget);

// A multipart/form-data body, one text part per field in order. The boundary must not occur
// in any value (MultipartBoundary gives one that does not).
QByteArray MultipartBody(const TFormFields &fields, const QByteArray &boundary);
// A random boundary that none of the values contains.
QByteArray MultipartBoundary(const TFormFields &fields);

// Drops the leading and trailing bytes of code 32 or less.
QByteArray TrimReply(const QByteArray &reply);

enum class TNewsReply { Success, Empty, ConnectionFail, InvalidUser, InvalidProduct, InvalidNews, Unknown };
enum class TNewsOperation { List, Latest, Details };

// A trimmed reply is a success when "OK" occurs anywhere in it; otherwise it is one of the
// error codes when it equals one exactly.
TNewsReply ClassifyReply(const QByteArray &trimmedReply);

// The warning an operation shows for a failed reply; empty when it stays silent.
QString NewsFailureMessage(TNewsReply kind, TNewsOperation operation);

// The records of a successful list reply, in reply order (pieces that are empty or exactly
// "OK" skipped).
QList<QByteArray> ReadNewsListReply(const QByteArray &reply);

// The latest item of a successful latest-news reply; both empty when the service has none.
struct TLatestNews {
    QByteArray id;
    QByteArray title;
};
TLatestNews ReadLatestNewsReply(const QByteArray &reply);

// The decoded HTML body of a successful details reply.
QByteArray ReadNewsDetailsReply(const QByteArray &reply);
