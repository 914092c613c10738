#include "release/ProgramVersion.h"

#include "release/ReleaseVersion.h"
#include "util/AppFiles.h"
#include "util/AppVersion.h"

#include <QFile>
#include <QFileInfo>

namespace {

// The longest version text a marker may hold.
constexpr qsizetype MaxMarkedVersion = 32;

// The first marked version in bytes, or nothing.
std::optional<QByteArray> MarkedVersion(QByteArrayView bytes)
{
    const QByteArrayView begin(ProgramVersionMarkerBegin);
    const QByteArrayView end(ProgramVersionMarkerEnd);
    for (qsizetype at = bytes.indexOf(begin); at >= 0; at = bytes.indexOf(begin, at + 1)) {
        const qsizetype from = at + begin.size();
        const qsizetype to = bytes.indexOf(end, from);
        if (to < 0)
            return std::nullopt;
        const QByteArray version = bytes.sliced(from, to - from).toByteArray();
        if (to - from <= MaxMarkedVersion && IsReleaseVersion(version))
            return version;
    }
    return std::nullopt;
}

} // namespace

std::optional<QByteArray> ProgramVersionOfFile(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    if (file.size() == 0)
        return std::nullopt;
    // Mapped rather than read: a program file may be large.
    if (const uchar *data = file.map(0, file.size()))
        return MarkedVersion(QByteArrayView(reinterpret_cast<const char *>(data), file.size()));
    return MarkedVersion(file.readAll());
}

QString ReleaseProgramProblem(const QString &folder, const QByteArray &version)
{
    QString program;
    for (const QString &name : {QStringLiteral("ProjectZelvo"), QStringLiteral("ProjectZelvo.exe")}) {
        const QString path = ResolveFileName(folder + QLatin1Char('/'), name);
        if (QFileInfo(path).isFile()) {
            program = path;
            break;
        }
    }
    if (program.isEmpty())
        return QStringLiteral("The folder holds no program ProjectZelvo (or ProjectZelvo.exe): a release "
                              "carries the program of the version it signs.");
    const QString name = QFileInfo(program).fileName();
    const std::optional<QByteArray> built = ProgramVersionOfFile(program);
    if (!built)
        return QStringLiteral("The program \"%1\" does not say which version it is: build it from this "
                              "source with -DZELVO_VERSION=%2.")
            .arg(name, QString::fromUtf8(version));
    if (CompareReleaseVersions(*built, version) != 0)
        return QStringLiteral("The program \"%1\" is version %2, not %3: build it with -DZELVO_VERSION=%3, "
                              "or sign it as %2.")
            .arg(name, QString::fromUtf8(*built), QString::fromUtf8(version));
    return QString();
}
