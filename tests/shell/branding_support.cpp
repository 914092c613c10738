#include "branding_support.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QImage>

namespace {

void AppendLittleEndian16(QByteArray &out, int value)
{
    out.append(char(value & 0xFF));
    out.append(char((value >> 8) & 0xFF));
}

// LZW data of size pixels all of colour index `index`, with 2-bit minimum code size. A clear
// code after every second pixel keeps every code 3 bits wide.
QByteArray SolidLzw(int pixels, int index)
{
    constexpr int clear = 4, end = 5, width = 3;
    QList<int> codes{clear};
    for (int i = 0; i < pixels; ++i) {
        if (i > 0 && i % 2 == 0)
            codes << clear;
        codes << index;
    }
    codes << end;
    QByteArray packed;
    quint32 bits = 0;
    int count = 0;
    for (int code : codes) {
        bits |= quint32(code) << count;
        count += width;
        while (count >= 8) {
            packed.append(char(bits & 0xFF));
            bits >>= 8;
            count -= 8;
        }
    }
    if (count > 0)
        packed.append(char(bits & 0xFF));
    return packed;
}

} // namespace

QByteArray TaggedText(const TTagList &tags)
{
    QByteArray text;
    for (const auto &[tag, value] : tags)
        text += "<%%" + tag + "%%>" + value + "<%%/" + tag + "%%>\r\n";
    return text;
}

QByteArray GifBytes(QSize size, const QList<QColor> &frames)
{
    QByteArray gif("GIF89a");
    AppendLittleEndian16(gif, size.width());
    AppendLittleEndian16(gif, size.height());
    gif.append(char(0x80 | 0x00)); // a global colour table of two entries
    gif.append('\0');              // background colour index
    gif.append('\0');              // pixel aspect ratio
    const QColor first = frames.value(0), second = frames.value(1, first);
    for (const QColor &c : {first, second})
        gif.append(char(c.red())).append(char(c.green())).append(char(c.blue()));
    gif.append("\x21\xFF\x0BNETSCAPE2.0\x03\x01\x00\x00\x00", 19); // loop for ever
    for (int f = 0; f < frames.size(); ++f) {
        gif.append("\x21\xF9\x04\x00", 4); // graphic control: 10 hundredths of a second
        AppendLittleEndian16(gif, 10);
        gif.append("\x00\x00", 2);
        gif.append('\x2C');
        AppendLittleEndian16(gif, 0);
        AppendLittleEndian16(gif, 0);
        AppendLittleEndian16(gif, size.width());
        AppendLittleEndian16(gif, size.height());
        gif.append('\0');
        gif.append('\x02'); // minimum code size
        const QByteArray lzw = SolidLzw(size.width() * size.height(), f % 2);
        for (qsizetype at = 0; at < lzw.size(); at += 255) {
            const QByteArray block = lzw.mid(at, 255);
            gif.append(char(block.size())).append(block);
        }
        gif.append('\0');
    }
    gif.append('\x3B');
    return gif;
}

QByteArray JpegBytes(QSize size, const QColor &colour)
{
    QImage picture(size, QImage::Format_RGB32);
    picture.fill(colour);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    picture.save(&buffer, "JPG");
    return bytes;
}

QStringList DirectoryNames(const QString &dir)
{
    return QDir(dir).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot,
                               QDir::Name);
}
