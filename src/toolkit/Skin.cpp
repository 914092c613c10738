#include "toolkit/Skin.h"

#include <QApplication>
#include <QFile>
#include <QStringDecoder>
#include <QtEndian>

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

bool DecodeSkin(const QByteArray &stored, QString &sheet)
{
    // qUncompress wants its four-byte big-endian length and some compressed data; a length
    // no style sheet comes near means the file is something else (and would make it try to
    // allocate that much).
    constexpr quint32 kLargestSheet = 16 * 1024 * 1024;
    if (stored.size() <= 4)
        return false;
    const quint32 claimed = qFromBigEndian<quint32>(stored.constData());
    if (claimed == 0 || claimed > kLargestSheet)
        return false;
    const QByteArray text = qUncompress(stored);
    if (text.isEmpty())
        return false;
    QStringDecoder utf8(QStringDecoder::Utf8);
    QString decoded = utf8.decode(text);
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
    return DecodeSkin(file.readAll(), sheet);
}

void ApplySkin(const QString &sheet)
{
    InitSkinResource();
    if (qApp && qApp->styleSheet() != sheet)
        qApp->setStyleSheet(sheet);
}
