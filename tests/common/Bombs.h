#pragma once
// Real files that claim or hold far more than their size: zlib streams deflated piece by
// piece, so that making them takes no more memory than one piece.

#include <QByteArray>
#include <QtEndian>

#include <functional>
#include <zlib.h>

// A zlib stream of the pieces that next() gives, until it gives an empty one.
inline QByteArray DeflatedStream(const std::function<QByteArray()> &next)
{
    z_stream stream{};
    deflateInit(&stream, 9);
    QByteArray compressed;
    char out[64 * 1024];
    for (bool last = false; !last;) {
        const QByteArray piece = next();
        last = piece.isEmpty();
        stream.next_in = reinterpret_cast<Bytef *>(const_cast<char *>(piece.constData()));
        stream.avail_in = uInt(piece.size());
        do {
            stream.next_out = reinterpret_cast<Bytef *>(out);
            stream.avail_out = sizeof out;
            deflate(&stream, last ? Z_FINISH : Z_NO_FLUSH);
            compressed.append(out, qsizetype(sizeof out - stream.avail_out));
        } while (stream.avail_out == 0);
    }
    deflateEnd(&stream);
    return compressed;
}

// A zlib stream that inflates to this many zero bytes (about a thousandth of it in size).
inline QByteArray DeflatedZeros(qint64 bytes)
{
    const QByteArray megabyte(1024 * 1024, '\0');
    qint64 left = bytes;
    return DeflatedStream([&] {
        const qint64 n = qMin<qint64>(left, megabyte.size());
        left -= n;
        return megabyte.left(n);
    });
}

namespace bombs_detail {

inline void AppendPngChunk(QByteArray &png, const char type[4], const QByteArray &data)
{
    char length[4];
    qToBigEndian(quint32(data.size()), length);
    png.append(length, 4);
    const QByteArray typed = QByteArray(type, 4) + data;
    png += typed;
    char crc[4];
    qToBigEndian(quint32(crc32(0, reinterpret_cast<const Bytef *>(typed.constData()),
                               uInt(typed.size()))),
                 crc);
    png.append(crc, 4);
}

} // namespace bombs_detail

// A real PNG of the given size in a few kilobytes: one-bit grey rows of zeros. Decoding it in
// full takes width * height / 8 bytes at least, width * height * 4 as a screen picture.
inline QByteArray HugePng(quint32 width, quint32 height)
{
    using bombs_detail::AppendPngChunk;
    QByteArray png("\x89PNG\r\n\x1A\n", 8);
    QByteArray header(13, '\0');
    qToBigEndian(width, header.data());
    qToBigEndian(height, header.data() + 4);
    header[8] = 1; // bit depth; colour type 0 (grey), deflate, no filter, no interlace
    AppendPngChunk(png, "IHDR", header);
    // Each row: filter byte 0, then width bits of zeros.
    const QByteArray row(1 + qsizetype((width + 7) / 8), '\0');
    quint32 rows = 0;
    AppendPngChunk(png, "IDAT",
                   DeflatedStream([&] { return rows++ < height ? row : QByteArray(); }));
    AppendPngChunk(png, "IEND", QByteArray());
    return png;
}
