#pragma once

#include <QDate>
#include <QString>

// The short date of the user's locale with a four-digit year (under the C locale "M/d/yyyy").
// Tests inject a format; an empty format restores the locale's.
QString ShortDateFormat();
void SetShortDateFormat(const QString &format);

// A date written in the short date format, e.g. "12/13/2007".
QString ShortDateText(const QDate &date);
