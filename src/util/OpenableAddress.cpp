#include "util/OpenableAddress.h"

#include <QStringList>
#include <QUrl>

namespace {

const QString kMailto = QStringLiteral("mailto:");

// Characters that could split a command line, end a quoted argument or hide in a display.
bool NeedsEncoding(QChar c)
{
    const auto category = c.category();
    return c.isSpace() || c == QLatin1Char('"') || c == QLatin1Char('\\') ||
           category == QChar::Other_Control || category == QChar::Other_Format ||
           category == QChar::Other_Surrogate;
}

QString EncodeUnsafe(const QString &text)
{
    QString result;
    result.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (!NeedsEncoding(c)) {
            result += c;
            continue;
        }
        // A surrogate pair is one character: both halves are encoded together.
        const qsizetype length =
            c.isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate() ? 2
                                                                                          : 1;
        result += QString::fromLatin1(text.mid(i, length).toUtf8().toPercentEncoding());
        i += length - 1;
    }
    return result;
}

bool IsKeptMailField(const QString &field)
{
    const QString name = QUrl::fromPercentEncoding(field.section(QLatin1Char('='), 0, 0).toUtf8())
                             .toLower();
    return name == QLatin1String("subject") || name == QLatin1String("body") ||
           name == QLatin1String("cc") || name == QLatin1String("bcc");
}

// "mailto:" + recipients + the kept fields; the fragment, which mail has none of, is dropped.
QString FilteredMailto(const QString &address)
{
    const QString withoutFragment = address.section(QLatin1Char('#'), 0, 0);
    const qsizetype question = withoutFragment.indexOf(QLatin1Char('?'));
    const QString recipients = withoutFragment.left(question);
    if (question < 0)
        return recipients;
    QStringList kept;
    for (const QString &field : withoutFragment.mid(question + 1).split(QLatin1Char('&')))
        if (IsKeptMailField(field))
            kept << field;
    if (kept.isEmpty())
        return recipients;
    return recipients + QLatin1Char('?') + kept.join(QLatin1Char('&'));
}

} // namespace

std::optional<QString> OpenableAddress(const QString &address)
{
    QString text = EncodeUnsafe(address.trimmed());
    if (text.startsWith(kMailto, Qt::CaseInsensitive))
        text = FilteredMailto(text);
    const QUrl url(text);
    if (!url.isValid())
        return std::nullopt;
    const QString scheme = url.scheme().toLower();
    if (scheme == QLatin1String("mailto") && !url.path().isEmpty())
        return text;
    if ((scheme == QLatin1String("http") || scheme == QLatin1String("https")) &&
        !url.host().isEmpty() && text.mid(scheme.size()).startsWith(QLatin1String("://")))
        return text;
    return std::nullopt;
}
