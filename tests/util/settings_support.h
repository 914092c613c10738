#pragma once

#include "common/ReadOnlyDirectory.h"
#include "common/SettingsFile.h"

#include <QByteArray>
#include <QString>

QByteArray ReadWholeFile(const QString &path);
