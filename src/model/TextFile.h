#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

// The line conventions of the data files.
// Reading: the whole file is one text; a NUL ends it; lines end at CR LF, CR or LF; a final
// line without an end is a line; a line end at the very end makes no extra empty line.
QList<QByteArray> SplitTextLines(const QByteArray &text);
// Throws TFileError when the file exists but cannot be opened or read.
QList<QByteArray> ReadTextLines(const QString &path);

// Writing: every line, the last included, followed by CR LF; no lines give an empty file.
QByteArray JoinTextLines(const QList<QByteArray> &lines);
// Writes through QSaveFile: the old file stays whole unless the new one is complete.
// Throws TFileError on any failure.
void WriteTextFile(const QString &path, const QByteArray &bytes);
