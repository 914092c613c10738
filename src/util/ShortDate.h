#pragma once

#include <QByteArrayView>
#include <QDate>
#include <QString>

#include <optional>

// The short date of the user's locale with a four-digit year (under the C locale "M/d/yyyy").
// Tests inject a format; an empty format restores the locale's.
QString ShortDateFormat();
void SetShortDateFormat(const QString &format);

// A date written in the short date format, e.g. "12/13/2007".
QString ShortDateText(const QDate &date);

// The calendar date that a text in the short date format stands for; none for any other text
// ("", "next week", "2/30/2027"). Each thread remembers its answer for every distinct text it
// has parsed (until the format is changed), so a book that repeats its dates parses each once.
std::optional<QDate> ParseShortDate(QByteArrayView text);
