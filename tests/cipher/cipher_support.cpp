#include "cipher_support.h"

#include <QFile>

QByteArray CipherFixture(const QString &name)
{
    QFile file(QStringLiteral(TEST_DATA_DIR "/cipher/") + name);
    if (!file.open(QIODevice::ReadOnly))
        qFatal("missing fixture %s", qPrintable(name));
    return file.readAll();
}

int TCountingEntropy::operator()(unsigned char *buffer, int n)
{
    quint64 value = ++counter;
    const int count = qMin(n, 8);
    for (int i = 0; i < count; ++i) {
        buffer[i] = static_cast<unsigned char>(value);
        value >>= 8;
    }
    return count;
}
