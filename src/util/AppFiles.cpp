#include "util/AppFiles.h"

#include <QDir>
#include <QFileInfo>

QString ResolveFileName(const QString &appDir, const QString &name)
{
    const QString exact = appDir + name;
    if (QFileInfo::exists(exact))
        return exact;
    // Sorted by name so that "the first entry" is the same on every run.
    const QStringList entries = QDir(appDir).entryList(
        QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
    for (const QString &entry : entries)
        if (entry.compare(name, Qt::CaseInsensitive) == 0)
            return appDir + entry;
    return exact;
}
