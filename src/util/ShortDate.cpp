#include "util/ShortDate.h"

#include <QLocale>
#include <QRegularExpression>

namespace {

QString &InjectedFormat()
{
    static QString format;
    return format;
}

// The locale's short date pattern with its year widened to four digits. Qt's C locale
// answers "d MMM yyyy"; a numeric date that fits ten characters is wanted, so the C locale
// (and any locale that writes month names) gets the month/day/year order.
QString LocaleShortDateFormat()
{
    const QLocale locale;
    QString format = locale.dateFormat(QLocale::ShortFormat);
    if (locale.language() == QLocale::C || format.contains(QStringLiteral("MMM")))
        return QStringLiteral("M/d/yyyy");
    static const QRegularExpression year(QStringLiteral("y+"));
    format.replace(year, QStringLiteral("yyyy"));
    return format;
}

} // namespace

QString ShortDateFormat()
{
    return InjectedFormat().isEmpty() ? LocaleShortDateFormat() : InjectedFormat();
}

void SetShortDateFormat(const QString &format)
{
    InjectedFormat() = format;
}

QString ShortDateText(const QDate &date)
{
    return QLocale::c().toString(date, ShortDateFormat());
}
