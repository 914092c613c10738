#include "cipher/AesLib.h"
#include "cipher/Sha1Compress.h"
#include "cipher_support.h"

#include <QBuffer>
#include <QTest>

#include <openssl/sha.h>

namespace {

// Enciphers plain with a cipher of the given password and chunk size.
QByteArray Encipher(const QByteArray &password, const QByteArray &plain, quint32 chunk = 4096)
{
    QByteArray source = plain;
    QBuffer in(&source);
    in.open(QIODevice::ReadOnly);
    QByteArray stored;
    QBuffer out(&stored);
    out.open(QIODevice::WriteOnly);
    TEncryption cipher(password, chunk);
    if (!cipher.EncryptStream(in, out))
        qFatal("EncryptStream failed on memory buffers");
    return stored;
}

struct TDecipherResult {
    bool ok = false;
    QByteArray plain;
};

TDecipherResult Decipher(const QByteArray &password, const QByteArray &stored,
                         quint32 chunk = 4096)
{
    QByteArray source = stored;
    QBuffer in(&source);
    in.open(QIODevice::ReadOnly);
    TDecipherResult result;
    QBuffer out(&result.plain);
    out.open(QIODevice::WriteOnly);
    TEncryption cipher(password, chunk);
    result.ok = cipher.DecryptStream(in, &out, source.size());
    return result;
}

QByteArray Pattern(qsizetype length)
{
    QByteArray data(length, '\0');
    for (qsizetype i = 0; i < length; ++i)
        data[i] = char((i * 131 + 7) & 0xFF);
    return data;
}

// SHA-1 of data made from our compression with the standard padding.
QByteArray Sha1WithOurCompression(const QByteArray &data)
{
    QByteArray padded = data;
    padded.append(char(0x80));
    while (padded.size() % 64 != 56)
        padded.append('\0');
    const quint64 bits = quint64(data.size()) * 8;
    for (int i = 7; i >= 0; --i)
        padded.append(char(bits >> (8 * i)));
    uint32_t state[5] = {0x67452301, 0xEFCDAB89, 0x98BADCFE, 0x10325476, 0xC3D2E1F0};
    for (qsizetype at = 0; at < padded.size(); at += 64)
        Sha1Compress(state, reinterpret_cast<const unsigned char *>(padded.constData() + at));
    QByteArray digest;
    for (uint32_t word : state)
        for (int i = 3; i >= 0; --i)
            digest.append(char(word >> (8 * i)));
    return digest;
}

} // namespace

class TestAesLib : public QObject {
    Q_OBJECT

private slots:
    void pbkdf2_rfc6070_data();
    void pbkdf2_rfc6070();
    void aes_fips197_data();
    void aes_fips197();
    void sha1Compress_matchesOpenSsl_data();
    void sha1Compress_matchesOpenSsl();
    void randomPool_matchesIndependentPool();
    void randomPool_drawsInPiecesAsAtOnce();

    void mode_followsPasswordLength_data();
    void mode_followsPasswordLength();
    void decrypt_fixedSaltFixture_data();
    void decrypt_fixedSaltFixture();
    void encrypt_fixedSalt_reproducesFixture_data();
    void encrypt_fixedSalt_reproducesFixture();
    void roundTrip_sizes_data();
    void roundTrip_sizes();
    void encrypt_twice_differentSalts();
    void decrypt_withoutDest_onlyVerifies();
    void decrypt_damaged_data();
    void decrypt_damaged();
    void decrypt_flippedCiphertextByte_writesAllThenFails();
    void decrypt_wrongPassword_writesNothing();
    void decrypt_tooShort_data();
    void decrypt_tooShort();
    void decrypt_sourceEndsBeforeSize_fails();
    void encrypt_writeFails_data();
    void encrypt_writeFails();
    void progress_reportsKinds();
};

