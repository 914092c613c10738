#pragma once
// A brander's settings file, enciphered as the program stores it, for tests.

#include "util/SettingsCipher.h"

#include <QByteArray>
#include <QFile>
#include <QString>

// Writes plainText enciphered as dir/name (dbsettings.dat unless named otherwise).
inline void WriteSettingsFile(const QString &dir, const QByteArray &plainText,
                              const QString &name = QStringLiteral("dbsettings.dat"))
{
    QFile file(dir + QLatin1Char('/') + name);
    if (!file.open(QIODevice::WriteOnly) || file.write(EncryptSettingsData(plainText)) < 0)
        qFatal("cannot write %s", qPrintable(file.fileName()));
}
