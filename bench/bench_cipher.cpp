// Enciphering and deciphering 256 MiB through TEncryption beside the openssl command line
// doing the same work in the same run: AES-128 in counter mode (openssl enc -aes-128-ctr)
// plus HMAC-SHA1 over the ciphertext (openssl dgst -sha1 -hmac). Each figure is the best of
// a few rounds; the ratio is our time over openssl's.
//
//   bench_cipher [MiB]   (default 256)

#include "cipher/AesLib.h"

#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <functional>

namespace {

constexpr int kRounds = 3;
constexpr quint32 kChunk = 262144; // the program's chunk size
const QByteArray kPassword = QByteArrayLiteral("mvqlrtznxo");

void WriteData(const QString &path, qint64 size)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        qFatal("cannot write %s", qPrintable(path));
    QByteArray block(1 << 20, '\0');
    quint32 x = 2463534242u;
    for (qint64 written = 0; written < size; written += block.size()) {
        for (char &c : block) { // xorshift: data that does not compress or repeat
            x ^= x << 13;
            x ^= x >> 17;
            x ^= x << 5;
            c = char(x);
        }
        file.write(block.constData(), std::min<qint64>(block.size(), size - written));
    }
}

double BestSeconds(const std::function<void()> &work)
{
    double best = 1e9;
    for (int round = 0; round < kRounds; ++round) {
        QElapsedTimer timer;
        timer.start();
        work();
        best = std::min(best, timer.nsecsElapsed() / 1e9);
    }
    return best;
}

void Openssl(const QStringList &arguments)
{
    QProcess process;
    process.start(QStringLiteral("openssl"), arguments);
    if (!process.waitForFinished(-1) || process.exitCode() != 0)
        qFatal("openssl %s failed: %s", qPrintable(arguments.join(QLatin1Char(' '))),
               process.readAllStandardError().constData());
}

void Encipher(const QString &from, const QString &to)
{
    QFile in(from), out(to);
    if (!in.open(QIODevice::ReadOnly) || !out.open(QIODevice::WriteOnly))
        qFatal("cannot open files");
    TEncryption cipher(kPassword, kChunk);
    if (!cipher.EncryptStream(in, out))
        qFatal("EncryptStream failed");
}

void Decipher(const QString &from, const QString &to)
{
    QFile in(from), out(to);
    if (!in.open(QIODevice::ReadOnly) || !out.open(QIODevice::WriteOnly))
        qFatal("cannot open files");
    TEncryption cipher(kPassword, kChunk);
    if (!cipher.DecryptStream(in, &out, in.size()))
        qFatal("DecryptStream failed");
}

void Report(const char *what, qint64 bytes, double ours, double floor)
{
    const double mb = bytes / 1e6;
    std::printf("%-10s TEncryption %8.1f MB/s   openssl enc+dgst %8.1f MB/s   ratio %.2fx %s\n",
                what, mb / ours, mb / floor, ours / floor,
                ours <= 1.2 * floor ? "(within 1.2x)" : "(ABOVE 1.2x)");
}

} // namespace

int main(int argc, char **argv)
{
    const qint64 mib = argc > 1 ? std::max(1, std::atoi(argv[1])) : 256;
    const qint64 size = mib << 20;
    QTemporaryDir dir;
    const QString plain = dir.filePath(QStringLiteral("plain.bin"));
    const QString ours = dir.filePath(QStringLiteral("ours.dat"));
    const QString back = dir.filePath(QStringLiteral("back.bin"));
    const QString theirs = dir.filePath(QStringLiteral("theirs.bin"));
    const QString theirsBack = dir.filePath(QStringLiteral("theirs-back.bin"));
    WriteData(plain, size);

    // The floor uses keys of the same sizes as mode 1: AES-128 and a 16-byte HMAC key.
    const QString key = QStringLiteral("000102030405060708090a0b0c0d0e0f");
    const QString iv = QStringLiteral("01000000000000000000000000000000");
    const QString hmac = QStringLiteral("hexkey:") + key;
    auto opensslEncipher = [&] {
        Openssl({QStringLiteral("enc"), QStringLiteral("-aes-128-ctr"), QStringLiteral("-K"), key,
                 QStringLiteral("-iv"), iv, QStringLiteral("-in"), plain, QStringLiteral("-out"),
                 theirs});
        Openssl({QStringLiteral("dgst"), QStringLiteral("-sha1"), QStringLiteral("-mac"),
                 QStringLiteral("HMAC"), QStringLiteral("-macopt"), hmac, theirs});
    };
    auto opensslDecipher = [&] {
        Openssl({QStringLiteral("dgst"), QStringLiteral("-sha1"), QStringLiteral("-mac"),
                 QStringLiteral("HMAC"), QStringLiteral("-macopt"), hmac, theirs});
        Openssl({QStringLiteral("enc"), QStringLiteral("-d"), QStringLiteral("-aes-128-ctr"),
                 QStringLiteral("-K"), key, QStringLiteral("-iv"), iv, QStringLiteral("-in"),
                 theirs, QStringLiteral("-out"), theirsBack});
    };

    std::printf("%lld MiB, best of %d rounds, chunk %u bytes\n", static_cast<long long>(mib),
                kRounds, kChunk);
    const double floorEncipher = BestSeconds(opensslEncipher);
    const double oursEncipher = BestSeconds([&] { Encipher(plain, ours); });
    Report("encipher", size, oursEncipher, floorEncipher);
    const double floorDecipher = BestSeconds(opensslDecipher);
    const double oursDecipher = BestSeconds([&] { Decipher(ours, back); });
    Report("decipher", size, oursDecipher, floorDecipher);
    return 0;
}