void TestAesLib::pbkdf2_rfc6070_data()
{
    QTest::addColumn<QByteArray>("password");
    QTest::addColumn<QByteArray>("salt");
    QTest::addColumn<int>("iterations");
    QTest::addColumn<QByteArray>("expected");
    // RFC 6070. The 16777216-iteration vector is left out: it runs the same code path as the
    // 4096 one for a minute.
    QTest::newRow("1 iteration") << QByteArray("password") << QByteArray("salt") << 1
                                 << QByteArray::fromHex("0c60c80f961f0e71f3a9b524af6012062fe037a6");
    QTest::newRow("2 iterations") << QByteArray("password") << QByteArray("salt") << 2
                                  << QByteArray::fromHex("ea6c014dc72d6f8ccd1ed92ace1d41f0d8de8957");
    QTest::newRow("4096 iterations")
        << QByteArray("password") << QByteArray("salt") << 4096
        << QByteArray::fromHex("4b007901b765489abead49d926f721d065a429c1");
    QTest::newRow("long password and salt, 25 bytes")
        << QByteArray("passwordPASSWORDpassword")
        << QByteArray("saltSALTsaltSALTsaltSALTsaltSALTsalt") << 4096
        << QByteArray::fromHex("3d2eec4fe41c849b80c8d83662c0e44a8b291a964cf2f07038");
    QTest::newRow("embedded NUL, 16 bytes")
        << QByteArray("pass\0word", 9) << QByteArray("sa\0lt", 5) << 4096
        << QByteArray::fromHex("56fa6aa75548099dcc37d7f03425e0c3");
}

void TestAesLib::pbkdf2_rfc6070()
{
    QFETCH(QByteArray, password);
    QFETCH(QByteArray, salt);
    QFETCH(int, iterations);
    QFETCH(QByteArray, expected);
    QCOMPARE(Pbkdf2HmacSha1(password, salt, iterations, int(expected.size())).toHex(),
             expected.toHex());
}

void TestAesLib::aes_fips197_data()
{
    QTest::addColumn<QByteArray>("key");
    QTest::addColumn<QByteArray>("plain");
    QTest::addColumn<QByteArray>("cipher");
    // FIPS-197 appendix C.
    const QByteArray plain = QByteArray::fromHex("00112233445566778899aabbccddeeff");
    QTest::newRow("AES-128") << QByteArray::fromHex("000102030405060708090a0b0c0d0e0f") << plain
                             << QByteArray::fromHex("69c4e0d86a7b0430d8cdb78070b4c55a");
    QTest::newRow("AES-192")
        << QByteArray::fromHex("000102030405060708090a0b0c0d0e0f1011121314151617") << plain
        << QByteArray::fromHex("dda97ca4864cdfe06eaf70a0ec0d7191");
    QTest::newRow("AES-256")
        << QByteArray::fromHex("000102030405060708090a0b0c0d0e0f101112131415161718191a1b1c1d1e1f")
        << plain << QByteArray::fromHex("8ea2b7ca516745bfeafc49904b496089");
}

void TestAesLib::aes_fips197()
{
    QFETCH(QByteArray, key);
    QFETCH(QByteArray, plain);
    QFETCH(QByteArray, cipher);
    TAesEncryptor aes(key);
    // Two blocks in one call: each block is enciphered on its own.
    QByteArray data = plain + plain;
    auto *bytes = reinterpret_cast<unsigned char *>(data.data());
    aes.EncryptBlocks(bytes, bytes, size_t(data.size()));
    QCOMPARE(data.toHex(), (cipher + cipher).toHex());
}

void TestAesLib::sha1Compress_matchesOpenSsl_data()
{
    QTest::addColumn<QByteArray>("data");
    QTest::newRow("empty") << QByteArray();
    QTest::newRow("abc") << QByteArray("abc");
    QTest::newRow("55 bytes, one block") << Pattern(55);
    QTest::newRow("56 bytes, two blocks") << Pattern(56);
    QTest::newRow("1000 bytes") << Pattern(1000);
}

