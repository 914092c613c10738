#pragma once

#include <QByteArray>
#include <QIODevice>
#include <QString>

// A write-only device that takes limit bytes and then fails every write.
class TFailingDevice : public QIODevice {
public:
    explicit TFailingDevice(qint64 limit) : m_limit(limit) { open(QIODevice::WriteOnly); }
    const QByteArray &written() const { return m_written; }

protected:
    qint64 readData(char *, qint64) override { return -1; }
    qint64 writeData(const char *data, qint64 length) override
    {
        const qint64 room = m_limit - m_written.size();
        if (room <= 0)
            return -1;
        const qint64 taken = qMin(room, length);
        m_written.append(data, taken);
        return taken;
    }

private:
    qint64 m_limit;
    QByteArray m_written;
};

// The bytes of a fixture under tests/data/cipher.
QByteArray CipherFixture(const QString &name);
// An entropy source counting from 1, each call handing out up to 8 little-endian bytes.
struct TCountingEntropy {
    quint64 counter = 0;
    int operator()(unsigned char *buffer, int n);
};
