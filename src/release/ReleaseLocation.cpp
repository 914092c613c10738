#include "release/ReleaseLocation.h"

#include "release/ReleasePaths.h"
#include "release/ReleaseVersion.h"
#include "release/SignedManifest.h"
#include "release/UpdateInfo.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace {

TLocationOutcome Problem(TLocationResult result, const QString &error)
{
    return {result, error, {}};
}

bool IsInside(const QString &path, const QString &folder)
{
    return path == folder || path.startsWith(folder + QLatin1Char('/'));
}

bool WriteWhole(const QString &path, const QByteArray &bytes)
{
    QSaveFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.commit();
}

std::optional<QByteArray> ReadWhole(const QString &path, qint64 limit)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly) || file.size() > limit)
        return std::nullopt;
    return file.readAll();
}

// The manifest entries of every regular file under folder, sorted by path.
TLocationOutcome ListReleaseFiles(const QString &folder, const QByteArray &version,
                                  const QByteArray &product)
{
    TReleaseManifest manifest{product, version, {}};
    QStringList problems;
    QDirIterator it(folder, QDir::Files | QDir::Hidden | QDir::System, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QFileInfo info(it.next());
        const QString path = QDir(folder).relativeFilePath(info.filePath());
        if (const QString problem = ReleasePathProblem(path); !problem.isEmpty()) {
            problems << QStringLiteral("The file \"%1\" cannot be part of a release: its path %2.")
                            .arg(path, problem);
            continue;
        }
        const QByteArray sha256 = Sha256OfFile(info.filePath());
        if (sha256.isEmpty())
            return Problem(TLocationResult::FileError,
                           QStringLiteral("The file \"%1\" cannot be read.").arg(info.filePath()));
        manifest.files.append({path, info.size(), sha256,
                               info.permissions().testFlag(QFileDevice::ExeOwner)});
    }
    if (!problems.isEmpty())
        return Problem(TLocationResult::Refused, problems.join(QLatin1Char('\n')));
    std::sort(manifest.files.begin(), manifest.files.end(),
              [](const TReleaseFile &a, const TReleaseFile &b) { return a.path < b.path; });
    // The reader's checks (clashing names, no files) hold for the writer too.
    if (const TManifestReading reading = ParseManifest(WriteManifest(manifest)); !reading.error.isEmpty())
        return Problem(TLocationResult::Refused,
                       QStringLiteral("The folder cannot be a release: %1.").arg(reading.error));
    return {TLocationResult::Ok, QString(), manifest};
}

// Copies one release file into the location and checks that the copy is what was hashed.
QString CopyReleaseFile(const QString &folder, const QString &out, const TReleaseFile &file)
{
    const QString target = out + QLatin1Char('/') + file.path;
    if (!QDir().mkpath(QFileInfo(target).path()))
        return QStringLiteral("The folder of \"%1\" cannot be made.").arg(target);
    QFile::remove(target);
    if (!QFile::copy(folder + QLatin1Char('/') + file.path, target))
        return QStringLiteral("The file \"%1\" cannot be written.").arg(target);
    if (QFileInfo(target).size() != file.size || Sha256OfFile(target) != file.sha256)
        return QStringLiteral("The file \"%1\" changed while the release was made.").arg(file.path);
    return QString();
}

} // namespace

