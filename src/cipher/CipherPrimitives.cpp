#include "cipher/CipherPrimitives.h"

#include <openssl/core_names.h>
#include <openssl/evp.h>
#include <openssl/params.h>

namespace {

[[noreturn]] void Fail(const char *what)
{
    throw TCipherError(what);
}

const EVP_CIPHER *AesEcbForKeyLength(qsizetype length)
{
    switch (length) {
    case 16:
        return EVP_aes_128_ecb();
    case 24:
        return EVP_aes_192_ecb();
    case 32:
        return EVP_aes_256_ecb();
    default:
        Fail("AES key must be 16, 24 or 32 bytes");
    }
}

} // namespace

QByteArray Pbkdf2HmacSha1(const QByteArray &password, const QByteArray &salt, int iterations,
                          int length)
{
    QByteArray out(length, '\0');
    if (PKCS5_PBKDF2_HMAC_SHA1(password.constData(), int(password.size()),
                               reinterpret_cast<const unsigned char *>(salt.constData()),
                               int(salt.size()), iterations, length,
                               reinterpret_cast<unsigned char *>(out.data()))
        != 1)
        Fail("PBKDF2 failed");
    return out;
}

TAesEncryptor::TAesEncryptor(const QByteArray &key)
{
    const EVP_CIPHER *cipher = AesEcbForKeyLength(key.size());
    m_context = EVP_CIPHER_CTX_new();
    if (!m_context
        || EVP_EncryptInit_ex(m_context, cipher, nullptr,
                              reinterpret_cast<const unsigned char *>(key.constData()), nullptr)
            != 1
        || EVP_CIPHER_CTX_set_padding(m_context, 0) != 1) {
        EVP_CIPHER_CTX_free(m_context);
        Fail("AES key setup failed");
    }
}

TAesEncryptor::~TAesEncryptor()
{
    EVP_CIPHER_CTX_free(m_context);
}

void TAesEncryptor::EncryptBlocks(const unsigned char *in, unsigned char *out, std::size_t length)
{
    int written = 0;
    if (length % 16 != 0
        || EVP_EncryptUpdate(m_context, out, &written, in, static_cast<int>(length)) != 1
        || static_cast<std::size_t>(written) != length)
        Fail("AES encryption failed");
}

THmacSha1::THmacSha1(const QByteArray &key)
{
    m_mac = EVP_MAC_fetch(nullptr, OSSL_MAC_NAME_HMAC, nullptr);
    m_context = m_mac ? EVP_MAC_CTX_new(m_mac) : nullptr;
    char digest[] = "SHA1";
    const OSSL_PARAM params[] = {
        OSSL_PARAM_construct_utf8_string(OSSL_MAC_PARAM_DIGEST, digest, 0),
        OSSL_PARAM_construct_end(),
    };
    if (!m_context
        || EVP_MAC_init(m_context, reinterpret_cast<const unsigned char *>(key.constData()),
                        static_cast<std::size_t>(key.size()), params)
            != 1) {
        EVP_MAC_CTX_free(m_context);
        EVP_MAC_free(m_mac);
        Fail("HMAC-SHA1 setup failed");
    }
}

THmacSha1::~THmacSha1()
{
    EVP_MAC_CTX_free(m_context);
    EVP_MAC_free(m_mac);
}

void THmacSha1::Update(const unsigned char *data, std::size_t length)
{
    if (length > 0 && EVP_MAC_update(m_context, data, length) != 1)
        Fail("HMAC-SHA1 failed");
}

QByteArray THmacSha1::Final()
{
    QByteArray code(kLength, '\0');
    std::size_t written = 0;
    if (EVP_MAC_final(m_context, reinterpret_cast<unsigned char *>(code.data()), &written,
                      kLength)
            != 1
        || written != kLength)
        Fail("HMAC-SHA1 failed");
    return code;
}
