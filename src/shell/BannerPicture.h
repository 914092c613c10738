#pragma once

#include <QByteArray>
#include <QImage>
#include <QSize>
#include <QString>

class QLabel;

// Where a banner's picture comes from and how it is read. The picture of banner entry N is
// stored as "bannerN.dat" in the application directory whatever its format; the entry's file
// name (the shown name) tells the format. Nothing is ever renamed.

// The name part of a file name from the settings file: any folder before it (written with
// "/" or "\", or a drive such as "C:") is dropped.
QString FileNamePart(const QByteArray &name);

// A shown name whose lower-cased form holds ".gif" anywhere is an animated GIF.
bool IsAnimatedBannerName(const QString &shownName);

// The file to read for banner number (1-based) shown under shownName: empty when
// "bannerN.dat" is missing; else a file of the shown name already in appDir when there is
// one (it is the one shown), otherwise "bannerN.dat". Names are matched without regard to
// letter case.
QString BannerSourceFile(const QString &appDir, int number, const QString &shownName);

// A banner is never shown taller than this, so the window still fits a small screen, nor
// wider than its strip; it is never read wider than kMaxBannerWidth.
inline constexpr int kMaxBannerHeight = 200;
inline constexpr int kMaxBannerWidth = 4096;

// The size a picture takes in a strip with room for bounds: its own size when it fits, else
// scaled down to fit, aspect ratio kept.
QSize FittedBannerSize(QSize natural, QSize bounds);

// The picture of one banner label: read once, and shown scaled down to fit its strip.
class TBannerPicture {
public:
    // Reads the picture of path into label in the format its shown name tells: an animated
    // GIF that plays at once, or a still picture. False (label left as it was) when the file
    // cannot be read as a picture.
    bool load(QLabel &label, const QString &path, const QString &shownName);
    // Shows the picture at its own size or, when that does not fit width by
    // kMaxBannerHeight, scaled down to fit (FittedBannerSize); the label takes that size.
    void fit(int width);
    // The label's size; empty before a load.
    QSize shownSize() const;

private:
    bool loadAnimated(QLabel &label, const QString &path);
    bool loadStill(const QString &path, const QString &shownName);

    QLabel *m_label = nullptr;
    QImage m_still; // the still picture as read; null for an animated one
    QSize m_read;   // the picture's size as read
};
