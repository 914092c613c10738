#include "util/SettingsCipher.h"

#include "cipher/AesLib.h"

#include <QBuffer>
#include <QFile>
#include <QSaveFile>

namespace {

// The settings file's fixed password (10 letters, so AES-128) and chunk size.
const QByteArray kSettingsPassword = QByteArrayLiteral("mvqlrtznxo");
constexpr quint32 kSettingsChunkSize = 262144;

bool ReadWholeFile(const QString &path, QByteArray &bytes)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    bytes = file.readAll();
    return file.error() == QFileDevice::NoError;
}

bool WriteWholeFile(const QString &path, const QByteArray &bytes)
{
    QSaveFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.commit();
}

} // namespace

QByteArray EncryptSettingsData(const QByteArray &plainText)
{
    QByteArray source = plainText;
    QBuffer in(&source);
    in.open(QIODevice::ReadOnly);
    QByteArray stored;
    QBuffer out(&stored);
    out.open(QIODevice::WriteOnly);
    TEncryption cipher(kSettingsPassword, kSettingsChunkSize);
    cipher.EncryptStream(in, out); // cannot fail on memory buffers
    return stored;
}

bool DecryptSettingsData(const QByteArray &stored, QByteArray &plainText)
{
    plainText.clear();
    QByteArray source = stored;
    QBuffer in(&source);
    in.open(QIODevice::ReadOnly);
    QByteArray plain;
    QBuffer out(&plain);
    out.open(QIODevice::WriteOnly);
    TEncryption cipher(kSettingsPassword, kSettingsChunkSize);
    if (!cipher.DecryptStream(in, &out, source.size()))
        return false; // damaged or altered data is never handed out
    plainText = plain;
    return true;
}

bool DecryptSettingsFile(const QString &source, const QString &dest)
{
    QByteArray stored, plain;
    return ReadWholeFile(source, stored) && DecryptSettingsData(stored, plain)
        && WriteWholeFile(dest, plain);
}

bool EncryptSettingsFile(const QString &source, const QString &dest)
{
    QByteArray plain;
    return ReadWholeFile(source, plain) && WriteWholeFile(dest, EncryptSettingsData(plain));
}
