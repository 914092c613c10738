#include "cipher/RandomPool.h"

#include "cipher/Sha1Compress.h"

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstring>

namespace {

constexpr int kBlock = 20;
constexpr int kBlocks = TRandomPool::kPoolSize / kBlock;
constexpr int kMessage = 64;
constexpr int kSeedMixes = 20;

// The pool keeps chaining values as little-endian words, whatever the host's byte order.
uint32_t LoadLittleEndian(const unsigned char *p)
{
    return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}

void StoreLittleEndian(unsigned char *p, uint32_t value)
{
    for (int i = 0; i < 4; ++i)
        p[i] = static_cast<unsigned char>(value >> (8 * i));
}

} // namespace

int GatherEntropy(unsigned char *buffer, int n)
{
    const auto ticks = std::chrono::high_resolution_clock::now().time_since_epoch().count();
    auto value = static_cast<uint64_t>(ticks);
    const int count = std::clamp(n, 0, 8);
    for (int i = 0; i < count; ++i) {
        buffer[i] = static_cast<unsigned char>(value);
        value >>= 8;
    }
    return count;
}

TRandomPool::TRandomPool(TEntropySource source)
    : m_source(source ? std::move(source) : TEntropySource(GatherEntropy))
{
    Update();
    for (int i = 0; i < kSeedMixes; ++i)
        Mix(m_entropyPool);
    Update();
}

TRandomPool::~TRandomPool()
{
    // Volatile writes so that the wipe is not optimised away.
    volatile unsigned char *entropy = m_entropyPool.data();
    volatile unsigned char *output = m_outputPool.data();
    for (int i = 0; i < kPoolSize; ++i) {
        entropy[i] = 0;
        output[i] = 0;
    }
}

void TRandomPool::Mix(std::array<unsigned char, kPoolSize> &pool)
{
    for (int block = 0; block < kBlocks; ++block) {
        const int start = block * kBlock;
        const int chainStart = (block == 0 ? kPoolSize : start) - kBlock;
        uint32_t state[5];
        for (int w = 0; w < 5; ++w)
            state[w] = LoadLittleEndian(pool.data() + chainStart + 4 * w);
        unsigned char message[kMessage];
        for (int i = 0; i < kMessage; ++i)
            message[i] = pool[(start + i) % kPoolSize];
        Sha1Compress(state, message);
        for (int w = 0; w < 5; ++w)
            StoreLittleEndian(pool.data() + start + 4 * w, state[w]);
    }
}

void TRandomPool::Update()
{
    m_outputPool = m_entropyPool;
    int filled = 0;
    while (filled < kPoolSize) {
        const int missing = kPoolSize - filled;
        // A source that reports nothing still moves on, so the refill always ends.
        filled += std::clamp(m_source(m_entropyPool.data() + filled, missing), 1, missing);
    }
    for (int i = 0; i < kPoolSize; ++i)
        m_entropyPool[i] ^= static_cast<unsigned char>(~m_outputPool[i]);
    Mix(m_entropyPool);
    Mix(m_outputPool);
}

void TRandomPool::Draw(unsigned char *out, std::size_t n)
{
    while (n > 0) {
        const std::size_t take = std::min<std::size_t>(n, kPoolSize - m_readPosition);
        std::memcpy(out, m_outputPool.data() + m_readPosition, take);
        out += take;
        n -= take;
        m_readPosition += static_cast<int>(take);
        if (m_readPosition == kPoolSize) {
            Update();
            m_readPosition = 0;
        }
    }
}
