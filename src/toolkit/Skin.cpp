#include "toolkit/Skin.h"

#include <QApplication>
#include <QFile>
#include <QStringDecoder>
#include <QtEndian>

#include <optional>
#include <zlib.h>

// The resource lives in a static library: naming it here keeps the linker from dropping it.
static void InitSkinResource()
{
    Q_INIT_RESOURCE(skin);
}

QString BuiltInSkin()
{
    InitSkinResource();
    QFile file(QStringLiteral(":/skin/zelvo.qss"));
    if (!file.open(QIODevice::ReadOnly))
        return QString();
    return QString::fromUtf8(file.readAll());
}

namespace {

// No style sheet comes near this; a skin file claiming more is something else.
constexpr quint32 kLargestSheet = 16 * 1024 * 1024;

// Inflates a zlib stream into at most limit bytes. A stream that would give more (a zlib
// bomb: a small file inflating to gigabytes), or is broken or cut short, gives nothing; the
// output never grows past the limit, whatever the data says of itself.
std::optional<QByteArray> InflateCapped(QByteArrayView compressed, qsizetype limit)
{
    z_stream stream{};
    if (inflateInit(&stream) != Z_OK)
        return std::nullopt;
    QByteArray output(limit + 1, Qt::Uninitialized); // one more: room to see it overflow
    stream.next_in = reinterpret_cast<Bytef *>(const_cast<char *>(compressed.data()));
    stream.avail_in = uInt(compressed.size());
    stream.next_out = reinterpret_cast<Bytef *>(output.data());
    stream.avail_out = uInt(output.size());
    const int status = inflate(&stream, Z_FINISH);
    const qsizetype produced = qsizetype(stream.total_out);
    inflateEnd(&stream);
    if (status != Z_STREAM_END || produced > limit)
        return std::nullopt;
    output.truncate(produced);
    return output;
}

} // namespace

bool DecodeSkin(const QByteArray &stored, QString &sheet)
{
    // qCompress's format: a four-byte big-endian length, then a zlib stream of that length.
    // The length only bounds the output; the stream is not trusted to keep to it.
    if (stored.size() <= 4)
        return false;
    const quint32 claimed = qFromBigEndian<quint32>(stored.constData());
    if (claimed == 0 || claimed > kLargestSheet)
        return false;
    const std::optional<QByteArray> text = InflateCapped(QByteArrayView(stored).sliced(4), claimed);
    if (!text || text->isEmpty())
        return false;
    QStringDecoder utf8(QStringDecoder::Utf8);
    QString decoded = utf8.decode(*text);
    if (utf8.hasError())
        return false;
    sheet = std::move(decoded);
    return true;
}

QByteArray EncodeSkin(const QString &sheet)
{
    return qCompress(sheet.toUtf8(), 9);
}

bool ReadSkinFile(const QString &path, QString &sheet)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    // Compressing never makes a sheet much longer: a larger file is not one, and is not read.
    constexpr qint64 kLargestFile = 2 * qint64(kLargestSheet);
    if (file.size() > kLargestFile)
        return false;
    return DecodeSkin(file.read(kLargestFile), sheet);
}

void ApplySkin(const QString &sheet)
{
    InitSkinResource();
    if (qApp && qApp->styleSheet() != sheet)
        qApp->setStyleSheet(sheet);
}
