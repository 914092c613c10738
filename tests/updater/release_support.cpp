#include "release_support.h"

#include "release/ReleaseFormat.h"

#include <QCryptographicHash>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

TDirSnapshot SnapshotDir(const QString &dir)
{
    TDirSnapshot snapshot;
    QDirIterator it(dir, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QFileInfo info(it.next());
        const QString path = QDir(dir).relativeFilePath(info.filePath());
        snapshot.insert(info.isDir() ? path + QLatin1Char('/') : path,
                        info.isDir() ? QByteArray() : ReadFile(info.filePath()));
    }
    return snapshot;
}

TDirSnapshot UsersFiles()
{
    const QByteArray crlf = QByteArrayLiteral("\r\n");
    return {
        {QStringLiteral("categories.dat"), "Info Products" + crlf + "Niche Blogs" + crlf},
        {QStringLiteral("Projects.dat"), "Header^Dog Training^Info Products^10/1/2026^12/31/2026^" + crlf
                                             + "^False^,^Write \xa5\xa5\xa7\xa7" "copy^,^^,^^,^^" + crlf
                                             + "EndProject" + crlf},
        {QStringLiteral("Hours.dat"), "10/1/2026^9:00 AM^Call the designer^" + crlf},
        {QStringLiteral("dbsettings.dat"), QByteArray("\x00\x01\xfe\xff settings", 13)},
        {QStringLiteral("mainappupdate.inf"), "[APPLICATION]" + crlf + "Name=ProjectZelvo" + crlf
                                                  + "Version=2.1" + crlf},
        {QStringLiteral("banner1.dat"), QByteArray("GIF89a banner one")},
        {QStringLiteral("Banner12.DAT"), QByteArray("GIF89a banner twelve")},
        {QStringLiteral("mainskin.dat"), QByteArray("skin bytes \x80\x81", 13)},
        {QStringLiteral("main.ico"), QByteArray("\x00\x00\x01\x00icon", 8)},
    };
}

QByteArray ProgramScript(const QByteArray &version)
{
    // The marker says which version the "program" is, as the build writes it into the real one.
    return "#!/bin/sh\n# <zelvo-program-version>" + version + "</zelvo-program-version>\necho " + version
         + " \"$@\" > started.txt\n";
}

TReleaseManifest ManifestOf(const TDirSnapshot &files, const QByteArray &version)
{
    TReleaseManifest manifest{ReleaseProduct, version, {}};
    for (auto it = files.cbegin(); it != files.cend(); ++it)
        manifest.files.append({it.key(), it.value().size(),
                               QCryptographicHash::hash(it.value(), QCryptographicHash::Sha256),
                               it.key() == QLatin1String("ProjectZelvo")});
    return manifest;
}

TDirSnapshot OldProgramFiles()
{
    return {
        {QStringLiteral("ProjectZelvo"), ProgramScript("2.0")},
        {QStringLiteral("libzelvo.txt"), "library of version 2.0\n"},
        // Dropped by release 2.1: the install removes it.
        {QStringLiteral("obsolete.txt"), "only in version 2.0\n"},
    };
}

TDirSnapshot NewProgramFiles()
{
    return {
        {QStringLiteral("ProjectZelvo"), ProgramScript("2.1")},
        {QStringLiteral("libzelvo.txt"), "library of version 2.1, a little longer\n"},
        {QStringLiteral("plugins/extra.txt"), QByteArray(20000, 'p') + "\nnew in 2.1\n"},
        // Blanks and letters beyond ASCII travel in URLs and file names.
        {QStringLiteral("docs/read me – Überblick.txt"), "new in 2.1 too\n"},
    };
}

bool WriteFile(const QString &path, const QByteArray &bytes, bool executable)
{
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(bytes) != bytes.size())
        return false;
    file.close();
    if (executable)
        file.setPermissions(file.permissions() | QFileDevice::ExeOwner | QFileDevice::ExeGroup
                            | QFileDevice::ExeOther);
    return true;
}

QByteArray ReadFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool WriteFiles(const QString &dir, const TDirSnapshot &files)
{
    for (auto it = files.cbegin(); it != files.cend(); ++it)
        if (!WriteFile(dir + QLatin1Char('/') + it.key(), it.value(),
                       it.key() == QLatin1String("ProjectZelvo")))
            return false;
    return true;
}

bool MakeInstalledAppDir(const QString &appDir, bool installedByUpdater)
{
    return WriteFiles(appDir, OldProgramFiles()) && WriteFiles(appDir, UsersFiles())
        && (!installedByUpdater
            || WriteFile(appDir + InstalledManifestFileName, WriteManifest(ManifestOf(OldProgramFiles(), "2.0"))));
}

QString CompareFiles(const QString &dir, const TDirSnapshot &expected)
{
    for (auto it = expected.cbegin(); it != expected.cend(); ++it) {
        const QString path = dir + QLatin1Char('/') + it.key();
        if (!QFileInfo(path).isFile())
            return it.key() + QStringLiteral(" is missing");
        if (ReadFile(path) != it.value())
            return it.key() + QStringLiteral(" differs");
    }
    return QString();
}

