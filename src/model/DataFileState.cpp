#include "model/DataFileState.h"

#include <QFileInfo>

QString FreeBackupPath(const QString &path)
{
    QString candidate = path + QStringLiteral(".bak");
    for (int n = 2; QFileInfo::exists(candidate) || QFileInfo(candidate).isSymLink(); ++n)
        candidate = path + QStringLiteral(".bak") + QString::number(n);
    return candidate;
}

QStringList DescribeDrops(const TDataFileState &state, int maxLines)
{
    QStringList lines;
    for (const TLoadDrop &drop : state.drops) {
        if (lines.size() == maxLines) {
            lines << QStringLiteral("... and %1 more").arg(state.drops.size() - maxLines);
            break;
        }
        const QString where = drop.lastLine > drop.line
                                ? QStringLiteral("lines %1-%2").arg(drop.line).arg(drop.lastLine)
                                : QStringLiteral("line %1").arg(drop.line);
        lines << where + QStringLiteral(": ") + drop.what;
    }
    return lines;
}
