#include "shell/BannerPicture.h"

#include "util/AppFiles.h"
#include "util/CodePage.h"

#include <QFileInfo>
#include <QImageReader>
#include <QLabel>
#include <QMovie>
#include <QPixmap>
#include <algorithm>
#include <memory>

namespace {

bool IsFile(const QString &path)
{
    return QFileInfo(path).isFile();
}

// The image format named by the shown name's extension ("promo.JPG" -> "jpg"); the reader
// still looks at the content when the extension names no format it knows.
QByteArray FormatOf(const QString &shownName)
{
    return QFileInfo(shownName).suffix().toLower().toLatin1();
}

bool LoadAnimated(QLabel &label, const QString &path)
{
    auto movie = std::make_unique<QMovie>(path, QByteArrayLiteral("gif"));
    if (!movie->isValid() || !movie->jumpToFrame(0))
        return false;
    const QSize size = movie->currentImage().size();
    if (size.isEmpty())
        return false;
    QMovie *playing = movie.release();
    playing->setParent(&label);
    if (QMovie *previous = label.movie())
        previous->deleteLater();
    label.setMovie(playing);
    label.resize(size);
    playing->start();
    return true;
}

bool LoadStill(QLabel &label, const QString &path, const QString &shownName)
{
    QImageReader reader(path, FormatOf(shownName));
    const QImage picture = reader.read();
    if (picture.isNull())
        return false;
    label.setPixmap(QPixmap::fromImage(picture));
    label.resize(picture.size());
    return true;
}

} // namespace

QString FileNamePart(const QByteArray &name)
{
    const QString text = FromAnsi(name);
    qsizetype start = 0;
    for (const QChar separator : {QLatin1Char('/'), QLatin1Char('\\'), QLatin1Char(':')})
        start = std::max(start, text.lastIndexOf(separator) + 1);
    return text.mid(start);
}

bool IsAnimatedBannerName(const QString &shownName)
{
    return shownName.toLower().contains(QLatin1String(".gif"));
}

QString BannerSourceFile(const QString &appDir, int number, const QString &shownName)
{
    const QString stored = ResolveFileName(appDir, QStringLiteral("banner%1.dat").arg(number));
    if (!IsFile(stored))
        return QString();
    if (!shownName.isEmpty()) {
        const QString shown = ResolveFileName(appDir, shownName);
        if (IsFile(shown))
            return shown;
    }
    return stored;
}

bool LoadBannerPicture(QLabel &label, const QString &path, const QString &shownName)
{
    if (IsAnimatedBannerName(shownName))
        return LoadAnimated(label, path);
    return LoadStill(label, path, shownName);
}
