#pragma once

#include <array>
#include <cstddef>
#include <functional>

// Fills buffer with up to n bytes of entropy; returns how many it wrote (at least 1 when n
// is positive).
using TEntropySource = std::function<int(unsigned char *buffer, int n)>;

// The default entropy source: the high-resolution clock as a 64-bit little-endian number, its
// first min(8, n) bytes.
int GatherEntropy(unsigned char *buffer, int n);

// The generator that makes the cipher's salts: a 260-byte entropy pool refilled from an
// entropy source and stirred with the SHA-1 compression, and a 260-byte output pool that
// the bytes are drawn from. Salts must be fresh, not secret; the layout follows the
// published construction the stored files were made with.
class TRandomPool {
public:
    static constexpr int kPoolSize = 260; // 13 blocks of 20 bytes

    // Seeds the pools from source: update, stir the entropy pool 20 times, update again.
    explicit TRandomPool(TEntropySource source = GatherEntropy);
    ~TRandomPool();
    TRandomPool(const TRandomPool &) = delete;
    TRandomPool &operator=(const TRandomPool &) = delete;

    // Copies n bytes from the output pool, updating the pools each time it is used up.
    void Draw(unsigned char *out, std::size_t n);

    // Stirs a pool: each 20-byte block in turn becomes the SHA-1 compression of the 64 bytes
    // starting at it (wrapping round), chained from the 20 bytes before it.
    static void Mix(std::array<unsigned char, kPoolSize> &pool);

private:
    void Update();

    std::array<unsigned char, kPoolSize> m_entropyPool{};
    std::array<unsigned char, kPoolSize> m_outputPool{};
    int m_readPosition = 0;
    TEntropySource m_source;
};
