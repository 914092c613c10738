#pragma once
// Application directories and update locations for the updater's tests: an installed
// version 2.0 with the user's data files beside it, and a release 2.1 published on disk.

#include "release/ReleaseLocation.h"
#include "release/ReleaseSigning.h"

#include <QByteArray>
#include <QMap>
#include <QString>

// Every file and folder under dir (folders end in "/"), with the files' bytes.
using TDirSnapshot = QMap<QString, QByteArray>;
TDirSnapshot SnapshotDir(const QString &dir);

// The user's data files of the test application directory and their bytes.
TDirSnapshot UsersFiles();
// The program files of version 2.0 and of the release 2.1 (relative path -> bytes). Each
// "program" is a small script that writes its version and its arguments into started.txt
// when it starts. Version 2.0 has a file that 2.1 drops.
TDirSnapshot OldProgramFiles();
TDirSnapshot NewProgramFiles();
// Such a script for version, with the version marker of a built program.
QByteArray ProgramScript(const QByteArray &version);
// The manifest of files as version.
TReleaseManifest ManifestOf(const TDirSnapshot &files, const QByteArray &version);

bool WriteFile(const QString &path, const QByteArray &bytes, bool executable = false);
QByteArray ReadFile(const QString &path);
bool WriteFiles(const QString &dir, const TDirSnapshot &files);

// A directory with version 2.0 installed and the user's files; appDir ends in "/". Installed
// by the updater, it holds the installed manifest of 2.0; else (unpacked by hand) none.
bool MakeInstalledAppDir(const QString &appDir, bool installedByUpdater = true);

// The files of dir named in expected, compared with them; empty when all match, else the
// first difference.
QString CompareFiles(const QString &dir, const TDirSnapshot &expected);

// Empty when every program file is its old or its new version, whole, the program is there
// and the user's files are untouched; otherwise the file that is not.
QString WholeFilesProblem(const QString &appDir);
// "old" or "new" when appDir holds that whole version and nothing of the other, with the
// user's files untouched; else empty.
QString WholeVersion(const QString &appDir);
// The same for the program files alone.
QString WholeVersionOfFiles(const QString &appDir);

// Publishes release 2.1 (NewProgramFiles) signed with key into location.
TLocationOutcome PublishNewRelease(const QString &location, const TReleaseKey &key,
                                   const QByteArray &version = "2.1",
                                   const QByteArray &product = ReleaseProduct);
// Writes manifest into location and signs it with key, as a publisher's tool that checks
// nothing would.
bool WriteSignedManifest(const QString &location, const TReleaseManifest &manifest, const TReleaseKey &key);

// Flips one bit of the byte in the middle of a file.
bool FlipByte(const QString &path);

// A router for php -S: serves the folder, but a file with a marker "NAME.stall" beside it
// sends half of its bytes and then nothing for the marker's number of seconds, one with a
// marker "NAME.drip" sends half and then one byte per the marker's number of milliseconds,
// and one with "NAME.status" is answered with that file's status line and no body.
QByteArray StallingRouterScript();
