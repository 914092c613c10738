#pragma once

#include <QByteArray>
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

// Reads the picture of path into label in the format its shown name tells: an animated GIF
// that plays at once, or a still picture; the label takes the picture's size. False (label
// left as it was) when the file cannot be read as a picture.
bool LoadBannerPicture(QLabel &label, const QString &path, const QString &shownName);