void TestAesLib::sha1Compress_matchesOpenSsl()
{
    QFETCH(QByteArray, data);
    unsigned char digest[SHA_DIGEST_LENGTH];
    SHA1(reinterpret_cast<const unsigned char *>(data.constData()), size_t(data.size()), digest);
    QCOMPARE(Sha1WithOurCompression(data).toHex(),
             QByteArray(reinterpret_cast<const char *>(digest), SHA_DIGEST_LENGTH).toHex());
}

void TestAesLib::randomPool_matchesIndependentPool()
{
    const QByteArray expected = CipherFixture(QStringLiteral("pool-counting-source.bin"));
    TRandomPool pool{TCountingEntropy()};
    QByteArray drawn(expected.size(), '\0');
    pool.Draw(reinterpret_cast<unsigned char *>(drawn.data()), size_t(drawn.size()));
    QCOMPARE(drawn.toHex(), expected.toHex());
}

void TestAesLib::randomPool_drawsInPiecesAsAtOnce()
{
    TRandomPool whole{TCountingEntropy()};
    TRandomPool pieces{TCountingEntropy()};
    QByteArray a(700, '\0'), b(700, '\0');
    whole.Draw(reinterpret_cast<unsigned char *>(a.data()), 700);
    auto *p = reinterpret_cast<unsigned char *>(b.data());
    for (size_t piece : {7, 253, 1, 259, 180}) {
        pieces.Draw(p, piece);
        p += piece;
    }
    QCOMPARE(b.toHex(), a.toHex());
}

void TestAesLib::mode_followsPasswordLength_data()
{
    QTest::addColumn<int>("length");
    QTest::addColumn<int>("mode");
    QTest::addColumn<int>("saltLength");
    QTest::newRow("empty") << 0 << 1 << 8;
    QTest::newRow("10, the settings password") << 10 << 1 << 8;
    QTest::newRow("31") << 31 << 1 << 8;
    QTest::newRow("32") << 32 << 2 << 12;
    QTest::newRow("47") << 47 << 2 << 12;
    QTest::newRow("48") << 48 << 3 << 16;
    QTest::newRow("128") << 128 << 3 << 16;
    QTest::newRow("200, longer than usual") << 200 << 3 << 16;
}

void TestAesLib::mode_followsPasswordLength()
{
    QFETCH(int, length);
    QFETCH(int, mode);
    QFETCH(int, saltLength);
    const QByteArray password(length, 'x');
    TEncryption cipher(password, 64);
    QCOMPARE(cipher.Mode(), mode);
    QCOMPARE(cipher.SaltLength(), saltLength);

    const QByteArray plain = Pattern(100);
    const QByteArray stored = Encipher(password, plain);
    QCOMPARE(stored.size(), plain.size() + saltLength + 12);
    const TDecipherResult back = Decipher(password, stored);
    QVERIFY(back.ok);
    QCOMPARE(back.plain, plain);
}

void TestAesLib::decrypt_fixedSaltFixture_data()
{
    QTest::addColumn<QByteArray>("password");
    QTest::addColumn<QString>("fixture");
    QTest::addColumn<QByteArray>("plain");
    QTest::addColumn<QByteArray>("salt");
    const QByteArray plain40 = QByteArray::fromHex(
        "404142434445464748494a4b4c4d4e4f505152535455565758595a5b5c5d5e5f6061626364656667");
    QTest::newRow("settings stream, mode 1")
        << QByteArray("mvqlrtznxo") << QStringLiteral("settings-fixed-salt.dat")
        << CipherFixture(QStringLiteral("settings-fixed-salt.txt"))
        << QByteArray::fromHex("0001020304050607");
    QTest::newRow("mode 2") << QByteArray(32, 'p') << QStringLiteral("mode2-fixed-salt.dat")
                            << plain40 << QByteArray::fromHex("a0a1a2a3a4a5a6a7a8a9aaab");
    QTest::newRow("mode 3") << QByteArray(48, 'q') << QStringLiteral("mode3-fixed-salt.dat")
                            << plain40
                            << QByteArray::fromHex("b0b1b2b3b4b5b6b7b8b9babbbcbdbebf");
}

