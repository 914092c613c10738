#include "BannerPictureReader.h"

#include "shell/BannerPicture.h"

#include <QFileInfo>
#include <QImageReader>

namespace {

// One name for each format: the extensions "jpg" and "tif" name "jpeg" and "tiff".
QByteArray FormatOfExtension(const QString &shownName)
{
    const QByteArray suffix = QFileInfo(shownName).suffix().toLower().toLatin1();
    if (suffix == "jpg")
        return "jpeg";
    if (suffix == "tif")
        return "tiff";
    return suffix;
}

QByteArray NamedFormat(const QString &shownName)
{
    if (IsAnimatedBannerName(shownName))
        return "gif";
    const QByteArray format = FormatOfExtension(shownName);
    return QImageReader::supportedImageFormats().contains(format) ? format : QByteArray();
}

// The first picture the program's reader gives (the GIF player reads GIFs through the same
// reader).
bool CanShow(const QString &path, const QString &shownName)
{
    const QByteArray format = IsAnimatedBannerName(shownName)
        ? QByteArrayLiteral("gif")
        : QFileInfo(shownName).suffix().toLower().toLatin1();
    QImageReader reader(path, format);
    return !reader.read().isNull();
}

} // namespace

TBannerPictureReading ReadBannerPicture(const QString &path, const QByteArray &fileName)
{
    const QString shownName = FileNamePart(fileName);
    TBannerPictureReading reading;
    reading.shown = CanShow(path, shownName);
    reading.namedFormat = NamedFormat(shownName);
    reading.contentFormat = QImageReader::imageFormat(path);
    return reading;
}
