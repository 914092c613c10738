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

QSize FittedBannerSize(QSize natural, QSize bounds)
{
    if (natural.width() <= bounds.width() && natural.height() <= bounds.height())
        return natural;
    // Never below one pixel: a sliver of a banner is still a banner.
    const QSize fitted = natural.scaled(bounds, Qt::KeepAspectRatio);
    return fitted.expandedTo(QSize(1, 1));
}

bool TBannerPicture::load(QLabel &label, const QString &path, const QString &shownName)
{
    if (IsAnimatedBannerName(shownName) ? !loadAnimated(label, path)
                                        : !loadStill(path, shownName))
        return false;
    m_label = &label;
    fit(kMaxBannerWidth);
    return true;
}

bool TBannerPicture::loadAnimated(QLabel &label, const QString &path)
{
    auto movie = std::make_unique<QMovie>(path, QByteArrayLiteral("gif"));
    if (!movie->isValid() || !movie->jumpToFrame(0))
        return false;
    const QSize natural = movie->currentImage().size();
    if (natural.isEmpty())
        return false;
    QMovie *playing = movie.release();
    playing->setParent(&label);
    if (QMovie *previous = label.movie())
        previous->deleteLater();
    label.setMovie(playing);
    playing->start();
    m_still = QImage();
    m_read = natural;
    return true;
}

// Read at most kMaxBannerWidth by kMaxBannerHeight: formats that can scale while decoding do
// so, the others are scaled once read.
bool TBannerPicture::loadStill(const QString &path, const QString &shownName)
{
    const QSize bounds(kMaxBannerWidth, kMaxBannerHeight);
    QImageReader reader(path, FormatOf(shownName));
    const QSize natural = reader.size();
    if (natural.isValid() && FittedBannerSize(natural, bounds) != natural)
        reader.setScaledSize(FittedBannerSize(natural, bounds));
    QImage picture = reader.read();
    if (picture.isNull())
        return false;
    const QSize size = FittedBannerSize(picture.size(), bounds);
    if (size != picture.size())
        picture = picture.scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    m_still = std::move(picture);
    m_read = m_still.size();
    return true;
}

void TBannerPicture::fit(int width)
{
    if (!m_label)
        return;
    const QSize size = FittedBannerSize(m_read, QSize(qMax(1, width), kMaxBannerHeight));
    if (size == m_label->size() && (m_label->movie() || m_label->pixmap().size() == size))
        return;
    if (QMovie *movie = m_label->movie()) {
        // The frame on show was read at the old size: the movie starts again at the new one.
        movie->stop();
        movie->setScaledSize(size);
        movie->start();
    } else {
        m_label->setPixmap(QPixmap::fromImage(
            size == m_still.size()
                ? m_still
                : m_still.scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation)));
    }
    m_label->resize(size);
}

QSize TBannerPicture::shownSize() const
{
    return m_label ? m_label->size() : QSize();
}
