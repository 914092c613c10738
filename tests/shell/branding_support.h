#pragma once
// Settings files, pictures and directories for the branding tests.

#include "common/ReadOnlyDirectory.h"
#include "common/SettingsFile.h"

#include <QByteArray>
#include <QColor>
#include <QList>
#include <QSize>
#include <QString>
#include <utility>

using TTagList = QList<std::pair<QByteArray, QByteArray>>;

// "<%%Tag%%>value<%%/Tag%%>" lines, each ended by CR LF, in the order given.
QByteArray TaggedText(const TTagList &tags);


// A real GIF of the given size: one frame per colour, each shown 100 ms, looping.
QByteArray GifBytes(QSize size, const QList<QColor> &frames);
// A real JPEG of one colour.
QByteArray JpegBytes(QSize size, const QColor &colour);

// The names in a directory, sorted.
QStringList DirectoryNames(const QString &dir);
