#pragma once
// What the export tests share: a small book with the texts that exports get wrong (accents,
// quotes, commas, semicolons, backslashes, line breaks, long lines, dates that are no dates),
// written as real data files and loaded, and the independent readers run as child processes.

#include <QByteArray>
#include <QJsonDocument>
#include <QString>

// The book's files, in Windows-1252 as the program writes them.
QByteArray SampleCategories();
QByteArray SampleProjects();
QByteArray SampleHours();

// Writes the three sample files into dir (with a trailing separator).
void WriteSampleBook(const QString &dir);

// Runs a reader script of tests/data/export on file with the system's Python and returns what
// it printed, or an error text in *error.
QJsonDocument ReadWithPython(const char *script, const QString &file, QString *error);
