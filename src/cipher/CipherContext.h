#pragma once

#include "cipher/CipherPrimitives.h"

#include <QByteArray>

#include <cstddef>
#include <cstdint>
#include <memory>

// Key strength by password length: mode 1 (AES-128), 2 (AES-192) or 3 (AES-256).
struct TCipherMode {
    int mode;
    int keyLength;  // AES key and HMAC key, bytes
    int saltLength; // bytes
};
TCipherMode CipherModeForPasswordLength(qsizetype length);

// The working state of one cipher operation: AES in counter mode with the stored counter
// layout, and HMAC-SHA1 over the ciphertext.
class TCipherContext {
public:
    static constexpr int kIterations = 1000;
    static constexpr int kVerifierLength = 2;
    static constexpr int kCodeLength = 10;

    // Key setup for one operation: derives the key material from password and salt, resets
    // the counter, keys AES and the HMAC. Returns the two-byte password verifier.
    QByteArray Setup(const QByteArray &password, const TCipherMode &mode, const QByteArray &salt);

    // XORs data with the key stream in place. Key-stream block n (from 1) is the AES
    // encryption of n as a little-endian 64-bit number followed by eight zero bytes; the
    // stream runs on across calls. Blocks are made in batches.
    void Transform(unsigned char *data, std::size_t length);

    void Authenticate(const unsigned char *data, std::size_t length);
    // The first ten bytes of the HMAC of everything authenticated since Setup.
    QByteArray FinishCode();

private:
    void Refill(std::size_t bytesWanted);

    static constexpr std::size_t kBatch = 16 * 1024;

    std::unique_ptr<TAesEncryptor> m_aes;
    std::unique_ptr<THmacSha1> m_hmac;
    uint64_t m_counter = 0; // number of the last key-stream block made
    alignas(16) unsigned char m_keyStream[kBatch];
    std::size_t m_keyStreamEnd = 0;
    std::size_t m_position = 0; // next unused key-stream byte; m_keyStreamEnd means used up
};
