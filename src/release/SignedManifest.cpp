#include "release/SignedManifest.h"

TManifestCheck CheckSignedManifest(const QByteArray &manifest, const QByteArray &signatureFile,
                                   const TReleaseKey &trusted, const QByteArray &product)
{
    const std::optional<QByteArray> signature = DecodeSignatureFile(signatureFile);
    if (!signature)
        return {{}, QStringLiteral("The release's signature file is damaged.")};
    if (!trusted.verify(manifest, *signature))
        return {{}, QStringLiteral("The release is not signed by the publisher: its manifest "
                                   "or signature was changed, or another key signed it.")};
    const TManifestReading reading = ParseManifest(manifest);
    if (!reading.error.isEmpty())
        return {{}, QStringLiteral("The release's manifest is refused: %1.").arg(reading.error)};
    if (reading.manifest.product != product)
        return {{}, QStringLiteral("The release is for another product (%1), not for %2.")
                        .arg(QString::fromUtf8(reading.manifest.product), QString::fromUtf8(product))};
    return {reading.manifest, QString()};
}
