#include "release/UpdateInfo.h"

#include <QList>

QByteArray MakeUpdateInfo(const QByteArray &name, const QByteArray &version)
{
    return "[APPLICATION]\r\nName=" + name + "\r\nVersion=" + version + "\r\n";
}

QByteArray ReadIniValue(const QByteArray &ini, const QByteArray &section, const QByteArray &key)
{
    bool inSection = false;
    for (QByteArray line : ini.split('\n')) {
        line = line.trimmed();
        if (line.startsWith('[') && line.endsWith(']')) {
            inSection = line.mid(1, line.size() - 2).trimmed().compare(section, Qt::CaseInsensitive) == 0;
            continue;
        }
        const qsizetype equals = line.indexOf('=');
        if (inSection && equals > 0
            && line.left(equals).trimmed().compare(key, Qt::CaseInsensitive) == 0)
            return line.mid(equals + 1).trimmed();
    }
    return QByteArray();
}
