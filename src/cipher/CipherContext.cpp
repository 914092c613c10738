#include "cipher/CipherContext.h"

#include <algorithm>
#include <cstring>

TCipherMode CipherModeForPasswordLength(qsizetype length)
{
    if (length < 32)
        return {1, 16, 8};
    if (length < 48)
        return {2, 24, 12};
    return {3, 32, 16};
}

QByteArray TCipherContext::Setup(const QByteArray &password, const TCipherMode &mode,
                                 const QByteArray &salt)
{
    const int k = mode.keyLength;
    const QByteArray material = Pbkdf2HmacSha1(password, salt, kIterations, 2 * k + 2);
    m_aes = std::make_unique<TAesEncryptor>(material.left(k));
    m_hmac = std::make_unique<THmacSha1>(material.mid(k, k));
    m_counter = 0;
    m_keyStreamEnd = 0;
    m_position = 0;
    return material.right(kVerifierLength);
}

void TCipherContext::Refill(std::size_t bytesWanted)
{
    const std::size_t blocks = std::min(kBatch, (bytesWanted + 15) & ~std::size_t(15)) / 16;
    std::memset(m_keyStream, 0, blocks * 16);
    for (std::size_t b = 0; b < blocks; ++b) {
        uint64_t counter = ++m_counter; // a carry out of the 64 bits is dropped
        for (int i = 0; i < 8; ++i) {
            m_keyStream[16 * b + i] = static_cast<unsigned char>(counter);
            counter >>= 8;
        }
    }
    m_aes->EncryptBlocks(m_keyStream, m_keyStream, blocks * 16);
    m_keyStreamEnd = blocks * 16;
    m_position = 0;
}

void TCipherContext::Transform(unsigned char *data, std::size_t length)
{
    while (length > 0) {
        if (m_position == m_keyStreamEnd)
            Refill(length);
        const std::size_t take = std::min(length, m_keyStreamEnd - m_position);
        const unsigned char *key = m_keyStream + m_position;
        std::size_t i = 0;
        for (; i + 8 <= take; i += 8) {
            uint64_t a, b;
            std::memcpy(&a, data + i, 8);
            std::memcpy(&b, key + i, 8);
            a ^= b;
            std::memcpy(data + i, &a, 8);
        }
        for (; i < take; ++i)
            data[i] ^= key[i];
        data += take;
        length -= take;
        m_position += take;
    }
}

void TCipherContext::Authenticate(const unsigned char *data, std::size_t length)
{
    m_hmac->Update(data, length);
}

QByteArray TCipherContext::FinishCode()
{
    return m_hmac->Final().left(kCodeLength);
}
