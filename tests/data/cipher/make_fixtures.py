#!/usr/bin/env python3
"""Writes the cipher's known-answer fixtures, computed apart from the program.

Keys come from the `cryptography` package's PBKDF2-HMAC-SHA1, the key stream from its AES in
ECB mode over counter blocks laid out by hand (block n = n as 8 little-endian bytes, then 8
zero bytes, from n = 1), the code from Python's hmac module. The random pool's expected
output comes from a separate Python version of the pool, whose SHA-1 compression is checked
against hashlib first. Run from this folder: python3 make_fixtures.py
"""
import hashlib
import hmac
import struct

from cryptography.hazmat.primitives import hashes
from cryptography.hazmat.primitives.ciphers import Cipher, algorithms, modes
from cryptography.hazmat.primitives.kdf.pbkdf2 import PBKDF2HMAC


def encipher(password: bytes, salt: bytes, plain: bytes) -> bytes:
    k = {8: 16, 12: 24, 16: 32}[len(salt)]
    material = PBKDF2HMAC(hashes.SHA1(), 2 * k + 2, salt, 1000).derive(password)
    aes_key, mac_key, verifier = material[:k], material[k:2 * k], material[2 * k:]
    blocks = (len(plain) + 15) // 16
    counters = b"".join(struct.pack("<Q", n) + bytes(8) for n in range(1, blocks + 1))
    encryptor = Cipher(algorithms.AES(aes_key), modes.ECB()).encryptor()
    stream = encryptor.update(counters) + encryptor.finalize()
    cipher = bytes(p ^ s for p, s in zip(plain, stream))
    code = hmac.new(mac_key, cipher, hashlib.sha1).digest()[:10]
    return salt + verifier + cipher + code


def write(name: str, data: bytes) -> None:
    with open(name, "wb") as f:
        f.write(data)


# The settings stream: the program's fixed password, a fixed salt, a short settings text.
settings_plain = (b"<%%ApplicationName%%>My Planner<%%/ApplicationName%%>\r\n"
                  b"<%%BranderType%%>Master<%%/BranderType%%>\r\n"
                  b"<%%LastNewsId%%>42<%%/LastNewsId%%>\r\n")
write("settings-fixed-salt.txt", settings_plain)
write("settings-fixed-salt.dat",
      encipher(b"mvqlrtznxo", bytes.fromhex("0001020304050607"), settings_plain))

# The two longer key strengths, 40 bytes of data (block 3 is partly used).
plain40 = bytes(range(0x40, 0x68))
write("mode2-fixed-salt.dat",
      encipher(b"p" * 32, bytes.fromhex("a0a1a2a3a4a5a6a7a8a9aaab"), plain40))
write("mode3-fixed-salt.dat",
      encipher(b"q" * 48, bytes.fromhex("b0b1b2b3b4b5b6b7b8b9babbbcbdbebf"), plain40))


# The random pool.
def rotl(x, n):
    return ((x << n) | (x >> (32 - n))) & 0xFFFFFFFF


def compress(state, block):
    w = list(struct.unpack(">16I", block))
    for i in range(16, 80):
        w.append(rotl(w[i - 3] ^ w[i - 8] ^ w[i - 14] ^ w[i - 16], 1))
    a, b, c, d, e = state
    for i in range(80):
        if i < 20:
            f, k = (b & c) | (~b & d), 0x5A827999
        elif i < 40:
            f, k = b ^ c ^ d, 0x6ED9EBA1
        elif i < 60:
            f, k = (b & c) | (b & d) | (c & d), 0x8F1BBCDC
        else:
            f, k = b ^ c ^ d, 0xCA62C1D6
        a, b, c, d, e = (rotl(a, 5) + f + e + k + w[i]) & 0xFFFFFFFF, a, rotl(b, 30), c, d
    return [(x + y) & 0xFFFFFFFF for x, y in zip(state, [a, b, c, d, e])]


IV = [0x67452301, 0xEFCDAB89, 0x98BADCFE, 0x10325476, 0xC3D2E1F0]
padded = b"abc" + b"\x80" + bytes(52) + struct.pack(">Q", 24)
assert struct.pack(">5I", *compress(IV, padded)) == hashlib.sha1(b"abc").digest()

POOL = 260


def mix(pool):
    for i in range(0, POOL, 20):
        chain = pool[(i if i else POOL) - 20:(i if i else POOL)]
        message = bytes(pool[(i + j) % POOL] for j in range(64))
        out = compress(list(struct.unpack("<5I", bytes(chain))), message)
        pool[i:i + 20] = struct.pack("<5I", *out)


class Pool:
    def __init__(self, source):
        self.source, self.entropy, self.output, self.pos = source, bytearray(POOL), bytearray(POOL), 0
        self.update()
        for _ in range(20):
            mix(self.entropy)
        self.update()

    def update(self):
        self.output[:] = self.entropy
        filled = 0
        while filled < POOL:
            chunk = self.source(POOL - filled)
            self.entropy[filled:filled + len(chunk)] = chunk
            filled += len(chunk)
        for i in range(POOL):
            self.entropy[i] ^= ~self.output[i] & 0xFF
        mix(self.entropy)
        mix(self.output)

    def draw(self, n):
        out = bytearray()
        while n:
            take = min(n, POOL - self.pos)
            out += self.output[self.pos:self.pos + take]
            self.pos += take
            n -= take
            if self.pos == POOL:
                self.update()
                self.pos = 0
        return bytes(out)


# Entropy source of the fixture: a counter from 1, handed out as up to 8 little-endian bytes.
counter = [0]


def counting_source(n):
    counter[0] += 1
    return struct.pack("<Q", counter[0])[:min(8, n)]


# 600 bytes cross two refills of the output pool.
write("pool-counting-source.bin", Pool(counting_source).draw(600))
