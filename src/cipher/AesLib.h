#pragma once

#include "cipher/CipherContext.h"
#include "cipher/RandomPool.h"

#include <QByteArray>

#include <functional>
#include <vector>

class QIODevice;

// Password-based AES file cipher. An enciphered stream is:
//   salt (8, 12 or 16 bytes) | password verifier (2) | ciphertext (as long as the data) |
//   authentication code (10: the first bytes of HMAC-SHA1 over the ciphertext)
// with keys from PBKDF2-HMAC-SHA1 (1000 iterations). There is no magic number and no stored
// length: the mode follows from the password's length and the data length from the size.
// This is the ZIP AES (AE-1/AE-2) construction on a bare stream, so files made by other
// programs that follow it open here and ours open there.
class TCrypt {
public:
    // Mode: password length below 32 bytes gives 1 (AES-128), below 48 gives 2 (AES-192),
    // else 3 (AES-256). Longer passwords than 128 bytes are accepted as mode 3 as well:
    // PBKDF2 takes a password of any length. Data moves through one buffer of bufferSize
    // bytes (at least 1).
    TCrypt(const QByteArray &password, quint32 bufferSize);

    int Mode() const { return m_mode.mode; }
    int SaltLength() const { return m_mode.saltLength; }
    quint32 BufferSize() const { return m_bufferSize; }
    const QByteArray &Password() const { return m_password; }
    // Salt, verifier and code: an enciphered stream is this much longer than its data.
    qint64 Overhead() const
    {
        return m_mode.saltLength + TCipherContext::kVerifierLength + TCipherContext::kCodeLength;
    }

protected:
    TCipherMode m_mode;
    TCipherContext CipherContext;
    QByteArray m_password;
    quint32 m_bufferSize;
    std::vector<unsigned char> Buffer;
};

class TEncryption : public TCrypt {
public:
    // Progress kinds given to OnProgress.
    enum : quint8 {
        kDecryptStarted = 1, // value: Source's total size, negated
        kEncryptChunkRead = 4, // value: plain bytes read so far
        kDecryptChunkRead = 5, // value: bytes in this chunk
    };
    using TProgressHandler = std::function<void(TEncryption &sender, quint8 kind, qint64 value)>;

    // Seeds the random pool (which makes the salts) from entropySource.
    TEncryption(const QByteArray &password, quint32 bufferSize,
                TEntropySource entropySource = GatherEntropy);

    // Enciphers source from its current position to its end into dest with a fresh salt.
    // False when a read or write fails (a short write included).
    bool EncryptStream(QIODevice &source, QIODevice &dest);
    // The same with a given salt (SaltLength() bytes), for reproducible streams.
    bool EncryptStream(QIODevice &source, QIODevice &dest, const QByteArray &salt);

    // Reads an enciphered stream of size bytes in total from source and writes the plain
    // data to dest when one is given. True only when verifier and code both match. A wrong
    // password is caught by the verifier before anything is written; damaged ciphertext is
    // written in full before the code is checked, so callers that need authentic data must
    // look at the result before using dest. False too when size cannot hold salt, verifier
    // and code, or source ends before size bytes.
    bool DecryptStream(QIODevice &source, QIODevice *dest, qint64 size);

    TProgressHandler OnProgress;

private:
    void WriteHeader(QIODevice &dest, const QByteArray &salt);
    void WriteTrailer(QIODevice &dest);
    bool ReadHeader(QIODevice &source);
    bool ReadTrailer(QIODevice &source);
    void DoProgress(quint8 kind, qint64 value);

    TRandomPool RandomPool;
};
