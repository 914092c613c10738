#pragma once

#include <QByteArray>
#include <QString>

// Names shared by the release tool, the update location and the updater.

// The product every release of this program names in its manifest.
inline const QByteArray ReleaseProduct = QByteArrayLiteral("ProjectZelvo");

// Files of an update location, beside the release's own files.
inline const QString ManifestFileName = QStringLiteral("release.manifest");
inline const QString SignatureFileName = QStringLiteral("release.manifest.sig");
inline const QString UpdateInfoFileName = QStringLiteral("mainappupdate.inf");

// The program and the updater in the application directory.
#ifdef Q_OS_WIN
inline const QString ProgramFileName = QStringLiteral("ProjectZelvo.exe");
inline const QString UpdaterFileName = QStringLiteral("Updater.exe");
#else
inline const QString ProgramFileName = QStringLiteral("ProjectZelvo");
inline const QString UpdaterFileName = QStringLiteral("Updater");
#endif

// The updater's own work folder inside the application directory (staging, backups, journal)
// and its lock file. No release may name them.
inline const QString UpdateWorkDirName = QStringLiteral(".zelvo-update");
inline const QString UpdateLockFileName = QStringLiteral(".zelvo-update.lock");
// The manifest of the release the updater installed last: its version is the floor for the
// next update, and its files that the next release no longer lists are removed. No release
// may name it either.
inline const QString InstalledManifestFileName = QStringLiteral(".zelvo-installed.manifest");
