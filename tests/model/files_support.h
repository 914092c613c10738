#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

// Real files in a test's temporary application directory.
bool WriteBytes(const QString &path, const QByteArray &bytes);
QByteArray ReadBytes(const QString &path);
// The names in dir, sorted, so a test can tell that nothing else was left behind.
QStringList EntriesOf(const QString &dir);
