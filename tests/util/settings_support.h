#pragma once

#include <QByteArray>
#include <QString>

// Writes plainText enciphered as appDir's dbsettings.dat (appDir ends with a separator).
void WriteSettingsFile(const QString &appDir, const QByteArray &plainText,
                       const QString &name = QStringLiteral("dbsettings.dat"));
QByteArray ReadWholeFile(const QString &path);

// Makes a directory read-only for as long as it lives. As root permissions do not stop a
// write, so the directory is also made immutable (chattr +i) then; isReadOnly() tells
// whether a write really fails.
class TReadOnlyDir {
public:
    explicit TReadOnlyDir(const QString &path);
    ~TReadOnlyDir();
    TReadOnlyDir(const TReadOnlyDir &) = delete;
    TReadOnlyDir &operator=(const TReadOnlyDir &) = delete;
    bool isReadOnly() const { return m_readOnly; }

private:
    QString m_path;
    bool m_immutable = false;
    bool m_readOnly = false;
};
