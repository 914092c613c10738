#pragma once

#include <QByteArray>
#include <QString>

#include <memory>
#include <optional>

struct evp_pkey_st;

// An Ed25519 key of OpenSSL's libcrypto: a publisher's private key, which signs, or the
// public key, which verifies. Keys are stored as PEM (PKCS#8 for the private key,
// SubjectPublicKeyInfo for the public one).
class TReleaseKey {
public:
    // A fresh key pair.
    static TReleaseKey generate();
    // The key held in PEM text, private or public; nothing when it is no Ed25519 key.
    static std::optional<TReleaseKey> fromPem(const QByteArray &pem);

    bool isPrivate() const { return m_private; }
    // PEM text of the private key (empty for a public key) and of the public key.
    QByteArray privatePem() const;
    QByteArray publicPem() const;

    // "SHA-256 " and the SHA-256 of the raw public key in 16 groups of four hex digits: the same
    // for a private key and its public key, so a publisher can compare the two.
    QString fingerprint() const;

    // The 64-byte signature of data; needs a private key.
    QByteArray sign(const QByteArray &data) const;
    // True when signature is a valid signature of data under this key.
    bool verify(const QByteArray &data, const QByteArray &signature) const;

private:
    struct TFree {
        void operator()(evp_pkey_st *key) const;
    };
    TReleaseKey(evp_pkey_st *key, bool isPrivate) : m_key(key, TFree()), m_private(isPrivate) {}

    std::shared_ptr<evp_pkey_st> m_key;
    bool m_private = false;
};

// The signature file holds the signature in Base64 on one line, so that it survives any
// transfer of text files.
QByteArray EncodeSignatureFile(const QByteArray &signature);
// The signature held in a signature file, or nothing when the file is not one.
std::optional<QByteArray> DecodeSignatureFile(const QByteArray &file);
