#pragma once

#include <QByteArray>

// The program's version: shown in the caption and the about box, compared by the live update
// and passed to the updater.
inline const QByteArray AppVersion = QByteArrayLiteral("2.0");
