#include "release/ReleaseSigning.h"

#include <QCryptographicHash>

#include <openssl/bio.h>
#include <openssl/err.h>
#include <openssl/evp.h>
#include <openssl/pem.h>

#include <stdexcept>

namespace {

constexpr int SignatureSize = 64;

struct TBioFree {
    void operator()(BIO *bio) const { BIO_free(bio); }
};
using TBio = std::unique_ptr<BIO, TBioFree>;

struct TDigestFree {
    void operator()(EVP_MD_CTX *ctx) const { EVP_MD_CTX_free(ctx); }
};
using TDigestContext = std::unique_ptr<EVP_MD_CTX, TDigestFree>;

QByteArray BioText(BIO *bio)
{
    char *data = nullptr;
    const long size = BIO_get_mem_data(bio, &data);
    return QByteArray(data, static_cast<qsizetype>(size));
}

TBio ReadBio(const QByteArray &bytes)
{
    return TBio(BIO_new_mem_buf(bytes.constData(), static_cast<int>(bytes.size())));
}

bool IsEd25519(EVP_PKEY *key)
{
    return key && EVP_PKEY_get_id(key) == EVP_PKEY_ED25519;
}

} // namespace

void TReleaseKey::TFree::operator()(evp_pkey_st *key) const
{
    EVP_PKEY_free(key);
}

TReleaseKey TReleaseKey::generate()
{
    EVP_PKEY *key = EVP_PKEY_Q_keygen(nullptr, nullptr, "ED25519");
    if (!key)
        throw std::runtime_error("OpenSSL could not make an Ed25519 key");
    return TReleaseKey(key, true);
}

std::optional<TReleaseKey> TReleaseKey::fromPem(const QByteArray &pem)
{
    if (pem.size() > 64 * 1024)
        return std::nullopt;
    if (EVP_PKEY *key = PEM_read_bio_PrivateKey(ReadBio(pem).get(), nullptr, nullptr, nullptr)) {
        if (IsEd25519(key))
            return TReleaseKey(key, true);
        EVP_PKEY_free(key);
        return std::nullopt;
    }
    ERR_clear_error(); // not a private key: try a public one
    if (EVP_PKEY *key = PEM_read_bio_PUBKEY(ReadBio(pem).get(), nullptr, nullptr, nullptr)) {
        if (IsEd25519(key))
            return TReleaseKey(key, false);
        EVP_PKEY_free(key);
    }
    // Leave no failed parse behind in OpenSSL's error queue.
    ERR_clear_error();
    return std::nullopt;
}

QByteArray TReleaseKey::privatePem() const
{
    if (!m_private)
        return QByteArray();
    const TBio bio(BIO_new(BIO_s_mem()));
    if (!PEM_write_bio_PrivateKey(bio.get(), m_key.get(), nullptr, nullptr, 0, nullptr, nullptr))
        throw std::runtime_error("OpenSSL could not write the private key");
    return BioText(bio.get());
}

QByteArray TReleaseKey::publicPem() const
{
    const TBio bio(BIO_new(BIO_s_mem()));
    if (!PEM_write_bio_PUBKEY(bio.get(), m_key.get()))
        throw std::runtime_error("OpenSSL could not write the public key");
    return BioText(bio.get());
}

QString TReleaseKey::fingerprint() const
{
    unsigned char raw[32];
    size_t size = sizeof raw;
    if (EVP_PKEY_get_raw_public_key(m_key.get(), raw, &size) != 1 || size != sizeof raw)
        throw std::runtime_error("OpenSSL could not read the public key");
    const QByteArray hex = QCryptographicHash::hash(QByteArrayView(reinterpret_cast<const char *>(raw), 32),
                                                    QCryptographicHash::Sha256).toHex();
    QString text = QStringLiteral("SHA-256");
    for (qsizetype i = 0; i < hex.size(); i += 4)
        text += QLatin1Char(' ') + QString::fromLatin1(hex.mid(i, 4));
    return text;
}

QByteArray TReleaseKey::sign(const QByteArray &data) const
{
    if (!m_private)
        throw std::logic_error("a public key cannot sign");
    const TDigestContext ctx(EVP_MD_CTX_new());
    QByteArray signature(SignatureSize, '\0');
    size_t size = SignatureSize;
    // Ed25519 signs the message itself (no separate digest), in one call.
    if (!ctx || EVP_DigestSignInit(ctx.get(), nullptr, nullptr, nullptr, m_key.get()) != 1
        || EVP_DigestSign(ctx.get(), reinterpret_cast<unsigned char *>(signature.data()), &size,
                          reinterpret_cast<const unsigned char *>(data.constData()),
                          static_cast<size_t>(data.size())) != 1
        || size != SignatureSize)
        throw std::runtime_error("OpenSSL could not sign");
    return signature;
}

bool TReleaseKey::verify(const QByteArray &data, const QByteArray &signature) const
{
    if (signature.size() != SignatureSize)
        return false;
    const TDigestContext ctx(EVP_MD_CTX_new());
    return ctx && EVP_DigestVerifyInit(ctx.get(), nullptr, nullptr, nullptr, m_key.get()) == 1
        && EVP_DigestVerify(ctx.get(), reinterpret_cast<const unsigned char *>(signature.constData()),
                            SignatureSize, reinterpret_cast<const unsigned char *>(data.constData()),
                            static_cast<size_t>(data.size()))
               == 1;
}

QByteArray EncodeSignatureFile(const QByteArray &signature)
{
    return signature.toBase64() + '\n';
}

std::optional<QByteArray> DecodeSignatureFile(const QByteArray &file)
{
    const QByteArray text = file.trimmed();
    if (text.size() > 256)
        return std::nullopt;
    const auto decoded = QByteArray::fromBase64Encoding(text, QByteArray::AbortOnBase64DecodingErrors);
    if (!decoded || decoded.decoded.size() != SignatureSize)
        return std::nullopt;
    return decoded.decoded;
}
