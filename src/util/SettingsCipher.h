#pragma once

#include <QByteArray>
#include <QString>

// The settings file's cipher: the AES file cipher with the program's fixed password and chunk
// size. The in-memory forms are what the program uses, so deciphered settings never touch
// the disk; the file forms convert between a stored file and a plain file (the brander's tool).

// A fresh enciphered stream of plainText (a new random salt each call).
QByteArray EncryptSettingsData(const QByteArray &plainText);
// False when the stream is too short or its password verifier or authentication code fails;
// plainText is then left empty.
bool DecryptSettingsData(const QByteArray &stored, QByteArray &plainText);

// Whole-file forms; false on a cipher failure or a file that cannot be read or written
// (the destination is written through a save file, so a failure leaves no part of it).
bool DecryptSettingsFile(const QString &source, const QString &dest);
bool EncryptSettingsFile(const QString &source, const QString &dest);