void TestAesLib::decrypt_fixedSaltFixture()
{
    QFETCH(QByteArray, password);
    QFETCH(QString, fixture);
    QFETCH(QByteArray, plain);
    for (quint32 chunk : {262144u, 16u, 5u}) {
        const TDecipherResult result = Decipher(password, CipherFixture(fixture), chunk);
        QVERIFY2(result.ok, qPrintable(QStringLiteral("chunk %1").arg(chunk)));
        QCOMPARE(result.plain, plain);
    }
}

void TestAesLib::encrypt_fixedSalt_reproducesFixture_data()
{
    decrypt_fixedSaltFixture_data();
}

void TestAesLib::encrypt_fixedSalt_reproducesFixture()
{
    QFETCH(QByteArray, password);
    QFETCH(QString, fixture);
    QFETCH(QByteArray, plain);
    QFETCH(QByteArray, salt);
    for (quint32 chunk : {262144u, 16u, 7u}) {
        QBuffer in(&plain);
        in.open(QIODevice::ReadOnly);
        QByteArray stored;
        QBuffer out(&stored);
        out.open(QIODevice::WriteOnly);
        TEncryption cipher(password, chunk);
        QVERIFY(cipher.EncryptStream(in, out, salt));
        QCOMPARE(stored.toHex(), CipherFixture(fixture).toHex());
    }
}

void TestAesLib::roundTrip_sizes_data()
{
    QTest::addColumn<quint32>("chunk");
    QTest::addColumn<int>("size");
    QTest::newRow("empty data") << 262144u << 0;
    QTest::newRow("one byte") << 262144u << 1;
    QTest::newRow("one key-stream block") << 262144u << 16;
    QTest::newRow("into the second block") << 262144u << 17;
    QTest::newRow("exactly one chunk") << 262144u << 262144;
    QTest::newRow("one chunk and a byte") << 262144u << 262145;
    QTest::newRow("small chunks, odd size") << 10u << 1234;
    QTest::newRow("small chunks, exact multiple") << 16u << 320;
    QTest::newRow("past a key-stream batch") << 4096u << 40000;
}

void TestAesLib::roundTrip_sizes()
{
    QFETCH(quint32, chunk);
    QFETCH(int, size);
    const QByteArray password("mvqlrtznxo");
    const QByteArray plain = Pattern(size);
    const QByteArray stored = Encipher(password, plain, chunk);
    QCOMPARE(stored.size(), qsizetype(size) + 8 + 12);
    // Decipher with another chunk size: the key stream runs on across chunks.
    const TDecipherResult back = Decipher(password, stored, chunk == 262144u ? 1000u : 262144u);
    QVERIFY(back.ok);
    QCOMPARE(back.plain, plain);
}

void TestAesLib::encrypt_twice_differentSalts()
{
    const QByteArray plain = Pattern(50);
    const QByteArray first = Encipher("secret", plain);
    const QByteArray second = Encipher("secret", plain);
    QVERIFY(first.left(8) != second.left(8));
    QVERIFY(first != second);
    QCOMPARE(Decipher("secret", first).plain, plain);
    QCOMPARE(Decipher("secret", second).plain, plain);
}

void TestAesLib::decrypt_withoutDest_onlyVerifies()
{
    QByteArray stored = Encipher("secret", Pattern(3000));
    QBuffer in(&stored);
    in.open(QIODevice::ReadOnly);
    TEncryption cipher("secret", 1024);
    QVERIFY(cipher.DecryptStream(in, nullptr, stored.size()));

    stored[100] = char(stored[100] ^ 1);
    QBuffer damaged(&stored);
    damaged.open(QIODevice::ReadOnly);
    QVERIFY(!cipher.DecryptStream(damaged, nullptr, stored.size()));
}

void TestAesLib::decrypt_damaged_data()
{
    QTest::addColumn<int>("offset"); // negative: from the end
    QTest::newRow("salt") << 0;
    QTest::newRow("verifier") << 9;
    QTest::newRow("first ciphertext byte") << 10;
    QTest::newRow("last ciphertext byte") << -11;
    QTest::newRow("authentication code") << -1;
}

