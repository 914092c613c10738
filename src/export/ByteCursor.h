#pragma once

#include <QByteArray>
#include <QByteArrayView>

#include <cstring>

// Puts bytes through a raw pointer into room made beforehand: the export writes a million
// records, and QByteArray's checks on every append would cost more than the text itself.
struct TCursor {
    char *p;
    void put(char c) { *p++ = c; }
    void put(QByteArrayView bytes)
    {
        std::memcpy(p, bytes.data(), size_t(bytes.size()));
        p += bytes.size();
    }
};

// Room for `room` more bytes at the end of out while it lives; out is then cut to what the
// cursor wrote. Nothing else may change out meanwhile.
class TRoom {
public:
    TRoom(QByteArray &out, qsizetype room) : m_out(out)
    {
        const qsizetype size = out.size();
        out.resize(size + room);
        cursor.p = out.data() + size;
    }
    ~TRoom() { m_out.resize(cursor.p - m_out.constData()); }
    TRoom(const TRoom &) = delete;
    TRoom &operator=(const TRoom &) = delete;
    TCursor cursor{nullptr};

private:
    QByteArray &m_out;
};