TLocationOutcome PublishNewRelease(const QString &location, const TReleaseKey &key,
                                   const QByteArray &version, const QByteArray &product)
{
    QTemporaryDir source;
    if (!WriteFiles(source.path(), NewProgramFiles()))
        return {TLocationResult::FileError, QStringLiteral("cannot write the release files"), {}};
    return MakeReleaseLocation(source.path(), version, key, location, product);
}

bool WriteSignedManifest(const QString &location, const TReleaseManifest &manifest, const TReleaseKey &key)
{
    const QByteArray text = WriteManifest(manifest);
    return WriteFile(location + QStringLiteral("/release.manifest"), text)
        && WriteFile(location + QStringLiteral("/release.manifest.sig"), EncodeSignatureFile(key.sign(text)));
}

bool FlipByte(const QString &path)
{
    QByteArray bytes = ReadFile(path);
    if (bytes.isEmpty())
        return false;
    bytes[bytes.size() / 2] = static_cast<char>(bytes[bytes.size() / 2] ^ 0x01);
    return WriteFile(path, bytes);
}

QByteArray StallingRouterScript()
{
    return QByteArrayLiteral(R"php(<?php
$path = urldecode(parse_url($_SERVER['REQUEST_URI'], PHP_URL_PATH));
$file = $_SERVER['DOCUMENT_ROOT'] . $path;
if (is_file($file . '.status')) {
    header(file_get_contents($file . '.status'));
    exit;
}
if (is_file($file . '.stall')) {
    $data = file_get_contents($file);
    header('Content-Type: application/octet-stream');
    header('Content-Length: ' . strlen($data));
    echo substr($data, 0, intdiv(strlen($data), 2));
    flush();
    sleep((int)file_get_contents($file . '.stall'));
    exit;
}
if (is_file($file . '.drip')) {
    // Half at once, then one byte per interval (in milliseconds): never quiet for long.
    $data = file_get_contents($file);
    $interval = (int)file_get_contents($file . '.drip');
    while (ob_get_level() > 0)
        ob_end_flush(); // php.ini's output buffer would hold the drops back
    header('Content-Type: application/octet-stream');
    header('Content-Length: ' . strlen($data));
    $half = intdiv(strlen($data), 2);
    echo substr($data, 0, $half);
    flush();
    for ($i = $half; $i < strlen($data) && !connection_aborted(); ++$i) {
        usleep($interval * 1000);
        echo $data[$i];
        flush();
    }
    exit;
}
return false;
)php");
}

// Empty when every program file is its old or its new version, whole, and the program is
// there; otherwise the file that is not.
QString WholeFilesProblem(const QString &appDir)
{
    const TDirSnapshot old = OldProgramFiles();
    const TDirSnapshot fresh = NewProgramFiles();
    QStringList paths = old.keys() + fresh.keys();
    paths.removeDuplicates();
    for (const QString &path : paths) {
        const QString file = appDir + path;
        const bool mayBeAbsent = !old.contains(path) || !fresh.contains(path);
        if (!QFileInfo::exists(file) ? !mayBeAbsent
                                      : ReadFile(file) != old.value(path) && ReadFile(file) != fresh.value(path))
            return path;
    }
    return CompareFiles(appDir, UsersFiles());
}

// "old" or "new" when appDir holds that whole version and nothing of the other; else "".
QString WholeVersion(const QString &appDir)
{
    if (!CompareFiles(appDir, UsersFiles()).isEmpty())
        return QString();
    // The installed manifest, where there is one, names the version on disk.
    QByteArray recorded;
    if (QFileInfo::exists(appDir + InstalledManifestFileName))
        recorded = ParseManifest(ReadFile(appDir + InstalledManifestFileName)).manifest.version;
    const QString version = WholeVersionOfFiles(appDir);
    if (!recorded.isEmpty() && recorded != (version == QLatin1String("new") ? "2.1" : "2.0"))
        return QString();
    return version;
}

QString WholeVersionOfFiles(const QString &appDir)
{
    if (CompareFiles(appDir, OldProgramFiles()).isEmpty()) {
        // Nothing of the new version: no new file, nor the folder made for it.
        const TDirSnapshot fresh = NewProgramFiles();
        for (auto it = fresh.cbegin(); it != fresh.cend(); ++it)
            if (!OldProgramFiles().contains(it.key())
                && QFileInfo::exists(appDir + it.key().section(QLatin1Char('/'), 0, 0)))
                return QString();
        return QStringLiteral("old");
    }
    if (CompareFiles(appDir, NewProgramFiles()).isEmpty()) {
        // Nothing of the old version that the new one dropped.
        const TDirSnapshot old = OldProgramFiles();
        for (auto it = old.cbegin(); it != old.cend(); ++it)
            if (!NewProgramFiles().contains(it.key()) && QFileInfo::exists(appDir + it.key()))
                return QString();
        return QStringLiteral("new");
    }
    return QString();
}
