#pragma once

#include <cstdint>

// One SHA-1 compression: folds a 64-byte message block into the five-word chaining value.
// The message words are read big-endian, as SHA-1 reads them; the chaining value is given as
// words, so the caller decides how it maps to bytes. The random pool needs this step on its
// own, which hash libraries do not expose.
void Sha1Compress(uint32_t state[5], const unsigned char block[64]);
