#pragma once

#include "release/ReleaseFormat.h"
#include "release/ReleaseManifest.h"
#include "release/ReleaseSigning.h"

#include <QString>

#include <optional>

// Update locations on disk: a folder holding a release's files, its manifest, the manifest's
// signature and mainappupdate.inf, ready to be copied to the publisher's web server.

enum class TLocationResult {
    Ok,
    Refused,   // the input is not a valid release (a refused path, a bad version, a tampered file)
    FileError, // a file could not be read or written
};

struct TLocationOutcome {
    TLocationResult result = TLocationResult::Ok;
    QString error; // one sentence per problem, on lines of their own
    TReleaseManifest manifest;
};

// Writes the update location out for the files under folder (every regular file, in all its
// sub-folders): copies of the files, the manifest of version signed with key, its
// signature and mainappupdate.inf, the last so that a client never meets an announcement
// before the files. out may exist (files are replaced) but may not overlap folder.
TLocationOutcome MakeReleaseLocation(const QString &folder, const QByteArray &version,
                                     const TReleaseKey &key, const QString &out,
                                     const QByteArray &product = ReleaseProduct);

// The newest version an update location on disk announces or holds (its mainappupdate.inf and
// its release.manifest, unverified); nothing when it holds neither.
std::optional<QByteArray> LocationVersion(const QString &location);

// Checks an update location as the updater would: the signature under publicKey, the
// manifest, every file's size and SHA-256, and that mainappupdate.inf announces the
// manifest's version.
TLocationOutcome VerifyReleaseLocation(const QString &location, const TReleaseKey &publicKey);
