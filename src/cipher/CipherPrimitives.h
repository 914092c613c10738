#pragma once

#include <QByteArray>

#include <cstddef>
#include <stdexcept>

// Thin owners of the OpenSSL primitives the file cipher is built on: AES in its encryption
// direction, HMAC-SHA1 and PBKDF2-HMAC-SHA1. Failures of the library throw TCipherError.

class TCipherError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// PBKDF2 (RFC 2898) with HMAC-SHA1: length bytes derived from the password's bytes as given.
QByteArray Pbkdf2HmacSha1(const QByteArray &password, const QByteArray &salt, int iterations,
                          int length);

// AES encryption of whole 16-byte blocks, each on its own (the counter layout is ours).
class TAesEncryptor {
public:
    // key: 16, 24 or 32 bytes.
    explicit TAesEncryptor(const QByteArray &key);
    ~TAesEncryptor();
    TAesEncryptor(const TAesEncryptor &) = delete;
    TAesEncryptor &operator=(const TAesEncryptor &) = delete;

    // in and out hold length bytes, a multiple of 16; they may be the same buffer.
    void EncryptBlocks(const unsigned char *in, unsigned char *out, std::size_t length);

private:
    struct evp_cipher_ctx_st *m_context = nullptr;
};

// HMAC-SHA1 (RFC 2104), fed in pieces.
class THmacSha1 {
public:
    static constexpr int kLength = 20;

    explicit THmacSha1(const QByteArray &key);
    ~THmacSha1();
    THmacSha1(const THmacSha1 &) = delete;
    THmacSha1 &operator=(const THmacSha1 &) = delete;

    void Update(const unsigned char *data, std::size_t length);
    // The 20-byte code of everything fed so far; call once.
    QByteArray Final();

private:
    struct evp_mac_st *m_mac = nullptr;
    struct evp_mac_ctx_st *m_context = nullptr;
};
