#pragma once

#include "util/BrandingCheck.h"

#include <QByteArray>
#include <QString>

// Reads the picture stored at path the way the program shows a banner whose entry names
// fileName: an animated GIF when the name holds ".gif", else a still picture in the format its
// extension names (the contents decide when it names none). Also tells which format the
// contents really are.
TBannerPictureReading ReadBannerPicture(const QString &path, const QByteArray &fileName);
