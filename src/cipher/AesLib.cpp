#include "cipher/AesLib.h"

#include <QIODevice>

#include <openssl/crypto.h>

#include <algorithm>

namespace {

// Reads until length bytes are in or the source ends; the count read.
qint64 ReadUpTo(QIODevice &source, unsigned char *data, qint64 length)
{
    qint64 total = 0;
    while (total < length) {
        const qint64 n = source.read(reinterpret_cast<char *>(data) + total, length - total);
        if (n < 0)
            throw TCipherError("read failed");
        if (n == 0)
            break;
        total += n;
    }
    return total;
}

void ReadExactly(QIODevice &source, unsigned char *data, qint64 length)
{
    if (ReadUpTo(source, data, length) != length)
        throw TCipherError("stream ends early");
}

// A short write would leave a stream that no longer deciphers, so it fails the operation.
void WriteAll(QIODevice &dest, const char *data, qint64 length)
{
    if (length > 0 && dest.write(data, length) != length)
        throw TCipherError("write failed");
}

} // namespace

TCrypt::TCrypt(const QByteArray &password, quint32 bufferSize)
    : m_mode(CipherModeForPasswordLength(password.size()))
    , m_password(password)
    , m_bufferSize(std::max<quint32>(bufferSize, 1))
    , Buffer(m_bufferSize)
{
}

TEncryption::TEncryption(const QByteArray &password, quint32 bufferSize,
                         TEntropySource entropySource)
    : TCrypt(password, bufferSize)
    , RandomPool(std::move(entropySource))
{
}

void TEncryption::DoProgress(quint8 kind, qint64 value)
{
    if (OnProgress)
        OnProgress(*this, kind, value);
}

void TEncryption::WriteHeader(QIODevice &dest, const QByteArray &salt)
{
    const QByteArray verifier = CipherContext.Setup(m_password, m_mode, salt);
    WriteAll(dest, salt.constData(), salt.size());
    WriteAll(dest, verifier.constData(), verifier.size());
}

void TEncryption::WriteTrailer(QIODevice &dest)
{
    const QByteArray code = CipherContext.FinishCode();
    WriteAll(dest, code.constData(), code.size());
}

bool TEncryption::ReadHeader(QIODevice &source)
{
    QByteArray salt(m_mode.saltLength, '\0');
    ReadExactly(source, reinterpret_cast<unsigned char *>(salt.data()), salt.size());
    const QByteArray expected = CipherContext.Setup(m_password, m_mode, salt);
    unsigned char stored[TCipherContext::kVerifierLength];
    ReadExactly(source, stored, sizeof stored);
    return std::equal(stored, stored + sizeof stored, expected.constBegin(),
                      [](unsigned char a, char b) { return a == static_cast<unsigned char>(b); });
}

bool TEncryption::ReadTrailer(QIODevice &source)
{
    const QByteArray expected = CipherContext.FinishCode();
    unsigned char stored[TCipherContext::kCodeLength];
    ReadExactly(source, stored, sizeof stored);
    return CRYPTO_memcmp(stored, expected.constData(), sizeof stored) == 0;
}

bool TEncryption::EncryptStream(QIODevice &source, QIODevice &dest)
{
    QByteArray salt(m_mode.saltLength, '\0');
    RandomPool.Draw(reinterpret_cast<unsigned char *>(salt.data()),
                    static_cast<std::size_t>(salt.size()));
    return EncryptStream(source, dest, salt);
}

bool TEncryption::EncryptStream(QIODevice &source, QIODevice &dest, const QByteArray &salt)
{
    if (salt.size() != m_mode.saltLength)
        return false;
    try {
        WriteHeader(dest, salt);
        qint64 total = 0;
        for (;;) {
            const qint64 n = ReadUpTo(source, Buffer.data(), m_bufferSize);
            total += n;
            DoProgress(kEncryptChunkRead, total);
            CipherContext.Transform(Buffer.data(), static_cast<std::size_t>(n));
            CipherContext.Authenticate(Buffer.data(), static_cast<std::size_t>(n));
            WriteAll(dest, reinterpret_cast<const char *>(Buffer.data()), n);
            if (n < qint64(m_bufferSize))
                break;
        }
        WriteTrailer(dest);
        return true;
    } catch (const TCipherError &) {
        return false;
    }
}

bool TEncryption::DecryptStream(QIODevice &source, QIODevice *dest, qint64 size)
{
    DoProgress(kDecryptStarted, -source.size());
    if (size < Overhead())
        return false;
    try {
        if (!ReadHeader(source))
            return false;
        qint64 remaining = size - Overhead();
        do {
            const qint64 want = std::min<qint64>(m_bufferSize, remaining);
            const qint64 m = ReadUpTo(source, Buffer.data(), want);
            DoProgress(kDecryptChunkRead, m);
            CipherContext.Authenticate(Buffer.data(), static_cast<std::size_t>(m));
            CipherContext.Transform(Buffer.data(), static_cast<std::size_t>(m));
            if (dest)
                WriteAll(*dest, reinterpret_cast<const char *>(Buffer.data()), m);
            if (m < want)
                return false; // source ended before size bytes
            remaining -= m;
        } while (remaining > 0);
        return ReadTrailer(source);
    } catch (const TCipherError &) {
        return false;
    }
}
