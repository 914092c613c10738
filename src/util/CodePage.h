#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

// The data files and the settings file are Windows-1252 on every platform. These are the only
// places where bytes become text and back.

// Every byte maps to one character (the five unassigned bytes map to the C1 controls of the
// same value, as Windows does), so FromAnsi never loses anything.
QString FromAnsi(QByteArrayView bytes);

// Converts text to Windows-1252. Returns false (and leaves *out untouched) when a character
// has no Windows-1252 byte; nothing is ever replaced silently.
bool ToAnsi(const QString &text, QByteArray *out);

// The first character of text that Windows-1252 cannot hold, or a null QChar when all can.
QChar FirstUnencodable(const QString &text);

// The UTF-8 bytes (one to three) of one Windows-1252 byte, for files that other programs read.
QByteArrayView Utf8OfAnsiByte(unsigned char byte);

// Case folding of Windows-1252 bytes, for look-ups that ignore letter case
// (A-Z, the accented capitals, and the capitals at 0x8A, 0x8C, 0x8E, 0x9F).
QByteArray FoldCase(const QByteArray &bytes);
bool SameTextIgnoringCase(QByteArrayView a, QByteArrayView b);
// A hash of the folded bytes, without folding a copy: texts equal ignoring case hash alike.
quint32 FoldedHash(QByteArrayView bytes);
