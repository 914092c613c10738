#pragma once

#include "release/ReleaseFormat.h"
#include "release/ReleaseManifest.h"
#include "release/ReleaseSigning.h"

#include <QString>

struct TManifestCheck {
    TReleaseManifest manifest;
    QString error; // empty when the manifest may be trusted
};

// Trusts a downloaded manifest only when signatureFile holds a valid signature of its exact
// bytes under the trusted key; then reads it (ParseManifest) and checks that it is a release
// of product. The error is a sentence a user can read.
TManifestCheck CheckSignedManifest(const QByteArray &manifest, const QByteArray &signatureFile,
                                   const TReleaseKey &trusted,
                                   const QByteArray &product = ReleaseProduct);
