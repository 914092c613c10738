#include "release/ReleaseManifest.h"

#include "release/ReleasePaths.h"
#include "release/ReleaseVersion.h"

#include <QCryptographicHash>
#include <QFile>
#include <QSet>

namespace {

const QByteArray FormatLine = QByteArrayLiteral("zelvo-release 1");

bool IsLowerHex(const QByteArray &text)
{
    for (const char c : text)
        if (!((c >= '0' && c <= '9') || (c >= 'a' && c <= 'f')))
            return false;
    return true;
}

// "key value" with value not empty; false when the line has another key.
bool ReadKeyed(const QByteArray &line, const char *key, QByteArray &value)
{
    const QByteArray prefix = QByteArray(key) + ' ';
    if (!line.startsWith(prefix) || line.size() == prefix.size())
        return false;
    value = line.mid(prefix.size());
    return true;
}

QString ReadFileLine(const QByteArray &line, TReleaseFile &file)
{
    QByteArray rest;
    if (!ReadKeyed(line, "file", rest))
        return QStringLiteral("a line is not a file line");
    const QList<QByteArray> fields = rest.split(' ');
    if (fields.size() < 4)
        return QStringLiteral("a file line has too few fields");
    bool ok = false;
    file.size = fields[0].toLongLong(&ok);
    if (!ok || file.size < 0 || fields[0].startsWith('+') || fields[0].startsWith('-'))
        return QStringLiteral("a file size is not a number");
    if (fields[1].size() != 64 || !IsLowerHex(fields[1]))
        return QStringLiteral("a SHA-256 is not 64 lowercase hex digits");
    file.sha256 = QByteArray::fromHex(fields[1]);
    if (fields[2] != "x" && fields[2] != "-")
        return QStringLiteral("a file mode is neither \"x\" nor \"-\"");
    file.executable = fields[2] == "x";
    const qsizetype pathStart = fields[0].size() + fields[1].size() + fields[2].size() + 3;
    const QByteArray path = rest.mid(pathStart);
    file.path = QString::fromUtf8(path);
    if (file.path.toUtf8() != path)
        return QStringLiteral("a path is not UTF-8 text");
    if (const QString problem = ReleasePathProblem(file.path); !problem.isEmpty())
        return QStringLiteral("the path \"%1\" %2").arg(file.path, problem);
    return QString();
}

// Two paths clash when they name the same file on a system that ignores letter case, or
// when one would have to be a folder of the other.
QString ClashProblem(const QList<TReleaseFile> &files)
{
    QSet<QString> paths;
    for (const TReleaseFile &file : files)
        paths.insert(file.path.toCaseFolded());
    if (paths.size() != files.size())
        return QStringLiteral("a path is named twice");
    for (const TReleaseFile &file : files) {
        const QString folded = file.path.toCaseFolded();
        for (qsizetype slash = folded.indexOf(QLatin1Char('/')); slash >= 0;
             slash = folded.indexOf(QLatin1Char('/'), slash + 1))
            if (paths.contains(folded.left(slash)))
                return QStringLiteral("the path \"%1\" lies inside another file").arg(file.path);
    }
    return QString();
}

TManifestReading Failed(const QString &error)
{
    return {TReleaseManifest(), error};
}

} // namespace

QByteArray WriteManifest(const TReleaseManifest &manifest)
{
    QByteArray text = FormatLine + '\n';
    text += "product " + manifest.product + '\n';
    text += "version " + manifest.version + '\n';
    for (const TReleaseFile &file : manifest.files)
        text += "file " + QByteArray::number(file.size) + ' ' + file.sha256.toHex() + ' '
              + (file.executable ? "x " : "- ") + file.path.toUtf8() + '\n';
    return text;
}

TManifestReading ParseManifest(const QByteArray &text)
{
    if (text.size() > MaxManifestSize)
        return Failed(QStringLiteral("the manifest is too large"));
    if (!text.endsWith('\n') || text.contains('\r') || text.contains('\0'))
        return Failed(QStringLiteral("the manifest is not text with LF line ends"));
    QList<QByteArray> lines = text.split('\n');
    lines.removeLast(); // after the final LF
    if (lines.value(0) != FormatLine)
        return Failed(QStringLiteral("the manifest is not in a format this program reads"));
    TReleaseManifest manifest;
    if (lines.size() < 3 || !ReadKeyed(lines[1], "product", manifest.product)
        || !ReadKeyed(lines[2], "version", manifest.version))
        return Failed(QStringLiteral("the manifest does not name its product and version"));
    if (!IsReleaseVersion(manifest.version))
        return Failed(QStringLiteral("the manifest's version is not a decimal number"));
    for (qsizetype i = 3; i < lines.size(); ++i) {
        TReleaseFile file;
        if (const QString problem = ReadFileLine(lines[i], file); !problem.isEmpty())
            return Failed(problem);
        manifest.files.append(file);
    }
    if (manifest.files.isEmpty())
        return Failed(QStringLiteral("the manifest lists no files"));
    if (const QString problem = ClashProblem(manifest.files); !problem.isEmpty())
        return Failed(problem);
    return {manifest, QString()};
}

QByteArray Sha256OfFile(const QString &path)
{
    QFile file(path);
    QCryptographicHash hash(QCryptographicHash::Sha256);
    if (!file.open(QIODevice::ReadOnly) || !hash.addData(&file))
        return QByteArray();
    return hash.result();
}
