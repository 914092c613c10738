#pragma once

#include <QByteArray>
#include <QString>

// The skin: a Qt style sheet applied to the whole program, so that the main window, its
// dialogs and its message boxes share one look. The built-in skin is compiled into the
// program; a skin file ("mainskin.dat") holds a replacement style sheet as qCompress'ed
// UTF-8 text.

QString BuiltInSkin();

// The style sheet of a skin file's bytes; false (and sheet untouched) when they are not a
// compressed UTF-8 text of at most the length they claim (and at most 16 MiB).
bool DecodeSkin(const QByteArray &stored, QString &sheet);
// The bytes of a skin file holding sheet.
QByteArray EncodeSkin(const QString &sheet);

// Reads and decodes a skin file; false when it cannot be read or decoded.
bool ReadSkinFile(const QString &path, QString &sheet);

// Makes sheet the style sheet of the whole program.
void ApplySkin(const QString &sheet);