void TestAesLib::decrypt_damaged()
{
    QFETCH(int, offset);
    QByteArray stored = Encipher("secret", Pattern(500));
    const qsizetype at = offset >= 0 ? offset : stored.size() + offset;
    stored[at] = char(stored[at] ^ 0x40);
    QVERIFY(!Decipher("secret", stored).ok);
}

void TestAesLib::decrypt_flippedCiphertextByte_writesAllThenFails()
{
    const QByteArray plain = Pattern(500);
    QByteArray stored = Encipher("secret", plain);
    stored[8 + 2 + 123] = char(stored[8 + 2 + 123] ^ 0x01);
    const TDecipherResult result = Decipher("secret", stored, 64);
    QVERIFY(!result.ok);
    QByteArray expected = plain;
    expected[123] = char(expected[123] ^ 0x01);
    QCOMPARE(result.plain, expected);
}

void TestAesLib::decrypt_wrongPassword_writesNothing()
{
    const QByteArray stored = Encipher("secret", Pattern(500));
    const TDecipherResult result = Decipher("Secret", stored);
    QVERIFY(!result.ok);
    QVERIFY(result.plain.isEmpty());
}

void TestAesLib::decrypt_tooShort_data()
{
    QTest::addColumn<int>("length");
    QTest::newRow("nothing") << 0;
    QTest::newRow("inside the salt") << 5;
    QTest::newRow("salt and verifier only") << 10;
    QTest::newRow("one byte short of header and trailer") << 19;
}

void TestAesLib::decrypt_tooShort()
{
    QFETCH(int, length);
    const QByteArray stored = Encipher("secret", QByteArray()).left(length);
    const TDecipherResult result = Decipher("secret", stored);
    QVERIFY(!result.ok);
    QVERIFY(result.plain.isEmpty());
}

void TestAesLib::decrypt_sourceEndsBeforeSize_fails()
{
    QByteArray stored = Encipher("secret", Pattern(300));
    QBuffer in(&stored);
    in.open(QIODevice::ReadOnly);
    TEncryption cipher("secret", 64);
    QVERIFY(!cipher.DecryptStream(in, nullptr, stored.size() + 1000));
}

void TestAesLib::encrypt_writeFails_data()
{
    QTest::addColumn<int>("limit");
    QTest::newRow("in the salt") << 3;
    QTest::newRow("in the ciphertext") << 200;
    QTest::newRow("in the code") << 8 + 2 + 500 + 4;
}

void TestAesLib::encrypt_writeFails()
{
    QFETCH(int, limit);
    QByteArray plain = Pattern(500);
    QBuffer in(&plain);
    in.open(QIODevice::ReadOnly);
    TFailingDevice out(limit);
    TEncryption cipher("secret", 64);
    QVERIFY(!cipher.EncryptStream(in, out));
}

void TestAesLib::progress_reportsKinds()
{
    using Report = QPair<int, qint64>;
    QList<Report> reports;
    auto record = [&reports](TEncryption &, quint8 kind, qint64 value) {
        reports.append({kind, value});
    };

    QByteArray plain = Pattern(150);
    QBuffer in(&plain);
    in.open(QIODevice::ReadOnly);
    QByteArray stored;
    QBuffer out(&stored);
    out.open(QIODevice::WriteOnly);
    TEncryption cipher("secret", 64);
    cipher.OnProgress = record;
    QVERIFY(cipher.EncryptStream(in, out));
    QCOMPARE(reports, (QList<Report>{{4, 64}, {4, 128}, {4, 150}}));

    reports.clear();
    QBuffer back(&stored);
    back.open(QIODevice::ReadOnly);
    QVERIFY(cipher.DecryptStream(back, nullptr, stored.size()));
    QCOMPARE(reports, (QList<Report>{{1, -170}, {5, 64}, {5, 64}, {5, 22}}));
}

QTEST_GUILESS_MAIN(TestAesLib)
#include "tst_aeslib.moc"