TLocationOutcome MakeReleaseLocation(const QString &folder, const QByteArray &version,
                                     const TReleaseKey &key, const QString &out,
                                     const QByteArray &product)
{
    if (!IsReleaseVersion(version))
        return Problem(TLocationResult::Refused,
                       QStringLiteral("The version \"%1\" is not a decimal number such as 2.1.")
                           .arg(QString::fromUtf8(version)));
    if (!key.isPrivate())
        return Problem(TLocationResult::Refused, QStringLiteral("A release is signed with a private key, not a public one."));
    const QFileInfo folderInfo(folder);
    if (!folderInfo.isDir())
        return Problem(TLocationResult::FileError,
                       QStringLiteral("The folder \"%1\" does not exist.").arg(folder));
    const QString source = folderInfo.canonicalFilePath();
    const QString target = QFileInfo(out).absoluteFilePath();
    if (IsInside(target, source) || IsInside(source, target))
        return Problem(TLocationResult::Refused,
                       QStringLiteral("The output folder may not lie inside the release folder, or hold it."));

    TLocationOutcome listed = ListReleaseFiles(source, version, product);
    if (listed.result != TLocationResult::Ok)
        return listed;
    if (!QDir().mkpath(target))
        return Problem(TLocationResult::FileError,
                       QStringLiteral("The folder \"%1\" cannot be made.").arg(target));
    for (const TReleaseFile &file : listed.manifest.files)
        if (const QString error = CopyReleaseFile(source, target, file); !error.isEmpty())
            return Problem(TLocationResult::FileError, error);

    const QByteArray manifest = WriteManifest(listed.manifest);
    if (!WriteWhole(target + QLatin1Char('/') + ManifestFileName, manifest)
        || !WriteWhole(target + QLatin1Char('/') + SignatureFileName,
                       EncodeSignatureFile(key.sign(manifest)))
        || !WriteWhole(target + QLatin1Char('/') + UpdateInfoFileName, MakeUpdateInfo(product, version)))
        return Problem(TLocationResult::FileError,
                       QStringLiteral("The release files cannot be written into \"%1\".").arg(target));
    return listed;
}

std::optional<QByteArray> LocationVersion(const QString &location)
{
    std::optional<QByteArray> newest;
    const auto consider = [&newest](const QByteArray &version) {
        if (IsReleaseVersion(version) && (!newest || CompareReleaseVersions(version, *newest) > 0))
            newest = version;
    };
    if (const std::optional<QByteArray> info = ReadWhole(location + QLatin1Char('/') + UpdateInfoFileName, 64 * 1024))
        consider(ReadIniValue(*info, "APPLICATION", "Version"));
    if (const std::optional<QByteArray> manifest = ReadWhole(location + QLatin1Char('/') + ManifestFileName, MaxManifestSize))
        consider(ParseManifest(*manifest).manifest.version);
    return newest;
}

TLocationOutcome VerifyReleaseLocation(const QString &location, const TReleaseKey &publicKey)
{
    const std::optional<QByteArray> manifest = ReadWhole(location + QLatin1Char('/') + ManifestFileName, MaxManifestSize);
    const std::optional<QByteArray> signature = ReadWhole(location + QLatin1Char('/') + SignatureFileName, 4096);
    if (!manifest || !signature)
        return Problem(TLocationResult::Refused,
                       QStringLiteral("The location \"%1\" has no readable %2 and %3.")
                           .arg(location, ManifestFileName, SignatureFileName));
    const TManifestCheck check = CheckSignedManifest(*manifest, *signature, publicKey);
    if (!check.error.isEmpty())
        return Problem(TLocationResult::Refused, check.error);

    QStringList problems;
    for (const TReleaseFile &file : check.manifest.files) {
        const QString path = location + QLatin1Char('/') + file.path;
        const QFileInfo info(path);
        if (!info.isFile())
            problems << QStringLiteral("The file \"%1\" is missing.").arg(file.path);
        else if (info.size() != file.size)
            problems << QStringLiteral("The file \"%1\" has %2 bytes; the manifest says %3.")
                            .arg(file.path).arg(info.size()).arg(file.size);
        else if (Sha256OfFile(path) != file.sha256)
            problems << QStringLiteral("The file \"%1\" does not match its SHA-256 in the manifest.").arg(file.path);
    }
    const std::optional<QByteArray> info = ReadWhole(location + QLatin1Char('/') + UpdateInfoFileName, 64 * 1024);
    const QByteArray announced = info ? ReadIniValue(*info, "APPLICATION", "Version") : QByteArray();
    if (announced != check.manifest.version)
        problems << QStringLiteral("%1 announces version \"%2\"; the manifest is version %3.")
                        .arg(UpdateInfoFileName, QString::fromUtf8(announced),
                             QString::fromUtf8(check.manifest.version));
    if (!problems.isEmpty())
        return Problem(TLocationResult::Refused, problems.join(QLatin1Char('\n')));
    return {TLocationResult::Ok, QString(), check.manifest};
}
