#include "release/ReleasePaths.h"

#include "release/ReleaseFormat.h"

#include <QRegularExpression>
#include <QStringList>

namespace {

bool IsBannerName(const QString &name)
{
    static const QRegularExpression banner(QStringLiteral("^banner[0-9]+\\.dat$"),
                                           QRegularExpression::CaseInsensitiveOption);
    return banner.match(name).hasMatch();
}

// Names Windows reserves for devices, with or without an extension.
bool IsDeviceName(const QString &segment)
{
    static const QRegularExpression device(
        QStringLiteral("^(con|prn|aux|nul|com[0-9]|lpt[0-9])(\\..*)?$"),
        QRegularExpression::CaseInsensitiveOption);
    return device.match(segment).hasMatch();
}

// Characters that are separators, drive marks or otherwise invalid in a Windows file name,
// and control characters.
bool HasForbiddenCharacter(const QString &segment)
{
    for (const QChar c : segment)
        if (c.unicode() < 0x20 || c.unicode() == 0x7f || QStringLiteral("\\:*?\"<>|").contains(c))
            return true;
    return false;
}

bool IsWorkName(const QString &segment)
{
    return segment.compare(UpdateWorkDirName, Qt::CaseInsensitive) == 0
        || segment.compare(UpdateLockFileName, Qt::CaseInsensitive) == 0
        || segment.compare(InstalledManifestFileName, Qt::CaseInsensitive) == 0;
}

QString SegmentProblem(const QString &segment)
{
    if (segment.isEmpty())
        return QStringLiteral("has an empty part");
    if (segment == QLatin1String(".") || segment == QLatin1String(".."))
        return QStringLiteral("holds \"%1\"").arg(segment);
    if (HasForbiddenCharacter(segment))
        return QStringLiteral("holds a character that is not allowed in a file name");
    if (segment.endsWith(QLatin1Char('.')) || segment.endsWith(QLatin1Char(' ')))
        return QStringLiteral("has a part that ends in a point or a blank");
    if (IsDeviceName(segment))
        return QStringLiteral("names a device");
    if (IsUsersFileName(segment))
        return QStringLiteral("names the user's file %1").arg(segment);
    if (IsWorkName(segment))
        return QStringLiteral("names the updater's work files");
    return QString();
}

} // namespace

bool IsUsersFileName(const QString &name)
{
    static const QStringList users{
        QStringLiteral("categories.dat"), QStringLiteral("Projects.dat"),
        QStringLiteral("Hours.dat"),      QStringLiteral("dbsettings.dat"),
        QStringLiteral("dbsettings.sim"), QStringLiteral("mainappupdate.inf"),
        QStringLiteral("mainskin.dat"),   QStringLiteral("main.ico")};
    return users.contains(name, Qt::CaseInsensitive) || IsBannerName(name);
}

QString ReleasePathProblem(const QString &path)
{
    if (path.isEmpty())
        return QStringLiteral("is empty");
    if (path.startsWith(QLatin1Char('/')) || path.startsWith(QLatin1Char('\\'))
        || (path.size() >= 2 && path.at(1) == QLatin1Char(':')))
        return QStringLiteral("is absolute");
    if (path.size() > 240)
        return QStringLiteral("is too long");
    // A user's file is refused wherever it appears in the path: at the top it would replace
    // the file itself, deeper it would shadow the name.
    for (const QString &segment : path.split(QLatin1Char('/')))
        if (const QString problem = SegmentProblem(segment); !problem.isEmpty())
            return problem;
    return QString();
}
